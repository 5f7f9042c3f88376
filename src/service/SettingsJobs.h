#pragma once

#include "profile/ProfileCache.h"
#include "service/FolderJobs.h"
#include "settings/Settings.h"
#include "threads/WorkerThread.h"

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
    // Lets the jobs asked for end first (see finish).
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

    // What the main window needs of the files before it shows. The pointer file's active
    // folder and the settings file are read over defaults (a fresh Settings of the program
    // directory); a first start is marked as seen in the settings file.
    struct Start {
        Settings settings;
        Settings::LoadResult loaded;
        bool firstStart = false;
        Settings::WindowPlacement placement;
    };
    void loadForStart(const QObject* context, const Settings& defaults,
                      std::function<void(const Start&)> done);
    // The active data folder of values into the pointer file (Settings::SaveActiveFolder).
    void saveActiveFolder(const QObject* context, const Settings& values,
                          std::function<void(const WriteOutcome&)> done);
    // The data folders and which are shown, into the pointer file (Settings::SavePointer).
    void savePointer(const QObject* context, const Settings& values,
                     std::function<void(const WriteOutcome&)> done);
    // Where the window is, into the pointer file of values; nothing is told, a failure costs
    // only the place.
    void saveWindowPlacement(const Settings& values, const Settings::WindowPlacement& placement);

    // Lets the jobs asked for run for up to wait, then ends the thread: the save at exit lands
    // unless the share holds it up. False when a job had to be left on the share.
    bool finish(std::chrono::milliseconds wait = WorkerThread::kStopWait);

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
