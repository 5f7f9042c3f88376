#include "profile/WriteSteps.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <system_error>
#include <unistd.h>
#include <utility>

FileMeta metaOf(const struct stat& st)
{
    const qint64 mtimeNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    FileMeta meta;
    // In UTC: a time in the local zone asks the system for its zone rules at every file.
    meta.modified = QDateTime::fromMSecsSinceEpoch(mtimeNs / 1000000, Qt::UTC);
    meta.size = st.st_size;
    meta.device = quint64(st.st_dev);
    meta.inode = quint64(st.st_ino);
    meta.modifiedNs = mtimeNs;
    meta.changedNs = qint64(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    return meta;
}

std::optional<FileMeta> MetadataAt(int dirFd, const QByteArray& name)
{
    struct stat st {};
    if (::fstatat(dirFd, name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return std::nullopt;
    return metaOf(st);
}

std::future<std::optional<FileMeta>> MetadataBeside(int dirFd, const QByteArray& name)
{
    const int fd = ::openat(dirFd, name.constData(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return {};
    try {
        return std::async(std::launch::async, [fd] {
            struct stat st {};
            const bool known = ::fstat(fd, &st) == 0;
            ::close(fd);
            return known ? std::optional(metaOf(st)) : std::nullopt;
        });
    } catch (const std::system_error&) {
        ::close(fd);
        return {};
    }
}

int RenameInDirectory(int dirFd, const QByteArray& from, const QByteArray& to,
                      FileAccess::Replace replace)
{
    if (replace == FileAccess::Replace::Never) {
        if (::renameat2(dirFd, from.constData(), dirFd, to.constData(), RENAME_NOREPLACE) == 0)
            return 0;
        if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
            return errno;
        struct stat st {};
        if (::fstatat(dirFd, to.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0)
            return EEXIST;
        if (errno != ENOENT)
            return errno;
    }
    return ::renameat(dirFd, from.constData(), dirFd, to.constData()) == 0 ? 0 : errno;
}

namespace {

// A mount point as the mount table writes it: blanks, tabs, new lines and backslashes escaped.
QByteArray unescaped(const QByteArray& field)
{
    QByteArray text = field;
    for (const auto& [escape, byte] : {std::pair{"\\040", ' '}, std::pair{"\\011", '\t'},
                                       std::pair{"\\012", '\n'}, std::pair{"\\134", '\\'}})
        text.replace(escape, QByteArray(1, byte));
    return text;
}

bool within(const QByteArray& path, const QByteArray& point)
{
    return point == "/" || path == point || path.startsWith(QByteArray(point + '/'));
}

} // namespace

bool OnNetworkFileSystem(const QByteArray& path)
{
    // The mount table is the kernel's own, on this machine: asking it costs the share nothing.
    QFile table(QStringLiteral("/proc/self/mountinfo"));
    if (path.isEmpty() || !table.open(QIODevice::ReadOnly))
        return false;
    QByteArray type;
    qsizetype longest = -1;
    // A file of the kernel's tells no size, so it ends where a line comes empty.
    for (QByteArray line = table.readLine(); !line.isEmpty(); line = table.readLine()) {
        // "id parent major:minor root mount-point options [tags...] - type source options"
        const QList<QByteArray> fields = line.trimmed().split(' ');
        const qsizetype dash = fields.indexOf("-");
        if (dash < 5 || dash + 1 >= fields.size())
            continue;
        const QByteArray point = unescaped(fields[4]);
        // A later mount over the same point hides the earlier one.
        if (within(path, point) && point.size() >= longest) {
            longest = point.size();
            type = fields[dash + 1];
        }
    }
    return type.startsWith("fuse") || type.startsWith("nfs") || type == "cifs" || type == "smb3" ||
           type == "ceph" || type == "9p" || type == "afs";
}
