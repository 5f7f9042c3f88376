#include "service/FolderWatchThread.h"

#include "service/FolderWatch.h"
#include "threads/Threads.h"
#include "threads/WorkerThread.h"

#include <QDeadlineTimer>
#include <QThread>

#include <future>

FolderWatchThread::FolderWatchThread(QObject* parent)
    : QObject(parent)
    , m_watch(new FolderWatch)
{
    // Both ways through mailboxes: the one to the watch moves along with it to its thread.
    m_toWatch = Mailbox(m_watch);
    connect(
        m_watch, &FolderWatch::changed, m_watch,
        [back = Mailbox(this), self = this] { back.post([self] { emit self->changed(); }); },
        Qt::DirectConnection);
    m_thread = Threads::eventLoopFor(m_watch, QStringLiteral("Norvane folder watch"));
}

FolderWatchThread::~FolderWatchThread()
{
    // Whatever the watch still sends back is dropped with this object's mailbox.
    m_thread->quit();
    if (m_thread->wait(QDeadlineTimer(500)))
        delete m_thread;
    else // stuck in a call on a share
        WorkerThread::keepAbandoned(m_thread);
}

QStringList FolderWatchThread::watchedForTests() const
{
    auto watched = std::make_shared<std::promise<QStringList>>();
    m_toWatch.post([watched, watch = m_watch] { watched->set_value(watch->watched()); });
    return watched->get_future().get();
}

void FolderWatchThread::watch(const QString& root, const QStringList& directories)
{
    m_toWatch.post([watch = m_watch, root, directories] { watch->watch(root, directories); });
}
