#include "sync/SyncScheduler.h"

#include "profile/ApiINI.h"
#include "profile/FileAccess.h"
#include "sync/PasswordStore.h"
#include "sync/SyncText.h"
#include "threads/WorkerThread.h"

#include <QTimer>

namespace {

SyncSettings readSettings(FileAccess& files, const QString& settingsFile)
{
    ProfileCache profiles(files);
    return readSyncSettings(profiles, settingsFile);
}

} // namespace

SyncScheduler::SyncScheduler(std::function<Target()> target, Run run, FileAccessFactory files,
                             QObject* parent)
    : QObject(parent)
    , m_target(std::move(target))
    , m_run(std::move(run))
    , m_files(files ? std::move(files) : FileAccessFactory(&MakeFileAccess))
    , m_timer(new QTimer(this))
    , m_cancel(std::make_shared<std::atomic<bool>>(false))
    , m_worker(std::make_unique<WorkerThread>(QStringLiteral("sync")))
{
    connect(m_timer, &QTimer::timeout, this, [this] { syncNow(); });
}

SyncScheduler::~SyncScheduler()
{
    m_cancel->store(true);
    m_worker.reset();
}

bool SyncScheduler::syncNow(Guard guard)
{
    if (m_running)
        return false;
    m_running = true;
    const Target target = m_target();
    m_worker->post([this, target, guard, run = m_run, files = m_files, cancel = m_cancel,
                    reply = m_worker->replies()] {
        const std::unique_ptr<FileAccess> access = files();
        const SyncSettings settings = readSettings(*access, target.settingsFile);
        SyncResult result;
        if (settings.url.isEmpty()) {
            result.exit = SyncResult::Exit::Failed;
            result.error = Sync::tr("no server is set up in the settings");
        } else {
            const QString password =
                PasswordStore(target.programDirectory).lookup(settings.url, settings.user);
            SyncOptions options;
            options.pastDays = settings.pastDays;
            options.futureDays = settings.futureDays;
            options.timeZoneId = settings.timeZone;
            options.allowMassDelete = guard == Guard::Delete;
            options.restoreDeleted = guard == Guard::Restore;
            options.cancel = cancel.get();
            options.files = access.get();
            // Each calendar with its folder in turn; each folder keeps its own record and lock.
            QList<std::pair<QString, SyncResult>> results;
            for (const SyncPair& pair : settings.pairs) {
                if (cancel->load())
                    break;
                options.readOnly = pair.readOnly;
                const QString folder =
                    pair.folder.isEmpty() ? target.dataFolder : WithTrailingSeparator(pair.folder);
                results.append({pair.name.isEmpty() ? pair.url : pair.name,
                                run(folder, {pair.url, settings.user, password}, options)});
            }
            result = combinedResult(results);
        }
        const QDateTime at = QDateTime::currentDateTime();
        // Answered on the window's thread; nothing once the scheduler is gone.
        reply([this, settings, result, at] {
            m_running = false;
            setInterval(settings);
            emit finished(result, at);
        });
    });
    return true;
}

void SyncScheduler::reload()
{
    const QString settingsFile = m_target().settingsFile;
    m_worker->post([this, settingsFile, files = m_files, reply = m_worker->replies()] {
        const SyncSettings settings = readSettings(*files(), settingsFile);
        reply([this, settings] { setInterval(settings); });
    });
}

void SyncScheduler::setInterval(const SyncSettings& settings)
{
    const int minutes = settings.url.isEmpty() ? 0 : settings.intervalMinutes;
    if (minutes == m_intervalMinutes)
        return;
    m_intervalMinutes = minutes;
    if (minutes > 0)
        m_timer->start(minutes * 60 * 1000);
    else
        m_timer->stop();
}
