// Series the recurring directories cannot hold, through iCalendar: an RRULE becomes one rule
// file and its occurrences, a changed occurrence its exception; the export writes the series
// as one event again, and a second import updates instead of adding.
#include "IcsReader.h"
#include "TestFiles.h"
#include "calendar/Formats.h"
#include "exchange/IcsExport.h"
#include "exchange/IcsImport.h"
#include "exchange/ImportRecord.h"
#include "store/DataAccess.h"

#include <QDirIterator>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray event(const QByteArray& uid, const QByteArray& lines)
{
    return "BEGIN:VEVENT\r\nUID:" + uid + "\r\n" + lines + "END:VEVENT\r\n";
}

QByteArray berlin(const char* property, const char* time)
{
    return QByteArray(property) + ";TZID=Europe/Berlin:" + time + "\r\n";
}

// Each event its own row: what lands, one line a file.
const struct Row {
    const char* name;
    QByteArray ics;
    QStringList files;
} kRows[] = {
    {"every 2 weeks on Mon,Thu, 4 times",
     event("a@x", berlin("DTSTART", "20260302T090000") + berlin("DTEND", "20260302T100000") +
                      "RRULE:FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,TH;COUNT=4\r\nSUMMARY:Pair\r\n"),
     {"recurring/rules/S.nv3 2026-03-02 09:00 Pair FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,TH;COUNT=4",
      "y2026/m3/d16/S-20260316.nv3 2026-03-16 09:00 Pair",
      "y2026/m3/d19/S-20260319.nv3 2026-03-19 09:00 Pair",
      "y2026/m3/d2/S-20260302.nv3 2026-03-02 09:00 Pair",
      "y2026/m3/d5/S-20260305.nv3 2026-03-05 09:00 Pair"}},
    {"2nd Tuesday monthly with one EXDATE and one RECURRENCE-ID",
     event("b@x", berlin("DTSTART", "20260310T140000") + berlin("DTEND", "20260310T150000") +
                      "RRULE:FREQ=MONTHLY;BYDAY=2TU;COUNT=6\r\n" +
                      berlin("EXDATE", "20260414T140000") + "SUMMARY:Board\r\n") +
         event("b@x", berlin("RECURRENCE-ID", "20260512T140000") +
                          berlin("DTSTART", "20260513T110000") +
                          berlin("DTEND", "20260513T120000") + "SUMMARY:Board moved\r\n"),
     {"recurring/rules/S.nv3 2026-03-10 14:00 Board FREQ=MONTHLY;BYDAY=2TU;COUNT=6 skipped "
      "2026-04-14,2026-05-12 exceptions 2026-05-13",
      "y2026/m3/d10/S-20260310.nv3 2026-03-10 14:00 Board",
      "y2026/m5/d13/1.nv3 2026-05-13 11:00 Board moved of S",
      "y2026/m6/d9/S-20260609.nv3 2026-06-09 14:00 Board",
      "y2026/m7/d14/S-20260714.nv3 2026-07-14 14:00 Board",
      "y2026/m8/d11/S-20260811.nv3 2026-08-11 14:00 Board"}},
    // UNTIL in UTC is 22:30 on the 30th, 00:30 on the 31st in Berlin: that day is the last.
    {"last Friday until a date",
     event("c@x", berlin("DTSTART", "20260327T003000") + berlin("DTEND", "20260327T013000") +
                      "RRULE:FREQ=MONTHLY;BYDAY=-1FR;UNTIL=20260730T223000Z\r\nSUMMARY:Late\r\n"),
     {"recurring/rules/S.nv3 2026-03-27 00:30 Late FREQ=MONTHLY;BYDAY=-1FR;UNTIL=20260731",
      "y2026/m3/d27/S-20260327.nv3 2026-03-27 00:30 Late",
      "y2026/m4/d24/S-20260424.nv3 2026-04-24 00:30 Late",
      "y2026/m5/d29/S-20260529.nv3 2026-05-29 00:30 Late",
      "y2026/m6/d26/S-20260626.nv3 2026-06-26 00:30 Late",
      "y2026/m7/d31/S-20260731.nv3 2026-07-31 00:30 Late"}},
    {"weekly 3 times: the directories hold it, and its count",
     event("d@x", berlin("DTSTART", "20260303T080000") + berlin("DTEND", "20260303T083000") +
                      "RRULE:FREQ=WEEKLY;COUNT=3\r\nSUMMARY:Plain\r\n"),
     {"recurring/wd3/1.nv3 2026-03-03 08:00 Plain FREQ=WEEKLY;COUNT=3 2026-03-03..2026-03-17"}},
};

