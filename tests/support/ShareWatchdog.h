#pragma once

// Resumes a slow share that the test has not let go within 20 s: a window or a crawl that waited
// for it would hang the test for good, and now fails it with what it did. Header only.
#include "SlowShare.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>

class ShareWatchdog {
public:
    ShareWatchdog(SlowShare& share, const char* failure)
        : m_failure(failure)
        , m_fired(std::async(std::launch::async, [&share, done = m_done.get_future()] {
            if (done.wait_for(std::chrono::seconds(20)) == std::future_status::ready)
                return false;
            share.resume();
            return true;
        }))
    {
    }
    ~ShareWatchdog() { finish(); }
    // The share is the test's again.
    void finish()
    {
        if (!m_fired.valid())
            return;
        m_done.set_value();
        if (m_fired.get())
            ADD_FAILURE() << m_failure;
    }

private:
    const char* m_failure;
    std::promise<void> m_done;
    std::future<bool> m_fired;
};
