#pragma once

#include "sync/Subscription.h"

#include <QList>
#include <QObject>

#include <atomic>
#include <functional>
#include <memory>

class QTimer;
class WorkerThread;

// The desktop program's refreshes of the active data folder's subscriptions: as often as the
// settings file says (every hour unless told; the first round a minute after start) and a new
// subscription's first at once, on a thread of their own, one at a time. Each copy asks; an
// unchanged feed costs one request and writes nothing.
class SubscriptionScheduler : public QObject {
    Q_OBJECT

public:
    using FileAccessFactory = std::function<std::unique_ptr<FileAccess>()>;

    // What a refresh starts from, asked on the window's thread: the data folder, and the
    // settings file that tells how often (see SyncSettings::subscriptionMinutes).
    struct Target {
        QString dataFolder;
        QString settingsFile;
    };
    // files makes what the folder and the settings file are read and written through on the
    // refreshes' thread.
    explicit SubscriptionScheduler(std::function<Target()> target, FileAccessFactory files = {},
                                   QObject* parent = nullptr);
    // A refresh still running is cancelled.
    ~SubscriptionScheduler() override;

    // Brings a new subscription's feed; answered by subscribed(). A subscription of the same
    // name is not replaced.
    void subscribe(const Subscription& subscription);
    // Refreshes every subscription of the folder; answered by refreshed().
    void refreshAll();
    // Reads the interval from the settings file again (it changed in the settings window).
    void reload();
    // Minutes between two rounds of the timer, 0 when it is off.
    int intervalMinutes() const { return m_intervalMinutes; }

signals:
    void subscribed(const Subscriptions::RefreshResult& result);
    void refreshed(const QList<Subscriptions::RefreshResult>& results);

private:
    void setInterval(int minutes);

    std::function<Target()> m_target;
    FileAccessFactory m_files;
    QTimer* m_timer;
    int m_intervalMinutes = 0;
    std::shared_ptr<std::atomic<bool>> m_cancel;
    std::unique_ptr<WorkerThread> m_worker; // last: gone first, before what its answers use
};
