#pragma once

// The export's occurrences as an independent reader (python3-icalendar, ics_occurrences.py)
// finds them, and as the store shows them, in one form.
#include "calendar/Formats.h"
#include "store/DataAccess.h"

#include <QProcess>

#include <gtest/gtest.h>

inline bool readerAvailable()
{
    return QProcess::execute("/usr/bin/python3", {"-c", "import icalendar, dateutil"}) == 0;
}

// Every occurrence from..to as the store shows it, in the reader's form.
inline QStringList shownBy(DataAccess& store, const QDate& from, const QDate& to)
{
    QStringList shown;
    for (QDate day = from; day <= to; day = day.addDays(1)) {
        for (const TerminPtr& a : store.GetAppointmentsOfDay(day)) {
            QString text = QString(a->Text()).replace("\r\n", "\n");
            if (!a->Location().isEmpty()) // the reader's form of a LOCATION
                text += "\nLocation: " + a->Location();
            if (!a->Categories().isEmpty())
                text += "\nCategories: " + a->Categories().join("; ");
            shown << day.toString(Qt::ISODate) + ' ' + FormatTime(a->StartTime(), "24h") + '-' +
                         FormatTime(a->EndTime(), "24h") +
                         " remind=" + QString::number(a->RemindMinutes()) + ' ' +
                         QString(text.section('\n', 0, 0) + '|' + text.section('\n', 1))
                             .replace("\n", "\\n");
        }
    }
    shown.sort();
    return shown;
}

// What the independent reader finds in the file from..to.
inline QStringList readBy(const QString& file, const QDate& from, const QDate& to)
{
    QProcess reader;
    reader.start("/usr/bin/python3",
                 {NORVANE_ICS_READER, file, from.toString(Qt::ISODate), to.toString(Qt::ISODate)});
    EXPECT_TRUE(reader.waitForFinished(60000));
    EXPECT_EQ(reader.exitCode(), 0) << reader.readAllStandardError().toStdString();
    return QString::fromUtf8(reader.readAllStandardOutput()).trimmed().split('\n');
}
