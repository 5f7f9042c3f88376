#include "SyncRecord.h"

#include "FileAccess.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSysInfo>
#include <QThread>
#include <QUuid>

namespace SyncRecord {

namespace {

QString statusPath(const QString& dataFolder)
{
    return dataFolder + kDirectory + QStringLiteral("/status.json");
}

QJsonObject toJson(const Item& item)
{
    QJsonArray files;
    for (const File& f : item.files)
        files.append(QJsonObject{{"path", f.path},
                                 {"modified", f.modified},
                                 {"size", f.size},
                                 {"hash", QString::fromLatin1(f.hash)}});
    return {{"uid", item.uid},
            {"href", item.href},
            {"etag", QString::fromUtf8(item.etag)},
            {"mirror", item.mirror},
            {"files", files}};
}

Item itemOf(const QJsonObject& o)
{
    Item item;
    item.uid = o.value("uid").toString();
    item.href = o.value("href").toString();
    item.etag = o.value("etag").toString().toUtf8();
    item.mirror = o.value("mirror").toBool();
    for (const QJsonValue& v : o.value("files").toArray()) {
        const QJsonObject f = v.toObject();
        item.files.append({f.value("path").toString(), qint64(f.value("modified").toDouble()),
                           qint64(f.value("size").toDouble()),
                           f.value("hash").toString().toLatin1()});
    }
    return item;
}

} // namespace

std::optional<Status> load(const QString& dataFolder, QString* error)
{
    QFile file(statusPath(dataFolder));
    if (!file.exists())
        return Status{};
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return std::nullopt;
    }
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (!doc.isObject()) {
        *error = parseError.errorString();
        return std::nullopt;
    }
    const QJsonObject o = doc.object();
    Status status;
    status.account = o.value("account").toString();
    status.collection = o.value("collection").toString();
    status.token = o.value("token").toString();
    status.ctag = o.value("ctag").toString();
    for (const QJsonValue& v : o.value("items").toArray())
        status.items.append(itemOf(v.toObject()));
    return status;
}

bool save(const QString& dataFolder, const Status& status, QString* error)
{
    QJsonArray items;
    for (const Item& item : status.items)
        items.append(toJson(item));
    const QJsonObject o{{"account", status.account},
                        {"collection", status.collection},
                        {"token", status.token},
                        {"ctag", status.ctag},
                        {"items", items}};
    const WriteOutcome outcome = ThreadFileAccess().writeAtomically(
        statusPath(dataFolder), QJsonDocument(o).toJson(QJsonDocument::Compact), dataFolder);
    if (!outcome.ok && error)
        *error = outcome.error.isEmpty() ? QStringLiteral("cannot write %1").arg(outcome.path)
                                         : outcome.error;
    return outcome.ok;
}

Lock::Lock(const QString& dataFolder, std::chrono::seconds staleAfter, std::chrono::seconds wait)
    : m_path(dataFolder + kDirectory + QStringLiteral("/lock"))
{
    QDir().mkpath(dataFolder + kDirectory);
    // The number tells two syncs of one process apart.
    m_mark = QStringLiteral("%1 %2 %3 %4")
                 .arg(QSysInfo::machineHostName())
                 .arg(QCoreApplication::applicationPid())
                 .arg(QDateTime::currentDateTimeUtc().toString(Qt::ISODate))
                 .arg(QUuid::createUuid().toString(QUuid::WithoutBraces).left(8))
                 .toUtf8();
    const QDateTime until = QDateTime::currentDateTimeUtc().addSecs(wait.count());
    while (!(m_held = tryTake(staleAfter)) && QDateTime::currentDateTimeUtc() < until)
        QThread::msleep(200);
}

Lock::~Lock()
{
    if (!m_held)
        return;
    // Only our own: a lock taken over after we stalled belongs to the other sync now.
    QFile file(m_path);
    if (file.open(QIODevice::ReadOnly) && file.readAll() == m_mark) {
        file.close();
        QFile::remove(m_path);
    }
}

bool Lock::tryTake(std::chrono::seconds staleAfter)
{
    auto create = [&] {
        QFile file(m_path);
        return file.open(QIODevice::WriteOnly | QIODevice::NewOnly) && file.write(m_mark) > 0 &&
               file.flush();
    };
    if (create())
        return true;
    QFile existing(m_path);
    if (existing.open(QIODevice::ReadOnly))
        m_holder = QString::fromUtf8(existing.readAll());
    const QDateTime since = QFileInfo(m_path).lastModified();
    if (!since.isValid() || since.secsTo(QDateTime::currentDateTime()) <= staleAfter.count())
        return false;
    // A sync killed long ago: its lock goes, and whoever creates it first now holds it.
    QFile::remove(m_path);
    return create();
}

} // namespace SyncRecord
