#include "service/StoreWorker.h"

#include "settings/Settings.h"

StoreWorker::StoreWorker(std::unique_ptr<FileAccess> files, std::shared_ptr<ShareClock> clock,
                         DataAccess::Clock now)
    : m_files(std::move(files), std::move(clock))
    , m_profiles(m_files)
    , m_store(m_profiles,
              StoreSource{[this] { return m_folder; }, [this] { return m_monthInterval; }},
              std::move(now))
    , m_filing(m_store)
{
}

void StoreWorker::useFolder(const QString& folder, int monthIntervalSeconds)
{
    m_monthInterval = std::max(1, monthIntervalSeconds);
    const QString withSeparator = WithTrailingSeparator(folder);
    if (withSeparator == m_folder)
        return;
    m_folder = withSeparator;
    m_store.clearCaches();
}

StoreWorker::Days StoreWorker::read(const QList<QDate>& days, const QList<QDate>& marks,
                                    bool freshMarks, std::optional<bool> reachable)
{
    Days result;
    const DataAccess::Pass pass(m_store);
    result.reachable = reachable ? *reachable : m_store.IsDataFolderReachable();
    if (!result.reachable) {
        // An unmounted share shows no appointments rather than a calendar that looks fine.
        for (const QDate& day : days)
            result.days.insert(day, {});
        for (const QDate& day : marks)
            result.marks.insert(day, false);
        return result;
    }
    if (freshMarks)
        m_store.forgetAllDayMarks();
    for (const QDate& day : days) {
        QList<TerminPtr> copies;
        for (const TerminPtr& appointment : m_store.GetAppointmentsOfDay(day))
            copies << std::make_shared<ClassTermin>(*appointment);
        result.days.insert(day, copies);
    }
    for (const QDate& day : marks)
        result.marks.insert(day, m_store.HasAppointments(day));
    result.unreadable = m_store.unreadableFiles();
    return result;
}

bool StoreWorker::remove(const QString& path)
{
    m_store.DeleteAppointmentFile(path);
    return !m_store.FileExists(path);
}
