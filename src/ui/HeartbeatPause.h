#pragma once

#include <QPointer>
#include <QTimer>

#include <utility>

// Switches the main window's heartbeat off for as long as it lives and then restores what it
// was, so no view rebuild or reminder check runs inside a modal window, a drag or another
// check. A null timer is nothing to pause; a timer deleted meanwhile is left alone.
class HeartbeatPause {
public:
    explicit HeartbeatPause(QTimer* heartbeat)
        : m_heartbeat(heartbeat)
        , m_wasOn(heartbeat && heartbeat->isActive())
    {
        if (m_heartbeat)
            m_heartbeat->stop();
    }
    HeartbeatPause(HeartbeatPause&& other) noexcept
        : m_heartbeat(std::exchange(other.m_heartbeat, nullptr))
        , m_wasOn(other.m_wasOn)
    {
    }
    HeartbeatPause(const HeartbeatPause&) = delete;
    HeartbeatPause& operator=(const HeartbeatPause&) = delete;
    HeartbeatPause& operator=(HeartbeatPause&&) = delete;
    ~HeartbeatPause()
    {
        if (m_heartbeat && m_wasOn)
            m_heartbeat->start();
    }

private:
    QPointer<QTimer> m_heartbeat;
    bool m_wasOn;
};
