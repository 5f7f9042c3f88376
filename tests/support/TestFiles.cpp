#include "TestFiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>

namespace TestFiles {

bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

bool writeSettled(const QString& path, const QByteArray& bytes)
{
    return writeBytes(path, bytes) &&
           setModified(path, QDateTime::currentDateTime().addSecs(-3600));
}

QByteArray readBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString putAppointment(const QString& folder, const QDate& day, int startHour, const QString& text)
{
    static int number = 100;
    const QString path = folder + day.toString("/'y'yyyy/'m'M/'d'd/") + QString::number(++number) +
                         QStringLiteral(".nv3");
    writeSettled(path, QStringLiteral("[AppointmentSettings]\r\nStartTimeHour=%1\r\n"
                                      "EndTimeHour=%2\r\nText=%3\r\nIsReminder=0\r\n")
                           .arg(startHour)
                           .arg(startHour + 1)
                           .arg(text)
                           .toUtf8());
    return path;
}

bool setModified(const QString& path, const QDateTime& time)
{
    QFile file(path);
    return file.open(QIODevice::ReadWrite) &&
           file.setFileTime(time, QFileDevice::FileModificationTime);
}

bool settleDirectories(const QString& root)
{
    const timespec back = {time(nullptr) - 3600, 0};
    const timespec times[2] = {back, back};
    bool settled = true;
    QStringList dirs{root};
    for (QDirIterator it(root, QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
         it.hasNext();)
        dirs << it.next();
    for (const QString& dir : std::as_const(dirs))
        settled &= utimensat(AT_FDCWD, QFile::encodeName(dir).constData(), times, 0) == 0;
    return settled;
}

FileSizeLimit::FileSizeLimit(long long bytes)
{
    std::signal(SIGXFSZ, SIG_IGN); // the write fails with an error instead of ending the process
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    m_previous = limit.rlim_cur;
    limit.rlim_cur = rlim_t(bytes);
    setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit()
{
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = rlim_t(m_previous);
    setrlimit(RLIMIT_FSIZE, &limit);
}

} // namespace TestFiles