const QDate kFrom(2026, 1, 1);
const QDate kTo(2026, 12, 31);

QByteArray calendarOf(const QByteArray& events)
{
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n" + events + "END:VCALENDAR\r\n";
}

// Every file of the folder: where, when, what, its rule, skipped and exception days, series.
QStringList describe(const QString& folder)
{
    ProfileCache profiles(ThreadFileAccess());
    DataAccess store(profiles, StoreSource::fixed(folder));
    const auto days = [](const QList<QDate>& list) {
        QStringList text;
        for (const QDate& day : list)
            text << day.toString(Qt::ISODate);
        return text.join(',');
    };
    QStringList lines;
    for (QDirIterator it(folder, {"*.nv3"}, QDir::Files, QDirIterator::Subdirectories);
         it.hasNext();) {
        const QString path = it.next();
        const TerminPtr a = store.LoadAppointment(path, QDate());
        QString line = QDir(folder).relativeFilePath(path) + ' ' +
                       a->datum().toString(Qt::ISODate) + ' ' + FormatTime(a->StartTime(), "24h") +
                       ' ' + a->Text();
        if (a->IsRecurring() && a->Rule())
            line += ' ' + a->Rule()->rrule();
        if (a->IsRecurring() && !a->SkippedDays().isEmpty())
            line += " skipped " + days(a->SkippedDays());
        if (a->IsRecurring() && !a->SeriesDays().isEmpty())
            line += " exceptions " + days(a->SeriesDays());
        if (!a->IsRecurring() && !a->Rule() && !a->SeriesId().isEmpty())
            line += " of " + a->SeriesId();
        if (a->IsRecurring() && a->filename().contains("/wd"))
            line += ' ' + a->RecurringStartDate().toString(Qt::ISODate) + ".." +
                    a->RecurringEndDate().toString(Qt::ISODate);
        lines << line;
    }
    lines.sort();
    return lines;
}

// The files with the series' name as "S".
QStringList named(QStringList lines)
{
    static const QRegularExpression kId("[0-9a-f]{8}-[0-9a-f-]{27}");
    for (QString& line : lines)
        line.replace(kId, "S");
    return lines;
}

IcsImportResult importInto(const QString& folder, const QByteArray& ics, bool recorded = false)
{
    ProfileCache profiles(ThreadFileAccess());
    DataAccess store(profiles, StoreSource::fixed(folder));
    IcsImportOptions options;
    options.today = {2026, 3, 1};
    options.producer = "tester";
    options.random = [next = quint32(0)]() mutable { return ++next; };
    if (recorded)
        options.recordSource = "calendar.ics";
    return ImportIcs(ics, store, folder, 5, {}, options);
}

QStringList exportLines(const QString& folder, int* events = nullptr)
{
    ProfileCache profiles(ThreadFileAccess());
    DataAccess store(profiles, StoreSource::fixed(folder));
    return QString::fromUtf8(ExportIcs(store, kFrom, kTo, WithTrailingSeparator(folder),
                                       {QDateTime({2026, 1, 2}, {3, 4, 5}, Qt::UTC), {}}, events))
        .split("\r\n");
}

