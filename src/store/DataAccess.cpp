#include "DataAccess.h"

#include "AppointmentFile.h"
#include "Common.h"
#include "Settings.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString kRecurring = QStringLiteral("recurring");

QString subPath(const QString& folder, std::initializer_list<QString> parts)
{
    QString path = folder;
    for (const QString& part : parts)
        path += part + QDir::separator();
    return path;
}

} // namespace

DataAccess::DataAccess(ProfileCache& profiles, Settings& settings, Clock clock)
    : m_profiles(profiles)
    , m_settings(settings)
    , m_clock(std::move(clock))
{
}

QDateTime DataAccess::now() const
{
    return m_clock ? m_clock() : QDateTime::currentDateTime();
}

QString DataAccess::DayDirectory(const QString& dataFolder, const QDate& date)
{
    return subPath(dataFolder,
                   {QStringLiteral("y%1").arg(date.year()), QStringLiteral("m%1").arg(date.month()),
                    QStringLiteral("d%1").arg(date.day())});
}

QString DataAccess::RecurringDirectory(const QString& dataFolder, const QString& kind,
                                       const QDate& date)
{
    if (kind == QLatin1String("d"))
        return subPath(dataFolder, {kRecurring, QStringLiteral("every")});
    if (kind == QLatin1String("wd"))
        return subPath(dataFolder, {kRecurring, QStringLiteral("wd%1").arg(Weekday(date))});
    if (kind == QLatin1String("m"))
        return subPath(dataFolder, {kRecurring, QStringLiteral("d%1").arg(date.day())});
    return subPath(dataFolder, {kRecurring, QStringLiteral("m%1").arg(date.month()),
                                QStringLiteral("d%1").arg(date.day())});
}

QStringList DataAccess::DirectoriesOfDay(const QString& dataFolder, const QDate& date)
{
    return {DayDirectory(dataFolder, date),
            RecurringDirectory(dataFolder, QStringLiteral("d"), date),
            RecurringDirectory(dataFolder, QStringLiteral("wd"), date),
            RecurringDirectory(dataFolder, QStringLiteral("m"), date),
            RecurringDirectory(dataFolder, QStringLiteral("y"), date)};
}

QStringList DataAccess::listAppointmentFiles(const QString& dir)
{
    // A missing directory is an empty day.
    return m_profiles.files().listFiles(dir, AppointmentFile::kExtension).value_or(QStringList());
}

TerminPtr DataAccess::LoadAppointment(const QString& path, const QDate& fallbackDate)
{
    return loadAppointment(path, fallbackDate, m_profiles.files().metadata(path));
}

TerminPtr DataAccess::loadAppointment(const QString& path, const QDate& fallbackDate,
                                      const std::optional<FileMeta>& meta)
{
    for (auto it = m_appointments.begin(); it != m_appointments.end(); ++it) {
        if (it->appointment->filename() != path)
            continue;
        if (meta && it->meta == *meta)
            return it->appointment;
        m_appointments.erase(it); // changed on disk: read it again
        break;
    }
    const IniFile ini(m_profiles, path, m_profiles.document(path, meta));
    TerminPtr appointment =
        AppointmentFile::read(ini, fallbackDate, meta ? meta->modified : QDateTime(), now().time());
    if (meta) {
        m_appointments.push_back({*meta, appointment});
        if (m_appointments.size() > kAppointmentCacheSize)
            m_appointments.pop_front();
    }
    return appointment;
}

DataAccess::SaveResult DataAccess::SaveAppointment(ClassTermin& appointment)
{
    MakeDirTree(DirectoryOfPath(appointment.filename()));
    IniFile ini(m_profiles, appointment.filename());
    AppointmentFile::write(ini, appointment);
    const WriteOutcome outcome = ini.commit();
    return {outcome.ok, outcome.error};
}

void DataAccess::DeleteAppointmentFile(const ClassTermin& appointment)
{
    DeleteAppointmentFile(appointment.filename());
}

void DataAccess::DeleteAppointmentFile(const QString& path)
{
    if (path.isEmpty())
        return;
    m_profiles.files().remove(path);
    m_profiles.forget(path);
}

