#pragma once

#include <QString>
#include <QStringList>

#include <sys/types.h>

// A helper program a test starts beside itself: a server, a file system. Started with
// posix_spawn, which, unlike Qt's process class, leaves ThreadSanitizer's view of the test's
// own threads intact.
class SpawnedProcess {
public:
    SpawnedProcess() = default;
    // Ends the program (SIGKILL) if it still runs, and reaps it.
    ~SpawnedProcess();
    SpawnedProcess(const SpawnedProcess&) = delete;
    SpawnedProcess& operator=(const SpawnedProcess&) = delete;

    // Standard output and error go to outputFile, or nowhere when it is empty. False, with the
    // reason in error(), when the program cannot be started.
    bool start(const QString& program, const QStringList& arguments,
               const QString& outputFile = {});
    bool running();
    // True once it ended within ms.
    bool waitForFinished(int ms);
    // Its exit code once it ended normally, -1 otherwise.
    int exitCode() const { return m_exitCode; }
    pid_t pid() const { return m_pid; }
    void kill();
    QString error() const { return m_error; }

    // Runs a program to its end (at most ms) and gives its exit code, -1 when it did not end
    // normally or in time.
    static int execute(const QString& program, const QStringList& arguments, int ms = 30000);

private:
    void reaped(int status);

    pid_t m_pid = -1;
    int m_exitCode = -1;
    QString m_error;
};
