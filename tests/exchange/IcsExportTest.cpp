// iCalendar export: an independent reader (python3-icalendar) finds every occurrence the
// calendar shows, and the file says what it must of zones, rules and names.
#include "exchange/IcsExport.h"
#include "IcsReader.h"
#include "TestFiles.h"
#include "calendar/Formats.h"
#include "exchange/IcsImport.h"
#include "profile/FileAccess.h"
#include "settings/Settings.h"
#include "store/AppointmentFiling.h"
#include "store/DataAccess.h"
#include "store/SeriesFiling.h"

#include <QDirIterator>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Appointment {
    const char* dir;
    QDate date;
    int start, end; // minutes
    const char* text;
    int remind;
    QDate from = {}, until = {};
    const char* categories = ""; // separated by semicolons
};

// One of each kind: a one-time appointment, every recurring directory, an end at 24:00, a
// monthly one on the 31st, a yearly one on 29 February and a whole day with a location and
// categories.
const Appointment kFolder[] = {
    {"y2026/m3/d10", {2026, 3, 10}, 630, 705, "Budget review\r\nRoom 2, A=B; \xC3\x84rger", 15},
    {"y2026/m5/d1", {2026, 5, 1}, 1320, 1440, "Late shift", 0},
    {"recurring/every", {2026, 2, 1}, 420, 450, "Stand-up", 5, {2026, 2, 1}, {2026, 2, 10}},
    {"recurring/wd2", {2026, 1, 5}, 540, 600, "Jour fixe", 0, {2026, 1, 1}, {2026, 6, 30}},
    {"recurring/d31", {2026, 1, 31}, 1080, 1140, "Month end", 0, {2025, 12, 1}, {2200, 12, 31}},
    {"recurring/m2/d29", {2000, 2, 29}, 720, 780, "Leap day", 60, {2000, 1, 1}, {2200, 12, 31}},
    {"recurring/m7/d4", {1990, 7, 4}, 480, 720, "Independence Day", 0, {1990, 1, 1}, {2099, 1, 1}},
    {"y2026/m3/d11", {2026, 3, 11}, 0, 1440, "Offsite\r\nLocation: Zoom", 0, {}, {}, "Trip;Team"},
};

class IcsExportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        int n = 0;
        for (const Appointment& row : kFolder) {
            ClassTermin a;
            a.setDatum(row.date);
            a.setStartTime(TimeOfDay::fromMinutes(row.start));
            a.setEndTime(TimeOfDay::fromMinutes(row.end));
            a.setText(row.text);
            a.setIsReminder(row.remind > 0);
            a.setRemindMinutes(qint16(row.remind));
            a.setRecurringStartDate(row.from.isValid() ? row.from : row.date);
            a.setRecurringEndDate(row.until.isValid() ? row.until : row.date);
            a.setCategories(QString(row.categories).split(';', Qt::SkipEmptyParts));
            a.setFilename(folder.filePath(QString(row.dir) + '/' + QString::number(++n) + ".nv3"));
            ASSERT_TRUE(store.SaveAppointment(a).ok);
        }
        // A flight at 09:00 New York: 14:00 here, New York being 5 hours behind from 8 March.
        ClassTermin flight;
        flight.setDatum({2026, 3, 12});
        flight.setStartTime(TimeOfDay::fromHourMinute(14, 0));
        flight.setEndTime(TimeOfDay::fromHourMinute(15, 0));
        flight.setText("Flight");
        flight.setOwnZone("America/New_York", QDateTime({2026, 3, 12}, {9, 0}, Qt::UTC),
                          QDateTime({2026, 3, 12}, {10, 0}, Qt::UTC));
        flight.setFilename(folder.filePath("y2026/m3/d12/flight.nv3"));
        ASSERT_TRUE(store.SaveAppointment(flight).ok);
    }

    QByteArray exportIcs(const QDate& from, const QDate& to, const QString& zone = {})
    {
        return ExportIcs(store, from, to, WithTrailingSeparator(folder.path()),
                         {QDateTime({2026, 1, 2}, {3, 4, 5}, Qt::UTC), zone});
    }

    QTemporaryDir folder;
    ProfileCache profiles{ThreadFileAccess()};
    DataAccess store{profiles, StoreSource::fixed(folder.path())};
};

