#include "SlowShare.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#ifndef NORVANE_SLOWFS_TOOL
#define NORVANE_SLOWFS_TOOL ""
#endif

namespace {

const QString kTool = QStringLiteral(NORVANE_SLOWFS_TOOL);
// Debian's own interpreter, where python3-fusepy lives, whatever else is first on the path.
const QString kPython = QStringLiteral("/usr/bin/python3");

// Asks the kernel's table, never the mount itself, which may be stalled.
bool isMountPoint(const QString& path)
{
    QFile table(QStringLiteral("/proc/self/mountinfo"));
    // The table writes a blank, a tab, a line break and a backslash as octal escapes.
    QByteArray escaped = QFile::encodeName(path).replace('\\', "\\134");
    escaped.replace(' ', "\\040").replace('\t', "\\011").replace('\n', "\\012");
    return table.open(QIODevice::ReadOnly) && table.readAll().contains(" " + escaped + " ");
}

// What a process that ended said last (its output went to outputFile), or why it did not start.
QString lastWords(const SpawnedProcess& process, const QString& outputFile)
{
    if (!process.error().isEmpty())
        return process.error();
    QFile output(outputFile);
    return output.open(QIODevice::ReadOnly)
               ? QString::fromLocal8Bit(output.readAll()).trimmed().section(QLatin1Char('\n'), -1)
               : QString();
}

} // namespace

namespace {

QString whyNot(SlowShare::Kind kind)
{
    if (kTool.isEmpty() || !QFileInfo::exists(kTool))
        return QStringLiteral("no slow file system tool at \"%1\"").arg(kTool);
    const int fuse = ::open("/dev/fuse", O_RDWR | O_CLOEXEC);
    if (fuse < 0)
        return QStringLiteral("/dev/fuse cannot be opened: %1").arg(std::strerror(errno));
    ::close(fuse);
    if (QStandardPaths::findExecutable(QStringLiteral("fusermount3")).isEmpty())
        return QStringLiteral("no fusermount3 (Debian package fuse3)");
    const QTemporaryDir scratch;
    const QString said = scratch.filePath(QStringLiteral("said"));
    SpawnedProcess python;
    const bool harsh = kind == SlowShare::Kind::Harsh;
    python.start(kPython,
                 {QStringLiteral("-c"),
                  harsh ? QStringLiteral("import fusepy") : QStringLiteral("import pyfuse3")},
                 said);
    if (!python.waitForFinished(30000) || python.exitCode() != 0)
        return QStringLiteral("%1 cannot load %2: %3")
            .arg(kPython,
                 harsh ? QStringLiteral("fusepy (Debian packages python3-fusepy and libfuse2)")
                       : QStringLiteral("pyfuse3 (Debian package python3-pyfuse3)"),
                 lastWords(python, said));
    return SlowShare(0, kind).error();
}

} // namespace

QString SlowShare::unavailable(Kind kind)
{
    // Each kind's trial mount only where that kind is asked for.
    const auto reasonOf = [](Kind asked) -> const QString& {
        if (asked == Kind::Harsh) {
            static const QString harsh = whyNot(Kind::Harsh);
            return harsh;
        }
        static const QString clientLike = whyNot(Kind::ClientLike);
        return clientLike;
    };
    const QString& reason = reasonOf(kind);
    return reason.isEmpty() ? QString()
                            : QStringLiteral("no %1 slow share here: ").arg(nameOf(kind)) + reason;
}

SlowShare::SlowShare(double delayMs, Kind kind)
    : m_kind(kind)
{
    if (!m_dir.isValid()) {
        m_error = QStringLiteral("no temporary directory: ") + m_dir.errorString();
        return;
    }
    QDir().mkpath(backingPath());
    QDir().mkpath(mountPath());
    const QString said = m_dir.filePath(QStringLiteral("said"));
    QStringList arguments = {kTool,
                             backingPath(),
                             mountPath(),
                             QStringLiteral("--delay-ms"),
                             QString::number(delayMs),
                             QStringLiteral("--stall-flag"),
                             m_dir.filePath(QStringLiteral("stalled")),
                             QStringLiteral("--log"),
                             m_dir.filePath(QStringLiteral("requests.log"))};
    if (kind == Kind::ClientLike)
        arguments << QStringLiteral("--client-like");
    m_process.start(kPython, arguments, said);
    const QDeadlineTimer deadline(15000);
    while (!isMountPoint(mountPath())) {
        if (m_process.waitForFinished(20)) {
            m_error = QStringLiteral("the mount was refused: ") + lastWords(m_process, said);
            return;
        }
        if (deadline.hasExpired()) {
            m_error = QStringLiteral("the mount did not come up within 15 s");
            return;
        }
    }
    m_mounted = true;
    restartLog();
}

SlowShare::~SlowShare()
{
    resume(); // a request held now would keep the share busy for good
    const QString tool = QStringLiteral("fusermount3");
    // A thread that was left on the share may hold a file open for a moment longer.
    for (int attempt = 0; m_mounted && attempt < 30 && isMountPoint(mountPath()); ++attempt)
        if (SpawnedProcess::execute(tool, {QStringLiteral("-uq"), mountPath()}) != 0)
            QThread::msleep(100);
    if (m_mounted && isMountPoint(mountPath()))
        SpawnedProcess::execute(tool, {QStringLiteral("-uqz"), mountPath()});
    if (!m_process.waitForFinished(5000))
        m_process.kill();
    // Removing the temporary directory must never walk into a share that is still there.
    if (isMountPoint(mountPath()))
        m_dir.setAutoRemove(false);
}

QString SlowShare::backingPath() const
{
    return m_dir.filePath(QStringLiteral("backing"));
}

QString SlowShare::mountPath() const
{
    return m_dir.filePath(QStringLiteral("share"));
}

void SlowShare::stall()
{
    QFile(m_dir.filePath(QStringLiteral("stalled"))).open(QIODevice::WriteOnly);
}

void SlowShare::resume()
{
    QFile::remove(m_dir.filePath(QStringLiteral("stalled")));
}

QList<SlowShare::Request> SlowShare::requests(const QString& operation) const
{
    QFile log(m_dir.filePath(QStringLiteral("requests.log")));
    if (!log.open(QIODevice::ReadOnly) || !log.seek(m_logStart))
        return {};
    QByteArray text = log.readAll();
    text.truncate(text.lastIndexOf('\n') + 1); // a line still being written counts next time
    QList<Request> seen;
    for (const QByteArray& line : text.split('\n')) {
        // "<seconds> <operation> <path>"; the path may hold blanks.
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() < 3)
            continue;
        const Request request{QString::fromUtf8(fields[1]),
                              QString::fromUtf8(line.mid(fields[0].size() + fields[1].size() + 2)),
                              fields[0].toDouble()};
        if (operation.isEmpty() || request.operation == operation)
            seen << request;
    }
    return seen;
}

void SlowShare::restartLog()
{
    m_logStart = QFileInfo(m_dir.filePath(QStringLiteral("requests.log"))).size();
}
