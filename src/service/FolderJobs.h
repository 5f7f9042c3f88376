#pragma once

#include "profile/FileAccess.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class WorkerThread;

// The data folder's jobs beside the window's own reads and writes: imports and their undo, the
// export, printing, the speed test, the reminder check, the sync. Each job gets a thread of its
// own and makes its file access there from the one factory, so no file access is shared between
// threads and tests hand every job the same kind of fake. What a job wrote is told here, on the
// window's thread: the store service reads those days again at once instead of waiting for the
// folder's watch, which a share may never send.
class FolderJobs : public QObject {
    Q_OBJECT

public:
    using FileAccessFactory = std::function<std::unique_ptr<FileAccess>()>;

    // files: the real file system when empty.
    explicit FolderJobs(FileAccessFactory files = {}, QObject* parent = nullptr);
    ~FolderJobs() override;

    // A thread for one window's jobs; their answers come back on the calling thread.
    std::unique_ptr<WorkerThread> thread(const QString& name) const;
    // The one factory, to be called on the job's own thread.
    const FileAccessFactory& files() const { return m_files; }

    // A job wrote or removed these appointment files (full paths); an empty list means it
    // cannot say which, and every known day is read again.
    void wrote(const QStringList& paths);

signals:
    void written(const QStringList& paths);

private:
    FileAccessFactory m_files;
};