TEST(IcsRuleSeriesTest, AnRRuleBecomesOneSeriesAndASecondImportUpdatesIt)
{
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.name);
        QTemporaryDir folder;
        const IcsImportResult first = importInto(folder.path(), calendarOf(row.ics));
        EXPECT_EQ(first.recurring, 1);
        EXPECT_EQ(first.expanded, 0);
        EXPECT_EQ(named(describe(folder.path())), row.files);
        const IcsImportResult again = importInto(folder.path(), calendarOf(row.ics));
        EXPECT_EQ(again.updated, again.appointments);
        EXPECT_EQ(named(describe(folder.path())), row.files);
    }
}

// The same event imported again and again, its rule changed each time: the folder holds only
// what the last import made of it, and that import can be taken back.
TEST(IcsRuleSeriesTest, AChangedRuleOnAnotherImportLeavesOnlyItsOwnFiles)
{
    const struct {
        const char* rule;
        QStringList files;
    } steps[] = {
        {"FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,TH;COUNT=4", kRows[0].files},
        {"FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,TH;COUNT=2",
         {"recurring/rules/S.nv3 2026-03-02 09:00 Pair FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,TH;COUNT=2",
          "y2026/m3/d2/S-20260302.nv3 2026-03-02 09:00 Pair",
          "y2026/m3/d5/S-20260305.nv3 2026-03-05 09:00 Pair"}},
        {"FREQ=WEEKLY;UNTIL=20260316",
         {"recurring/wd2/1.nv3 2026-03-02 09:00 Pair 2026-03-02..2026-03-16"}},
        {"FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,TH;COUNT=2", {}},
    };
    QTemporaryDir folder;
    for (const auto& step : steps) {
        SCOPED_TRACE(step.rule);
        QByteArray ics = kRows[0].ics;
        ics.replace("FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,TH;COUNT=4", step.rule);
        const IcsImportResult result = importInto(folder.path(), calendarOf(ics), true);
        if (step.files.isEmpty()) {
            UndoImport(result.record, ThreadFileAccess());
            EXPECT_EQ(describe(folder.path()), QStringList()) << "taken back whole";
        } else {
            EXPECT_EQ(named(describe(folder.path())), step.files);
        }
    }
}

TEST(IcsRuleSeriesTest, TheExportWritesEachSeriesAsOneEventThatImportsAsItWas)
{
    QTemporaryDir folder;
    QByteArray all;
    for (const Row& row : kRows)
        all += row.ics;
    importInto(folder.path(), calendarOf(all));
    int events = 0;
    const QStringList lines = exportLines(folder.path(), &events);
    const QString file = lines.join('\n');
    EXPECT_EQ(events, 5) << file.toStdString(); // four series and the moved Tuesday
    EXPECT_EQ(lines.count("UID:b@x"), 2);
    for (const char* line :
         {"RRULE:FREQ=WEEKLY;COUNT=4;INTERVAL=2;BYDAY=MO,TH",
          "RRULE:FREQ=MONTHLY;COUNT=6;BYDAY=2TU", "EXDATE;TZID=Europe/Berlin:20260414T140000",
          "RECURRENCE-ID;TZID=Europe/Berlin:20260512T140000",
          "RRULE:FREQ=MONTHLY;UNTIL=20260730T223000Z;BYDAY=-1FR", "RRULE:FREQ=WEEKLY;COUNT=3"})
        EXPECT_TRUE(lines.contains(line)) << line << '\n' << file.toStdString();

    ProfileCache profiles(ThreadFileAccess());
    DataAccess store(profiles, StoreSource::fixed(folder.path()));
    const QStringList shown = shownBy(store, kFrom, kTo);
    EXPECT_EQ(shown.size(), 17);
    const QString path = folder.filePath("export.ics");
    ASSERT_TRUE(TestFiles::writeBytes(path, lines.join("\r\n").toUtf8()));
    if (readerAvailable()) {
        EXPECT_EQ(readBy(path, kFrom, kTo), shown);
    }

    QTemporaryDir again;
    importInto(again.path(), lines.join("\r\n").toUtf8());
    EXPECT_EQ(describe(again.path()), describe(folder.path()));
}

} // namespace
