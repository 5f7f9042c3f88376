#pragma once

#include "threads/WorkerThread.h"

#include <atomic>
#include <functional>
#include <memory>

class CancellableFileAccess;

// What an import shares between its window and its thread: the user's Cancel, how far the
// import got, and whether an answer showing that is on its way (a long import sends a few
// answers, not one per appointment).
class ImportRun {
public:
    using Show = std::function<void(int done, int total)>;

    // Set on the window's thread; the import stops after the appointment being saved.
    std::atomic<bool> cancel{false};

    // On the thread: the import's progress callback. At a cancel it closes files between two
    // appointments and notes how many were tried; show runs on the window's thread.
    static std::function<void(int done, int total)> progress(std::shared_ptr<ImportRun> run,
                                                             CancellableFileAccess& files,
                                                             WorkerThread::Reply reply, Show show);
    // Appointments tried before a cancel took effect; -1 when the import ran to its end.
    int stoppedAt() const { return m_stoppedAt; }

private:
    std::atomic<int> m_done{0};
    std::atomic<int> m_total{0};
    std::atomic<bool> m_answerOnItsWay{false};
    int m_stoppedAt = -1; // the thread's own
};