TEST_F(IcsExportTest, AnIndependentReaderFindsEveryOccurrence)
{
    if (!readerAvailable())
        GTEST_SKIP() << "/usr/bin/python3 cannot import icalendar (python3-icalendar)";
    const QDate from(2026, 1, 1);
    const QDate to(2028, 12, 31);
    const QString file = folder.filePath("export.ics");
    ASSERT_TRUE(TestFiles::writeBytes(file, exportIcs(from, to)));
    const QStringList expected = shownBy(store, from, to);
    ASSERT_EQ(expected.size(), 65);
    EXPECT_EQ(readBy(file, from, to).join('\n').toStdString(), expected.join('\n').toStdString());
}

// A weekly series split three ways: 18 January skipped, 1 February moved to the 2nd, and from
// 15 February on in another room. The parts of one content are one event with an EXDATE and
// a RECURRENCE-ID; an import of the file makes the same parts again.
TEST(IcsExportSeriesTest, ASplitSeriesIsOneEventThatAReaderAndAnImportSeeAsTheFolderDoes)
{
    QTemporaryDir folder;
    ProfileCache profiles{ThreadFileAccess()};
    DataAccess store{profiles, StoreSource::fixed(folder.path())};
    AppointmentFiling filing{store};
    SeriesFiling series{store, filing};
    ClassTermin a;
    a.setDatum({2027, 1, 4});
    a.setStartTime(TimeOfDay::fromHourMinute(10, 0));
    a.setEndTime(TimeOfDay::fromHourMinute(11, 0));
    a.setText("Jour fixe");
    a.setIsRecurring(true);
    a.Recurring_code = "wd";
    a.setRecurringStartDate({2027, 1, 4});
    a.setRecurringEndDate({2027, 3, 1});
    ASSERT_TRUE(filing.File(a).ok);
    const auto partOn = [&](const QDate& day) {
        for (const TerminPtr& shown : store.GetAppointmentsOfDay(day)) {
            if (shown->IsRecurring())
                return *shown;
        }
        return ClassTermin();
    };
    using Scope = SeriesEdit::Scope;
    ASSERT_TRUE(series.apply({partOn({2027, 1, 18}), {2027, 1, 18}, Scope::This, {}, {}}).ok());
    ClassTermin moved = SeriesEdit::recordFor(partOn({2027, 2, 1}), {2027, 2, 1}, Scope::This);
    moved.setDatum({2027, 2, 2});
    moved.setStartTime(TimeOfDay::fromHourMinute(11, 0));
    moved.setEndTime(TimeOfDay::fromHourMinute(12, 0));
    ASSERT_TRUE(series.apply({partOn({2027, 2, 1}), {2027, 2, 1}, Scope::This, moved, {}}).ok());
    ClassTermin room =
        SeriesEdit::recordFor(partOn({2027, 2, 15}), {2027, 2, 15}, Scope::Following);
    room.setText("Jour fixe\r\nRoom 4");
    ASSERT_TRUE(
        series.apply({partOn({2027, 2, 15}), {2027, 2, 15}, Scope::Following, room, {}}).ok());

    const QDate from(2027, 1, 1);
    const QDate to(2027, 3, 31);
    const QByteArray ics = ExportIcs(store, from, to, WithTrailingSeparator(folder.path()), {});
    const QStringList lines = QString::fromUtf8(ics).split("\r\n");
    EXPECT_EQ(lines.count("BEGIN:VEVENT"), 3) << ics.toStdString();
    EXPECT_TRUE(lines.contains("EXDATE;TZID=Europe/Berlin:20270118T100000")) << ics.toStdString();
    EXPECT_TRUE(lines.contains("RECURRENCE-ID;TZID=Europe/Berlin:20270201T100000"));
    EXPECT_TRUE(lines.contains("RRULE:FREQ=WEEKLY;UNTIL=20270208T090000Z"));

    const QStringList shown = shownBy(store, from, to);
    ASSERT_EQ(shown.size(), 8);
    const QString file = folder.filePath("export.ics");
    ASSERT_TRUE(TestFiles::writeBytes(file, ics));
    if (readerAvailable()) {
        EXPECT_EQ(readBy(file, from, to), shown);
    }

    QTemporaryDir again;
    DataAccess imported{profiles, StoreSource::fixed(again.path())};
    IcsImportOptions options;
    options.producer = a.Producer();
    ASSERT_TRUE(ImportIcs(ics, imported, again.path(), 1, {}, options).ok);
    EXPECT_EQ(shownBy(imported, from, to), shown);
    int made = 0;
    for (QDirIterator it(again.path(), {"*.nv3"}, QDir::Files, QDirIterator::Subdirectories);
         it.hasNext(); it.next())
        ++made;
    EXPECT_EQ(made, 5) << "three parts, the exception and the part of its own room";
}

