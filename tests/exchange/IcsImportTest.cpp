// iCalendar import: each tests/data/ics/<case>.ics (as other programs write them) beside
// <case>.expected, the summary and one line per written file; input that is no iCalendar;
// rules without end; a large file.
#include "exchange/IcsImport.h"
#include "TestFiles.h"
#include "calendar/Formats.h"
#include "exchange/IcsExport.h"
#include "exchange/IcsPaste.h"
#include "settings/Language.h"
#include "store/AppointmentFile.h"
#include "store/Common.h"
#include "store/DataAccess.h"
#include "store/RuleSeries.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString kData = QStringLiteral(NORVANE_ICS_DATA);
const QDate kToday(2026, 3, 1);

// Every appointment file below folder: directory, date, times, colour, reminder, range, text,
// categories, location.
QString describe(const QString& folder)
{
    ProfileCache profiles(ThreadFileAccess());
    DataAccess store(profiles, StoreSource::fixed(folder));
    QStringList lines;
    QDirIterator it(folder, {"*.nv3"}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const TerminPtr a = store.LoadAppointment(path, QDate());
        QString line = QDir(folder).relativeFilePath(QFileInfo(path).path()) + ' ' +
                       a->datum().toString(Qt::ISODate) + ' ' + FormatTime(a->StartTime(), "24h") +
                       '-' + FormatTime(a->EndTime(), "24h") + " c" +
                       QString::number(a->ColorCode());
        if (a->IsReminder())
            line += " remind " + QString::number(a->RemindMinutes());
        if (a->IsRecurring())
            line += ' ' + a->RecurringStartDate().toString(Qt::ISODate) + ".." +
                    a->RecurringEndDate().toString(Qt::ISODate);
        if (a->isSpanDay())
            line += " span " + a->SpanFrom().toString(Qt::ISODate) + ".." +
                    a->SpanUntil().toString(Qt::ISODate);
        line += " \"" + QString(a->Text()).replace("\r\n", "\\n") + '"';
        if (!a->Categories().isEmpty())
            line += " in \"" + a->Categories().join("; ") + '"';
        if (a->hasOwnZone())
            line += " in " + a->TimeZoneId() + ' ' + a->ZoneStart().toString("yyyy-MM-ddTHH:mm") +
                    ".." + a->ZoneEnd().toString("HH:mm");
        lines << (a->Location().isEmpty() ? line : line + " at \"" + a->Location() + '"');
    }
    lines.sort();
    return lines.join('\n');
}

struct Imported {
    IcsImportResult result;
    QString folder; // describe() of the folder afterwards
};

IcsImportOptions testOptions()
{
    IcsImportOptions options;
    options.today = kToday;
    options.producer = "tester";
    options.random = [next = quint32(0)]() mutable { return ++next; };
    return options;
}

Imported importInto(const QString& folder, const QByteArray& ics,
                    const IcsImportProgress& progress = {},
                    const IcsImportOptions& options = testOptions())
{
    ProfileCache profiles(ThreadFileAccess());
    DataAccess store(profiles, StoreSource::fixed(folder));
    Imported run{ImportIcs(ics, store, folder, 5, progress, options), {}};
    run.folder = describe(folder);
    return run;
}

Imported import(const QByteArray& ics, const IcsImportProgress& progress = {},
                const IcsImportOptions& options = testOptions())
{
    QTemporaryDir folder;
    return importInto(folder.path(), ics, progress, options);
}

QByteArray calendarOf(const QByteArray& events)
{
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n" + events + "END:VCALENDAR\r\n";
}

