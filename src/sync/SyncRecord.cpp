#include "sync/SyncRecord.h"

#include "exchange/OccurrenceSeries.h"
#include "profile/Descriptor.h"
#include "profile/FileAccess.h"
#include "store/Recurrence.h"
#include "sync/HttpClient.h"
#include "sync/SyncText.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QSysInfo>
#include <QThread>
#include <QUrl>
#include <QUuid>

#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace SyncRecord {

namespace {

// What this program writes; a record without a version is one of ours from before versions.
constexpr int kVersion = 1;
// A record of a hundred thousand items stays well below this.
constexpr qint64 kMaxBytes = 64 * 1024 * 1024;
// Far longer than any server's member names.
constexpr qsizetype kMaxHref = 2048;
const char* const kLockName = "lock";

QString statusPath(const QString& dataFolder)
{
    return dataFolder + kDirectory + QStringLiteral("/status.json");
}

QJsonObject toJson(const File& f)
{
    return {{QStringLiteral("path"), f.path},
            {QStringLiteral("modified"), f.modified},
            {QStringLiteral("size"), f.size},
            {QStringLiteral("hash"), QString::fromLatin1(f.hash)}};
}

QJsonObject toJson(const Item& item)
{
    QJsonArray files;
    for (const File& f : item.files)
        files.append(toJson(f));
    QJsonObject o{{QStringLiteral("uid"), item.uid},
                  {QStringLiteral("href"), item.href},
                  {QStringLiteral("etag"), QString::fromUtf8(item.etag)},
                  {QStringLiteral("mirror"), item.mirror},
                  {QStringLiteral("files"), files}};
    if (!item.series.isEmpty())
        o.insert(QStringLiteral("series"), item.series);
    return o;
}

File fileOf(const QJsonObject& f)
{
    return {f.value(QLatin1String("path")).toString(),
            f.value(QLatin1String("modified")).toInteger(),
            f.value(QLatin1String("size")).toInteger(),
            f.value(QLatin1String("hash")).toString().toLatin1()};
}

bool sameOrigin(const QString& a, const QString& b)
{
    const std::optional<HttpClient::Origin> origin = HttpClient::originOf(a);
    return origin && origin == HttpClient::originOf(b);
}

// A member of the collection as the server names it: a path right below the collection's.
bool isMember(const QString& collectionPath, const QString& href)
{
    if (href.size() > kMaxHref || !href.startsWith(collectionPath))
        return false;
    const QStringView name = QStringView(href).sliced(collectionPath.size());
    if (name.isEmpty() || name == u"." || name == u"..")
        return false;
    for (QChar c : name) {
        if (c.unicode() < 0x20 || c == QLatin1Char('/') || c == QLatin1Char('\\'))
            return false;
    }
    return true;
}

// Text of the folder for a message: plain, one line, short.
QString plainLine(const QString& text)
{
    QString line = text.left(200).trimmed();
    for (QChar& c : line) {
        if (c.unicode() < 0x20 || c.category() == QChar::Other_Format)
            c = u' ';
    }
    return line;
}

// Reads the entries of the record that can be trusted; the others go to status.ignored.
class Reader {
public:
    explicit Reader(Status& status)
        : m_status(status)
    {
        QString path = QUrl(status.collection).path();
        m_collectionPath = path.endsWith(u'/') ? path : path + u'/';
    }

    void item(const QJsonValue& value)
    {
        if (!value.isObject())
            return ignore(
                QString::fromUtf8(QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact)));
        const QJsonObject o = value.toObject();
        Item item;
        item.uid = o.value(QLatin1String("uid")).toString();
        item.href = o.value(QLatin1String("href")).toString();
        item.etag = o.value(QLatin1String("etag")).toString().toUtf8();
        item.mirror = o.value(QLatin1String("mirror")).toBool();
        item.series = o.value(QLatin1String("series")).toString();
        if (!item.href.isEmpty() &&
            (m_status.collection.isEmpty() || !isMember(m_collectionPath, item.href) ||
             m_hrefs.contains(item.href)))
            return ignore(item.href);
        QStringList paths;
        for (const QJsonValue& v : o.value(QLatin1String("files")).toArray()) {
            const File f = fileOf(v.toObject());
            if (!isSyncedPath(f.path) || m_paths.contains(f.path) || paths.contains(f.path))
                return ignore(f.path);
            paths << f.path;
            item.files.append(f);
        }
        // Each path and href belongs to one item: two claiming one file would each act on it.
        m_hrefs.insert(item.href);
        for (const QString& path : paths)
            m_paths.insert(path);
        m_status.items.append(std::move(item));
    }

