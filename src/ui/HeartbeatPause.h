#pragma once

#include <QPointer>
#include <QTimer>

#include <memory>
#include <utility>

// The one owner of the main window's heartbeat pause: whoever must not see a view rebuild or
// a reminder check (a modal window, an edit under way, a drag, the check itself) takes a
// Holder. The first holder stops the heartbeat, and only when the last one is gone does it
// beat again, and only if it was beating before. A null timer is nothing to pause; a timer
// deleted meanwhile is left alone.
class HeartbeatPause {
    struct State {
        QPointer<QTimer> heartbeat;
        int holders = 0;
        bool wasOn = false;
    };

public:
    // Keeps the heartbeat paused for as long as it lives; moved, the new one keeps it.
    class [[nodiscard]] Holder {
    public:
        Holder() = default;
        Holder(Holder&& other) noexcept = default;
        Holder& operator=(Holder&& other) noexcept
        {
            if (this != &other) {
                release();
                m_state = std::move(other.m_state);
            }
            return *this;
        }
        Holder(const Holder&) = delete;
        Holder& operator=(const Holder&) = delete;
        ~Holder() { release(); }

        explicit operator bool() const { return m_state != nullptr; }
        // Lets go early; the last to let go lets the heartbeat beat again.
        void release()
        {
            const std::shared_ptr<State> state = std::exchange(m_state, nullptr);
            if (state && --state->holders == 0 && state->wasOn && state->heartbeat)
                state->heartbeat->start();
        }

    private:
        friend class HeartbeatPause;
        explicit Holder(std::shared_ptr<State> state)
            : m_state(std::move(state))
        {
        }
        std::shared_ptr<State> m_state;
    };

    explicit HeartbeatPause(QTimer* heartbeat)
        : m_state(std::make_shared<State>())
    {
        m_state->heartbeat = heartbeat;
    }

    Holder hold()
    {
        if (m_state->holders++ == 0) {
            m_state->wasOn = m_state->heartbeat && m_state->heartbeat->isActive();
            if (m_state->heartbeat)
                m_state->heartbeat->stop();
        }
        return Holder(m_state);
    }
    int holders() const { return m_state->holders; }
    // At exit: the holders still out end unseen and wake nothing any more.
    void abandon()
    {
        if (m_state->heartbeat)
            m_state->heartbeat->stop();
        m_state->heartbeat = nullptr;
    }

private:
    // Shared with the holders, so one outliving the window touches nothing freed.
    std::shared_ptr<State> m_state;
};
