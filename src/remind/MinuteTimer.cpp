#include "remind/MinuteTimer.h"

MinuteTimer::MinuteTimer(std::function<void()> task, Clock clock)
    : m_task(std::move(task))
    , m_clock(clock ? std::move(clock) : [] { return QDateTime::currentDateTime(); })
{
    // A coarse timer may fire several seconds early or late on a wait of a minute.
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setSingleShot(true);
    QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] { tick(); });
}

void MinuteTimer::start()
{
    tick();
}

void MinuteTimer::tick()
{
    m_task();
    m_timer.start(msecsToNextMinute(m_clock()));
}

int MinuteTimer::msecsToNextMinute(const QDateTime& now)
{
    const QTime time = now.time();
    const int intoMinute = time.second() * 1000 + time.msec();
    return 60 * 1000 - intoMinute + kMarginMs;
}
