#include "index/AppointmentIndex.h"

#include "index/TextFolding.h"
#include "profile/FileAccess.h"
#include "profile/ProfileCache.h"
#include "store/AppointmentFile.h"
#include "store/Privacy.h"
#include "store/RuleSeries.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStandardPaths>

#include <algorithm>
#include <cerrno>
#include <iterator>
#include <limits>
#include <tuple>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* const kSchema = R"(
CREATE TABLE meta(key TEXT PRIMARY KEY, value TEXT NOT NULL);
CREATE TABLE files(
    id INTEGER PRIMARY KEY,
    dir TEXT NOT NULL,
    name TEXT NOT NULL,
    device INTEGER NOT NULL,
    inode INTEGER NOT NULL,
    modified_ns INTEGER NOT NULL,
    changed_ns INTEGER NOT NULL,
    size INTEGER NOT NULL,
    modified_ms INTEGER,
    settled INTEGER NOT NULL,
    kind INTEGER NOT NULL,
    day INTEGER NOT NULL,
    until INTEGER NOT NULL,
    pattern INTEGER NOT NULL,
    start_min INTEGER NOT NULL,
    end_min INTEGER NOT NULL,
    colour INTEGER NOT NULL,
    owner TEXT NOT NULL,
    text TEXT NOT NULL,
    series TEXT NOT NULL,
    for_users TEXT NOT NULL,
    rooms TEXT NOT NULL,
    private INTEGER NOT NULL,
    location TEXT NOT NULL,
    UNIQUE(dir, name));
CREATE INDEX files_day ON files(day);
CREATE TABLE directories(
    dir TEXT PRIMARY KEY,
    device INTEGER NOT NULL,
    inode INTEGER NOT NULL,
    modified_ns INTEGER NOT NULL,
    changed_ns INTEGER NOT NULL,
    size INTEGER NOT NULL,
    modified_ms INTEGER,
    settled INTEGER NOT NULL);
CREATE VIRTUAL TABLE words USING fts5(text, owner, prefix='1 2');
CREATE VIRTUAL TABLE grams USING fts5(text, owner, tokenize='trigram');
)";

// The companions SQLite keeps beside an index file in WAL mode.
const QString kCompanions[] = {QString(), QStringLiteral("-wal"), QStringLiteral("-shm"),
                               QStringLiteral("-checked")};

enum class Name { Absent, Own, Foreign };
// Whether the name holds a regular file of this user's that no other name shares: anything
// else (a link, a hard link, another user's file) could be another program's, never ours to
// write.
Name nameOf(const QString& file)
{
    struct stat st {};
    if (::lstat(QFile::encodeName(file).constData(), &st) != 0)
        return errno == ENOENT ? Name::Absent : Name::Foreign;
    return S_ISREG(st.st_mode) && st.st_uid == ::geteuid() && st.st_nlink == 1 ? Name::Own
                                                                               : Name::Foreign;
}

bool allOwn(const QString& file)
{
    return std::none_of(std::begin(kCompanions), std::end(kCompanions), [&](const QString& suffix) {
        return nameOf(file + suffix) == Name::Foreign;
    });
}

// Removes the names (a link itself, never what it leads to).
bool removeNames(const QString& file, bool foreignOnly)
{
    bool removed = true;
    for (const QString& suffix : kCompanions) {
        const QByteArray name = QFile::encodeName(file + suffix);
        const Name kind = nameOf(file + suffix);
        if (kind != Name::Absent && (!foreignOnly || kind == Name::Foreign))
            removed &= ::unlink(name.constData()) == 0 || errno == ENOENT;
    }
    return removed;
}

