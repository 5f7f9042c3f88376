#pragma once

#include "profile/DateParts.h"
#include "profile/FileAccess.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class DataAccess;

// A holiday list: named sections of entry lines "name, YYYY/MM/DD", for example one section per
// country and year. Read once, whole, and parsed in one pass; the window and the command line
// share it.
class HolidayFile {
public:
    // Far beyond any real list, small enough that a wrong file cannot exhaust memory.
    static constexpr qint64 kMaxBytes = 4 * 1024 * 1024;
    // The days the views show; an entry outside them is not imported.
    static inline const QDate kFirstDay{1900, 1, 1};
    static inline const QDate kLastDay = kLastFileDate;

    struct Entry {
        QString name; // everything before the first ", "
        QDate date;   // a day past the month's end carried into the next month
    };

    // Why a list cannot be used.
    struct Problem {
        bool notText = false; // it holds a control character: a binary file, most likely
        int line = 0;         // notText: the line of the first one, from 1
        QString reason;       // in English, as the command line prints it: the system's reason
                              // when the file cannot be read
    };

    // nullopt, with the reason in problem, when the file cannot be read, is no regular file, is
    // larger than kMaxBytes or is no text.
    static std::optional<HolidayFile> read(FileAccess& files, const QString& path,
                                           Problem* problem = nullptr);
    // Valid UTF-8 reads as UTF-8, anything else as Windows-1252, as profile files do. Text
    // holding control characters other than tab, CR and LF is refused: nullopt.
    static std::optional<HolidayFile> fromBytes(const QByteArray& bytes,
                                                Problem* problem = nullptr);

    // Section names in file order; a name that repeats is listed once, where it first stands.
    const QStringList& sections() const { return m_names; }
    // The names that head more than one section, in the order of sections().
    const QStringList& repeated() const { return m_repeated; }
    bool hasSection(const QString& name) const { return m_index.contains(name); }
    // The entry lines of every section of that name, in file order; lines of any other shape
    // are skipped.
    QList<Entry> entries(const QString& section) const;

private:
    static HolidayFile parse(QStringView text);

    QStringList m_names;
    QStringList m_repeated;
    QList<QList<Entry>> m_entries;     // by the index of the name in m_names
    QHash<QString, qsizetype> m_index; // the index in m_names plus one
};

// What became of an import.
struct HolidayImportResult {
    int count = 0;      // entries of the chosen sections tried, saved or not
    int failed = 0;     // entries whose file was not written
    int outOfRange = 0; // entries not tried: dated before kFirstDay or after kLastDay
    WriteOutcome firstFailure;
    QStringList written; // the files saved, full paths

    int saved() const { return count - failed; }
};

// After each entry: entries done so far, and of how many.
using HolidayImportProgress = std::function<void(int done, int total)>;

// Every entry of the chosen sections dated kFirstDay to kLastDay becomes a one-time all-day
// appointment (00:00 to 24:00) of colour colorCode, owned by "Import", in dataFolder's
// y<year>/m<month>/d<day>/holiday.nv3: a day holds one holiday, the last one imported. Once the
// data folder cannot be reached, the rest is counted as failed without trying.
HolidayImportResult ImportHolidays(const HolidayFile& file, const QStringList& sections,
                                   int colorCode, DataAccess& store, const QString& dataFolder,
                                   const HolidayImportProgress& progress = {});
