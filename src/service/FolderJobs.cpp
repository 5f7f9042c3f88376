#include "service/FolderJobs.h"

#include "threads/WorkerThread.h"

FolderJobs::FolderJobs(FileAccessFactory files, QObject* parent)
    : QObject(parent)
    , m_files(files ? std::move(files) : FileAccessFactory(&MakeFileAccess))
{
}

FolderJobs::~FolderJobs() = default;

std::unique_ptr<WorkerThread> FolderJobs::thread(const QString& name) const
{
    return std::make_unique<WorkerThread>(name);
}

void FolderJobs::wrote(const QStringList& paths)
{
    emit written(paths);
}
