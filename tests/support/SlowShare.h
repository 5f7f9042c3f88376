#pragma once

#include "SpawnedProcess.h"

#include <QList>
#include <QString>
#include <QTemporaryDir>

// A network share on this machine for tests and benchmarks: a temporary backing folder mounted
// through tests/support/slow_share.py, which adds a delay to every request, holds every request
// while the share is stalled, and logs each one. Whatever touches a stalled share sleeps in the
// kernel until it resumes.
class SlowShare {
public:
    enum class Kind {
        Harsh,      // nothing kept by the kernel; the names of a directory asked one at a time
        ClientLike, // as a file server's client: names and attributes kept for a second
    };
    static const char* nameOf(Kind kind) { return kind == Kind::Harsh ? "harsh" : "client-like"; }

    struct Request {
        QString operation; // getattr, readdir, open, read, create, write, rename, ...
        QString path;      // inside the share, "/" its top
        double at = 0;     // seconds since the share was mounted, when the request came in
    };

    // Why no share can be mounted on this machine (no /dev/fuse, no tool, no fusepy, a mount
    // refused); empty when one can. Found out once per process and kind, with a trial mount.
    static QString unavailable(Kind kind = Kind::Harsh);

    // Mounts an empty backing folder with delayMs per request and waits until it is up.
    explicit SlowShare(double delayMs, Kind kind = Kind::Harsh);
    // Resumes, unmounts and ends the file system's process.
    ~SlowShare();
    SlowShare(const SlowShare&) = delete;
    SlowShare& operator=(const SlowShare&) = delete;

    Kind kind() const { return m_kind; }
    // Empty once mounted, else why it is not.
    QString error() const { return m_error; }
    // Where another user writes directly, unseen by the delay and the stall.
    QString backingPath() const;
    // The share as a program sees it: the data folder it is given.
    QString mountPath() const;

    // Every request waits from stall() until resume(); both callable from any thread.
    void stall();
    void resume();

    // The requests logged since the mount or the last restartLog(), of one operation if given.
    QList<Request> requests(const QString& operation = {}) const;
    void restartLog();

private:
    QTemporaryDir m_dir; // backing folder, mount point, stall flag and log
    SpawnedProcess m_process;
    QString m_error;
    Kind m_kind = Kind::Harsh;
    bool m_mounted = false;
    qint64 m_logStart = 0;
};
