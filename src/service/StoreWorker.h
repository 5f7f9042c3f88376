#pragma once

#include "profile/ProfileCache.h"
#include "service/ShareClock.h"
#include "store/AppointmentFiling.h"
#include "store/ClassTermin.h"
#include "store/DataAccess.h"
#include "store/SeriesFiling.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>

#include <memory>
#include <optional>

// The store service's side on its worker thread: the data folder's store with its own file
// access and caches. Made on the window's thread, then used on the worker's thread only.
class StoreWorker {
public:
    StoreWorker(std::unique_ptr<FileAccess> files, std::shared_ptr<ShareClock> clock,
                DataAccess::Clock now);

    // The folder every following call works in; a new one forgets what the caches hold.
    void useFolder(const QString& folder, int monthIntervalSeconds);

    struct Days {
        QHash<QDate, QList<TerminPtr>> days; // copies of their own, never cached here
        QHash<QDate, bool> marks;
        bool reachable = true;
        // The files unreadable after this read, when it looked at the folder at all.
        std::optional<QList<DataAccess::UnreadableFile>> unreadable;
    };
    // Reads in one pass while it lives, however many reads it spans.
    std::unique_ptr<DataAccess::Pass> pass() { return std::make_unique<DataAccess::Pass>(m_store); }
    // One pass: each directory listed once and each file asked for at most once. Whether the
    // folder is there is asked unless the caller knows it from a read of the same pass.
    Days read(const QList<QDate>& days, const QList<QDate>& marks, bool freshMarks,
              std::optional<bool> reachable = std::nullopt);

    WriteOutcome file(ClassTermin& appointment) { return m_filing.File(appointment); }
    bool remove(const QString& path);
    SeriesFiling::Outcome changeSeries(const SeriesFiling::Request& request)
    {
        return m_series.apply(request);
    }
    DataAccess::FileChange changeSinceLoaded(const ClassTermin& appointment)
    {
        return m_store.ChangeSinceLoaded(appointment);
    }

private:
    ClockedFileAccess m_files;
    ProfileCache m_profiles;
    QString m_folder;
    int m_monthInterval = 60;
    DataAccess m_store;
    AppointmentFiling m_filing;
    SeriesFiling m_series{m_store, m_filing};
};