    void withheld(const QJsonValue& value)
    {
        const File f = fileOf(value.toObject());
        if (isSyncedPath(f.path))
            m_status.withheld.append(f);
    }

private:
    void ignore(const QString& what) { m_status.ignored.append(plainLine(what)); }

    Status& m_status;
    QString m_collectionPath;
    QSet<QString> m_hrefs;
    QSet<QString> m_paths;
};

std::optional<Status> parse(const QByteArray& bytes, QString* error, bool* foreign)
{
    *foreign = false;
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        *error = Sync::tr("it is cut short or no JSON (%1 at byte %2)")
                     .arg(parseError.errorString())
                     .arg(parseError.offset);
        return std::nullopt;
    }
    if (!doc.isObject()) {
        *error = Sync::tr("it holds no JSON object");
        return std::nullopt;
    }
    const QJsonObject o = doc.object();
    const QJsonValue version = o.value(QLatin1String("version"));
    if (!version.isUndefined() && version.toInteger(-1) != kVersion) {
        *foreign = true;
        *error =
            Sync::tr("another version of the program wrote it (version %1); it was left as it is")
                .arg(version.isDouble() ? QString::number(version.toDouble())
                                        : version.toString().left(20));
        return std::nullopt;
    }
    Status status;
    status.account = o.value(QLatin1String("account")).toString();
    status.collection = o.value(QLatin1String("collection")).toString();
    status.token = o.value(QLatin1String("token")).toString();
    status.ctag = o.value(QLatin1String("ctag")).toString();
    // The password goes wherever the collection lies: only where the account points.
    if (!status.collection.isEmpty() && !sameOrigin(status.collection, status.account)) {
        *error = Sync::tr("its calendar %1 lies on another server than its account %2")
                     .arg(status.collection.left(200), status.account.left(200));
        return std::nullopt;
    }
    Reader reader(status);
    for (const QJsonValue& v : o.value(QLatin1String("items")).toArray())
        reader.item(v);
    for (const QJsonValue& v : o.value(QLatin1String("withheld")).toArray())
        reader.withheld(v);
    return status;
}

} // namespace

bool isSyncedPath(const QString& relative)
{
    return Recurrence::isAppointmentPath(relative) || OccurrenceSeries::isRulePath(relative);
}

std::optional<Status> fromJson(const QByteArray& bytes, QString* error)
{
    bool foreign = false;
    return parse(bytes, error, &foreign);
}

std::optional<Status> load(FileAccess& files, const QString& dataFolder, QString* error)
{
    const QString path = statusPath(dataFolder);
    const ReadOutcome read = files.read(path, kMaxBytes + 1, dataFolder);
    switch (read.status) {
    case ReadOutcome::Missing:
        return Status{};
    case ReadOutcome::NotRegular:
        *error =
            Sync::tr("%1 is no file inside the data folder").arg(QDir::toNativeSeparators(path));
        return std::nullopt;
    case ReadOutcome::Failed:
        *error = read.error;
        return std::nullopt;
    case ReadOutcome::Read:
        break;
    }
    if (read.bytes.size() > kMaxBytes) {
        *error = Sync::tr("it is larger than %1 MB").arg(kMaxBytes / (1024 * 1024));
        return std::nullopt;
    }
    bool foreign = false;
    const std::optional<Status> status = parse(read.bytes, error, &foreign);
    if (!status && !foreign)
        return Status{}; // nothing in it is ours to keep: the sync pairs by UID again
    return status;
}

bool save(FileAccess& files, const QString& dataFolder, const Status& status, QString* error)
{
    QJsonArray items;
    for (const Item& item : status.items)
        items.append(toJson(item));
    QJsonArray withheld;
    for (const File& f : status.withheld)
        withheld.append(toJson(f));
    const QJsonObject o{{QStringLiteral("version"), kVersion},
                        {QStringLiteral("account"), status.account},
                        {QStringLiteral("collection"), status.collection},
                        {QStringLiteral("token"), status.token},
                        {QStringLiteral("ctag"), status.ctag},
                        {QStringLiteral("items"), items},
                        {QStringLiteral("withheld"), withheld}};
    const WriteOutcome outcome = files.writeAtomically(
        statusPath(dataFolder), QJsonDocument(o).toJson(QJsonDocument::Compact), dataFolder);
    if (!outcome.ok && error)
        *error = outcome.error.isEmpty() ? QStringLiteral("cannot write %1").arg(outcome.path)
                                         : outcome.error;
    return outcome.ok;
}

