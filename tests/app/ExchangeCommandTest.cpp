// norvane-cli export-ics and import-ics as scripts run them: the words and files they refuse,
// and a round trip into an empty folder that shows the same agenda.
#include "CliRun.h"
#include "TestFiles.h"

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>

namespace {

int filesBelow(const QString& dir)
{
    int n = 0;
    for (QDirIterator it(dir, QDir::Files, QDirIterator::Subdirectories); it.hasNext(); it.next())
        ++n;
    return n;
}

// An appointment file of colour 3 for the owner alone; recurring ones start on their first day.
QByteArray appointment(const QDate& date, const char* times, const char* text, int remind,
                       const QDate& until = {})
{
    const QDate last = until.isValid() ? until : date;
    int t[4] = {};
    std::sscanf(times, "%d:%d-%d:%d", &t[0], &t[1], &t[2], &t[3]);
    return QString::asprintf(
               "[AppointmentSettings]\r\nDateYear=%d\r\nDateMonth=%d\r\nDateDay=%d\r\n"
               "StartTimeHour=%d\r\nStartTimeMinute=%d\r\nEndTimeHour=%d\r\nEndTimeMinute=%d\r\n"
               "Color=3\r\nText=%s\r\nProducer=anna\r\nIsReminder=%d\r\nRemindTime=%d\r\n"
               "RemindMe=1\r\nRemindEmail=0\r\nRecurring=%d\r\nRecurringFromYear=%d\r\n"
               "RecurringFromMonth=%d\r\nRecurringFromDay=%d\r\nRecurringUntilYear=%d\r\n"
               "RecurringUntilMonth=%d\r\nRecurringUntilDay=%d\r\n",
               date.year(), date.month(), date.day(), t[0], t[1], t[2], t[3], text, remind > 0,
               remind, until.isValid(), date.year(), date.month(), date.day(), last.year(),
               last.month(), last.day())
        .toUtf8();
}

// A calendar file of one event (more where lines between them end one and begin the next).
QString calendar(const QString& path, const QByteArray& event)
{
    EXPECT_TRUE(TestFiles::writeBytes(path, "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\n" + event +
                                                "END:VEVENT\r\nEND:VCALENDAR\r\n"));
    return path;
}

TEST(ExchangeCommandTest, RefusesBadWordsAndUnusableFiles)
{
    QTemporaryDir dir;
    const QString source = dir.filePath("source");
    ASSERT_TRUE(TestFiles::writeBytes(source + "/y2026/m3/d10/1.nv3",
                                      appointment({2026, 3, 10}, "9:0-10:0", "Dentist", 0)));
    const QString target = dir.filePath("target");
    QDir().mkpath(target);
    const QString blocked = dir.filePath("blocked");
    ASSERT_TRUE(TestFiles::writeBytes(blocked + "/y2026", "in the way"));
    const QString ics = calendar(dir.filePath("one.ics"), "DTSTART:20260310T090000\r\n");
    const QString notes = dir.filePath("notes.ics");
    ASSERT_TRUE(TestFiles::writeBytes(notes, "Buy milk\r\n"));
    const QString large = calendar(dir.filePath("large.ics"),
                                   "DTSTART:20260310T090000\r\nRRULE:FREQ=HOURLY;COUNT=5001\r\n");
    const QString missing = dir.filePath("absent");
    const QStringList exportTo = {"--folder", source};
    const QStringList importTo = {"--folder", target};
    const struct {
        QStringList args;
        int code;
        QString err; // a part of it
    } rows[] = {
        {QStringList{"export-ics", "2026-01-01"} + exportTo, 2, "takes FROM and TO"},
        {QStringList{"export-ics", "2026-02-30", "2026-03-31"} + exportTo, 2, "Not a date"},
        {QStringList{"export-ics", "2026-03-02", "2026-03-01"} + exportTo, 2,
         "FROM lies after TO."},
        {QStringList{"export-ics", "1899-12-31", "2026-03-01"} + exportTo, 2, "1900 to 2200"},
        {{"export-ics", "2026-01-01", "2026-12-31", "--color", "3"}, 2, "Unknown option: --color"},
        {{"export-ics", "2026-01-01", "2026-12-31", "--folder", missing}, 1, "not a directory"},
        {{"import-ics"}, 2, "takes one iCalendar file"},
        {QStringList{"import-ics", ics, "--color", "0"} + importTo, 2, "Not a colour"},
        {QStringList{"import-ics", ics, "--color=15"} + importTo, 2, "Not a colour"},
        {QStringList{"import-ics", missing} + importTo, 1, "cannot read"},
        {QStringList{"import-ics", notes} + importTo, 1,
         "The file is not an iCalendar file. Nothing was imported."},
        {{"import-ics", ics, "--folder", missing}, 1, "not a directory"},
        {{"import-ics", ics, "--folder", blocked}, 1, "1 of 1 appointment not saved"},
        {QStringList{"import-ics", large} + importTo, 1,
         "makes 5001 appointments, more than 5000 at once; nothing was imported. Add "
         "--allow-large"},
        {{"undo-import"}, 2, "undo-import takes one import record."},
        {{"undo-import", ics}, 1, "It is no import record."},
        {{"undo-import", missing}, 1, "cannot read"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.args.join(' ').toStdString());
        const CliRun run = cli(row.args);
        EXPECT_EQ(run.code, row.code) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(row.err)) << run.err.toStdString();
        EXPECT_EQ(run.err.contains("Try 'norvane-cli --help'."), row.code == 2);
    }
    EXPECT_EQ(filesBelow(target), 0);
    EXPECT_EQ(filesBelow(blocked), 1);
}

