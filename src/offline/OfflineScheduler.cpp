#include "offline/OfflineScheduler.h"

#include "profile/FileAccess.h"
#include "threads/WorkerThread.h"

OfflineScheduler::OfflineScheduler(FileAccessFactory files, QObject* parent)
    : QObject(parent)
    , m_files(files ? std::move(files) : FileAccessFactory(&MakeFileAccess))
    , m_worker(std::make_unique<WorkerThread>(QStringLiteral("offline")))
{
}

OfflineScheduler::~OfflineScheduler() = default;

bool OfflineScheduler::reconcileNow(const Target& target)
{
    if (m_running)
        return false;
    m_running = true;
    m_worker->post([this, target, files = m_files, reply = m_worker->replies()] {
        // Each side its own file access: the copy is the laptop's, the share may stall.
        const std::unique_ptr<FileAccess> share = files();
        const std::unique_ptr<FileAccess> copy = MakeFileAccess();
        const Offline::Result result =
            Offline::reconcile(*share, *copy, target.share, target.copy, target.options);
        reply([this, result] {
            m_running = false;
            emit finished(result);
        });
    });
    return true;
}