// What the index file is as this user's process left it after a whole check: its identity,
// size and times, empty while a journal holds changes not yet in it. Reading the whole file
// again at every opening would cost a search from the command line most of its time.
QByteArray stampOf(const QString& file)
{
    struct stat st {};
    struct stat journal {};
    const QByteArray name = QFile::encodeName(file);
    if (::lstat(name.constData(), &st) != 0 || !S_ISREG(st.st_mode) ||
        (::lstat(QByteArray(name + "-wal").constData(), &journal) == 0 && journal.st_size != 0))
        return {};
    return QByteArray::number(quint64(st.st_dev)) + ' ' + QByteArray::number(quint64(st.st_ino)) +
           ' ' + QByteArray::number(qint64(st.st_size)) + ' ' +
           QByteArray::number(qint64(st.st_mtim.tv_sec)) + '.' +
           QByteArray::number(qint64(st.st_mtim.tv_nsec)) + ' ' +
           QByteArray::number(qint64(st.st_ctim.tv_sec)) + '.' +
           QByteArray::number(qint64(st.st_ctim.tv_nsec));
}

bool stillAsChecked(const QString& file)
{
    QFile noted(file + QStringLiteral("-checked"));
    if (nameOf(noted.fileName()) != Name::Own || !noted.open(QIODevice::ReadOnly))
        return false;
    const QByteArray stamp = stampOf(file);
    return !stamp.isEmpty() && noted.read(256) == stamp;
}

// The columns a hit is made of, in this order.
#define NORVANE_HIT_COLUMNS                                                                        \
    "f.dir, f.name, f.kind, f.day, f.until, f.pattern, f.start_min, f.end_min, f.colour, "         \
    "f.owner, f.text, f.series, f.for_users, f.rooms, f.private, f.location"

qint64 julian(const QDate& date, qint64 open)
{
    return date.isValid() ? date.toJulianDay() : open;
}

// A day an appointment of this kind filed in dir (relative, ending in '/') is shown on; invalid
// for a directory that names no day (30 February).
QDate patternOf(Recurrence::Kind kind, const QString& dir)
{
    const QStringList parts = dir.split(u'/', Qt::SkipEmptyParts);
    const auto number = [&](int i, const char* prefix, int last) {
        return i < parts.size() ? Recurrence::numberIn(parts[i], QLatin1String(prefix), 1, last)
                                : 0;
    };
    switch (kind) {
    case Recurrence::Kind::None:
        return Recurrence::dayOf(dir + u"0.nv3");
    case Recurrence::Kind::Daily:
        return QDate(2000, 1, 1);
    case Recurrence::Kind::Weekly:
        // The week of 2 January 2000, a Sunday: the tree names the day of the week it lies in.
        for (QDate day(2000, 1, 2); day < QDate(2000, 1, 9); day = day.addDays(1))
            if (Recurrence::directory({}, kind, day) == QDir::toNativeSeparators(dir))
                return day;
        return {};
    case Recurrence::Kind::Monthly:
        return QDate(2000, 1, number(1, "d", 31));
    case Recurrence::Kind::Yearly:
        break;
    }
    return QDate(2000, number(1, "m", 12), number(2, "d", 31)); // a leap year
}

// The FTS5 queries of the folded words: those of three letters or more anywhere inside a word
// (the trigram table), shorter ones at a word's start (the word table). Quoted, so that
// nothing in a word is syntax.
struct WordQueries {
    QString inside;
    QString starts;
};
WordQueries queriesOf(const QStringList& words)
{
    QStringList inside;
    QStringList starts;
    for (const QString& word : TextFolding::queryWords(words)) {
        const QString quoted = u'"' + QString(word).replace(u'"', QStringLiteral("\"\"")) + u'"';
        if (word.toUcs4().size() >= TextFolding::kInsideWordLength)
            inside << quoted;
        else
            starts << quoted + u'*';
    }
    return {inside.join(u' '), starts.join(u' ')};
}

} // namespace