TEST(ExchangeCommandTest, RoundTripIntoAnEmptyFolderGivesTheSameAgenda)
{
    QTemporaryDir dir;
    const QString source = dir.filePath("source");
    // In a recurring kind's directory, else in the day's.
    int number = 0;
    const auto put = [&](const QString& kind, const QDate& date, const char* times,
                         const char* text, int remind, const QDate& until = {}) {
        const QString dir =
            kind.isEmpty() ? date.toString("'y'yyyy/'m'M/'d'd") : "recurring/" + kind;
        ASSERT_TRUE(
            TestFiles::writeBytes(QStringLiteral("%1/%2/%3.nv3").arg(source, dir).arg(++number),
                                  appointment(date, times, text, remind, until)));
    };
    put("", {2026, 3, 10}, "10:30-11:45", "Budget review##br##Room 2, A##eq##B", 15);
    put("", {2026, 5, 1}, "22:0-24:0", "Late shift", 0);
    put("", {2026, 5, 4}, "12:0-13:0", "Lunch ##br##with Bob", 0);
    put("every", {2026, 2, 1}, "7:0-7:30", "Stand-up", 5, {2026, 2, 10});
    put("wd2", {2026, 1, 5}, "9:0-10:0", "Jour fixe", 0, {2026, 6, 29});
    put("d31", {2026, 1, 31}, "18:0-19:0", "Month end", 0, {2200, 12, 31});
    put("m7/d4", {1990, 7, 4}, "8:0-12:0", "Fourth", 30, {2099, 7, 4});

    const CliRun exported = cli({"export-ics", "2026-01-01", "2026-12-31", "--folder", source});
    ASSERT_EQ(exported.code, 0) << exported.err.toStdString();
    const QString ics = dir.filePath("export.ics");
    ASSERT_TRUE(TestFiles::writeBytes(ics, exported.out.toUtf8()));

    const QString target = dir.filePath("target");
    QDir().mkpath(target);
    const CliRun imported = cli({"import-ics", ics, "--folder", target, "--color", "3"});
    EXPECT_EQ(imported.code, 0) << imported.err.toStdString();
    EXPECT_TRUE(imported.out.startsWith("Imported: 7 events, 4 of them recurring\n"
                                        "Expanded: 0 events into 0 appointments\n"
                                        "Skipped: 0 events\nImport record: "))
        << imported.out.toStdString();

    // Only the file names and the owner may differ.
    auto agenda = [](const QString& folder) {
        static const QRegularExpression ownFields("\"(path|producer)\":\"[^\"]*\",");
        return cli({"range", "2026-01-01", "2026-12-31", "--folder", folder})
            .out.replace(ownFields, "");
    };
    const QString before = agenda(source);
    EXPECT_EQ(before.count('\n'), 3 + 10 + 26 + 7 + 1);
    EXPECT_EQ(agenda(target).toStdString(), before.toStdString());
}

