#pragma once

// A share that stops answering until the test lets it go on, for the windows and services that
// must stay alive meanwhile. Header only: the tests that include it link the profile layer and
// Qt Test.
#include "profile/FileAccess.h"

#include <QTest>
#include <QThread>
#include <QTimer>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

// Holds the calls of the file accesses behind it while stalled. Calls from the thread that made
// it (the window's) are never held, only counted: a test asserts there are none instead of
// hanging. Copies are the same share: each file access keeps one, so a thread abandoned on the
// share may outlive the test that made it.
class StalledShare {
public:
    // No call is held longer: a test whose window waits for the share fails instead of hanging.
    static constexpr int kLongestHoldMs = 30000;

    void stall()
    {
        const std::lock_guard lock(m_d->mutex);
        m_d->stalled = true;
    }
    // Stalls on the calls-th call from now on, which is then held.
    void stallAfter(int calls)
    {
        const std::lock_guard lock(m_d->mutex);
        m_d->stallAfter = calls;
    }
    // Stalls on the writes-th write from now on, which is then held before it writes.
    void stallAtWrite(int writes)
    {
        const std::lock_guard lock(m_d->mutex);
        m_d->stallAtWrite = writes;
    }
    void resume()
    {
        const std::lock_guard lock(m_d->mutex);
        m_d->stalled = false;
        m_d->stallAfter = 0;
        m_d->stallAtWrite = 0;
        m_d->resumed.notify_all();
    }

    // Calls held now.
    int held() const
    {
        const std::lock_guard lock(m_d->mutex);
        return m_d->held;
    }
    // Calls held longer than kLongestHoldMs.
    int overdue() const
    {
        const std::lock_guard lock(m_d->mutex);
        return m_d->overdue;
    }
    // Calls made from the thread that made the share.
    int callsFromOwner() const
    {
        const std::lock_guard lock(m_d->mutex);
        return m_d->fromOwner;
    }
    // True once every file access behind the share is gone.
    bool unused() const
    {
        const std::lock_guard lock(m_d->mutex);
        return m_d->users == 0;
    }

    // Every call passes here first.
    void pass(bool write = false)
    {
        std::unique_lock lock(m_d->mutex);
        if (QThread::currentThread() == m_d->owner) {
            ++m_d->fromOwner;
            return;
        }
        if (m_d->stallAfter > 0 && --m_d->stallAfter == 0)
            m_d->stalled = true;
        if (write && m_d->stallAtWrite > 0 && --m_d->stallAtWrite == 0)
            m_d->stalled = true;
        ++m_d->held;
        m_d->resumed.wait_for(lock, std::chrono::milliseconds(kLongestHoldMs),
                              [&] { return !m_d->stalled; });
        --m_d->held;
        if (m_d->stalled)
            ++m_d->overdue;
    }

private:
    friend class StalledFileAccess;
    void addUser(int delta)
    {
        const std::lock_guard lock(m_d->mutex);
        m_d->users += delta;
    }

    // The standard library's lock and wake-up, which a race checker sees.
    struct State {
        mutable std::mutex mutex;
        std::condition_variable resumed;
        QThread* owner = QThread::currentThread();
        bool stalled = false;
        int stallAfter = 0;
        int stallAtWrite = 0;
        int held = 0;
        int overdue = 0;
        int fromOwner = 0;
        int users = 0;
    };
    std::shared_ptr<State> m_d = std::make_shared<State>();
};

namespace StalledShareDetail {
struct OwnRealFiles {
    RealFileAccess real; // its own, never another thread's
};
} // namespace StalledShareDetail

// The local disk behind a stalled share.
class StalledFileAccess : private StalledShareDetail::OwnRealFiles, public ForwardingFileAccess {
public:
    explicit StalledFileAccess(const StalledShare& share)
        : ForwardingFileAccess(real)
        , m_share(share)
    {
        m_share.addUser(1);
    }
    ~StalledFileAccess() override { m_share.addUser(-1); }

    // For a window's or a service's jobs: each gets a file access of its own behind the same
    // share.
    static std::function<std::unique_ptr<FileAccess>()> maker(const StalledShare& share)
    {
        return [share]() -> std::unique_ptr<FileAccess> {
            return std::make_unique<StalledFileAccess>(share);
        };
    }

protected:
    void noteCall(Call call) override { m_share.pass(call == Call::Write); }

private:
    StalledShare m_share;
};

// Runs the events of the test's thread, which is the windows' one, until done, within a bound
// far beyond need.
inline bool eventually(const std::function<bool()>& done)
{
    return QTest::qWaitFor(done, 20000);
}

// The test's thread runs its timers, so a window on it is alive: a tick counted a few times.
inline bool timersRun()
{
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(1);
    return eventually([&] { return ticks >= 3; });
}
