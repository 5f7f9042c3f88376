#pragma once

// A share that stops answering until the test lets it go on. Header only: the tests that
// include it link the profile layer.
#include "FileAccess.h"

#include <QMutex>
#include <QThread>
#include <QWaitCondition>

#include <memory>

// Holds every call of the file accesses behind it while closed. Calls from the thread that
// made it (the window's) are never held, only counted: a test asserts there are none instead
// of hanging. Shared with the file access, which an abandoned thread may hold beyond the test.
class ShareGate {
public:
    void close() { setClosed(true); }
    void open() { setClosed(false); }

    // Calls held right now.
    int held() const
    {
        QMutexLocker lock(&m_mutex);
        return m_held;
    }
    // Calls made from the thread that made the gate.
    int callsFromOwner() const
    {
        QMutexLocker lock(&m_mutex);
        return m_fromOwner;
    }
    // True once every file access behind the gate is gone.
    bool unused() const
    {
        QMutexLocker lock(&m_mutex);
        return m_users == 0;
    }

    void pass()
    {
        QMutexLocker lock(&m_mutex);
        if (QThread::currentThread() == m_owner) {
            ++m_fromOwner;
            return;
        }
        ++m_held;
        while (m_closed)
            m_opened.wait(&m_mutex);
        --m_held;
    }
    void addUser(int delta)
    {
        QMutexLocker lock(&m_mutex);
        m_users += delta;
    }

private:
    void setClosed(bool closed)
    {
        QMutexLocker lock(&m_mutex);
        m_closed = closed;
        m_opened.wakeAll();
    }

    mutable QMutex m_mutex;
    QWaitCondition m_opened;
    QThread* m_owner = QThread::currentThread();
    bool m_closed = false;
    int m_held = 0;
    int m_fromOwner = 0;
    int m_users = 0;
};

// The local file system behind a gate, with a RealFileAccess of its own (it is used on
// another thread than the tests' one).
class BlockingFileAccess : public ForwardingFileAccess {
public:
    explicit BlockingFileAccess(std::shared_ptr<ShareGate> gate)
        : ForwardingFileAccess(m_real)
        , m_gate(std::move(gate))
    {
        m_gate->addUser(1);
    }
    ~BlockingFileAccess() override { m_gate->addUser(-1); }

protected:
    void noteCall(Call) override { m_gate->pass(); }

private:
    RealFileAccess m_real; // the base keeps a reference before it is made, and uses it after
    std::shared_ptr<ShareGate> m_gate;
};
