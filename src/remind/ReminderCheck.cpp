#include "ReminderCheck.h"

#include "DataAccess.h"
#include "ReminderMail.h"
#include "Settings.h"

namespace {

// From this time on, tomorrow's early appointments whose reminder time falls on this evening
// are looked at too: no reminder takes more than an hour.
const QTime kEveningCheckFrom(23, 0);

} // namespace

QString RemindedList::keyOf(const ClassTermin& appointment, const QDate& day)
{
    return appointment.filename() + appointment.FileDate().toString(Qt::ISODateWithMs) +
           QLatin1Char('|') + day.toString(Qt::ISODate);
}

void RemindedList::trim()
{
    if (m_keys.size() > kMaxEntries)
        m_keys.removeFirst();
}

ReminderCheck::ReminderCheck(ProfileCache& profiles, const Settings& settings,
                             ReminderActions& actions, QString login, Clock clock)
    : m_profiles(profiles)
    , m_settings(&settings)
    , m_actions(actions)
    , m_login(std::move(login))
    , m_clock(clock ? std::move(clock) : [] { return QDateTime::currentDateTime(); })
{
}

ReminderCheck::~ReminderCheck() = default;

void ReminderCheck::CheckReminders()
{
    const QDateTime now = m_clock();
    const QDate today = now.date();
    QList<QDate> days{today};
    if (now.time() >= kEveningCheckFrom)
        days << today.addDays(1);
    std::map<QString, std::unique_ptr<DataAccess>> listed;
    for (const QString& entry : m_settings->dataFolders()) {
        if (entry.trimmed().isEmpty())
            continue;
        const QString folder = WithTrailingSeparator(entry);
        if (listed.count(folder))
            continue; // listed twice: its reminders are known by now
        DataAccess& store = storeOf(folder);
        const DataAccess::Pass pass(store);
        for (const QDate& day : days)
            for (const TerminPtr& appointment : store.GetAppointmentsOfDay(day))
                checkAppointment(*appointment, day, now);
        listed[folder] = std::move(m_stores[folder]);
    }
    m_stores = std::move(listed); // folders taken off the list are forgotten
}

void ReminderCheck::CheckAppointmentReminder(const ClassTermin& appointment, const QDate& day)
{
    checkAppointment(appointment, day, m_clock());
}

void ReminderCheck::checkAppointment(const ClassTermin& appointment, const QDate& day,
                                     const QDateTime& now)
{
    const QString key = RemindedList::keyOf(appointment, day);
    if (!m_reminded.contains(key) && isDue(appointment, day, now)) {
        remind(appointment, day, now);
        m_reminded.append(key);
    }
    m_reminded.trim();
}

bool ReminderCheck::isDue(const ClassTermin& appointment, const QDate& day,
                          const QDateTime& now) const
{
    if (day == now.date())
        return appointment.CheckReminder(m_login, now.time());
    return day == now.date().addDays(1) && appointment.IsDueTheEveningBefore(m_login, now.time());
}

void ReminderCheck::remind(const ClassTermin& appointment, const QDate& day, const QDateTime& now)
{
    if (m_settings->ShowWindow())
        m_actions.showWindow(appointment);
    if (m_settings->PlaySound())
        m_actions.playSound(m_settings->SoundFile());
    if (m_settings->SendEmail() && appointment.EmailEnable())
        m_actions.sendMail(ReminderMail::build(appointment, day, now, m_login, *m_settings));
}

DataAccess& ReminderCheck::storeOf(const QString& folder)
{
    std::unique_ptr<DataAccess>& store = m_stores[folder];
    if (!store)
        store = std::make_unique<DataAccess>(
            m_profiles, StoreSource::fixed(folder, m_settings->MonthInterval()), m_clock);
    return *store;
}