ClassTermin AppointmentIndex::Hit::record() const
{
    ClassTermin record;
    record.setFilename(path);
    record.setDatum(day);
    record.setStartTime(start);
    record.setEndTime(end);
    record.setColorCode(colour);
    record.setProducer(owner);
    record.setForUsers(forUsers);
    record.setRooms(rooms);
    record.setIsPrivate(isPrivate);
    record.setMasked(masked);
    record.setText(text);
    record.setLocation(location);
    record.setSeriesId(seriesId);
    if (kind != Recurrence::Kind::None) {
        record.setIsRecurring(true);
        record.Recurring_code = Recurrence::code(kind);
        record.setRecurringStartDate(from);
        record.setRecurringEndDate(until);
    }
    return record;
}

QString AppointmentIndex::defaultDirectory()
{
    return QStandardPaths::writableLocation(QStandardPaths::CacheLocation) +
           QStringLiteral("/index");
}

QString AppointmentIndex::fileOf(const QString& directory, const QString& folder)
{
    const QByteArray hash = QCryptographicHash::hash(WithTrailingSeparator(folder).toUtf8(),
                                                     QCryptographicHash::Sha256);
    return directory + u'/' + QString::fromLatin1(hash.toHex().left(32)) +
           QStringLiteral(".sqlite");
}

AppointmentIndex::AppointmentIndex(QString directory, QString viewer)
    : m_directory(std::move(directory))
    , m_viewer(std::move(viewer))
{
}

bool AppointmentIndex::open(const QString& folder)
{
    close();
    m_folder = WithTrailingSeparator(folder);
    if (m_folder.isEmpty() || !QDir().mkpath(m_directory))
        return false;
    const QString file = fileOf(m_directory, m_folder);
    // Before any write: a name that is not our own file goes, and the index is made anew.
    if (!removeNames(file, true))
        return false;
    if (openFile(file, true))
        return true;
    // Whatever is there is of no use: made anew, empty.
    close();
    if (!removeNames(file, false))
        return false;
    if (openFile(file, true))
        return true;
    close();
    return false;
}

bool AppointmentIndex::openToSearch(const QString& folder)
{
    close();
    m_folder = WithTrailingSeparator(folder);
    const QString file = fileOf(m_directory, m_folder);
    if (m_folder.isEmpty() || !allOwn(file) || !openFile(file, false)) {
        close();
        return false;
    }
    return true;
}