TEST(IcsImportTest, GoldenCases)
{
    const QStringList cases = QDir(kData).entryList({"*.ics"}, QDir::Files, QDir::Name);
    ASSERT_GE(cases.size(), 4);
    Language::apply("en"); // the window's English, "1 event" and "2 events"
    for (const QString& name : cases) {
        SCOPED_TRACE(name.toStdString());
        const Imported run = import(TestFiles::readBytes(kData + '/' + name));
        const QString actual = IcsImportSummary(run.result) + "\n\n" + run.folder + '\n';
        const QString expectedPath = kData + '/' + QFileInfo(name).completeBaseName() + ".expected";
        // NORVANE_UPDATE_GOLDEN=1 writes what the import does now, to be read before committing.
        if (qEnvironmentVariableIsSet("NORVANE_UPDATE_GOLDEN"))
            TestFiles::writeBytes(expectedPath, actual.toUtf8());
        EXPECT_EQ(actual.toStdString(), TestFiles::readBytes(expectedPath).toStdString());
    }
}

// Each record as its file holds it, by directory; a series kept by its rule file by that alone.
QStringList filed(const QList<ClassTermin>& records, const QString& folder)
{
    QStringList files;
    for (const ClassTermin& a : records)
        if (!RuleSeries::isKeptFile(a))
            files << QFileInfo(a.filename()).path() + '\n' + AppointmentFile::bytesOf(a, folder);
    files.sort();
    return files;
}

// The sync files what a plan says: exactly what the import writes, each zone worked out once.
TEST(IcsImportTest, APlanIsWhatTheImportWritesWithEachZoneWorkedOutOnce)
{
    IcsZoneCache zones;
    for (const QString& name : QDir(kData).entryList({"*.ics"}, QDir::Files, QDir::Name)) {
        SCOPED_TRACE(name.toStdString());
        const QByteArray ics = TestFiles::readBytes(kData + '/' + name);
        QTemporaryDir dir;
        const QString folder = dir.path() + '/';
        const IcsImportResult imported = importInto(folder, ics).result;
        ProfileCache profiles(ThreadFileAccess());
        DataAccess store(profiles, StoreSource::fixed(folder));
        QList<ClassTermin> written;
        for (QDirIterator it(folder, {"*.nv3"}, QDir::Files, QDirIterator::Subdirectories);
             it.hasNext();)
            written << *store.LoadAppointment(it.next(), QDate());
        IcsImportOptions options = testOptions();
        options.zones = &zones;
        const IcsPlan plan = PlanIcs(ics, folder, 5, options);
        const qsizetype worked = zones.size();
        EXPECT_EQ(IcsImportSummary(plan.result), IcsImportSummary(imported));
        EXPECT_EQ(filed(plan.appointments, folder), filed(written, folder));
        EXPECT_EQ(filed(PlanIcs(ics, folder, 5, options).appointments, folder),
                  filed(written, folder));
        EXPECT_EQ(zones.size(), worked) << "no zone worked out again";
    }
    EXPECT_GT(zones.size(), 1);
}

TEST(IcsImportTest, ASpanOfDaysGoesOutAsOneEventAndComesBackAsTheSameDays)
{
    Language::apply("en");
    QTemporaryDir first;
    QTemporaryDir second;
    const Imported in = importInto(first.path(), TestFiles::readBytes(kData + "/several-days.ics"));
    ProfileCache profiles(ThreadFileAccess());
    DataAccess store(profiles, StoreSource::fixed(first.path()));
    // A range that shows the trade fair's last days only still writes all of it.
    const QByteArray ics =
        ExportIcs(store, {2026, 3, 26}, {2026, 7, 31}, WithTrailingSeparator(first.path()),
                  {QDateTime({2026, 1, 2}, {3, 4, 5}, Qt::UTC), "Europe/Berlin"});
    EXPECT_EQ(ics.count("BEGIN:VEVENT"), 9); // the weekend course's expanded days stay days
    for (const char* line :
         {"SUMMARY:Trade fair\r\n", "DTSTART;TZID=Europe/Berlin:20260324T140000\r\n",
          "DTEND;TZID=Europe/Berlin:20260327T113000\r\n", "SUMMARY:Holiday in Norway\r\n",
          "DTSTART;VALUE=DATE:20260720\r\n", "DTEND;VALUE=DATE:20260801\r\n"})
        EXPECT_TRUE(ics.contains(line)) << line;
    EXPECT_EQ(importInto(second.path(), ics).folder.toStdString(), in.folder.toStdString());
}