Lock::Lock(const QString& dataFolder, std::chrono::seconds staleAfter, std::chrono::seconds wait)
{
    const QByteArray name = QFile::encodeName(kDirectory);
    const Descriptor folder(
        ::open(QFile::encodeName(dataFolder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() >= 0) {
        ::mkdirat(folder.get(), name.constData(), 0777); // there already: fine
        m_dir = ::openat(folder.get(), name.constData(),
                         O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    }
    if (m_dir < 0) {
        const int reason = errno;
        const QString path = QDir::toNativeSeparators(dataFolder + kDirectory);
        m_error = reason == ELOOP || reason == ENOTDIR
                      ? Sync::tr("%1 is a link or no directory; the sync keeps its state only in "
                                 "a directory of the data folder itself.")
                            .arg(path)
                      : Sync::tr("Cannot make %1: %2")
                            .arg(path, QString::fromLocal8Bit(std::strerror(reason)));
        return;
    }
    m_path = dataFolder + kDirectory;
    // The number tells two syncs of one process apart.
    m_mark = QStringLiteral("%1 %2 %3 %4")
                 .arg(QSysInfo::machineHostName())
                 .arg(QCoreApplication::applicationPid())
                 .arg(QDateTime::currentDateTimeUtc().toString(Qt::ISODate))
                 .arg(QUuid::createUuid().toString(QUuid::WithoutBraces).left(8))
                 .toUtf8();
    const QDateTime until = QDateTime::currentDateTimeUtc().addSecs(wait.count());
    while (!(m_held = tryTake(staleAfter)) && m_error.isEmpty() &&
           QDateTime::currentDateTimeUtc() < until)
        QThread::msleep(200);
}

Lock::~Lock()
{
    // Only our own: a lock taken over after we stalled belongs to the other sync now.
    if (m_held && readLock() == m_mark)
        ::unlinkat(m_dir, kLockName, 0);
    if (m_dir >= 0)
        ::close(m_dir);
}

QByteArray Lock::readLock() const
{
    const Descriptor fd(
        ::openat(m_dir, kLockName, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat st {};
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode))
        return {};
    QByteArray bytes(1024, Qt::Uninitialized);
    const ssize_t n = ::read(fd.get(), bytes.data(), size_t(bytes.size()));
    bytes.truncate(n < 0 ? 0 : n);
    return bytes;
}

bool Lock::tryTake(std::chrono::seconds staleAfter)
{
    // Made new or not at all, so no link or file under the name is written through.
    auto create = [&] {
        Descriptor fd(
            ::openat(m_dir, kLockName, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
        if (fd.get() < 0) {
            const int reason = errno;
            if (reason != EEXIST)
                m_error = Sync::tr("Cannot make the sync's lock in %1: %2")
                              .arg(QDir::toNativeSeparators(m_path),
                                   QString::fromLocal8Bit(std::strerror(reason)));
            return false;
        }
        const bool written =
            ::write(fd.get(), m_mark.constData(), size_t(m_mark.size())) == ssize_t(m_mark.size());
        if (fd.close() == 0 && written)
            return true;
        ::unlinkat(m_dir, kLockName, 0); // ours, half written
        return false;
    };
    if (create())
        return true;
    if (!m_error.isEmpty())
        return false;
    m_holder = plainLine(QString::fromUtf8(readLock()));
    struct stat st {};
    if (::fstatat(m_dir, kLockName, &st, AT_SYMLINK_NOFOLLOW) != 0)
        return false;
    const QDateTime since = QDateTime::fromSecsSinceEpoch(st.st_mtim.tv_sec);
    if (since.secsTo(QDateTime::currentDateTime()) <= staleAfter.count())
        return false;
    // A sync killed long ago: its lock goes, and whoever creates it first now holds it.
    ::unlinkat(m_dir, kLockName, 0);
    return create();
}

} // namespace SyncRecord
