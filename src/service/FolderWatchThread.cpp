#include "FolderWatchThread.h"

#include "FolderWatch.h"
#include "WorkerThread.h"

#include <QDeadlineTimer>
#include <QMetaObject>
#include <QThread>

FolderWatchThread::FolderWatchThread(QObject* parent)
    : QObject(parent)
    , m_thread(new QThread)
    , m_watch(new FolderWatch)
{
    m_thread->setObjectName(QStringLiteral("Norvane folder watch"));
    m_watch->moveToThread(m_thread);
    connect(m_watch, &FolderWatch::changed, this, &FolderWatchThread::changed,
            Qt::QueuedConnection);
    // Deleted on its own thread as that ends: a deleteLater asked just before quit() could
    // miss the thread's last turn.
    connect(m_thread, &QThread::finished, m_watch, &QObject::deleteLater);
    m_thread->start();
}

FolderWatchThread::~FolderWatchThread()
{
    disconnect(m_watch, nullptr, this, nullptr);
    m_thread->quit();
    if (m_thread->wait(QDeadlineTimer(500)))
        delete m_thread;
    else // stuck in a call on a share
        WorkerThread::keepAbandoned(m_thread);
}

QStringList FolderWatchThread::watchedForTests() const
{
    QStringList watched;
    QMetaObject::invokeMethod(
        m_watch, [&watched, watch = m_watch] { watched = watch->watched(); },
        Qt::BlockingQueuedConnection);
    return watched;
}

void FolderWatchThread::watch(const QString& root, const QStringList& directories)
{
    QMetaObject::invokeMethod(
        m_watch, [watch = m_watch, root, directories] { watch->watch(root, directories); },
        Qt::QueuedConnection);
}
