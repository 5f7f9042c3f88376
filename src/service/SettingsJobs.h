#pragma once

#include "profile/ProfileCache.h"
#include "service/FolderJobs.h"
#include "service/WorkerThread.h"
#include "settings/Settings.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

// The settings file's reads and writes for the windows, on a thread of their own and one after
// another in the order asked: a save and the sync page's section written after it never cross,
// and a settings file on a share that stopped answering holds up no window. Each job gets a
// profile cache over a file access of its own, made on that thread; what it answers are values.
class SettingsJobs {
public:
    // The thread and the file accesses come from the data folder's jobs.
    explicit SettingsJobs(FolderJobs& jobs);
    // Returns within WorkerThread::kStopWait even while a job waits on a share.
    ~SettingsJobs();

    SettingsJobs(const SettingsJobs&) = delete;
    SettingsJobs& operator=(const SettingsJobs&) = delete;

    // Runs job on the settings' thread; done gets its result on the calling thread, unless
    // context is gone by then.
    template <typename Result>
    void run(const QObject* context, std::function<Result(ProfileCache&)> job,
             std::function<void(const Result&)> done);
    // Writes values to the pointer file and the settings file (Settings::SaveSettings).
    void save(const QObject* context, const Settings& values,
              std::function<void(const WriteOutcome&)> done);

    // Jobs asked for and not answered yet.
    int pending() const { return m_thread->pending(); }

private:
    FolderJobs::FileAccessFactory m_files;
    std::unique_ptr<WorkerThread> m_thread;
};

template <typename Result>
void SettingsJobs::run(const QObject* context, std::function<Result(ProfileCache&)> job,
                       std::function<void(const Result&)> done)
{
    m_thread->post([files = m_files, job = std::move(job), done = std::move(done),
                    context = QPointer<const QObject>(context), reply = m_thread->replies()] {
        const std::unique_ptr<FileAccess> access = files();
        ProfileCache profiles(*access);
        Result result = job(profiles);
        reply([done, context, result = std::move(result)] {
            if (context)
                done(result);
        });
    });
}
