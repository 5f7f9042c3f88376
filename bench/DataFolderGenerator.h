#pragma once

#include <QDate>
#include <QString>

// Fills a directory with a data folder as an office builds it up over the years: every working
// day a handful of one-time appointments, plus a fixed set of recurring ones. The content is
// a pure function of the options, and each day draws from its own seed, so a folder with more
// years of history holds the smaller folder's last years byte for byte.
class DataFolderGenerator {
public:
    struct Options {
        // History ends with lastYear and reaches back this many years.
        int years = 3;
        int lastYear = 2023;
        int appointmentsPerDay = 6;
        int recurringFiles = 80;
        quint64 seed = 0x4e6f7276616e6533ULL;
    };

    struct Summary {
        bool ok = true;
        QString error; // the first file or directory that could not be written
        int workingDays = 0;
        int oneTimeFiles = 0;
        int recurringFiles = 0;
        QDate firstDay;
        QDate lastDay;

        int totalFiles() const { return oneTimeFiles + recurringFiles; }
    };

    explicit DataFolderGenerator(const Options& options)
        : m_options(options)
    {
    }

    // Writes the files straight to disk (not through the store: this has to be fast).
    // folder must exist; it may end in a separator or not.
    Summary write(const QString& folder) const;

    const Options& options() const { return m_options; }

    // New Year, Labour Day, the Christmas days and a few others on fixed dates.
    static bool isHoliday(const QDate& date);

private:
    Options m_options;
};
