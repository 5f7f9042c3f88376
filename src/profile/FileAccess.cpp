#include "profile/FileAccess.h"

#include "profile/Descriptor.h"
#include "profile/WriteSteps.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>

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
    return path.startsWith(QByteArray(canonicalRoot + '/'));
}

// Empty root confines nothing; a root that cannot be resolved holds nothing.
bool confinedTo(const QByteArray& path, const QByteArray& canonicalRoot, const QString& root)
{
    return root.isEmpty() || liesInside(path, canonicalRoot);
}

// Opened for the calls that follow, not for reading: "at" calls relative to it resolve only
// the last name on the share.
int openDirectory(const QByteArray& dir, int at = AT_FDCWD, int flags = 0)
{
    return ::openat(at, dir.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC | flags);
}

// A path as the kernel would name it were there no links on the way: "/a/b/../c/" is "/a/c".
QByteArray cleaned(const QString& path)
{
    QByteArray clean = QFile::encodeName(QDir::cleanPath(path));
    while (clean.size() > 1 && clean.endsWith('/'))
        clean.chop(1);
    return clean;
}

// The permission bits a new file loses on creation.
mode_t creationMask()
{
    static const mode_t mask = [] {
        // Read where the kernel tells it: setting it to learn it would race other threads.
        QFile status(QStringLiteral("/proc/self/status"));
        if (status.open(QIODevice::ReadOnly)) {
            for (const QByteArray& line : status.readAll().split('\n')) {
                if (line.startsWith("Umask:"))
                    return mode_t(line.mid(6).trimmed().toUInt(nullptr, 8));
            }
        }
        const mode_t current = ::umask(022);
        ::umask(current);
        return current;
    }();
    return mask;
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

// A path as its directory and its last name; none where the name is no file's.
struct Placed {
    QByteArray dir;
    QByteArray base;
};
std::optional<Placed> placed(const QByteArray& name)
{
    const qsizetype slash = name.lastIndexOf('/');
    Placed at{slash < 0    ? QByteArray(".")
              : slash == 0 ? QByteArray("/")
                           : name.left(slash),
              name.mid(slash + 1)};
    if (at.base.isEmpty() || at.base == "." || at.base == "..")
        return std::nullopt;
    return at;
}

// Notes the names in dir, keeping what is known of at most `most` directories.
void know(QHash<QByteArray, QSet<QByteArray>>& known, const QByteArray& dir, QSet<QByteArray> names,
          qsizetype most)
{
    if (known.size() >= most && !known.contains(dir))
        known.clear();
    known.insert(dir, std::move(names));
}

// Writes all of content; 0, or the error that stopped it.
int writeWhole(int fd, const QByteArray& content)
{
    for (qsizetype done = 0; done < content.size();) {
        const ssize_t n = ::write(fd, content.constData() + done, size_t(content.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : EIO;
        done += n;
    }
    return 0;
}

} // namespace

std::optional<DirectoryListing> RealFileAccess::listDirectory(const QString& dir,
                                                              const QString& suffix,
                                                              const QString& root,
                                                              DirectoryTime time)
{
    const QByteArray dirName = QFile::encodeName(dir);
    Descriptor dirFd(::open(dirName.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dirFd.get() < 0)
        return std::nullopt;
    if (!confined(dirFd.get(), dirName, root))
        return std::nullopt;
    DirectoryListing listing;
    // Asked of the open directory before its first name is read: a name that comes later
    // changes the time again.
    if (struct stat st{}; time == DirectoryTime::Asked && ::fstat(dirFd.get(), &st) == 0)
        listing.time = metaOf(st);
    DIR* stream = ::fdopendir(dirFd.get());
    if (!stream)
        return std::nullopt;
    dirFd.release(); // the stream owns it now

    // A Windows share may hold ".NV3" names, so letter case does not count.
    const QByteArray wanted = suffix.toLatin1();
    QSet<QByteArray> seen;
    while (const dirent* entry = ::readdir(stream)) {
        const QByteArray raw(entry->d_name);
        if (raw == "." || raw == "..")
            continue;
        seen.insert(raw);
        const bool wantedName = endsWithIgnoringCase(raw, wanted);
        unsigned char type = entry->d_type;
        struct stat st {};
        if (type == DT_UNKNOWN) {
            if (::fstatat(::dirfd(stream), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
                continue;
            type = S_ISREG(st.st_mode)   ? DT_REG
                   : S_ISLNK(st.st_mode) ? DT_LNK
                   : S_ISDIR(st.st_mode) ? DT_DIR
                                         : DT_UNKNOWN;
        }
        if (type != DT_DIR && !wantedName)
            continue;
        const QString name = QFile::decodeName(raw);
        if (QFile::encodeName(name) != raw) {
            if (wantedName)
                listing.unrepresentable.append(escapedName(raw));
            continue;
        }
        if (type == DT_DIR) {
            listing.directories.append(name);
        } else if (type == DT_REG) {
            listing.names.append(name);
        } else if (type == DT_LNK) {
            // Only a link to a regular file that stays inside the data folder counts.
            const QByteArray target = canonical(dirName + '/' + raw);
            if (::fstatat(::dirfd(stream), entry->d_name, &st, 0) == 0 && S_ISREG(st.st_mode) &&
                confinedTo(target, canonicalRootOf(root), root))
                listing.names.append(name);
        }
    }
    ::closedir(stream);
    // Every name counts, a link or a file too: only a name that is not there at all is made.
    know(m_namesIn, cleaned(dir), seen, kDirectoriesKnown);
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

bool RealFileAccess::onShare(const QString& root)
{
    if (root != m_kindKnownOf) {
        m_kindKnownOf = root;
        m_rootOnShare = OnNetworkFileSystem(cleaned(root));
    }
    return m_rootOnShare;
}

bool RealFileAccess::confined(int fd, const QByteArray& name, const QString& root)
{
    if (root.isEmpty())
        return true;
    // Reached without a link on the way, it lies inside by its very name, and the root needs
    // no resolving: on a share that takes a round trip per directory above it.
    const QByteArray resolved = resolvedPathOf(fd, name);
    if (resolved == cleaned(QFile::decodeName(name)) && liesInside(resolved, cleaned(root)))
        return true;
    return liesInside(resolved, canonicalRootOf(root));
}

bool RealFileAccess::isListableDir(const QString& dir)
{
    // Opening it for listing asks the one question in one call.
    const Descriptor fd(::open(QFile::encodeName(dir).constData(),
                               O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_CLOEXEC));
    return !dir.isEmpty() && fd.get() >= 0;
}

std::optional<FileMeta> RealFileAccess::metadata(const QString& path)
{
    struct stat st {};
    const QByteArray name = QFile::encodeName(path);
    if (::stat(name.constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    m_lastSeen = {name, st.st_mode};
    return metaOf(st);
}

std::optional<FileMeta> RealFileAccess::directoryMetadata(const QString& dir)
{
    struct stat st {};
    QByteArray name = QFile::encodeName(dir);
    while (name.size() > 1 && name.endsWith('/'))
        name.chop(1); // a trailing separator would follow a link
    if (name.isEmpty() || ::lstat(name.constData(), &st) != 0 || !S_ISDIR(st.st_mode))
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
    // Non-blocking, so a FIFO swapped in under the name cannot hold us. A link is opened a
    // second time, followed, so that "missing" means nothing at all has the name.
    constexpr int kFlags = O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    Descriptor fd(::open(name.constData(), kFlags | O_NOFOLLOW));
    bool link = false;
    if (fd.get() < 0 && errno == ELOOP) {
        link = true;
        fd.reset(::open(name.constData(), kFlags));
    }
    if (fd.get() < 0) {
        const int error = errno;
        const bool gone = error == ENOENT || error == ENOTDIR;
        outcome.status = gone && !link                              ? ReadOutcome::Missing
                         : gone || error == ENXIO || error == ELOOP ? ReadOutcome::NotRegular
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
    if (!S_ISREG(st.st_mode) || !confined(fd.get(), name, root)) {
        outcome.status = ReadOutcome::NotRegular;
        return outcome;
    }
    m_lastSeen = {name, st.st_mode};
    const qint64 wanted = std::min<qint64>(maxBytes, std::max<qint64>(st.st_size, 0) + 1);
    QByteArray bytes(wanted, Qt::Uninitialized);
    qint64 total = 0;
    while (total < wanted) {
        const qint64 asked = wanted - total;
        const ssize_t n = ::read(fd.get(), bytes.data() + total, size_t(asked));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            outcome.status = ReadOutcome::Failed;
            outcome.error = systemReason(errno);
            return outcome;
        }
        total += n;
        // Less than asked, and the whole size is in: the end of a regular file, no need to
        // ask the share once more to hear so.
        if (n == 0 || (n < asked && total >= st.st_size))
            break;
    }
    bytes.truncate(total);
    outcome.status = ReadOutcome::Read;
    outcome.bytes = std::move(bytes);
    outcome.meta = metaOf(st);
    return outcome;
}

int RealFileAccess::openTargetDirectory(const QByteArray& dir, const QString& root,
                                        WriteOutcome* failure)
{
    // The common case, the directory is there: one call. One a listing found missing just
    // now (a new day) is made at once.
    const std::optional<Placed> at = placed(cleaned(QFile::decodeName(dir)));
    const auto known = at ? m_namesIn.constFind(at->dir) : m_namesIn.cend();
    const bool missing = !root.isEmpty() && known != m_namesIn.cend() && !known->contains(at->base);
    Descriptor fd(missing ? -1 : openDirectory(dir));
    const int error = missing ? ENOENT : errno;
    if (fd.get() < 0 && (root.isEmpty() || (error != ENOENT && error != ENOTDIR))) {
        *failure = WriteOutcome::failed(WriteOutcome::Cause::System, {}, systemReason(error));
        return -1;
    }
    if (fd.get() < 0)
        fd.reset(makeDirectories(dir, root, failure));
    if (fd.get() >= 0 && !confined(fd.get(), dir, root)) {
        *failure = WriteOutcome::failed(WriteOutcome::Cause::OutsideFolder, {});
        return -1;
    }
    return fd.release();
}

int RealFileAccess::makeDirectories(const QByteArray& dir, const QString& root,
                                    WriteOutcome* failure)
{
    const auto fail = [&](WriteOutcome::Cause cause, int error) {
        *failure = WriteOutcome::failed(cause, {}, error ? systemReason(error) : QString());
        return -1;
    };
    const QByteArray top = cleaned(root);
    const QByteArray below = cleaned(QFile::decodeName(dir));
    if (below != top && !below.startsWith(top == "/" ? top : top + '/'))
        return fail(WriteOutcome::Cause::System, ENOENT); // nothing is made outside root
    const QList<QByteArray> names = below.mid(top.size()).split('/');
    QList<QByteArray> parts;
    for (const QByteArray& name : names) {
        if (!name.isEmpty())
            parts.append(name);
    }
    const auto pathTo = [&](qsizetype depth) {
        QByteArray path = top;
        for (qsizetype i = 0; i < depth; ++i)
            path += (path.endsWith('/') ? "" : "/") + parts[i];
        return path;
    };

    // The directory the last one was made in, while it is still there: usually the month of
    // the new day. Where it lies is asked of the kernel, not of the share.
    qsizetype there = parts.size();
    Descriptor opened(-1);
    int parent = -1;
    QByteArray path;
    if (m_madeIn.get() >= 0 && there > 0 && pathTo(there - 1) == m_madeInName &&
        resolvedPathOf(m_madeIn.get(), m_madeInName) == m_madeInName) {
        --there;
        path = m_madeInName;
        parent = m_madeIn.get();
    }
    // Else up to the nearest directory that is there; usually the month of a new day.
    while (parent < 0 && there > 0) {
        --there;
        path = pathTo(there);
        opened.reset(openDirectory(path));
        parent = opened.get();
        if (parent < 0 && errno != ENOENT && errno != ENOTDIR)
            return fail(WriteOutcome::Cause::System, errno);
    }
    // An unmounted share or a renamed folder is never made again: that would split the
    // team's data into a local copy.
    if (parent < 0)
        return fail(WriteOutcome::Cause::FolderUnreachable, ENOENT);
    if (!confined(parent, path, root))
        return fail(WriteOutcome::Cause::OutsideFolder, 0);
    // Down again, each directory opened without following a link that another copy may have
    // put there meanwhile.
    for (qsizetype i = there; i < parts.size(); ++i) {
        const bool made = ::mkdirat(parent, parts[i].constData(), 0777) == 0;
        if (!made && errno != EEXIST) {
            if (parent == m_madeIn.get()) { // gone since: asked again from the top
                m_madeIn.reset(-1);
                return makeDirectories(dir, root, failure);
            }
            return fail(WriteOutcome::Cause::System, errno);
        }
        if (const auto known = m_namesIn.find(path); known != m_namesIn.end())
            known->insert(parts[i]);
        if (made) // empty, until a write makes a directory in it
            know(m_namesIn, pathTo(i + 1), {}, kDirectoriesKnown);
        Descriptor child(openDirectory(parts[i], parent, O_NOFOLLOW));
        if (child.get() < 0)
            return fail(WriteOutcome::Cause::System, errno);
        if (i + 1 == parts.size() && parent == opened.get()) {
            m_madeIn.reset(opened.release());
            m_madeInName = path;
        }
        path = pathTo(i + 1);
        opened.reset(child.release());
        parent = opened.get();
    }
    return opened.release();
}

WriteOutcome RealFileAccess::writeFile(const QString& path, const QByteArray& content,
                                       const QString& root, Replace replace)
{
    QByteArray name = QFile::encodeName(path);
    // A rewritten file keeps its permissions (a new one gets the usual ones). In the data
    // folder the look a save takes first tells them, so they cost no call of their own.
    std::optional<mode_t> mode;
    if (m_lastSeen.name == name)
        mode = m_lastSeen.mode & 0777;
    if (root.isEmpty()) {
        // A settings file or an export may be a link its user made on purpose: it is followed.
        struct stat st {};
        if (::lstat(name.constData(), &st) == 0 && S_ISLNK(st.st_mode)) {
            const QByteArray target = canonical(name);
            if (!target.isEmpty() && ::stat(target.constData(), &st) == 0)
                name = target;
        }
        mode = S_ISREG(st.st_mode) ? std::optional(st.st_mode & 0777) : std::nullopt;
    }
    const std::optional<Placed> at = placed(name);
    if (!at)
        return WriteOutcome::failed(WriteOutcome::Cause::System, path, systemReason(EISDIR));
    const QByteArray& dir = at->dir;
    const QByteArray& base = at->base;

    // Every call below works relative to the directory, opened once.
    WriteOutcome outcome;
    const Descriptor dirFd(openTargetDirectory(dir, root, &outcome));
    if (dirFd.get() < 0) {
        outcome.path = outcome.cause == WriteOutcome::Cause::FolderUnreachable ? root : path;
        return outcome;
    }

    // A temporary name beside the file that never ends in the appointment extension, so that a
    // listing by another copy never picks up a half-written file.
    QByteArray temporary;
    Descriptor file(-1);
    for (int attempt = 0; attempt < 16 && file.get() < 0; ++attempt) {
        temporary = '.' + base.left(200) + '.' +
                    QByteArray::number(QRandomGenerator::global()->generate(), 36);
        file.reset(::openat(dirFd.get(), temporary.constData(),
                            O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                            mode.value_or(0666)));
        if (file.get() < 0 && errno != EEXIST)
            break;
    }
    if (file.get() < 0)
        return WriteOutcome::failed(WriteOutcome::Cause::System, path, systemReason(errno));
    const auto failed = [&](int error) {
        file.reset(-1);
        ::unlinkat(dirFd.get(), temporary.constData(), 0);
        return WriteOutcome::failed(WriteOutcome::Cause::System, path, systemReason(error));
    };

    // Only bits the creation took away need a call; a share may refuse it, which costs nothing
    // of the content.
    if (mode && (*mode & creationMask()))
        ::fchmod(file.get(), *mode);
    if (const int error = writeWhole(file.get(), content))
        return failed(error);
    // On the disk before it takes the name; a share may report a write error only when the
    // file is closed.
    if (::fdatasync(file.get()) != 0)
        return failed(errno);
    if (file.close() != 0)
        return failed(errno);
    // The time a share may set on closing is the one later lookups see. On a share that
    // question goes out beside the rename, so the save waits one round trip less.
    std::future<std::optional<FileMeta>> beside;
    if (!root.isEmpty() && onShare(root))
        beside = MetadataBeside(dirFd.get(), temporary);
    std::optional<FileMeta> known;
    if (!beside.valid())
        known = MetadataAt(dirFd.get(), temporary);
    const int renamed = RenameInDirectory(dirFd.get(), temporary, base, replace);
    if (beside.valid())
        known = beside.get();
    if (renamed != 0) {
        outcome = failed(renamed);
        if (renamed == EEXIST && replace == Replace::Never)
            outcome.cause = WriteOutcome::Cause::NameTaken;
        return outcome;
    }
    outcome = WriteOutcome::done();
    outcome.written = known;
    return outcome;
}

bool RealFileAccess::createExclusively(const QString& path, const QByteArray& content,
                                       const QString& root)
{
    const std::optional<Placed> at = placed(QFile::encodeName(path));
    if (!at)
        return false;
    const Descriptor dirFd(openDirectory(at->dir));
    if (dirFd.get() < 0 || !confined(dirFd.get(), at->dir, root))
        return false;
    Descriptor file(::openat(dirFd.get(), at->base.constData(),
                             O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
    if (file.get() < 0)
        return false;
    const bool written = writeWhole(file.get(), content) == 0;
    if (file.close() == 0 && written)
        return true;
    ::unlinkat(dirFd.get(), at->base.constData(), 0); // ours, half written
    return false;
}

bool RealFileAccess::remove(const QString& path, const QString& root)
{
    const QByteArray name = QFile::encodeName(path);
    if (root.isEmpty())
        return !path.isEmpty() && ::unlink(name.constData()) == 0;
    // Removed relative to its directory, opened and checked first: a linked directory on the
    // way cannot lead the removal out of the data folder.
    const std::optional<Placed> at = placed(name);
    if (!at)
        return false;
    const Descriptor dirFd(openDirectory(at->dir));
    return dirFd.get() >= 0 && confined(dirFd.get(), at->dir, root) &&
           ::unlinkat(dirFd.get(), at->base.constData(), 0) == 0;
}

bool RealFileAccess::makePath(const QString& dir)
{
    return QDir().mkpath(dir);
}

std::unique_ptr<FileAccess> MakeFileAccess()
{
    return std::make_unique<RealFileAccess>();
}

FileAccess& ThreadFileAccess()
{
    thread_local const std::unique_ptr<FileAccess> files = MakeFileAccess();
    return *files;
}

namespace {
struct OwnFiles {
    std::unique_ptr<FileAccess> own = MakeFileAccess();
};
} // namespace

class CountingFileAccess::Counted : private OwnFiles, public ForwardingFileAccess {
public:
    explicit Counted(CountingFileAccess& counter)
        : ForwardingFileAccess(*own)
        , m_counter(counter)
    {
    }

protected:
    void noteCall(Call call) override { m_counter.noteCall(call); }

private:
    CountingFileAccess& m_counter;
};

std::unique_ptr<FileAccess> CountingFileAccess::makeCounted()
{
    return std::make_unique<Counted>(*this);
}

void CountingFileAccess::noteCall(Call call)
{
    const std::lock_guard lock(m_mutex);
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

QString WithTrailingSeparator(const QString& path)
{
    if (path.isEmpty() || path.back() == QLatin1Char('/') || path.back() == QLatin1Char('\\'))
        return path;
    return path + QDir::separator();
}

std::optional<QByteArray> ReadWholeFile(FileAccess& files, const QString& path, qint64 maxBytes,
                                        QString* error)
{
    auto fail = [error](const char* reason, const QString& argument = {}) {
        if (error) {
            const QString text = QCoreApplication::translate("FileAccess", reason);
            *error = argument.isEmpty() ? text : text.arg(argument);
        }
        return std::nullopt;
    };
    // One byte more than allowed tells a file that is too large from one that just fits.
    const ReadOutcome outcome = files.read(path, maxBytes + 1, QString());
    switch (outcome.status) {
    case ReadOutcome::Read:
        break;
    case ReadOutcome::NotRegular:
        return fail(QT_TRANSLATE_NOOP("FileAccess", "It is not a regular file."));
    case ReadOutcome::Missing:
    case ReadOutcome::Failed:
        if (!outcome.error.isEmpty()) {
            if (error)
                *error = outcome.error;
            return std::nullopt;
        }
        return fail(QT_TRANSLATE_NOOP("FileAccess", "It cannot be read."));
    }
    if (outcome.bytes.size() > maxBytes)
        return fail(QT_TRANSLATE_NOOP("FileAccess", "It is larger than %1 MiB."),
                    QString::number(maxBytes / (1024 * 1024)));
    return outcome.bytes;
}
