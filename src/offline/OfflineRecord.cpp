#include "offline/OfflineRecord.h"

#include "offline/FolderPlan.h"
#include "offline/OfflineText.h"
#include "profile/FileAccess.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace OfflineRecord {

namespace {

constexpr int kVersion = 1;
constexpr qint64 kMaxBytes = 64 * 1024 * 1024;

QString recordPath(const QString& copyFolder)
{
    return copyFolder + kDirectory + QStringLiteral("/record.json");
}

} // namespace

std::optional<Record> load(FileAccess& files, const QString& copyFolder, QString* error)
{
    const ReadOutcome read = files.read(recordPath(copyFolder), kMaxBytes + 1, copyFolder);
    if (read.status == ReadOutcome::Missing)
        return Record{};
    if (read.status != ReadOutcome::Read || read.bytes.size() > kMaxBytes) {
        *error = OfflineText::tr("The record of the offline copy cannot be read: %1")
                     .arg(read.error.isEmpty() ? recordPath(copyFolder) : read.error);
        return std::nullopt;
    }
    const QJsonObject o = QJsonDocument::fromJson(read.bytes).object();
    const QJsonValue version = o.value(QLatin1String("version"));
    if (!version.isUndefined() && version.toInteger(-1) != kVersion) {
        *error = OfflineText::tr("Another version of the program wrote the record of the offline "
                                 "copy; it was left as it is.");
        return std::nullopt;
    }
    // A record cut short loses nothing: both sides are compared afresh, same files agree.
    Record record;
    record.share = o.value(QLatin1String("share")).toString();
    record.reconciled =
        QDateTime::fromString(o.value(QLatin1String("reconciled")).toString(), Qt::ISODate);
    for (const QJsonValue& v : o.value(QLatin1String("entries")).toArray()) {
        const QJsonObject e = v.toObject();
        const QString path = e.value(QLatin1String("path")).toString();
        if (!FolderPlan::isCarried(path))
            continue; // never a path out of the tree
        record.entries.insert(path, {e.value(QLatin1String("hash")).toString().toLatin1(),
                                     e.value(QLatin1String("size")).toInteger(),
                                     e.value(QLatin1String("copy")).toInteger(),
                                     e.value(QLatin1String("share")).toInteger()});
    }
    return record;
}

bool save(FileAccess& files, const QString& copyFolder, const Record& record, QString* error)
{
    QJsonArray entries;
    for (auto it = record.entries.cbegin(); it != record.entries.cend(); ++it)
        entries.append(QJsonObject{{QStringLiteral("path"), it.key()},
                                   {QStringLiteral("hash"), QString::fromLatin1(it->hash)},
                                   {QStringLiteral("size"), it->size},
                                   {QStringLiteral("copy"), it->copyModified},
                                   {QStringLiteral("share"), it->shareModified}});
    const QJsonObject o{{QStringLiteral("version"), kVersion},
                        {QStringLiteral("share"), record.share},
                        {QStringLiteral("reconciled"), record.reconciled.toString(Qt::ISODate)},
                        {QStringLiteral("entries"), entries}};
    const WriteOutcome outcome = files.writeAtomically(
        recordPath(copyFolder), QJsonDocument(o).toJson(QJsonDocument::Compact), copyFolder);
    if (!outcome.ok && error)
        *error = outcome.error.isEmpty() ? recordPath(copyFolder) : outcome.error;
    return outcome.ok;
}

} // namespace OfflineRecord
