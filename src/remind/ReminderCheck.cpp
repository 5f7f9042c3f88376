#include "remind/ReminderCheck.h"

#include "store/SeriesEdit.h"

#include "profile/FileAccess.h"
#include "remind/ReminderMail.h"
#include "settings/Settings.h"
#include "store/DataAccess.h"

#include <QUrl>

#include <algorithm>
#include <vector>

namespace {

// From this time on, tomorrow is read at every check too: its early appointments with lead
// times of up to an hour fall due this evening, and one just made is found at once.
const QTime kEveningCheckFrom(23, 0);

} // namespace

namespace {

// An occurrence of a split series by its series and reminder time, whichever part holds it.
QString seriesKey(const QString& series, const ClassTermin& a, const QString& day)
{
    return QStringLiteral("series|%1|%2|%3|%4")
        .arg(series, QString::number(a.StartTime().minutes()), QString::number(a.RemindMinutes()),
             day);
}

} // namespace

QString RemindedList::keyOf(const ClassTermin& appointment, const QDate& day)
{
    const QString dayText = day.toString(Qt::ISODate);
    if (!appointment.SeriesId().isEmpty())
        return seriesKey(appointment.SeriesId(), appointment, dayText);
    return appointment.filename() + appointment.FileDate().toString(Qt::ISODateWithMs) +
           QLatin1Char('|') + dayText;
}

QStringList RemindedList::keysNoted(const ClassTermin& appointment, const QDate& day)
{
    QStringList keys{keyOf(appointment, day)};
    if (appointment.IsRecurring() && appointment.SeriesId().isEmpty())
        keys << seriesKey(SeriesEdit::seriesIdFor(appointment), appointment,
                          day.toString(Qt::ISODate));
    return keys;
}

qsizetype RemindedList::dropDaysBefore(const QDate& today)
{
    return m_dayOfKey.removeIf([&today](const auto& key) { return key.value() < today; });
}

QByteArray RemindedList::toBytes() const
{
    QList<QByteArray> lines;
    for (auto it = m_dayOfKey.cbegin(); it != m_dayOfKey.cend(); ++it)
        lines << it.value().toString(Qt::ISODate).toLatin1() + ' ' +
                     QUrl::toPercentEncoding(it.key()) + '\n';
    std::sort(lines.begin(), lines.end()); // the same keys give the same bytes
    return lines.join();
}

RemindedList RemindedList::fromBytes(const QByteArray& bytes)
{
    RemindedList list;
    for (const QByteArray& line : bytes.split('\n')) {
        const qsizetype blank = line.indexOf(' ');
        if (blank < 0)
            continue;
        const QDate day = QDate::fromString(QString::fromLatin1(line.left(blank)), Qt::ISODate);
        const QString key = QUrl::fromPercentEncoding(line.mid(blank + 1));
        if (day.isValid() && !key.isEmpty())
            list.append(key, day);
    }
    return list;
}

// A data folder's store and what its last look ahead found.
struct ReminderCheck::Folder {
    std::unique_ptr<DataAccess> store;
    QDateTime lookedAhead; // invalid before the first look
    // The appointments of the days ahead that remind this user, each with its day.
    std::vector<std::pair<QDate, TerminPtr>> ahead;
};

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

QString ReminderCheck::remindedFilePath(const Settings& settings)
{
    return WithTrailingSeparator(settings.programDirectory()) + QLatin1String(kRemindedFile);
}

void ReminderCheck::recallReminded(const QDate& today)
{
    if (!m_remindedRead) {
        m_remindedRead = true;
        const ReadOutcome read =
            m_profiles.files().read(remindedFilePath(*m_settings), kMaxRemindedBytes, {});
        if (read.status == ReadOutcome::Read)
            m_reminded = RemindedList::fromBytes(read.bytes);
    }
    if (m_reminded.dropDaysBefore(today) > 0)
        m_remindedChanged = true;
}

void ReminderCheck::keepReminded()
{
    // A write that fails is tried again at the next check; meanwhile this run remembers.
    if (m_remindedChanged)
        m_remindedChanged =
            !m_profiles.files()
                 .writeAtomically(remindedFilePath(*m_settings), m_reminded.toBytes(), {})
                 .ok;
}

