#pragma once

#include "profile/FileAccess.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <chrono>
#include <functional>

// One copy at a time changes a series, or books a room: a claim file in the data folder, made
// new or not at all, held from the check of what is there to the last write. Its name ends in
// no appointment extension, so every listing, older copies' too, passes it over. The claim of
// a copy that died while holding it goes once it is older than kStaleAfter.
class FolderClaim {
public:
    using Clock = std::function<QDateTime()>;
    static constexpr std::chrono::seconds kStaleAfter{60};

    // Tries once: a claim another copy holds is not waited for.
    FolderClaim(FileAccess& files, const QString& dataFolder, const QString& path,
                Clock clock = {});
    ~FolderClaim();
    FolderClaim(const FolderClaim&) = delete;
    FolderClaim& operator=(const FolderClaim&) = delete;

    bool held() const { return m_held; }

    // Where the claim of the series with this key (its SeriesId, or the one its first split
    // gives it) lies in dataFolder: in its recurring directory.
    static QString seriesPath(const QString& dataFolder, const QString& seriesKey);
    // Where the claim of a room lies: in dataFolder itself, there even in a new folder. The
    // name's letter case does not count.
    static QString roomPath(const QString& dataFolder, const QString& room);

private:
    bool take();

    FileAccess& m_files;
    QString m_root;
    QString m_path;
    QByteArray m_mark; // what our claim holds, so only ours is ever taken away
    Clock m_clock;
    bool m_held = false;
};
