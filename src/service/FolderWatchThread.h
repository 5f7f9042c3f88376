#pragma once

#include "threads/Mailbox.h"

#include <QObject>
#include <QString>
#include <QStringList>

class FolderWatch;
class QThread;

// The folder watch on a thread with an event loop of its own: telling the system which
// directories to watch asks the share about each of them, which must never hold up the
// window. Its changed signal arrives on the owner's thread.
class FolderWatchThread : public QObject {
    Q_OBJECT

public:
    explicit FolderWatchThread(QObject* parent = nullptr);
    // Ends the thread; one stuck on a share is abandoned after half a second.
    ~FolderWatchThread() override;

    void watch(const QString& root, const QStringList& directories);
    // What is watched now; waits for the watch thread, so for tests only.
    QStringList watchedForTests() const;

signals:
    void changed();

private:
    FolderWatch* m_watch; // lives on m_thread
    QThread* m_thread;
    Mailbox m_toWatch;
};