void ReminderCheck::CheckReminders()
{
    const QDateTime now = m_clock();
    recallReminded(now.date());
    std::map<QString, std::unique_ptr<Folder>> listed;
    for (const QString& entry : m_settings->dataFolders()) {
        if (entry.trimmed().isEmpty())
            continue;
        // A folder worked on offline reminds from the laptop's copy.
        const QString path = m_settings->standIn(entry);
        if (listed.count(path))
            continue; // listed twice: its reminders are known by now
        checkFolder(folderOf(path), now);
        listed[path] = std::move(m_folders[path]);
    }
    m_folders = std::move(listed); // folders taken off the list are forgotten
    keepReminded();
}

void ReminderCheck::checkFolder(Folder& folder, const QDateTime& now)
{
    const QDateTime& last = folder.lookedAhead;
    const bool lookAhead = !last.isValid() || last.date() != now.date() || last > now ||
                           last.secsTo(now) >= kLookAheadSeconds;
    const QList<QDate> days = daysToRead(folder, now, lookAhead);
    if (lookAhead) {
        folder.lookedAhead = now;
        folder.ahead.clear();
    }
    const DataAccess::Pass pass(*folder.store);
    for (const QDate& day : days) {
        const QList<TerminPtr> appointments = folder.store->GetAppointmentsOfDay(day);
        for (const TerminPtr& appointment : appointments)
            checkAppointment(*appointment, day, now);
        if (day != now.date())
            noteAhead(folder, day, appointments);
    }
}

QList<QDate> ReminderCheck::daysToRead(const Folder& folder, const QDateTime& now,
                                       bool lookAhead) const
{
    const QDate today = now.date();
    QList<QDate> days{today};
    if (lookAhead) {
        for (int ahead = 1; ahead <= kLookAheadDays; ++ahead)
            days << today.addDays(ahead);
        return days;
    }
    if (now.time() >= kEveningCheckFrom)
        days << today.addDays(1);
    for (const auto& [day, appointment] : folder.ahead)
        if (!days.contains(day) && appointment->CheckReminder(m_login, day, now) &&
            !m_reminded.contains(RemindedList::keyOf(*appointment, day)))
            days << day;
    return days;
}

void ReminderCheck::noteAhead(Folder& folder, const QDate& day,
                              const QList<TerminPtr>& appointments) const
{
    std::erase_if(folder.ahead, [&day](const auto& noted) { return noted.first == day; });
    for (const TerminPtr& appointment : appointments)
        if (appointment->RemindsUser(m_login))
            folder.ahead.emplace_back(day, appointment);
}

void ReminderCheck::CheckAppointmentReminder(const ClassTermin& appointment, const QDate& day)
{
    const QDateTime now = m_clock();
    recallReminded(now.date());
    checkAppointment(appointment, day, now);
    keepReminded();
}

void ReminderCheck::checkAppointment(const ClassTermin& appointment, const QDate& day,
                                     const QDateTime& now)
{
    const QString key = RemindedList::keyOf(appointment, day);
    if (!m_reminded.contains(key) && appointment.CheckReminder(m_login, day, now)) {
        remind(appointment, day, now);
        for (const QString& noted : RemindedList::keysNoted(appointment, day))
            m_reminded.append(noted, day);
        m_remindedChanged = true;
    }
}

void ReminderCheck::remind(const ClassTermin& appointment, const QDate& day, const QDateTime& now)
{
    if (m_settings->ShowWindow() || m_settings->DesktopNotification())
        m_actions.showReminder(appointment, day);
    if (m_settings->PlaySound())
        m_actions.playSound(m_settings->SoundFile());
    if (m_settings->SendEmail() && appointment.EmailEnable())
        m_actions.sendMail(ReminderMail::build(appointment, day, now, m_login, *m_settings));
}

ReminderCheck::Folder& ReminderCheck::folderOf(const QString& path)
{
    std::unique_ptr<Folder>& folder = m_folders[path];
    if (!folder) {
        folder = std::make_unique<Folder>();
        folder->store = std::make_unique<DataAccess>(
            m_profiles, StoreSource::fixed(path, m_settings->MonthInterval(), m_login), m_clock);
    }
    return *folder;
}
