#pragma once

#include "remind/ReminderCheck.h"
#include "threads/WorkerThread.h"

#include <QString>

#include <functional>
#include <memory>

class FileAccess;
class Settings;

// The reminder check on a thread of its own, so a data folder on a slow or stalled share never
// holds up the window. The thread reads the folders through its own file access and caches and
// decides what is due from a copy of the settings taken at each check; the reminders are then
// shown, played and sent on the window's thread, from copies of the appointments.
class BackgroundReminderCheck {
public:
    using Clock = ReminderCheck::Clock;
    using FileAccessFactory = std::function<std::unique_ptr<FileAccess>()>;

    // Create it on the window's thread: the actions are taken there. clock is called on the
    // check's thread. files makes, on that thread, what the folders are read through there:
    // the data folder's one factory (FolderJobs::files), MakeFileAccess when empty.
    BackgroundReminderCheck(const Settings& settings, ReminderActions& actions, QString login,
                            Clock clock = {}, FileAccessFactory files = {});
    // Returns within WorkerThread::kStopWait even while a check waits on a share that stopped
    // answering; nothing is reminded afterwards (the worker goes first: it drops the answers
    // on their way).
    ~BackgroundReminderCheck();

    BackgroundReminderCheck(const BackgroundReminderCheck&) = delete;
    BackgroundReminderCheck& operator=(const BackgroundReminderCheck&) = delete;

    // Starts a check with the settings as they are now and returns at once. While one runs, at
    // most one more waits: asking again meanwhile adds nothing, so a stalled share does not
    // pile up checks to run one after another once it answers again.
    void check();
    // Checks running or waiting.
    int pending() const { return m_worker.pending(); }

private:
    struct Checker;

    const Settings& m_settings;
    ReminderActions& m_actions;
    std::shared_ptr<Checker> m_checker; // used on the check's thread only
    WorkerThread m_worker;              // last: stopped before anything its answers use goes
};
