#include "FileAccess.h"

#include "Descriptor.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

QByteArray canonical(const QByteArray& path)
{
    char buffer[PATH_MAX];
    return ::realpath(path.constData(), buffer) ? QByteArray(buffer) : QByteArray();
}

// Where an open file really lies, whatever links led to it. Linux answers from the open
// descriptor, so a name swapped after the open cannot fool it; elsewhere the name is resolved.
QByteArray resolvedPathOf(int fd, const QByteArray& name)
{
    char buffer[PATH_MAX];
    const QByteArray link = "/proc/self/fd/" + QByteArray::number(fd);
    const ssize_t n = ::readlink(link.constData(), buffer, sizeof buffer - 1);
    if (n > 0 && buffer[0] == '/')
        return QByteArray(buffer, n);
    return canonical(name);
}

bool liesInside(const QByteArray& path, const QByteArray& canonicalRoot)
{
    if (path.isEmpty() || canonicalRoot.isEmpty())
        return false;
    if (canonicalRoot == "/" || path == canonicalRoot)
        return true;
    return path.startsWith(canonicalRoot + '/');
}

// Empty root confines nothing; a root that cannot be resolved holds nothing.
bool confinedTo(const QByteArray& path, const QByteArray& canonicalRoot, const QString& root)
{
    return root.isEmpty() || liesInside(path, canonicalRoot);
}

FileMeta metaOf(const struct stat& st)
{
    const qint64 mtimeNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    FileMeta meta;
    meta.modified = QDateTime::fromMSecsSinceEpoch(mtimeNs / 1000000);
    meta.size = st.st_size;
    meta.device = quint64(st.st_dev);
    meta.inode = quint64(st.st_ino);
    meta.modifiedNs = mtimeNs;
    meta.changedNs = qint64(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    return meta;
}

bool endsWithIgnoringCase(const QByteArray& name, const QByteArray& suffix)
{
    return name.size() >= suffix.size() && qstrnicmp(name.constData() + name.size() - suffix.size(),
                                                     suffix.constData(), suffix.size()) == 0;
}

// A name for messages: printable ASCII as it is, every other byte as \xNN.
QString escapedName(const QByteArray& raw)
{
    QString out;
    for (char c : raw) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x20 && u < 0x7F && c != '\\')
            out += QLatin1Char(c);
        else
            out += QStringLiteral("\\x%1").arg(u, 2, 16, QLatin1Char('0'));
    }
    return out;
}

} // namespace