// An import's record takes it back: the appointments it created go, the record too; one
// removed by hand meanwhile is counted as gone, one a colleague changed stays and is named.
TEST(ExchangeCommandTest, UndoImportRemovesWhatTheImportCreatedAndKeepsWhatChanged)
{
    QTemporaryDir dir;
    const QString ics =
        calendar(dir.filePath("week.ics"), "SUMMARY:Walk\r\nDTSTART:20260310T090000\r\n"
                                           "RRULE:FREQ=DAILY;COUNT=3;BYHOUR=9,18\r\n");
    const QString folder = dir.filePath("data");
    ASSERT_TRUE(TestFiles::writeBytes(folder + "/y2026/m3/d10/1.nv3",
                                      appointment({2026, 3, 10}, "8:0-9:0", "Own", 0)));
    const CliRun imported = cli({"import-ics", ics, "--folder", folder});
    ASSERT_EQ(imported.code, 0) << imported.err.toStdString();
    static const QRegularExpression named("Import record: (\\S+) ");
    const QString record = named.match(imported.out).captured(1);
    ASSERT_TRUE(QFile::exists(record)) << imported.out.toStdString();
    EXPECT_EQ(filesBelow(folder), 1 + 3 + 1);
    QDirIterator walks(folder + "/y2026/m3/d11", QDir::Files);
    ASSERT_TRUE(QFile::remove(walks.next()));
    QStringList evenings = QDir(folder + "/y2026/m3/d10").entryList(QDir::Files, QDir::Name);
    evenings.removeOne("1.nv3");
    ASSERT_EQ(evenings.size(), 2);
    const QString changed = "y2026/m3/d10/" + evenings.first();
    ASSERT_TRUE(TestFiles::writeBytes(folder + '/' + changed,
                                      appointment({2026, 3, 10}, "9:0-10:0", "Walk with Bea", 0)));

    const CliRun undone = cli({"undo-import", record});
    EXPECT_EQ(undone.code, 0) << undone.err.toStdString();
    EXPECT_TRUE(undone.out.contains("taken back: 1 appointment removed\nAlready gone: 1 "
                                    "appointment\n1 appointment was changed since the import "
                                    "and was kept: " +
                                    changed + '\n'))
        << undone.out.toStdString();
    EXPECT_EQ(filesBelow(folder), 2);
    EXPECT_TRUE(QFile::exists(folder + '/' + changed));
    EXPECT_FALSE(QFile::exists(record));
}

// A line libical reads otherwise than the import splits the file (END: alone) once made it
// write to the error output of a script.
TEST(ExchangeCommandTest, TheCalendarLibraryWritesNothingToTheErrorOutput)
{
    QTemporaryDir dir;
    const QString ics =
        calendar(dir.filePath("alarm.ics"), "SUMMARY:Dentist\r\nDTSTART:20260311T083000\r\n"
                                            "BEGIN:VALARM\r\nTRIGGER:-PT30M\r\nEND:\r\n");
    const CliRun run = cli({"import-ics", ics, "--folder", dir.path()});
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(run.err.toStdString(), "");
    EXPECT_TRUE(run.out.startsWith("Imported: 1 event,")) << run.out.toStdString();
}

// import-ics counts what landed and exits 1 when anything was not saved; each occurrence takes
// its own local time in the zone the program runs in.
TEST(ExchangeCommandTest, ImportTellsWhatLandedAtTheLocalTimesOfItsZone)
{
    QTemporaryDir dir;
    const QString ics = calendar(
        dir.filePath("shifts.ics"),
        "SUMMARY:Early shift\r\nDTSTART;TZID=Europe/Berlin:20270325T021500\r\n"
        "RRULE:FREQ=DAILY;COUNT=6;BYHOUR=2\r\nEND:VEVENT\r\nBEGIN:VEVENT\r\nSUMMARY:Review\r\n"
        "DTSTART:20260310T090000\r\n");
    const QString blocked = dir.filePath("blocked");
    ASSERT_TRUE(TestFiles::writeBytes(blocked + "/y2026", "in the way"));
    const QString landed = "Expanded: 1 event into 6 appointments\nSkipped: 0 events\n";
    const struct {
        const char* zone;
        QString folder;
        int code;
        QString out; // its start
        const char* starts;
    } rows[] = {
        {"UTC", dir.filePath("utc"), 0, "Imported: 1 event, 0 of them recurring\n" + landed,
         "01:15 01:15 01:15 01:15 00:15 00:15"},
        {"Europe/Berlin", dir.filePath("berlin"), 0,
         "Imported: 1 event, 0 of them recurring\n" + landed,
         "02:15 02:15 02:15 03:15 02:15 02:15"},
        {"Europe/Berlin", blocked, 1,
         "Imported: 0 events, 0 of them recurring\n" + landed +
             "Not saved: 1 event, 1 of 7 appointments: ",
         "02:15 02:15 02:15 03:15 02:15 02:15"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.folder.toStdString() + ' ' + row.zone);
        QDir().mkpath(row.folder);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("TZ", row.zone);
        const CliRun run = cli({"import-ics", ics, "--folder", row.folder}, environment);
        EXPECT_EQ(run.code, row.code) << run.err.toStdString();
        EXPECT_TRUE(run.out.startsWith(row.out)) << run.out.toStdString();
        EXPECT_EQ(run.err.contains("1 of 7 appointments not saved"), row.code == 1);
        const QString agenda =
            cli({"range", "2027-03-25", "2027-03-31", "--folder", row.folder}, environment).out;
        QStringList starts;
        static const QRegularExpression start("\"start\":\"([0-9:]+)\"");
        for (auto it = start.globalMatch(agenda); it.hasNext();)
            starts << it.next().captured(1);
        EXPECT_EQ(starts.join(' ').toStdString(), row.starts);
    }
}

} // namespace
