#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <algorithm>

// The longest gap between two ticks of a 5 ms timer on the calling thread since the last
// restart: how long that thread could not have answered.
class Ticks {
public:
    Ticks()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout,
                         [this] { m_longest = std::max(m_longest, m_since.restart()); });
        m_since.start();
        m_timer.start(5);
    }
    void restart()
    {
        m_since.restart();
        m_longest = 0;
    }
    qint64 longest() const { return std::max(m_longest, m_since.elapsed()); }

private:
    QTimer m_timer;
    QElapsedTimer m_since;
    qint64 m_longest = 0;
};
