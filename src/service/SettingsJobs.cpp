#include "service/SettingsJobs.h"

SettingsJobs::SettingsJobs(FolderJobs& jobs)
    : m_files(jobs.files())
    , m_thread(jobs.thread(QStringLiteral("Settings")))
{
}

SettingsJobs::~SettingsJobs()
{
    finish();
}

bool SettingsJobs::finish(std::chrono::milliseconds wait)
{
    return m_thread->finish(wait);
}

void SettingsJobs::loadForStart(const QObject* context, const Settings& defaults,
                                std::function<void(const Start&)> done)
{
    run<Start>(
        context,
        [defaults](ProfileCache& profiles) {
            Start start{Settings(defaults, profiles), {}, false, {}};
            start.settings.LoadActiveFolder();
            start.loaded = start.settings.LoadSettings();
            start.firstStart = start.settings.IsFirstStart();
            start.placement = start.settings.LoadWindowPlacement();
            return start;
        },
        std::move(done));
}

void SettingsJobs::saveActiveFolder(const QObject* context, const Settings& values,
                                    std::function<void(const WriteOutcome&)> done)
{
    run<WriteOutcome>(
        context,
        [values](ProfileCache& profiles) { return Settings(values, profiles).SaveActiveFolder(); },
        std::move(done));
}

void SettingsJobs::savePointer(const QObject* context, const Settings& values,
                               std::function<void(const WriteOutcome&)> done)
{
    run<WriteOutcome>(
        context,
        [values](ProfileCache& profiles) { return Settings(values, profiles).SavePointer(); },
        std::move(done));
}

void SettingsJobs::saveWindowPlacement(const Settings& values,
                                       const Settings::WindowPlacement& placement)
{
    m_thread->post([files = m_files, values, placement] {
        const std::unique_ptr<FileAccess> access = files();
        ProfileCache profiles(*access);
        static_cast<void>(Settings(values, profiles).SaveWindowPlacement(placement));
    });
}

void SettingsJobs::save(const QObject* context, const Settings& values,
                        std::function<void(const WriteOutcome&)> done)
{
    run<WriteOutcome>(
        context,
        [values](ProfileCache& profiles) { return Settings(values, profiles).SaveSettings(); },
        std::move(done));
}