QList<TerminPtr> DataAccess::GetAppointmentsOfDay(const QDate& date)
{
    QList<TerminPtr> list;
    const QStringList dirs = DirectoriesOfDay(m_settings.GetDataFolder(), date);
    for (int i = 0; i < dirs.size(); ++i) {
        const bool recurringDir = i > 0;
        for (const QString& name : listAppointmentFiles(dirs[i])) {
            const QString path = dirs[i] + name;
            const std::optional<FileMeta> meta = m_profiles.files().metadata(path);
            if (!meta)
                continue; // deleted by another user since the listing
            if (recurringDir && !isInRecurringRange(path, date, meta))
                continue;
            InsertByColor(list, loadAppointment(path, date, meta));
        }
    }
    return list;
}

void DataAccess::InsertByColor(QList<TerminPtr>& list, const TerminPtr& appointment)
{
    for (qsizetype i = list.size() - 1; i >= 0; --i) {
        if (list[i]->ColorCode() == appointment->ColorCode()) {
            list.insert(i + 1, appointment);
            return;
        }
    }
    list.append(appointment);
}

bool DataAccess::IsInRecurringRange(const QString& path, const QDate& date)
{
    return isInRecurringRange(path, date, m_profiles.files().metadata(path));
}

bool DataAccess::isInRecurringRange(const QString& path, const QDate& date,
                                    const std::optional<FileMeta>& meta)
{
    const IniFile ini(m_profiles, path, m_profiles.document(path, meta));
    const QString& s = AppointmentFile::kSection;
    const QDate from = DateSerial(ini.ReadIniLong(s, QStringLiteral("RecurringFromYear"), 1990),
                                  ini.ReadIniLong(s, QStringLiteral("RecurringFromMonth"), 1),
                                  ini.ReadIniLong(s, QStringLiteral("RecurringFromDay"), 1));
    if (from > date)
        return false;
    const QDate until = DateSerial(ini.ReadIniLong(s, QStringLiteral("RecurringUntilYear"), 2020),
                                   ini.ReadIniLong(s, QStringLiteral("RecurringUntilMonth"), 12),
                                   ini.ReadIniLong(s, QStringLiteral("RecurringUntilDay"), 31));
    return date <= until;
}

bool DataAccess::HasAppointments(const QDate& date)
{
    const QString folder = m_settings.GetDataFolder();
    const QDateTime current = now();
    const QDateTime expired = current.addSecs(-m_settings.MonthInterval());
    for (auto it = m_dayMarks.rbegin(); it != m_dayMarks.rend();) {
        if (it->asked < expired) {
            it = decltype(it)(m_dayMarks.erase(std::next(it).base()));
            continue;
        }
        if (it->date == date && it->folder == folder)
            return it->answer;
        ++it;
    }

    bool answer = false;
    const QStringList dirs = DirectoriesOfDay(folder, date);
    // A one-time file is never read: its presence is the answer.
    answer = !listAppointmentFiles(dirs[0]).isEmpty();
    for (int i = 1; i < dirs.size() && !answer; ++i) {
        for (const QString& name : listAppointmentFiles(dirs[i])) {
            const QString path = dirs[i] + name;
            const std::optional<FileMeta> meta = m_profiles.files().metadata(path);
            if (meta && isInRecurringRange(path, date, meta)) {
                answer = true;
                break;
            }
        }
    }

    m_dayMarks.push_back({date, answer, folder, current});
    if (m_dayMarks.size() > kDayMarkCacheSize)
        m_dayMarks.pop_front();
    return answer;
}

bool DataAccess::MakeDirTree(const QString& path)
{
    return !path.isEmpty() && m_profiles.files().makePath(path);
}

bool DataAccess::IsDataFolderReachable()
{
    return m_profiles.files().isListableDir(m_settings.GetDataFolder());
}

bool DataAccess::FileExists(const QString& path)
{
    return m_profiles.files().metadata(path).has_value();
}

QString DataAccess::UnusedFileName(const QString& dir, const std::function<quint32()>& draw)
{
    constexpr quint32 kNameRange = 100000000;
    for (;;) {
        const QString name = QString::number(draw() % kNameRange) + AppointmentFile::kExtension;
        if (!FileExists(dir + name))
            return name;
    }
}

QString DataAccess::saveFailedMessage(const QString& langCode)
{
    if (langCode == QLatin1String("de"))
        return QStringLiteral("Der Termin konnte nicht gespeichert werden.\r\n"
                              "Bitte prüfen Sie die Verfügbarkeit des Datenordners und Ihre "
                              "Zugriffsrechte.");
    return QStringLiteral("The appointment could not be saved.\r\n"
                          "Please ensure the accessibility of the datasource folder and check "
                          "your privileges.");
}

void DataAccess::clearCaches()
{
    m_appointments.clear();
    m_dayMarks.clear();
    m_profiles.clear();
}
