#pragma once

#include "FileAccess.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class DataAccess;

// A holiday list: named sections of entry lines "name, YYYY/MM/DD", for example one section per
// country and year. Read once, whole; the window and the command line share it.
class HolidayFile {
public:
    // Far beyond any real list, small enough that a wrong file cannot exhaust memory.
    static constexpr qint64 kMaxBytes = 4 * 1024 * 1024;

    struct Entry {
        QString name; // everything before the first ", "
        QDate date;   // a day past the month's end carried into the next month
    };

    // nullopt, with the system's reason in error, when the file cannot be read, is no regular
    // file or is larger than kMaxBytes.
    static std::optional<HolidayFile> read(FileAccess& files, const QString& path,
                                           QString* error = nullptr);
    // Valid UTF-8 reads as UTF-8, anything else as Windows-1252, as profile files do.
    static HolidayFile fromBytes(const QByteArray& bytes);
    static HolidayFile fromText(const QString& text);

    // Section names in file order; a name that repeats is listed once.
    QStringList sections() const;
    bool hasSection(const QString& name) const;
    // The entry lines of the first section of that name, in file order; lines of any other
    // shape are skipped.
    QList<Entry> entries(const QString& section) const;

private:
    struct Section {
        QString name;
        qsizetype bodyStart = 0;
        qsizetype bodyEnd = 0; // the next "[" or the end of the text
    };
    const Section* find(const QString& name) const;

    QString m_text;
    QList<Section> m_sections;
};

// What became of an import.
struct HolidayImportResult {
    int count = 0;  // entries found in the chosen sections, saved or not
    int failed = 0; // entries whose file was not written
    WriteOutcome firstFailure;
};

// After each entry: entries done so far, and of how many.
using HolidayImportProgress = std::function<void(int done, int total)>;

// Every entry of the chosen sections becomes a one-time appointment from 08:00 to 12:00 of
// colour colorCode, owned by "Import", in dataFolder's y<year>/m<month>/d<day>/holiday.nv3:
// a day holds one holiday, the last one imported. Once the data folder cannot be reached,
// the rest is counted as failed without trying.
HolidayImportResult ImportHolidays(const HolidayFile& file, const QStringList& sections,
                                   int colorCode, DataAccess& store, const QString& dataFolder,
                                   const HolidayImportProgress& progress = {});
