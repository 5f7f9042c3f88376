#pragma once

#include "profile/FileAccess.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <chrono>
#include <functional>

// One copy at a time changes a series: a claim file in the data folder's recurring directory,
// made new or not at all, held from the check of the series' files to its last write. Its name
// ends in no appointment extension, so every listing, older copies' too, passes it over. The
// claim of a copy that died while holding it goes once it is older than kStaleAfter.
class SeriesClaim {
public:
    using Clock = std::function<QDateTime()>;
    static constexpr std::chrono::seconds kStaleAfter{60};

    // Tries once: a series another copy is changing is not waited for.
    SeriesClaim(FileAccess& files, const QString& dataFolder, const QString& seriesKey,
                Clock clock = {});
    ~SeriesClaim();
    SeriesClaim(const SeriesClaim&) = delete;
    SeriesClaim& operator=(const SeriesClaim&) = delete;

    bool held() const { return m_held; }

    // Where the claim of the series with this key (its SeriesId, or the one its first split
    // gives it) lies in dataFolder.
    static QString pathFor(const QString& dataFolder, const QString& seriesKey);

private:
    bool take();

    FileAccess& m_files;
    QString m_root;
    QString m_path;
    QByteArray m_mark; // what our claim holds, so only ours is ever taken away
    Clock m_clock;
    bool m_held = false;
};
