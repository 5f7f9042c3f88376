#pragma once

#include "sync/Sync.h"

#include <QDateTime>
#include <QObject>

#include <atomic>
#include <functional>
#include <memory>

class FileAccess;
class QTimer;
class WorkerThread;

// The desktop program's syncs of the account's calendars in the settings file, each with its
// data folder (the active one unless the settings pair it with another), one after another:
// on demand and every few minutes as the settings ask, each on a thread of its own, one at a
// time. The settings file and the password store are read there too, never on the
// window's thread.
class SyncScheduler : public QObject {
    Q_OBJECT

public:
    // What a sync starts from, asked on the window's thread when it starts.
    struct Target {
        QString dataFolder;       // ending in a separator
        QString settingsFile;     // holds the account's section
        QString programDirectory; // where the password store keeps its file
    };
    // The sync itself, runSync unless a test wants otherwise; called on the sync's thread.
    using Run = std::function<SyncResult(const QString& dataFolder, const SyncAccount& account,
                                         const SyncOptions& options)>;

    // Makes, on the sync's thread, what the settings file and the data folder are read and
    // written through there: the data folder's one factory (FolderJobs::files), MakeFileAccess
    // when empty.
    using FileAccessFactory = std::function<std::unique_ptr<FileAccess>()>;

    explicit SyncScheduler(std::function<Target()> target, Run run = runSync,
                           FileAccessFactory files = {}, QObject* parent = nullptr);
    // A sync still running is cancelled and not waited for long.
    ~SyncScheduler() override;

    // What a sync does when it would delete most of one side: stop there, or for this sync
    // only delete them or bring them back from the other side.
    enum class Guard { Stop, Delete, Restore };

    // Starts a sync; false, doing nothing, while one runs.
    bool syncNow(Guard guard = Guard::Stop);
    bool running() const { return m_running; }
    // Reads the interval from the settings file again (it changed in the settings window);
    // the timer follows once it is read.
    void reload();
    // Minutes between two syncs of the timer, 0 when it is off.
    int intervalMinutes() const { return m_intervalMinutes; }

signals:
    // A sync ended, at the time given; result.error says why when it failed.
    void finished(const SyncResult& result, const QDateTime& at);

private:
    void setInterval(const SyncSettings& settings);

    std::function<Target()> m_target;
    Run m_run;
    FileAccessFactory m_files;
    QTimer* m_timer;
    int m_intervalMinutes = 0;
    bool m_running = false;
    std::shared_ptr<std::atomic<bool>> m_cancel;
    std::unique_ptr<WorkerThread> m_worker; // last: gone first, before what its answers use
};
