#pragma once

#include <QDate>
#include <QHash>
#include <QString>

// The appointment files of the sync window: the day directories from `from` to `to` and the
// recurring tree, nothing else of the folder listed.
namespace LocalScan {

struct Meta {
    qint64 modified = 0; // ms since the epoch
    qint64 size = 0;
};

// By path inside the folder ('/' between parts).
QHash<QString, Meta> scan(const QString& folder, const QDate& from, const QDate& to);

// Whether a scan of that window lists the path.
bool inWindow(const QString& relativePath, const QDate& from, const QDate& to);

QByteArray hashOf(const QString& path);

} // namespace LocalScan
