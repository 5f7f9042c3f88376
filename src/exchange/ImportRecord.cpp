#include "ImportRecord.h"

#include "AppointmentFile.h"
#include "FileAccess.h"
#include "Settings.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

constexpr char kHeader[] = "Norvane import record";

// The record's name sorts by its start: the newest is the last.
QString recordName(const QString& user)
{
    static const QRegularExpression unsafe(QStringLiteral("[^A-Za-z0-9._-]"));
    QString who = user;
    who.replace(unsafe, QStringLiteral("_"));
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz")) +
           QLatin1Char('-') + who.left(40) + QStringLiteral(".txt");
}

// A path the record may name: a file of the appointment tree, below the data folder.
bool isAppointmentPath(const QString& relative)
{
    return !relative.isEmpty() && !QDir::isAbsolutePath(relative) &&
           !relative.split(QRegularExpression(QStringLiteral("[/\\\\]"))).contains("..") &&
           relative.endsWith(AppointmentFile::kExtension);
}

// Who made the import: read from the record's first lines only, a record may be long.
QString userOf(const QString& recordPath)
{
    QFile file(recordPath);
    if (!file.open(QIODevice::ReadOnly) || file.readLine().trimmed() != kHeader)
        return {};
    for (int i = 0; i < 3 && !file.atEnd(); ++i) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(QLatin1String("user=")))
            return line.mid(5);
    }
    return {};
}

} // namespace

ImportRecord::ImportRecord(const QString& dataFolder, const QString& path)
    : m_folder(WithTrailingSeparator(dataFolder))
    , m_path(path)
    , m_file(path)
{
}

std::unique_ptr<ImportRecord> ImportRecord::start(const QString& dataFolder, const QString& source,
                                                  const QString& user, QString* error)
{
    const QString directory = WithTrailingSeparator(dataFolder) + kDirectory;
    std::unique_ptr<ImportRecord> record(
        new ImportRecord(dataFolder, directory + QDir::separator() + recordName(user)));
    const QString head = QString::fromLatin1(kHeader) + QStringLiteral("\nsource=") + source +
                         QStringLiteral("\nuser=") + user + QStringLiteral("\nstarted=") +
                         QDateTime::currentDateTime().toString(Qt::ISODate) + QLatin1Char('\n');
    // Never the data folder itself: an unmounted share is no place to start one.
    if (!QFileInfo(dataFolder).isDir()) {
        if (error)
            *error = tr("The data folder %1 cannot be reached.")
                         .arg(QDir::toNativeSeparators(dataFolder));
        return nullptr;
    }
    if (!QDir(dataFolder).mkpath(kDirectory) ||
        !record->m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::NewOnly |
                             QIODevice::Unbuffered) ||
        record->m_file.write(head.toUtf8()) < 0 || !record->m_file.flush()) {
        if (error)
            *error =
                tr("The import record %1 cannot be written: %2")
                    .arg(QDir::toNativeSeparators(record->m_path), record->m_file.errorString());
        record->m_file.close();
        QFile::remove(record->m_path); // a full disk leaves no empty record
        return nullptr;
    }
    return record;
}

bool ImportRecord::note(const char* key, const QString& file)
{
    const QString relative = file.startsWith(m_folder) ? file.mid(m_folder.size()) : file;
    const QByteArray line = QByteArray(key) + '=' + relative.toUtf8() + '\n';
    if (m_file.write(line) == line.size() && m_file.flush())
        return true;
    m_error = tr("The import record %1 cannot be written: %2")
                  .arg(QDir::toNativeSeparators(m_path), m_file.errorString());
    return false;
}

bool ImportRecord::noteNew(const QString& file)
{
    return note("new", file);
}

bool ImportRecord::noteUpdated(const QString& file)
{
    return note("updated", file);
}

void ImportRecord::finish(bool anyWritten)
{
    m_file.write("finished=" + QDateTime::currentDateTime().toString(Qt::ISODate).toUtf8() + '\n');
    m_file.close();
    if (!anyWritten)
        QFile::remove(m_path);
}

ImportRecordInfo ReadImportRecord(const QString& recordPath)
{
    ImportRecordInfo info;
    info.path = recordPath;
    QFile file(recordPath);
    if (!file.open(QIODevice::ReadOnly)) {
        info.error = file.errorString();
        return info;
    }
    if (file.readLine().trimmed() != kHeader) {
        info.error = ImportRecord::tr("It is no import record.");
        return info;
    }
    // The data folder is where the record lies, wherever the folder is mounted now.
    QDir folder = QFileInfo(recordPath).absoluteDir();
    folder.cdUp();
    info.folder = WithTrailingSeparator(folder.absolutePath());
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        const QString key = line.section(u'=', 0, 0);
        const QString value = line.section(u'=', 1);
        if (key == QLatin1String("source"))
            info.source = value;
        else if (key == QLatin1String("user"))
            info.user = value;
        else if (key == QLatin1String("started"))
            info.started = QDateTime::fromString(value, Qt::ISODate);
        else if (key == QLatin1String("finished"))
            info.finished = true;
        else if (key == QLatin1String("updated"))
            ++info.updated;
        else if (key == QLatin1String("new") && isAppointmentPath(value))
            info.created << value;
    }
    info.ok = true;
    return info;
}

QString LastImportRecord(const QString& dataFolder, const QString& user)
{
    const QDir directory(WithTrailingSeparator(dataFolder) + ImportRecord::kDirectory);
    QStringList names = directory.entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name);
    for (auto it = names.crbegin(); it != names.crend(); ++it) {
        const QString path = directory.filePath(*it);
        if (userOf(path) == user)
            return path;
    }
    return {};
}

UndoOutcome UndoImport(const QString& recordPath, FileAccess& files,
                       const std::function<bool()>& stop)
{
    UndoOutcome outcome;
    outcome.record = ReadImportRecord(recordPath);
    if (!outcome.record.ok)
        return outcome;
    for (const QString& relative : std::as_const(outcome.record.created)) {
        if (stop && stop()) {
            outcome.stopped = true;
            return outcome;
        }
        const QString path = outcome.record.folder + relative;
        if (!files.exists(path))
            ++outcome.gone;
        else if (files.remove(path, outcome.record.folder))
            ++outcome.removed;
        else
            ++outcome.failed;
    }
    if (outcome.failed == 0)
        QFile::remove(recordPath);
    return outcome;
}

QString UndoSummary(const UndoOutcome& outcome)
{
    if (!outcome.record.ok)
        return ImportRecord::tr("The import record cannot be read: %1").arg(outcome.record.error);
    QStringList lines;
    lines << ImportRecord::tr("Import of %1 on %2 taken back: %3 appointments removed")
                 .arg(QDir::toNativeSeparators(outcome.record.source),
                      outcome.record.started.toString(QStringLiteral("yyyy-MM-dd HH:mm")))
                 .arg(outcome.removed);
    if (outcome.gone > 0)
        lines << ImportRecord::tr("Already gone: %1 appointments").arg(outcome.gone);
    if (outcome.record.updated > 0)
        lines << ImportRecord::tr("Left as they are: %1 appointments of an earlier import it "
                                  "had updated")
                     .arg(outcome.record.updated);
    if (outcome.failed > 0)
        lines << ImportRecord::tr("Not removed: %1 appointments; the record stays for another try")
                     .arg(outcome.failed);
    if (outcome.stopped)
        lines << ImportRecord::tr("Stopped before the end; the record stays for another try");
    return lines.join(QLatin1Char('\n'));
}