void AppointmentIndex::close()
{
    m_db.close();
    const QString file = std::exchange(m_checkedFile, QString());
    if (file.isEmpty() || nameOf(file + QStringLiteral("-checked")) == Name::Foreign)
        return;
    const QByteArray stamp = stampOf(file);
    const int fd = ::open(QFile::encodeName(file + QStringLiteral("-checked")).constData(),
                          O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return;
    // Cut short, it matches nothing: the next opening checks the whole file.
    [[maybe_unused]] const ssize_t written = ::write(fd, stamp.constData(), size_t(stamp.size()));
    ::close(fd);
}

bool AppointmentIndex::openFile(const QString& file, bool create)
{
    const bool checked = create && stillAsChecked(file);
    if (!m_db.open(file, create))
        return false;
    if (create) {
        // A crash may lose the last changes, never the file: the next crawl brings them back.
        if (!m_db.run("PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL"))
            return false;
        SqliteStatement check(m_db, checked ? "SELECT 'ok'" : "PRAGMA quick_check");
        if (!check.next() || check.text(0) != QLatin1String("ok"))
            return false;
        m_checkedFile = file;
        SqliteStatement tables(m_db, "SELECT count(*) FROM sqlite_master");
        if (!tables.next())
            return false;
        if (tables.integer(0) == 0)
            return createSchema();
    }
    return metaValue("version") == QString::number(kSchemaVersion) &&
           metaValue("folder") == m_folder;
}

bool AppointmentIndex::createSchema()
{
    const SqliteTransaction transaction(m_db);
    return m_db.run(kSchema) && setMetaValue("version", QString::number(kSchemaVersion)) &&
           setMetaValue("folder", m_folder) && setMetaValue("complete", QStringLiteral("0"));
}

QString AppointmentIndex::metaValue(const char* key)
{
    SqliteStatement select(m_db, "SELECT value FROM meta WHERE key = ?1");
    select.bind(1, QString::fromLatin1(key));
    return select.next() ? select.text(0) : QString();
}

bool AppointmentIndex::setMetaValue(const char* key, const QString& value)
{
    SqliteStatement upsert(m_db, "INSERT OR REPLACE INTO meta(key, value) VALUES(?1, ?2)");
    return upsert.bind(1, QString::fromLatin1(key)).bind(2, value).run();
}

QString AppointmentIndex::relative(const QString& path) const
{
    if (m_folder.isEmpty() || !path.startsWith(m_folder))
        return {};
    const QString inside = QDir::fromNativeSeparators(path.mid(m_folder.size()));
    return Recurrence::isAppointmentPath(inside) ? inside : QString();
}

std::optional<FileMeta> AppointmentIndex::metaOf(const QString& path)
{
    const QString inside = relative(path);
    const qsizetype slash = inside.lastIndexOf(u'/');
    SqliteStatement select(m_db, "SELECT device, inode, modified_ns, changed_ns, size, "
                                 "modified_ms FROM files WHERE dir = ?1 AND name = ?2 AND settled");
    select.bind(1, inside.left(slash + 1)).bind(2, inside.mid(slash + 1));
    if (inside.isEmpty() || !select.next())
        return std::nullopt;
    FileMeta meta;
    meta.device = quint64(select.integer(0));
    meta.inode = quint64(select.integer(1));
    meta.modifiedNs = select.integer(2);
    meta.changedNs = select.integer(3);
    meta.size = select.integer(4);
    if (!select.isNull(5))
        meta.modified = QDateTime::fromMSecsSinceEpoch(select.integer(5), Qt::UTC);
    return meta;
}

bool AppointmentIndex::put(const QString& path, const FileMeta& meta, const ClassTermin& record)
{
    const QString inside = relative(path);
    if (inside.isEmpty())
        return false;
    const qsizetype slash = inside.lastIndexOf(u'/');
    const QString dir = inside.left(slash + 1);
    const QString name = inside.mid(slash + 1);
    const SqliteTransaction transaction(m_db);

    // A file whose time is as young as a share's granularity may still change without its
    // metadata telling: kept, but not vouched for, so the next crawl reads it again.
    const bool settled =
        meta.modified.isValid() && meta.modified.msecsTo(QDateTime::currentDateTime()) >=
                                       ProfileCache::kTimestampGranularityMs;
    const std::optional<FileMeta> known = metaOf(path);
    if (known && *known == meta)
        return false;
    SqliteStatement held(m_db, "SELECT id FROM files WHERE dir = ?1 AND name = ?2");
    held.bind(1, dir).bind(2, name);
    const bool wasHeld = held.next();
    if (wasHeld)
        removeRow(held.integer(0));

    const Recurrence::Kind kind = Recurrence::ofPath(inside);
    const bool oneTime = kind == Recurrence::Kind::None;
    const QDate first = oneTime ? Recurrence::dayOf(inside) : record.RecurringStartDate();
    const QDate last = oneTime ? first : record.RecurringEndDate();
    SqliteStatement insert(m_db,
                           "INSERT INTO files(dir, name, device, inode, modified_ns, "
                           "changed_ns, size, modified_ms, settled, kind, day, until, "
                           "pattern, start_min, end_min, colour, owner, text, series, "
                           "for_users, rooms, private, location) VALUES(?1, ?2, ?3, ?4, ?5, "
                           "?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16, ?17, ?18, ?19, "
                           "?20, ?21, ?22, ?23)");
    insert.bind(1, dir).bind(2, name).bind(3, qint64(meta.device)).bind(4, qint64(meta.inode));
    insert.bind(5, meta.modifiedNs).bind(6, meta.changedNs).bind(7, meta.size);
    if (meta.modified.isValid())
        insert.bind(8, meta.modified.toMSecsSinceEpoch());
    else
        insert.bindNull(8);
    insert.bind(9, qint64(settled)).bind(10, qint64(kind));
    insert.bind(11, julian(first, 0)).bind(12, julian(last, 0));
    insert.bind(13, julian(patternOf(kind, dir), 0));
    insert.bind(14, record.StartTime().minutes()).bind(15, record.EndTime().minutes());
    const bool hidden = record.isMasked() || Privacy::hiddenFrom(record, m_viewer);
    const QString text = hidden ? Privacy::busyText() : record.Text();
    insert.bind(16, record.ColorCode()).bind(17, record.Producer()).bind(18, text);
    insert.bind(19, record.SeriesId()).bind(20, record.ForUsers().join(u','));
    insert.bind(21, record.Rooms().join(u';'));
    insert.bind(22, qint64(record.IsPrivate()) | (qint64(hidden) << 1));
    const QString location = hidden ? QString() : record.Location();
    insert.bind(23, location);
    if (!insert.run())
        return false;
    // The place is searched as the text is.
    const QString searched = TextFolding::fold(location.isEmpty() ? text : text + u'\n' + location);
    // Searching a login finds what is for the person as well as what the person owns.
    const QString people =
        TextFolding::fold((QStringList(record.Producer()) + record.ForUsers()).join(u' '));
    SqliteStatement words(m_db, "INSERT INTO words(rowid, text, owner) VALUES(?1, ?2, ?3)");
    words.bind(1, m_db.lastInsertId()).bind(2, searched);
    words.bind(3, people).run();
    SqliteStatement grams(m_db, "INSERT INTO grams(rowid, text, owner) VALUES(?1, ?2, ?3)");
    grams.bind(1, m_db.lastInsertId()).bind(2, searched);
    grams.bind(3, people).run();
    // Held but not vouched for (our own write, a young file) is no news.
    return !wasHeld || known.has_value();
}

bool AppointmentIndex::removeRow(qint64 id)
{
    SqliteStatement words(m_db, "DELETE FROM words WHERE rowid = ?1");
    SqliteStatement grams(m_db, "DELETE FROM grams WHERE rowid = ?1");
    SqliteStatement files(m_db, "DELETE FROM files WHERE id = ?1");
    return words.bind(1, id).run() && grams.bind(1, id).run() && files.bind(1, id).run();
}

bool AppointmentIndex::remove(const QString& path)
{
    const QString inside = relative(path);
    const qsizetype slash = inside.lastIndexOf(u'/');
    SqliteStatement held(m_db, "SELECT id FROM files WHERE dir = ?1 AND name = ?2");
    held.bind(1, inside.left(slash + 1)).bind(2, inside.mid(slash + 1));
    if (inside.isEmpty() || !held.next())
        return false;
    const SqliteTransaction transaction(m_db);
    return removeRow(held.integer(0));
}

int AppointmentIndex::removeMissing(const QString& dir, const QStringList& names)
{
    if (!dir.startsWith(m_folder) || m_folder.isEmpty())
        return 0;
    const QString scope = QDir::fromNativeSeparators(dir.mid(m_folder.size()));
    // The tree's directories are letters and digits: nothing in them is a pattern.
    if (scope.contains(u'*') || scope.contains(u'?') || scope.contains(u'['))
        return 0;
    QSet<QString> files;
    QSet<QString> subdirectories;
    for (const QString& name : names) {
        if (name.endsWith(u'/'))
            subdirectories.insert(name.chopped(1));
        else
            files.insert(name);
    }
    QList<qint64> gone;
    SqliteStatement under(m_db, "SELECT id, dir, name FROM files WHERE dir GLOB ?1");
    under.bind(1, scope + u'*');
    while (under.next()) {
        const QString below = under.text(1).mid(scope.size());
        const bool kept = below.isEmpty() ? files.contains(under.text(2))
                                          : subdirectories.contains(below.section(u'/', 0, 0));
        if (!kept)
            gone << under.integer(0);
    }
    // The directories below that went with them.
    QStringList goneDirectories;
    SqliteStatement directories(m_db, "SELECT dir FROM directories WHERE dir GLOB ?1");
    directories.bind(1, scope + QStringLiteral("?*"));
    while (directories.next())
        if (!subdirectories.contains(directories.text(0).mid(scope.size()).section(u'/', 0, 0)))
            goneDirectories << directories.text(0);
    const SqliteTransaction transaction(m_db);
    for (const qint64 id : std::as_const(gone))
        removeRow(id);
    for (const QString& below : std::as_const(goneDirectories))
        putDirectory(m_folder + below, std::nullopt);
    return int(gone.size());
}

void AppointmentIndex::putDirectory(const QString& dir, const std::optional<FileMeta>& meta)
{
    if (m_folder.isEmpty() || !dir.startsWith(m_folder))
        return;
    const QString inside = QDir::fromNativeSeparators(dir.mid(m_folder.size()));
    SqliteStatement forget(m_db, "DELETE FROM directories WHERE dir = ?1");
    if (!meta) {
        forget.bind(1, inside).run();
        return;
    }
    // A time as young as a share's granularity may not change with a name that comes now.
    const bool settled =
        meta->modified.isValid() && meta->modified.msecsTo(QDateTime::currentDateTime()) >=
                                        ProfileCache::kTimestampGranularityMs;
    SqliteStatement upsert(m_db, "INSERT OR REPLACE INTO directories(dir, device, inode, "
                                 "modified_ns, changed_ns, size, modified_ms, settled) "
                                 "VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)");
    upsert.bind(1, inside).bind(2, qint64(meta->device)).bind(3, qint64(meta->inode));
    upsert.bind(4, meta->modifiedNs).bind(5, meta->changedNs).bind(6, meta->size);
    if (meta->modified.isValid())
        upsert.bind(7, meta->modified.toMSecsSinceEpoch());
    else
        upsert.bindNull(7);
    upsert.bind(8, qint64(settled)).run();
}

QList<std::pair<QString, std::optional<FileMeta>>> AppointmentIndex::directories()
{
    QList<std::pair<QString, std::optional<FileMeta>>> held;
    SqliteStatement select(m_db, "SELECT dir, device, inode, modified_ns, changed_ns, size, "
                                 "modified_ms, settled FROM directories ORDER BY dir");
    while (select.next()) {
        std::optional<FileMeta> meta;
        if (select.integer(7)) {
            meta.emplace();
            meta->device = quint64(select.integer(1));
            meta->inode = quint64(select.integer(2));
            meta->modifiedNs = select.integer(3);
            meta->changedNs = select.integer(4);
            meta->size = select.integer(5);
            if (!select.isNull(6))
                meta->modified = QDateTime::fromMSecsSinceEpoch(select.integer(6), Qt::UTC);
        }
        held.append({m_folder + QDir::toNativeSeparators(select.text(0)), meta});
    }
    return held;
}

AppointmentIndex::Found AppointmentIndex::search(const QStringList& words, const QDate& from,
                                                 const QDate& to, int limit)
{
    const WordQueries queries = queriesOf(words);
    if (queries.inside.isEmpty() && queries.starts.isEmpty() && !words.isEmpty())
        return {}; // nothing in them to look for
    QByteArray sql = "SELECT " NORVANE_HIT_COLUMNS " FROM files f WHERE f.day <= ?2 AND "
                     "f.until >= ?1";
    if (!queries.inside.isEmpty())
        sql += " AND f.id IN (SELECT rowid FROM grams WHERE grams MATCH ?3)";
    if (!queries.starts.isEmpty())
        sql += " AND f.id IN (SELECT rowid FROM words WHERE words MATCH ?4)";
    SqliteStatement select(m_db, sql.constData());
    const qint64 first = julian(from, std::numeric_limits<qint64>::min());
    const qint64 last = julian(to, std::numeric_limits<qint64>::max());
    select.bind(1, first).bind(2, last);
    if (!queries.inside.isEmpty())
        select.bind(3, queries.inside);
    if (!queries.starts.isEmpty())
        select.bind(4, queries.starts);
    Found found;
    while (select.next()) {
        Hit hit;
        hit.path = m_folder + QDir::toNativeSeparators(select.text(0) + select.text(1));
        hit.kind = Recurrence::Kind(select.integer(2));
        hit.from = QDate::fromJulianDay(select.integer(3));
        hit.until = QDate::fromJulianDay(select.integer(4));
        hit.day = hit.from;
        if (hit.kind != Recurrence::Kind::None) {
            hit.day = Recurrence::firstOn(hit.kind, QDate::fromJulianDay(select.integer(5)),
                                          QDate::fromJulianDay(std::max(select.integer(3), first)),
                                          QDate::fromJulianDay(std::min(select.integer(4), last)));
            if (!hit.day.isValid())
                continue;
        }
        hit.start = TimeOfDay::fromMinutes(int(select.integer(6)));
        hit.end = TimeOfDay::fromMinutes(int(select.integer(7)));
        hit.colour = qint16(select.integer(8));
        hit.owner = select.text(9);
        hit.text = select.text(10);
        hit.seriesId = select.text(11);
        hit.forUsers = AppointmentFile::loginsOf(select.text(12));
        hit.rooms = AppointmentFile::roomsOf(select.text(13));
        hit.isPrivate = select.integer(14) & 1;
        hit.masked = select.integer(14) & 2;
        hit.location = select.text(15);
        found.hits << hit;
    }
    std::sort(found.hits.begin(), found.hits.end(), [](const Hit& a, const Hit& b) {
        return std::tie(a.day, a.start, a.path) < std::tie(b.day, b.start, b.path);
    });
    // A series its rule file keeps is one hit, as a recurring file is: its first file found.
    QSet<QString> seriesFound;
    found.hits.removeIf([&seriesFound](const Hit& hit) {
        const QString name = QFileInfo(hit.path).fileName();
        if (hit.seriesId.isEmpty() || !name.startsWith(hit.seriesId + QLatin1Char('-')) ||
            !RuleSeries::occurrenceDayOf(name).isValid())
            return false;
        if (seriesFound.contains(hit.seriesId))
            return true;
        seriesFound.insert(hit.seriesId);
        return false;
    });
    if (found.hits.size() > limit) {
        found.hits.resize(limit);
        found.truncated = true;
    }
    return found;
}

int AppointmentIndex::size()
{
    SqliteStatement count(m_db, "SELECT count(*) FROM files");
    return count.next() ? int(count.integer(0)) : 0;
}

bool AppointmentIndex::complete()
{
    return metaValue("complete") == QLatin1String("1");
}

QDateTime AppointmentIndex::completedAt()
{
    const QString at = metaValue("completed");
    return at.isEmpty() ? QDateTime() : QDateTime::fromMSecsSinceEpoch(at.toLongLong());
}

void AppointmentIndex::setComplete(bool complete, const QDateTime& at)
{
    const SqliteTransaction transaction(m_db);
    setMetaValue("complete", complete ? QStringLiteral("1") : QStringLiteral("0"));
    if (complete)
        setMetaValue("completed", QString::number(at.toMSecsSinceEpoch()));
}

AppointmentIndex::Answer AppointmentIndex::lookUp(const QString& directory, const QString& folder,
                                                  const QStringList& words, const QDate& from,
                                                  const QDate& to, int limit)
{
    Answer answer;
    AppointmentIndex index(directory);
    if (!index.openToSearch(folder))
        return answer;
    answer.usable = true;
    answer.complete = index.complete();
    answer.completedAt = index.completedAt();
    answer.found = index.search(words, from, to, limit);
    return answer;
}