TEST(IcsImportTest, WhatNoAppointmentKeepsIsNamedInEitherLanguage)
{
    using Lost = IcsImportResult::Lost;
    IcsImportResult result;
    result.ok = true;
    result.notKept = {{"Board meeting", {Lost::Attachment, Lost::Attendees, Lost::Comment}}};
    const auto english = qScopeGuard([] { Language::apply("en"); });
    for (const auto& [language, line] :
         {std::pair("en", "Not kept of \"Board meeting\": attachment, attendees, comment"),
          std::pair("de", "Nicht übernommen von \"Board meeting\": Anhang, Teilnehmer, "
                          "Kommentar")}) {
        Language::apply(language);
        EXPECT_TRUE(IcsImportSummary(result).endsWith(QString::fromUtf8(line)))
            << IcsImportSummary(result).toStdString();
    }
}

TEST(IcsImportTest, OrganizerAndAttendeesGoOutAsTheyCameIn)
{
    // As a file writes the line, and as it goes out again (folded when long); a line too long to
    // keep is named.
    const std::pair<QByteArray, QByteArray> kLines[] = {
        {"ORGANIZER;CN=\"Doe, Anna\":mailto:anna@example.org", {}},
        {"ATTENDEE;cn=Ben;partstat=tentative:MAILTO:ben@example.org",
         "ATTENDEE;CN=Ben;PARTSTAT=TENTATIVE:MAILTO:ben@example.org"},
        {"ATTENDEE;PARTSTAT=ACCEPTED;CN=J\xC3\xBCrgen " + QByteArray(80, 'a') + ":mailto:j@x", {}},
        {"ATTENDEE;CN=" + QByteArray(2100, 'x') + ":mailto:x@example.org", "-"},
    };
    QByteArray event = "BEGIN:VEVENT\r\nUID:m\r\nSUMMARY:Meeting\r\nDTSTART:20260310T100000Z\r\n";
    for (const auto& [line, out] : kLines)
        event += line + "\r\n";
    QTemporaryDir folder;
    const Imported run = importInto(folder.path(), calendarOf(event + "END:VEVENT\r\n"));
    EXPECT_TRUE(IcsImportSummary(run.result).endsWith("Not kept of \"Meeting\": attendees"))
        << IcsImportSummary(run.result).toStdString();

    ProfileCache profiles(ThreadFileAccess());
    DataAccess store(profiles, StoreSource::fixed(folder.path()));
    const QByteArray ics =
        ExportIcs(store, {2026, 3, 1}, {2026, 3, 31}, folder.path() + '/').replace("\r\n ", "");
    for (const auto& [line, out] : kLines)
        EXPECT_EQ(ics.contains("\r\n" + (out.isEmpty() ? line : out) + "\r\n"), out != "-")
            << ics.constData();

    // A file's line that is no organizer or attendee libical reads is left out, never half.
    ClassTermin own;
    own.setDatum({2026, 3, 10});
    own.setOrganizer("DTSTART:19990101T000000");
    own.setAttendees({"ATTENDEE;CN=\"open:mailto:x@example.org", "ATTENDEE:mailto:ok@example.org"});
    const QByteArray out = ExportAppointment(std::make_shared<ClassTermin>(own), own.datum(), "u");
    EXPECT_TRUE(!out.contains("1999") && !out.contains("open") && !out.contains("ORGANIZER") &&
                out.contains("\r\nATTENDEE:mailto:ok@example.org\r\n"))
        << out.constData();
}

