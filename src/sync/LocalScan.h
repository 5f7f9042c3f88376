#pragma once

#include "SyncRecord.h"

#include <QDate>
#include <QHash>
#include <QString>

#include <optional>

// The appointment files of the sync window: the day directories from `from` to `to` and the
// recurring tree, nothing else of the folder listed. A linked directory is never followed (it
// may lead out of the folder, and inside it would list its files twice), and every listing
// and read stays inside the folder.
namespace LocalScan {

struct Meta {
    qint64 modified = 0; // ms since the epoch
    qint64 size = 0;
};

// By path inside the folder ('/' between parts).
QHash<QString, Meta> scan(const QString& folder, const QDate& from, const QDate& to);

// Whether a scan of that window lists the path.
bool inWindow(const QString& relativePath, const QDate& from, const QDate& to);

// The file as it is now, read inside the folder, with the hash of its bytes; nullopt when it
// is no regular file there or larger than the store reads (a size known from the listing
// spares the read).
std::optional<SyncRecord::File> look(const QString& folder, const QString& relativePath,
                                     std::optional<qint64> listedSize = {});

} // namespace LocalScan
