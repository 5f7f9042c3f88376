#pragma once

#include <cerrno>
#include <unistd.h>

#include <utility>

// An open file descriptor, closed when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd)
        : m_fd(fd)
    {
    }
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int get() const { return m_fd; }
    int release() { return std::exchange(m_fd, -1); }
    // Closes the one held, if any, and holds fd instead; errno stays that of the call that
    // gave fd.
    void reset(int fd)
    {
        const int error = errno;
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
        errno = error;
    }
    // Closing reports the write errors a share may only notice then.
    int close() { return ::close(std::exchange(m_fd, -1)); }

private:
    int m_fd;
};
