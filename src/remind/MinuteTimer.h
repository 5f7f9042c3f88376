#pragma once

#include <QDateTime>
#include <QTimer>

#include <functional>

// Runs a task at once and then as each minute begins, a moment after it turns, so what falls
// due at a minute is done within its first second. Every wait is reckoned anew from the clock:
// a late run, a changed clock or a machine waking from sleep never shifts the runs after it.
class MinuteTimer {
public:
    using Clock = std::function<QDateTime()>;

    // How long after the minute turns the task runs: a timer firing a little early still lands
    // in the new minute.
    static constexpr int kMarginMs = 250;

    // clock is the wall clock (tests pass their own); the task runs on this thread.
    explicit MinuteTimer(std::function<void()> task, Clock clock = {});

    MinuteTimer(const MinuteTimer&) = delete;
    MinuteTimer& operator=(const MinuteTimer&) = delete;

    // Runs the task now and waits for the next minute.
    void start();
    // What the timer does when the wait is over: the task, then the wait for the next minute.
    void tick();
    void stop() { m_timer.stop(); }

    // From now to kMarginMs past the start of the next minute.
    static int msecsToNextMinute(const QDateTime& now);
    // The wait running now; -1 when stopped.
    int waitingMsecs() const { return m_timer.isActive() ? m_timer.interval() : -1; }

private:
    std::function<void()> m_task;
    Clock m_clock;
    QTimer m_timer;
};