TEST(IcsImportTest, PrivateAndConfidentialEventsArePrivateHereAndGoOutAsPrivate)
{
    QByteArray events;
    for (const char* kind : {"PRIVATE", "CONFIDENTIAL", "PUBLIC", ""}) {
        events += QByteArray("BEGIN:VEVENT\r\nUID:") + kind + "@x\r\nSUMMARY:" + kind +
                  "!\r\nDTSTART:20260310T100000\r\nDTEND:20260310T110000\r\n";
        if (*kind)
            events += QByteArray("CLASS:") + kind + "\r\n";
        events += "END:VEVENT\r\n";
    }
    const auto privateTexts = [](const QString& folder) {
        ProfileCache profiles(ThreadFileAccess());
        DataAccess store(profiles, StoreSource::fixed(folder));
        QStringList texts;
        for (const TerminPtr& a : store.GetAppointmentsOfDay(QDate(2026, 3, 10)))
            if (a->IsPrivate())
                texts << a->Text();
        texts.sort();
        return texts;
    };
    QTemporaryDir first;
    ASSERT_TRUE(importInto(first.path(), calendarOf(events)).result.ok);
    EXPECT_EQ(privateTexts(first.path()), QStringList({"CONFIDENTIAL!", "PRIVATE!"}));

    ProfileCache profiles(ThreadFileAccess());
    DataAccess store(profiles, StoreSource::fixed(first.path()));
    const QByteArray out = ExportIcs(store, QDate(2026, 3, 10), QDate(2026, 3, 10),
                                     WithTrailingSeparator(first.path()), {});
    EXPECT_EQ(out.count("CLASS:PRIVATE\r\n"), 2) << out.toStdString();
    QTemporaryDir again;
    ASSERT_TRUE(importInto(again.path(), out).result.ok);
    EXPECT_EQ(privateTexts(again.path()), QStringList({"CONFIDENTIAL!", "PRIVATE!"}));
}

TEST(IcsImportTest, TimesLandInTheCalendarsZone)
{
    const QByteArray ics = calendarOf("BEGIN:VEVENT\r\nUID:z\r\nDTSTART:20260310T090000Z\r\n"
                                      "DTEND:20260310T100000Z\r\nSUMMARY:Call\r\n"
                                      "DESCRIPTION:Notes\r\nLOCATION:Room 1\r\nEND:VEVENT\r\n"
                                      "BEGIN:VEVENT\r\nUID:d\r\nDTSTART;VALUE=DATE:20260311\r\n"
                                      "DTEND;VALUE=DATE:20260312\r\nSUMMARY:Day\r\nEND:VEVENT\r\n");
    const struct {
        const char* zone;
        const char* call; // the appointment of the timed event
    } rows[] = {
        {"", "y2026/m3/d10 2026-03-10 10:00-11:00"}, // the machine's: Berlin
        {"Etc/UTC", "y2026/m3/d10 2026-03-10 09:00-10:00"},
        {"America/New_York", "y2026/m3/d10 2026-03-10 05:00-06:00"},
        {"Pacific/Kiritimati", "y2026/m3/d10 2026-03-10 23:00-24:00"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.zone);
        IcsImportOptions options = testOptions();
        options.timeZoneId = row.zone;
        const QStringList lines = import(ics, {}, options).folder.split('\n');
        ASSERT_EQ(lines.size(), 2);
        EXPECT_EQ(lines[0].toStdString(),
                  std::string(row.call) + " c5 \"Call\\nNotes\" at \"Room 1\"");
        // A day stays that day in every zone, all of it.
        EXPECT_EQ(lines[1].toStdString(), "y2026/m3/d11 2026-03-11 00:00-24:00 c5 \"Day\"");
    }
}

