#pragma once

#include "sync/Subscription.h"

#include <QList>
#include <QObject>

#include <atomic>
#include <functional>
#include <memory>

class QTimer;
class WorkerThread;

// The desktop program's refreshes of the active data folder's subscriptions: every hour (the
// first a minute after start) and a new subscription's first at once, on a thread of their own,
// one at a time. Each copy asks; one unchanged feed costs one request and writes nothing.
class SubscriptionScheduler : public QObject {
    Q_OBJECT

public:
    using FileAccessFactory = std::function<std::unique_ptr<FileAccess>()>;
    static constexpr int kIntervalMinutes = 60;

    // folder: the data folder, asked on the window's thread when a refresh starts; files makes
    // what the folder is read and written through on the refreshes' thread.
    explicit SubscriptionScheduler(std::function<QString()> folder, FileAccessFactory files = {},
                                   QObject* parent = nullptr);
    // A refresh still running is cancelled.
    ~SubscriptionScheduler() override;

    // Brings a new subscription's feed; answered by subscribed(). A subscription of the same
    // name is not replaced.
    void subscribe(const Subscription& subscription);
    // Refreshes every subscription of the folder; answered by refreshed().
    void refreshAll();

signals:
    void subscribed(const Subscriptions::RefreshResult& result);
    void refreshed(const QList<Subscriptions::RefreshResult>& results);

private:
    std::function<QString()> m_folder;
    FileAccessFactory m_files;
    QTimer* m_timer;
    std::shared_ptr<std::atomic<bool>> m_cancel;
    std::unique_ptr<WorkerThread> m_worker; // last: gone first, before what its answers use
};
