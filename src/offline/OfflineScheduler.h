#pragma once

#include "offline/Reconcile.h"

#include <QObject>

#include <functional>
#include <memory>

class FileAccess;
class WorkerThread;

// The desktop program's reconciles of a data folder with its offline copy, each on a thread of
// its own, one at a time: the window only starts them and hears how they ended. A share that
// stalls holds that thread, never the window's.
class OfflineScheduler : public QObject {
    Q_OBJECT

public:
    // Makes, on the reconcile's thread, what the share and the copy are read and written
    // through: the data folder's one factory (FolderJobs::files), MakeFileAccess when empty.
    using FileAccessFactory = std::function<std::unique_ptr<FileAccess>()>;

    struct Target {
        QString share; // the data folder, ending in a separator
        QString copy;  // its copy on this machine
        Offline::Options options;
    };

    explicit OfflineScheduler(FileAccessFactory files = {}, QObject* parent = nullptr);
    ~OfflineScheduler() override;

    // Starts a reconcile; false, doing nothing, while one runs.
    bool reconcileNow(const Target& target);
    bool running() const { return m_running; }

signals:
    void finished(const Offline::Result& result);

private:
    FileAccessFactory m_files;
    bool m_running = false;
    std::unique_ptr<WorkerThread> m_worker; // last: gone first, before what its answers use
};
