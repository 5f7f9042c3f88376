#include "service/SettingsJobs.h"

SettingsJobs::SettingsJobs(FolderJobs& jobs)
    : m_files(jobs.files())
    , m_thread(jobs.thread(QStringLiteral("Settings")))
{
}

SettingsJobs::~SettingsJobs() = default;

void SettingsJobs::save(const QObject* context, const Settings& values,
                        std::function<void(const WriteOutcome&)> done)
{
    run<WriteOutcome>(
        context,
        [values](ProfileCache& profiles) { return Settings(values, profiles).SaveSettings(); },
        std::move(done));
}
