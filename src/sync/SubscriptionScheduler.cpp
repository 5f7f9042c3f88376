#include "sync/SubscriptionScheduler.h"

#include "profile/ProfileCache.h"
#include "sync/Sync.h"
#include "threads/WorkerThread.h"

#include <QTimer>

SubscriptionScheduler::SubscriptionScheduler(std::function<Target()> target,
                                             FileAccessFactory files, QObject* parent)
    : QObject(parent)
    , m_target(std::move(target))
    , m_files(files ? std::move(files) : FileAccessFactory(&MakeFileAccess))
    , m_timer(new QTimer(this))
    , m_cancel(std::make_shared<std::atomic<bool>>(false))
    , m_worker(std::make_unique<WorkerThread>(QStringLiteral("subscriptions")))
{
    connect(m_timer, &QTimer::timeout, this, [this] {
        m_timer->setInterval(m_intervalMinutes * 60 * 1000);
        refreshAll();
    });
}

SubscriptionScheduler::~SubscriptionScheduler()
{
    m_cancel->store(true);
    m_worker.reset();
}

void SubscriptionScheduler::subscribe(const Subscription& subscription)
{
    m_worker->post([this, folder = m_target().dataFolder, subscription, files = m_files,
                    cancel = m_cancel, reply = m_worker->replies()] {
        const std::unique_ptr<FileAccess> access = files();
        Subscriptions::RefreshResult result;
        if (Subscriptions::find(folder, *access, subscription.id)) {
            result.exit = Subscriptions::RefreshResult::Exit::Refused;
            result.message = Subscriptions::Texts::tr("This data folder already has a "
                                                      "subscription named %1.")
                                 .arg(subscription.name);
        } else {
            Subscriptions::RefreshOptions options;
            options.cancel = cancel.get();
            options.files = access.get();
            result = Subscriptions::refresh(folder, subscription, options);
        }
        reply([this, result] { emit subscribed(result); });
    });
}

void SubscriptionScheduler::refreshAll()
{
    // Refreshes queue on the one thread: a second round waits for the first.
    m_worker->post([this, folder = m_target().dataFolder, files = m_files, cancel = m_cancel,
                    reply = m_worker->replies()] {
        const std::unique_ptr<FileAccess> access = files();
        QList<Subscriptions::RefreshResult> results;
        for (const Subscription& s : Subscriptions::list(folder, *access)) {
            if (cancel->load())
                break;
            Subscriptions::RefreshOptions options;
            options.cancel = cancel.get();
            options.files = access.get();
            results.append(Subscriptions::refresh(folder, s, options));
        }
        reply([this, results] { emit refreshed(results); });
    });
}

void SubscriptionScheduler::reload()
{
    m_worker->post([this, settingsFile = m_target().settingsFile, files = m_files,
                    reply = m_worker->replies()] {
        const std::unique_ptr<FileAccess> access = files();
        ProfileCache profiles(*access);
        const int minutes = readSyncSettings(profiles, settingsFile).subscriptionMinutes;
        reply([this, minutes] { setInterval(minutes); });
    });
}

void SubscriptionScheduler::setInterval(int minutes)
{
    if (minutes == m_intervalMinutes)
        return;
    const bool first = m_intervalMinutes == 0 && !m_timer->isActive();
    m_intervalMinutes = minutes;
    if (minutes <= 0)
        m_timer->stop();
    else
        m_timer->start(first ? 60 * 1000 : minutes * 60 * 1000); // the first round soon after start
}