TEST(IcsImportTest, InputThatIsNoCalendarWritesNothing)
{
    const struct {
        QByteArray bytes;
        QString error;
    } rows[] = {
        {"", "The file is empty."},
        {"\xEF\xBB\xBF \r\n\t", "The file is empty."},
        {"Subject: minutes\r\n\r\nBEGIN:VCALENDAR\r\n", "The file is not an iCalendar file."},
        {"BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Anna\r\nEND:VCARD\r\n",
         "The file is not an iCalendar file."},
        {QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), "The file is not an iCalendar file."},
        {"<html><body>BEGIN:VCALENDAR</body></html>", "The file is not an iCalendar file."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.bytes.toStdString());
        const Imported run = import(row.bytes);
        EXPECT_FALSE(run.result.ok);
        EXPECT_EQ(run.result.error, row.error);
        EXPECT_EQ(IcsImportSummary(run.result), row.error);
        EXPECT_EQ(run.folder, "");
        EXPECT_FALSE(CheckIcs(row.bytes).ok);
    }
    // A BOM and blank lines before it are no reason to refuse a calendar.
    const IcsCheck check = CheckIcs("\xEF\xBB\xBF\r\nbegin:vcalendar\r\nBEGIN:VEVENT\r\n"
                                    "DTSTART:20260301T100000\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
    EXPECT_TRUE(check.ok) << check.error.toStdString();
    EXPECT_EQ(check.events, 1);
}

// Components nested as deep as a file may nest them are read, each event inside another left
// out by name; a file nested deeper, 10,000 events left open in one another among them, is
// refused at once, by the import and the paste alike.
TEST(IcsImportTest, EventsNestedTooDeepAreRefused)
{
    const auto nested = [](int levels) {
        QByteArray ics = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n";
        for (int k = 1; k <= levels; ++k)
            ics += "BEGIN:VEVENT\r\nSUMMARY:Level " + QByteArray::number(k) +
                   "\r\nDTSTART:20260401T100000\r\n";
        return ics; // never closed
    };
    const QString tooDeep = "The file nests components more than 8 deep.";
    const struct {
        int levels;
        QString error, strays, folder;
    } rows[] = {
        {7, "", "Level 7|Level 6|Level 5|Level 4|Level 3|Level 2",
         "y2026/m4/d1 2026-04-01 10:00-10:00 c5 \"Level 1\""},
        {8, tooDeep, "", ""},
        {10000, tooDeep, "", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.levels);
        const Imported run = import(nested(row.levels));
        EXPECT_EQ(run.result.error.toStdString(), row.error.toStdString());
        EXPECT_EQ(run.result.strays.join('|').toStdString(), row.strays.toStdString());
        EXPECT_EQ(run.folder.toStdString(), row.folder.toStdString());
        EXPECT_EQ(CheckIcs(nested(row.levels)).ok, row.error.isEmpty());
        EXPECT_EQ(AppointmentOfIcs(nested(row.levels), "tester", 1, kToday).has_value(),
                  row.error.isEmpty());
    }
}

