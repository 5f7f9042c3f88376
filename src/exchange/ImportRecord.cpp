#include "exchange/ImportRecord.h"

#include "exchange/OccurrenceSeries.h"
#include "profile/FileAccess.h"
#include "store/Recurrence.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

constexpr char kHeader[] = "Norvane import record";
// Room for the lines of the largest import, 200,000 appointments.
constexpr qint64 kMaxRecordBytes = 64 * 1024 * 1024;
// Enough for the lines that say who made the import.
constexpr qint64 kHeadBytes = 4096;
// A kept file's name in the summary: the first so many.
constexpr int kNamed = 20;

// The record's name sorts by its start: the newest is the last.
QString recordName(const QString& user)
{
    static const QRegularExpression unsafe(QStringLiteral("[^A-Za-z0-9._-]"));
    QString who = user;
    who.replace(unsafe, QStringLiteral("_"));
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz")) +
           QLatin1Char('-') + who.left(40) + QStringLiteral(".txt");
}

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

QByteArray sha256Of(const QByteArray& bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

QString absoluteOf(const QString& path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

// The data folder a record belongs to: the one its directory lies in, wherever it is mounted.
QString folderOf(const QString& recordPath)
{
    return WithTrailingSeparator(QFileInfo(QFileInfo(absoluteOf(recordPath)).path()).path());
}

// "key=value" lines.
struct Line {
    QString key;
    QString value;
};

Line lineOf(const QByteArray& raw)
{
    const QString line = QString::fromUtf8(raw).trimmed();
    return {line.section(u'=', 0, 0), line.section(u'=', 1)};
}

// "<first> <second> <path>": a path may hold blanks, the numbers before it do not.
struct Noted {
    QString first;
    QString second;
    QString path;
};

std::optional<Noted> notedOf(const QString& value)
{
    const qsizetype a = value.indexOf(u' ');
    const qsizetype b = a < 0 ? -1 : value.indexOf(u' ', a + 1);
    if (b < 0)
        return std::nullopt;
    return Noted{value.left(a), value.mid(a + 1, b - a - 1), value.mid(b + 1)};
}

} // namespace

ImportRecord::ImportRecord(const QString& dataFolder, const QString& path, int directory)
    : m_folder(WithTrailingSeparator(dataFolder))
    , m_path(path)
    , m_directory(directory)
{
}

std::unique_ptr<ImportRecord> ImportRecord::start(const QString& dataFolder, const QString& source,
                                                  const QString& user, QString* error)
{
    const QString name = recordName(user);
    const QString directory = WithTrailingSeparator(dataFolder) + kDirectory;
    const QString path = directory + QDir::separator() + name;
    auto fail = [error](const QString& reason) {
        if (error)
            *error = reason;
        return nullptr;
    };
    // Never the data folder itself: an unmounted share is no place to start one.
    const Descriptor folder(
        ::open(QFile::encodeName(dataFolder).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() < 0)
        return fail(
            tr("The data folder %1 cannot be reached.").arg(QDir::toNativeSeparators(dataFolder)));
    const QByteArray directoryName = kDirectory.toUtf8();
    // A link in its place is not followed: the record would land wherever it leads.
    const auto notWritten = [&path](int cause) {
        return tr("The import record %1 cannot be written: %2")
            .arg(QDir::toNativeSeparators(path), systemReason(cause));
    };
    if (::mkdirat(folder.get(), directoryName.constData(), 0777) != 0 && errno != EEXIST)
        return fail(notWritten(errno));
    const int directoryFd = ::openat(folder.get(), directoryName.constData(),
                                     O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    const int directoryError = errno;
    std::unique_ptr<ImportRecord> record(new ImportRecord(dataFolder, path, directoryFd));
    if (directoryFd < 0 && (directoryError == ELOOP || directoryError == ENOTDIR))
        return fail(tr("The import record %1 cannot be written: %2")
                        .arg(QDir::toNativeSeparators(path),
                             tr("%1 is no directory of the data folder.")
                                 .arg(QDir::toNativeSeparators(directory))));
    if (directoryFd < 0)
        return fail(notWritten(directoryError));
    const QByteArray fileName = QFile::encodeName(name);
    const int fd = ::openat(directoryFd, fileName.constData(),
                            O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_APPEND | O_CLOEXEC, 0666);
    if (fd < 0)
        return fail(notWritten(errno));
    // One value a line: a name with a line break in it adds no line of its own.
    const auto oneLine = [](QString value) {
        return value.replace(u'\n', u' ').replace(u'\r', u' ');
    };
    const QString head = QString::fromLatin1(kHeader) + QStringLiteral("\nsource=") +
                         oneLine(source) + QStringLiteral("\nuser=") + oneLine(user) +
                         QStringLiteral("\nstarted=") +
                         QDateTime::currentDateTime().toString(Qt::ISODate) + QLatin1Char('\n');
    const bool opened =
        record->m_file.open(fd, QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered,
                            QFileDevice::AutoCloseHandle);
    if (!opened || !record->write(head.toUtf8())) {
        if (!opened) {
            ::close(fd);
            record->m_error =
                tr("The import record %1 cannot be written: %2")
                    .arg(QDir::toNativeSeparators(path), record->m_file.errorString());
        }
        record->m_file.close();
        // A full disk leaves no empty record.
        ::unlinkat(record->m_directory.get(), fileName.constData(), 0);
        return fail(record->m_error);
    }
    return record;
}

QByteArray ImportRecord::relative(const QString& file) const
{
    return QDir::fromNativeSeparators(file.startsWith(m_folder) ? file.mid(m_folder.size()) : file)
        .toUtf8();
}

bool ImportRecord::write(const QByteArray& lines)
{
    const QByteArray all = std::exchange(m_pending, {}) + lines;
    if (m_file.write(all) == all.size() && m_file.flush())
        return true;
    m_error = tr("The import record %1 cannot be written: %2")
                  .arg(QDir::toNativeSeparators(m_path), m_file.errorString());
    return false;
}

bool ImportRecord::noteNew(const QString& file, const QByteArray& content)
{
    // The bytes are noted before the file is written: an import killed right after the write
    // still knows the file as its own.
    const QByteArray path = relative(file);
    return write("new=" + path + "\nbytes=" + sha256Of(content) + ' ' +
                 QByteArray::number(content.size()) + ' ' + path + '\n');
}

void ImportRecord::noteWritten(const QString& file, const FileMeta& written)
{
    const qint64 time =
        written.modifiedNs ? written.modifiedNs : written.modified.toMSecsSinceEpoch() * 1000000;
    m_pending = "written=" + QByteArray::number(time) + ' ' + QByteArray::number(written.size) +
                ' ' + relative(file) + '\n';
}

bool ImportRecord::noteUpdated(const QString& file)
{
    return write("updated=" + relative(file) + '\n');
}

void ImportRecord::finish(bool anyWritten)
{
    write("finished=" + QDateTime::currentDateTime().toString(Qt::ISODate).toUtf8() + '\n');
    m_file.close();
    if (!anyWritten)
        ::unlinkat(m_directory.get(), QFile::encodeName(QFileInfo(m_path).fileName()).constData(),
                   0);
}

ImportRecordInfo ReadImportRecord(const QString& recordPath, FileAccess& files)
{
    ImportRecordInfo info;
    info.path = absoluteOf(recordPath);
    info.folder = folderOf(recordPath);
    const ReadOutcome read = files.read(info.path, kMaxRecordBytes + 1, info.folder);
    switch (read.status) {
    case ReadOutcome::Read:
        break;
    case ReadOutcome::NotRegular:
        info.error = ImportRecord::tr("It is no file inside the data folder %1.")
                         .arg(QDir::toNativeSeparators(QDir::cleanPath(info.folder)));
        return info;
    case ReadOutcome::Missing:
    case ReadOutcome::Failed:
        info.error = read.error;
        return info;
    }
    if (read.bytes.size() > kMaxRecordBytes) {
        info.error = ImportRecord::tr("It is larger than %1 MiB.").arg(kMaxRecordBytes >> 20);
        return info;
    }
    const QList<QByteArray> lines = read.bytes.split('\n');
    if (lines.first().trimmed() != kHeader) {
        info.error = ImportRecord::tr("It is no import record.");
        return info;
    }
    info.meta = read.meta;
    QHash<QString, qsizetype> created; // index by path
    auto createdAs = [&](const QString& path) -> ImportedFile* {
        const auto it = created.constFind(path);
        return it == created.cend() ? nullptr : &info.created[*it];
    };
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const Line line = lineOf(lines[i]);
        if (line.key == QLatin1String("source")) {
            info.source = line.value;
        } else if (line.key == QLatin1String("user")) {
            info.user = line.value;
        } else if (line.key == QLatin1String("started")) {
            info.started = QDateTime::fromString(line.value, Qt::ISODate);
        } else if (line.key == QLatin1String("finished")) {
            info.finished = true;
        } else if (line.key == QLatin1String("updated")) {
            ++info.updated;
            if (Recurrence::isAppointmentPath(line.value) ||
                OccurrenceSeries::isRulePath(line.value))
                info.updatedFiles << line.value;
        } else if (line.key == QLatin1String("new")) {
            // Only a file of the appointment tree: a record lies in the shared folder, where
            // anyone may edit it.
            if (!Recurrence::isAppointmentPath(line.value) &&
                !OccurrenceSeries::isRulePath(line.value))
                info.ignored << line.value;
            else if (!created.contains(line.value)) {
                created.insert(line.value, info.created.size());
                ImportedFile file;
                file.relative = line.value;
                info.created.append(file);
            }
        } else if (line.key == QLatin1String("bytes") || line.key == QLatin1String("written")) {
            const std::optional<Noted> noted = notedOf(line.value);
            ImportedFile* file = noted ? createdAs(noted->path) : nullptr;
            bool sized = false;
            const qint64 size = noted ? noted->second.toLongLong(&sized) : -1;
            if (!file || !sized)
                continue;
            if (line.key == QLatin1String("written")) {
                file->writtenNs = noted->first.toLongLong();
            } else if (noted->first.size() == 64) {
                file->sha256 = noted->first.toLatin1();
                file->size = size;
            }
        }
    }
    info.ok = true;
    return info;
}

QString LastImportRecord(const QString& dataFolder, const QString& user, FileAccess& files)
{
    const QString folder = WithTrailingSeparator(dataFolder);
    const QString directory = folder + ImportRecord::kDirectory + QLatin1Char('/');
    const std::optional<DirectoryListing> listing =
        files.listFiles(directory, QStringLiteral(".txt"), folder);
    if (!listing)
        return {};
    QStringList names = listing->names;
    names.sort();
    for (auto it = names.crbegin(); it != names.crend(); ++it) {
        // Who made it is read from the record's first lines only: a record may be long.
        const ReadOutcome head = files.read(directory + *it, kHeadBytes, folder);
        const QList<QByteArray> lines = head.bytes.split('\n');
        if (head.status != ReadOutcome::Read || lines.first().trimmed() != kHeader)
            continue;
        for (qsizetype i = 1; i < lines.size() && i < 4; ++i) {
            const Line line = lineOf(lines[i]);
            if (line.key == QLatin1String("user") && line.value == user)
                return directory + *it;
        }
    }
    return {};
}

namespace {

qint64 modifiedNsOf(const FileMeta& meta)
{
    return meta.modifiedNs ? meta.modifiedNs : meta.modified.toMSecsSinceEpoch() * 1000000;
}

// Whether the file is still as the import wrote it: its bytes, where the record notes them;
// else (a record of an older version) a file not modified after the record's last line.
bool asImported(const ImportedFile& file, const ReadOutcome& current, const ImportRecordInfo& r)
{
    if (!file.sha256.isEmpty())
        return current.bytes.size() == file.size && sha256Of(current.bytes) == file.sha256;
    return modifiedNsOf(current.meta) <= modifiedNsOf(r.meta);
}

} // namespace

UndoOutcome UndoImport(const QString& recordPath, FileAccess& files,
                       const std::function<bool()>& stop)
{
    UndoOutcome outcome;
    outcome.record = ReadImportRecord(recordPath, files);
    const ImportRecordInfo& record = outcome.record;
    if (!record.ok)
        return outcome;
    for (const ImportedFile& file : record.created) {
        if (stop && stop()) {
            outcome.stopped = true;
            return outcome;
        }
        const QString path = record.folder + file.relative;
        // One byte more than noted tells a longer file without reading all of it.
        const qint64 wanted = file.sha256.isEmpty() ? 1 : file.size + 1;
        const ReadOutcome current = files.read(path, wanted, record.folder);
        switch (current.status) {
        case ReadOutcome::Missing:
            ++outcome.gone;
            break;
        case ReadOutcome::NotRegular:
            outcome.outside << file.relative;
            break;
        case ReadOutcome::Failed:
            ++outcome.failed;
            break;
        case ReadOutcome::Read:
            if (!asImported(file, current, record))
                outcome.kept << file.relative;
            else if (files.remove(path, record.folder))
                ++outcome.removed;
            else
                ++outcome.failed;
            break;
        }
    }
    if (outcome.failed == 0)
        files.remove(record.path, record.folder);
    return outcome;
}

namespace {

// The first few files, the rest counted; a record's line may be of any length.
QString named(const QStringList& files)
{
    constexpr qsizetype kLongestName = 200;
    QStringList shown;
    for (qsizetype i = 0; i < files.size() && i < kNamed; ++i)
        shown << QDir::toNativeSeparators(files[i].left(kLongestName));
    QString text = shown.join(QStringLiteral(", "));
    if (files.size() > kNamed)
        text += ImportRecord::tr(" and %1 more").arg(files.size() - kNamed);
    return text;
}

} // namespace

QString UndoSummary(const UndoOutcome& outcome)
{
    const ImportRecordInfo& record = outcome.record;
    if (!record.ok)
        return ImportRecord::tr("The import record cannot be read: %1").arg(record.error);
    QStringList lines;
    lines << ImportRecord::tr("Import of %1 on %2 taken back: %n appointments removed", nullptr,
                              outcome.removed)
                 .arg(QDir::toNativeSeparators(record.source),
                      record.started.toString(QStringLiteral("yyyy-MM-dd HH:mm")));
    if (outcome.gone > 0)
        lines << ImportRecord::tr("Already gone: %n appointments", nullptr, outcome.gone);
    if (!outcome.kept.isEmpty())
        lines << ImportRecord::tr("%n appointments were changed since the import and were kept: %1",
                                  nullptr, int(outcome.kept.size()))
                     .arg(named(outcome.kept));
    if (!outcome.outside.isEmpty())
        lines << ImportRecord::tr("Left alone, as a link leads them out of the data folder: %1")
                     .arg(named(outcome.outside));
    if (!record.ignored.isEmpty())
        lines << ImportRecord::tr("Ignored, as they name no appointment of the data folder: %1")
                     .arg(named(record.ignored));
    if (record.updated > 0)
        lines << ImportRecord::tr("Left as they are: %n appointments of an earlier import it "
                                  "had updated",
                                  nullptr, record.updated);
    if (outcome.failed > 0)
        lines << ImportRecord::tr("Not removed: %n appointments; the record stays for another try",
                                  nullptr, outcome.failed);
    if (outcome.stopped)
        lines << ImportRecord::tr("Stopped before the end; the record stays for another try");
    return lines.join(QLatin1Char('\n'));
}