TEST_F(IcsExportTest, ZonesRulesAndNames)
{
    const struct {
        QString zone;
        QStringList lines; // each one a line of the file
        bool vtimezone;
    } rows[] = {
        {"",
         {"UID:recurring/d31/5.nv3@norvane", "DTSTAMP:20260102T030405Z",
          "DTSTART;TZID=Europe/Berlin:20251231T180000", "RRULE:FREQ=MONTHLY;UNTIL=22001231T170000Z",
          "DTSTART;TZID=Europe/Berlin:20260105T090000", "RRULE:FREQ=WEEKLY;UNTIL=20260630T070000Z",
          "DTEND;TZID=Europe/Berlin:20260502T000000", "SUMMARY:Budget review", "TRIGGER:-PT15M",
          "DESCRIPTION:Room 2\\, A=B\\; \xC3\x84rger", "TZID:Europe/Berlin",
          "DTSTART;VALUE=DATE:20260311", "DTEND;VALUE=DATE:20260312", "LOCATION:Zoom",
          "SUMMARY:Offsite", "DTSTART;TZID=America/New_York:20260312T090000",
          "DTEND;TZID=America/New_York:20260312T100000", "TZID:America/New_York"},
         true},
        // A calendar kept in UTC: its wall-clock times are UTC, by whichever name.
        {"UTC", {"DTSTART:20251231T180000Z", "RRULE:FREQ=MONTHLY;UNTIL=22001231T180000Z"}, false},
        {"Etc/UTC", {"DTSTART:20251231T180000Z", "DTSTART;VALUE=DATE:20260311"}, false},
        {"GMT", {"DTSTART:20251231T180000Z"}, false},
        {"Nowhere/Atlantis",
         {"DTSTART:20251231T180000", "RRULE:FREQ=MONTHLY;UNTIL=22001231T180000"},
         false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.zone.toStdString());
        const QStringList file =
            QString::fromUtf8(exportIcs({2026, 1, 1}, {2026, 12, 31}, row.zone)).split("\r\n");
        EXPECT_EQ(file.first(), "BEGIN:VCALENDAR");
        EXPECT_EQ(file.count("BEGIN:VCALENDAR"), 1);
        EXPECT_EQ(file.mid(file.size() - 2), QStringList({"END:VCALENDAR", ""}));
        EXPECT_TRUE(file.contains("VERSION:2.0"));
        // The zone's definition before the events that name it.
        EXPECT_LT(file.indexOf("END:VTIMEZONE"), file.indexOf("BEGIN:VEVENT"));
        EXPECT_EQ(file.count("BEGIN:VEVENT"), 8); // the leap day falls in no day of 2026
        EXPECT_EQ(file.contains("BEGIN:VTIMEZONE"), row.vtimezone);
        for (const QString& line : row.lines)
            EXPECT_TRUE(file.contains(line)) << line.toStdString();
        for (const QString& line : file) {
            EXPECT_FALSE(line.startsWith("DTSTART") && line.contains("TZID=") && line.endsWith('Z'))
                << "a zone and UTC at once: " << line.toStdString();
        }
    }
}

TEST_F(IcsExportTest, AnEventOfItsOwnZoneComesBackWithIt)
{
    QTemporaryDir other;
    DataAccess into(profiles, StoreSource::fixed(other.path()));
    IcsImportOptions options;
    options.today = {2026, 3, 1};
    ASSERT_TRUE(
        ImportIcs(exportIcs({2026, 3, 12}, {2026, 3, 12}), into, other.path(), 1, {}, options).ok);
    const QList<TerminPtr> day = into.GetAppointmentsOfDay({2026, 3, 12});
    ASSERT_EQ(day.size(), 1);
    EXPECT_EQ(day[0]->StartTime(), TimeOfDay::fromHourMinute(14, 0));
    EXPECT_EQ(day[0]->TimeZoneId(), "America/New_York");
    EXPECT_EQ(day[0]->ZoneStart(), QDateTime({2026, 3, 12}, {9, 0}, Qt::UTC));
    EXPECT_EQ(day[0]->ZoneEnd(), QDateTime({2026, 3, 12}, {10, 0}, Qt::UTC));
}

} // namespace
