#include "tools/FolderSpeedTest.h"

#include "profile/Descriptor.h"
#include "profile/FileAccess.h"

#include <QElapsedTimer>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

SpeedTestFiles::Failure failure(const char* operation, int error)
{
    return {QLatin1String(operation), QString::fromLocal8Bit(std::strerror(error))};
}

SpeedTestFiles::Failure notRegular(const char* operation)
{
    return {QLatin1String(operation), QStringLiteral("not a regular file")};
}

// Opens only a regular file, never through a link, and never waits on a FIFO or device: its
// type is checked before the open and again on the open file.
std::optional<SpeedTestFiles::Failure> openRegular(const QByteArray& name, int flags,
                                                   const char* operation, int& fd)
{
    struct stat st {};
    if (::lstat(name.constData(), &st) == 0 && !S_ISREG(st.st_mode))
        return notRegular(operation);
    fd = ::open(name.constData(), flags | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0)
        return failure(operation, errno);
    if (::fstat(fd, &st) != 0)
        return failure(operation, errno);
    if (!S_ISREG(st.st_mode))
        return notRegular(operation);
    return std::nullopt;
}

class RealSpeedTestFiles : public SpeedTestFiles {
public:
    std::optional<Failure> append(const QString& path, const QByteArray& bytes) override
    {
        int raw = -1;
        const auto opened = openRegular(QFile::encodeName(path), O_WRONLY | O_APPEND | O_CREAT,
                                        "open for appending", raw);
        Descriptor fd(raw);
        if (opened)
            return opened;
        qsizetype written = 0;
        while (written < bytes.size()) {
            const ssize_t n =
                ::write(fd.get(), bytes.constData() + written, size_t(bytes.size() - written));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                return failure("write", errno);
            written += n;
        }
        if (fd.close() != 0)
            return failure("write", errno);
        return std::nullopt;
    }

    std::optional<Failure> readWhole(const QString& path) override
    {
        int raw = -1;
        const auto opened = openRegular(QFile::encodeName(path), O_RDONLY, "open for reading", raw);
        Descriptor fd(raw);
        if (opened)
            return opened;
        char buffer[64 * 1024];
        for (;;) {
            const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                return failure("read", errno);
            if (n == 0)
                return std::nullopt;
        }
    }

    std::optional<Failure> remove(const QString& path) override
    {
        if (::unlink(QFile::encodeName(path).constData()) != 0)
            return failure("delete", errno);
        return std::nullopt;
    }
};

} // namespace

SpeedTestFiles& SpeedTestFiles::real()
{
    static RealSpeedTestFiles files;
    return files;
}

FolderSpeedTest::FolderSpeedTest(SpeedTestFiles& files, Clock clock)
    : m_files(files)
    , m_clock(std::move(clock))
{
}

qint64 FolderSpeedTest::now() const
{
    if (m_clock)
        return m_clock();
    static QElapsedTimer started = [] {
        QElapsedTimer timer;
        timer.start();
        return timer;
    }();
    return started.nsecsElapsed();
}

QByteArray FolderSpeedTest::passText(int pass)
{
    return "Norvane Test File For Performance Test" + QByteArray::number(pass) +
           ".\r\nCan be deleted\r\n";
}

FolderSpeedTest::Result FolderSpeedTest::run(const QString& folder, const Progress& progress)
{
    const QString path = WithTrailingSeparator(folder) + QLatin1String(kFileName);
    Result result;
    auto failed = [&](const SpeedTestFiles::Failure& failure) {
        result.verdict = Verdict::Error;
        result.error = QStringLiteral("%1 %2: %3").arg(failure.operation, path, failure.reason);
        return result;
    };

    const qint64 start = now();
    for (int pass = 1; pass <= kPasses; ++pass) {
        if (progress)
            progress(pass);
        if (const auto failure = m_files.append(path, passText(pass)))
            return failed(*failure); // the file stays for whoever looks into it
        if (const auto failure = m_files.readWhole(path))
            return failed(*failure);
    }
    result.seconds = double(now() - start) / 1e9;
    if (const auto failure = m_files.remove(path))
        return failed(*failure);
    result.verdict = result.seconds <= kThresholdSeconds ? Verdict::Fast : Verdict::Slow;
    return result;
}
