#include "SpawnedProcess.h"

#include <QDeadlineTimer>
#include <QFile>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

SpawnedProcess::~SpawnedProcess()
{
    kill();
}

bool SpawnedProcess::start(const QString& program, const QStringList& arguments,
                           const QString& outputFile)
{
    std::vector<QByteArray> words{QFile::encodeName(program)};
    for (const QString& argument : arguments)
        words.push_back(argument.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const QByteArray output =
        outputFile.isEmpty() ? QByteArray("/dev/null") : QFile::encodeName(outputFile);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, output.constData(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    const int failure = posix_spawnp(&m_pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failure != 0) {
        m_pid = -1;
        m_error = QStringLiteral("%1 cannot be started: %2")
                      .arg(program, QString::fromLocal8Bit(std::strerror(failure)));
        return false;
    }
    return true;
}

void SpawnedProcess::reaped(int status)
{
    m_pid = -1;
    m_exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool SpawnedProcess::running()
{
    if (m_pid <= 0)
        return false;
    int status = 0;
    const pid_t done = ::waitpid(m_pid, &status, WNOHANG);
    if (done == m_pid || (done < 0 && errno == ECHILD)) {
        reaped(status);
        return false;
    }
    return true;
}

bool SpawnedProcess::waitForFinished(int ms)
{
    if (!running())
        return true;
    // The process's descriptor turns readable when it ends: waited for, not polled.
    const int fd = int(::syscall(SYS_pidfd_open, m_pid, 0));
    if (fd >= 0) {
        pollfd ended{fd, POLLIN, 0};
        const QDeadlineTimer deadline(ms);
        while (::poll(&ended, 1, int(deadline.remainingTime())) < 0 && errno == EINTR) {
        }
        ::close(fd);
    }
    return !running();
}

void SpawnedProcess::kill()
{
    if (m_pid <= 0)
        return;
    ::kill(m_pid, SIGKILL);
    int status = 0;
    if (::waitpid(m_pid, &status, 0) == m_pid)
        reaped(status);
    m_pid = -1;
}

int SpawnedProcess::execute(const QString& program, const QStringList& arguments, int ms)
{
    SpawnedProcess process;
    if (!process.start(program, arguments) || !process.waitForFinished(ms))
        return -1;
    return process.exitCode();
}