// Rules without end that no series holds (several days of the month or months of the year) run
// for two years, from today or from a later start; each occurrence a one-time appointment.
TEST(IcsImportTest, OpenRulesExpandForTwoYears)
{
    const struct {
        const char* rule;
        int count;
        const char* last;
    } rows[] = {
        {"FREQ=MONTHLY;BYMONTHDAY=3,17", 49, "2028-03-03"},
        {"FREQ=YEARLY;BYMONTH=3,9", 5, "2028-03-03"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.rule);
        const Imported run = import(QByteArray("BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nSUMMARY:Yoga\r\n"
                                               "DTSTART:20260303T190000\r\nRRULE:") +
                                    row.rule + "\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
        EXPECT_EQ(run.result.expanded, 1);
        EXPECT_EQ(run.result.expandedInto, row.count);
        const QStringList lines = run.folder.split('\n');
        EXPECT_EQ(lines.size(), row.count);
        EXPECT_TRUE(std::all_of(lines.begin(), lines.end(), [](const QString& line) {
            return line.endsWith(" 19:00-19:00 c5 \"Yoga\"");
        })) << run.folder.toStdString();
        QStringList dates;
        for (const QString& line : lines)
            dates << line.section(' ', 1, 1);
        EXPECT_EQ(*std::max_element(dates.begin(), dates.end()), row.last);
    }
}

TEST(IcsImportTest, ThousandsOfEventsWithProgress)
{
    constexpr int kEvents = 3000;
    QByteArray ics = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n";
    for (int i = 0; i < kEvents; ++i) {
        const QDate day = QDate(2026, 1, 1).addDays(i % 365);
        ics += "BEGIN:VEVENT\r\nUID:" + QByteArray::number(i) + "\r\nSUMMARY:Event " +
               QByteArray::number(i) + "\r\nDTSTART:" + day.toString("yyyyMMdd").toLatin1() +
               "T080000Z\r\nDTEND:" + day.toString("yyyyMMdd").toLatin1() +
               "T090000Z\r\nEND:VEVENT\r\n";
    }
    ics += "END:VCALENDAR\r\n";
    int calls = 0;
    int last = 0;
    const Imported run = import(ics, [&](int done, int total) {
        ++calls;
        last = done;
        EXPECT_EQ(total, kEvents);
    });
    EXPECT_EQ(run.result.imported, kEvents);
    EXPECT_EQ(run.result.failed, 0);
    EXPECT_EQ(calls, kEvents);
    EXPECT_EQ(last, kEvents);
    EXPECT_EQ(run.folder.count('\n') + 1, kEvents);
}

// The UID ties an appointment to its event: a second import of the calendar, or of a changed
// one, updates what the first wrote, and an import stopped midway and run again leaves no
// doubles.
TEST(IcsImportTest, ImportingAgainUpdatesByUid)
{
    const QByteArray talk = "BEGIN:VEVENT\r\nUID:talk\r\nSUMMARY:Talk\r\n"
                            "DTSTART:20260401T100000\r\nEND:VEVENT\r\n";
    const QByteArray jourFixe = "BEGIN:VEVENT\r\nUID:jf\r\nSUMMARY:Jour fixe\r\n"
                                "DTSTART:20260406T090000\r\nRRULE:FREQ=WEEKLY;UNTIL=20260427\r\n";
    // An hour named in its rule: no series holds it, so it is expanded.
    const QByteArray course = "BEGIN:VEVENT\r\nUID:course\r\nSUMMARY:Course\r\n"
                              "DTSTART:20260402T170000\r\nRRULE:FREQ=WEEKLY;COUNT=3;BYHOUR=17\r\n";
    const QByteArray first =
        calendarOf(talk + jourFixe + "END:VEVENT\r\n" + course + "END:VEVENT\r\n");
    // The talk renamed, one jour fixe dropped (the series is two parts of one series now), the
    // second course moved to the next day.
    const QByteArray second = calendarOf(
        QByteArray(talk).replace("Talk", "Talk in room 2") + jourFixe +
        "EXDATE:20260413T090000\r\nEND:VEVENT\r\n" + course + "END:VEVENT\r\n" +
        "BEGIN:VEVENT\r\nUID:course\r\nSUMMARY:Course\r\nRECURRENCE-ID:20260409T170000\r\n"
        "DTSTART:20260410T110000\r\nEND:VEVENT\r\n");

    QTemporaryDir folder;
    const Imported once = importInto(folder.path(), first);
    EXPECT_EQ(once.folder.count('\n') + 1, 5) << once.folder.toStdString();
    const Imported twice = importInto(folder.path(), first);
    EXPECT_EQ(twice.folder, once.folder);
    EXPECT_EQ(twice.result.updated, 5);
    EXPECT_TRUE(IcsImportSummary(twice.result).contains("Updated: 5 appointments"));

    const Imported changed = importInto(folder.path(), second);
    EXPECT_EQ(changed.folder.toStdString(),
              "recurring/wd2 2026-04-06 09:00-09:00 c5 2026-04-06..2026-04-06 \"Jour fixe\"\n"
              "recurring/wd2 2026-04-20 09:00-09:00 c5 2026-04-20..2026-04-27 \"Jour fixe\"\n"
              "y2026/m4/d1 2026-04-01 10:00-10:00 c5 \"Talk in room 2\"\n"
              "y2026/m4/d10 2026-04-10 11:00-11:00 c5 \"Course\"\n"
              "y2026/m4/d16 2026-04-16 17:00-17:00 c5 \"Course\"\n"
              "y2026/m4/d2 2026-04-02 17:00-17:00 c5 \"Course\"");
    EXPECT_EQ(changed.result.removed, 1);

    // Stopped after two appointments, then run again.
    QTemporaryDir other;
    int written = 0;
    IcsImportOptions stopping = testOptions();
    stopping.stop = [&written] { return written >= 2; };
    const Imported stopped = importInto(
        other.path(), second, [&written](int done, int) { written = done; }, stopping);
    EXPECT_TRUE(stopped.result.stopped);
    EXPECT_EQ(stopped.folder.count('\n') + 1, 2);
    EXPECT_EQ(importInto(other.path(), second).folder, changed.folder);
}

// Texts are cut at 64 KiB between two characters, an expansion past its time is given up; the
// summary says which events.
TEST(IcsImportTest, LimitsAreToldInTheSummary)
{
    const QString longSummary = 'x' + QString(35000, QChar(0xE4)); // 70,001 bytes of UTF-8
    IcsImportOptions hurried = testOptions();
    hurried.expansionTime = std::chrono::milliseconds(0);
    const QString yoga =
        "SUMMARY:Yoga\r\nDTSTART:20260401T100000\r\nRRULE:FREQ=DAILY;COUNT=3;BYHOUR=10";
    const struct {
        QString event;
        IcsImportOptions options;
        const char* language;
        QString told;
        qsizetype textBytes; // of the one appointment; -1 for none
    } rows[] = {
        {"SUMMARY:" + longSummary + "\r\nDTSTART:20260401T100000", testOptions(), "en",
         "Texts cut to 64 KiB: 1 event\n  \"" + longSummary.left(100) + "...\"", 65535},
        {"SUMMARY:" + QString(40000, 's') + "\r\nDESCRIPTION:" + QString(40000, 'd') +
             "\r\nDTSTART:20260401T100000",
         testOptions(), "en", "Texts cut to 64 KiB: 1 event", 65536},
        {yoga, hurried, "en", "Skipped: 1 event\n  \"Yoga\": working out its dates took too long",
         -1},
        {yoga, hurried, "de",
         "Übersprungen: 1 Ereignis\n  \"Yoga\": Berechnung der Termine dauerte zu lange", -1},
    };
    const auto english = qScopeGuard([] { Language::apply("en"); });
    for (const auto& row : rows) {
        Language::apply(row.language);
        const Imported run =
            import(calendarOf("BEGIN:VEVENT\r\n" + row.event.toUtf8() + "\r\nEND:VEVENT\r\n"), {},
                   row.options);
        const QString summary = IcsImportSummary(run.result);
        EXPECT_TRUE(summary.contains(row.told)) << summary.left(300).toStdString();
        const QString text = run.folder.section('"', 1, -2);
        EXPECT_EQ(run.folder.isEmpty() ? -1 : text.toUtf8().size(), row.textBytes);
        EXPECT_FALSE(text.contains(QChar::ReplacementCharacter));
    }
}

// What the export writes of 200,000 appointments (some 75 MB) can be read back.
TEST(IcsImportTest, AFileAsLargeAsAnExportOfAWholeFolderIsRead)
{
    constexpr qint64 kExportSize = 80 * 1024 * 1024;
    QTemporaryDir dir;
    QFile file(dir.filePath("export.ics"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.resize(kExportSize));
    file.close();
    QString error;
    const std::optional<QByteArray> bytes =
        ReadIcsFile(ThreadFileAccess(), file.fileName(), &error);
    ASSERT_TRUE(bytes) << error.toStdString();
    EXPECT_EQ(bytes->size(), kExportSize);
}

} // namespace
