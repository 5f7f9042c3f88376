#pragma once

// A share that stops answering until the test lets it go on, for windows that must stay alive
// meanwhile. Header only: the tests that include it link the profile layer and Qt Test.
#include "FileAccess.h"

#include <QDeadlineTimer>
#include <QMutex>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QWaitCondition>

#include <functional>
#include <memory>

// Holds the calls of the file accesses behind it while stalled. Calls from the thread that made
// it (the window's) are never held, only counted: a test asserts there are none.
class StalledShare {
public:
    // No call is held longer: a test whose window waits for the share fails instead of hanging.
    static constexpr int kLongestHoldMs = 30000;

    void stall()
    {
        QMutexLocker lock(&m_mutex);
        m_stalled = true;
    }
    // Stalls on the calls-th call from now on, which is then held.
    void stallAfter(int calls)
    {
        QMutexLocker lock(&m_mutex);
        m_stallAfter = calls;
    }
    // Stalls on the writes-th write from now on, which is then held before it writes.
    void stallAtWrite(int writes)
    {
        QMutexLocker lock(&m_mutex);
        m_stallAtWrite = writes;
    }
    void resume()
    {
        QMutexLocker lock(&m_mutex);
        m_stalled = false;
        m_stallAfter = 0;
        m_stallAtWrite = 0;
        m_resumed.wakeAll();
    }

    // Calls held now.
    int held() const
    {
        QMutexLocker lock(&m_mutex);
        return m_held;
    }
    // Calls held longer than kLongestHoldMs.
    int overdue() const
    {
        QMutexLocker lock(&m_mutex);
        return m_overdue;
    }
    // Calls made from the thread that made the share.
    int callsFromOwner() const
    {
        QMutexLocker lock(&m_mutex);
        return m_fromOwner;
    }

    // Every call passes here first.
    void pass(bool write = false)
    {
        QMutexLocker lock(&m_mutex);
        if (QThread::currentThread() == m_owner) {
            ++m_fromOwner;
            return;
        }
        if (m_stallAfter > 0 && --m_stallAfter == 0)
            m_stalled = true;
        if (write && m_stallAtWrite > 0 && --m_stallAtWrite == 0)
            m_stalled = true;
        const QDeadlineTimer deadline(kLongestHoldMs);
        ++m_held;
        while (m_stalled && !deadline.hasExpired())
            m_resumed.wait(&m_mutex, deadline);
        --m_held;
        if (m_stalled)
            ++m_overdue;
    }

private:
    mutable QMutex m_mutex;
    QWaitCondition m_resumed;
    QThread* m_owner = QThread::currentThread();
    bool m_stalled = false;
    int m_stallAfter = 0;
    int m_stallAtWrite = 0;
    int m_held = 0;
    int m_overdue = 0;
    int m_fromOwner = 0;
};

namespace StalledShareDetail {
struct OwnRealFiles {
    RealFileAccess real; // never the window thread's instance()
};
} // namespace StalledShareDetail

// The local disk behind a stalled share.
class StalledFileAccess : private StalledShareDetail::OwnRealFiles, public ForwardingFileAccess {
public:
    explicit StalledFileAccess(StalledShare& share)
        : ForwardingFileAccess(real)
        , m_share(share)
    {
    }

    // For a window's jobs: each gets a file access of its own behind the same share.
    static std::function<std::unique_ptr<FileAccess>()> maker(StalledShare& share)
    {
        return [&share]() -> std::unique_ptr<FileAccess> {
            return std::make_unique<StalledFileAccess>(share);
        };
    }

protected:
    void noteCall(Call call) override { m_share.pass(call == Call::Write); }

private:
    StalledShare& m_share;
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