std::optional<DirectoryListing> RealFileAccess::listFiles(const QString& dir, const QString& suffix,
                                                          const QString& root)
{
    const QByteArray dirName = QFile::encodeName(dir);
    Descriptor dirFd(::open(dirName.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dirFd.get() < 0)
        return std::nullopt;
    const QByteArray canonicalRoot = canonicalRootOf(root);
    if (!confinedTo(resolvedPathOf(dirFd.get(), dirName), canonicalRoot, root))
        return std::nullopt;
    DIR* stream = ::fdopendir(dirFd.get());
    if (!stream)
        return std::nullopt;
    dirFd.release(); // the stream owns it now

    // A Windows share may hold ".NV3" names, so letter case does not count.
    const QByteArray wanted = suffix.toLatin1();
    DirectoryListing listing;
    while (const dirent* entry = ::readdir(stream)) {
        const QByteArray raw(entry->d_name);
        if (!endsWithIgnoringCase(raw, wanted))
            continue;
        const QString name = QFile::decodeName(raw);
        if (QFile::encodeName(name) != raw) {
            listing.unrepresentable.append(escapedName(raw));
            continue;
        }
        unsigned char type = entry->d_type;
        struct stat st {};
        if (type == DT_UNKNOWN) {
            if (::fstatat(::dirfd(stream), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
                continue;
            type = S_ISREG(st.st_mode) ? DT_REG : S_ISLNK(st.st_mode) ? DT_LNK : DT_UNKNOWN;
        }
        if (type == DT_REG) {
            listing.names.append(name);
        } else if (type == DT_LNK) {
            // Only a link to a regular file that stays inside the data folder counts.
            const QByteArray target = canonical(dirName + '/' + raw);
            if (::fstatat(::dirfd(stream), entry->d_name, &st, 0) == 0 && S_ISREG(st.st_mode) &&
                confinedTo(target, canonicalRoot, root))
                listing.names.append(name);
        }
    }
    ::closedir(stream);
    return listing;
}

QByteArray RealFileAccess::canonicalRootOf(const QString& root)
{
    // Asked for on every read of a pass: resolved once for as long as the root stays the same.
    if (root.isEmpty())
        return {};
    if (root != m_lastRoot || m_lastCanonicalRoot.isEmpty()) {
        m_lastRoot = root;
        m_lastCanonicalRoot = canonical(QFile::encodeName(root));
    }
    return m_lastCanonicalRoot;
}

bool RealFileAccess::isListableDir(const QString& dir)
{
    const QFileInfo info(dir);
    return info.isDir() && info.isReadable();
}

std::optional<FileMeta> RealFileAccess::metadata(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return metaOf(st);
}

bool RealFileAccess::exists(const QString& path)
{
    struct stat st {};
    return !path.isEmpty() && ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

ReadOutcome RealFileAccess::read(const QString& path, qint64 maxBytes, const QString& root)
{
    ReadOutcome outcome;
    const QByteArray name = QFile::encodeName(path);
    // Non-blocking, so a FIFO swapped in under the name cannot hold us.
    Descriptor fd(::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0) {
        const int error = errno;
        outcome.status = error == ENOENT || error == ENOTDIR ? ReadOutcome::Missing
                         : error == ENXIO || error == ELOOP  ? ReadOutcome::NotRegular
                                                             : ReadOutcome::Failed;
        outcome.error = systemReason(error);
        return outcome;
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) {
        outcome.status = ReadOutcome::Failed;
        outcome.error = systemReason(errno);
        return outcome;
    }
    if (!S_ISREG(st.st_mode) ||
        !confinedTo(resolvedPathOf(fd.get(), name), canonicalRootOf(root), root)) {
        outcome.status = ReadOutcome::NotRegular;
        return outcome;
    }
    const qint64 wanted = std::min<qint64>(maxBytes, std::max<qint64>(st.st_size, 0) + 1);
    QByteArray bytes(wanted, Qt::Uninitialized);
    qint64 total = 0;
    while (total < wanted) {
        const ssize_t n = ::read(fd.get(), bytes.data() + total, size_t(wanted - total));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            outcome.status = ReadOutcome::Failed;
            outcome.error = systemReason(errno);
            return outcome;
        }
        if (n == 0)
            break;
        total += n;
    }
    bytes.truncate(total);
    outcome.status = ReadOutcome::Read;
    outcome.bytes = std::move(bytes);
    outcome.meta = metaOf(st);
    return outcome;
}

WriteOutcome RealFileAccess::writeAtomically(const QString& path, const QByteArray& content,
                                             const QString& root)
{
    if (!root.isEmpty()) {
        // The file itself when it is there (a link is followed to its target), else the
        // directory it will be created in.
        const QByteArray name = QFile::encodeName(path);
        struct stat st {};
        const bool there = ::lstat(name.constData(), &st) == 0;
        const QByteArray resolved =
            there ? canonical(name) : canonical(QFile::encodeName(QFileInfo(path).path()));
        if (!confinedTo(resolved, canonicalRootOf(root), root))
            return WriteOutcome::failed(WriteOutcome::Cause::OutsideFolder, path);
    }
    // The temporary name QSaveFile draws never ends in the appointment extension, so a listing
    // by another user never picks up a half-written file.
    QSaveFile file(path);
    const auto failed = [&](const QString& reason) {
        return WriteOutcome::failed(WriteOutcome::Cause::System, path, reason);
    };
    if (!file.open(QIODevice::WriteOnly))
        return failed(file.errorString());
    if (file.write(content) != content.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return failed(reason);
    }
    if (!file.commit())
        return failed(file.errorString());
    return WriteOutcome::done();
}

bool RealFileAccess::remove(const QString& path)
{
    return !path.isEmpty() && ::unlink(QFile::encodeName(path).constData()) == 0;
}

bool RealFileAccess::makePath(const QString& dir)
{
    return QDir().mkpath(dir);
}

RealFileAccess& RealFileAccess::instance()
{
    static RealFileAccess real;
    return real;
}

void CountingFileAccess::noteCall(Call call)
{
    switch (call) {
    case Call::Listing:
        ++m_counts.listings;
        break;
    case Call::Metadata:
        ++m_counts.metadataQueries;
        break;
    case Call::Read:
        ++m_counts.reads;
        break;
    case Call::Write:
        ++m_counts.writes;
        break;
    case Call::Removal:
        ++m_counts.removals;
        break;
    case Call::MakePath:
        ++m_counts.makePaths;
        break;
    }
}
