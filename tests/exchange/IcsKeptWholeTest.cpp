// An event of another program with everything an appointment now keeps (its own zone, a
// location, categories, organizer and attendees with their answers, several days as one),
// imported into an empty folder and exported again: an independent reader (python3-icalendar)
// finds all of it, and an older copy shows the right days.
#include "IcsReader.h"
#include "OlderCopy.h"
#include "TestFiles.h"
#include "exchange/IcsExport.h"
#include "exchange/IcsImport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// One line per event: summary, start and end with their TZID, location, categories, the
// organizer's name and each attendee's name with answer.
const char* const kDescribe = R"py(
import sys, icalendar
def when(p):
    return p.dt.strftime("%Y-%m-%d %H:%M" if hasattr(p.dt, "hour") else "%Y-%m-%d") + \
        (" " + p.params["TZID"] if "TZID" in p.params else "")
def listed(e, key):
    found = e.get(key, [])
    return found if isinstance(found, list) else [found]
lines = []
for e in icalendar.Calendar.from_ical(open(sys.argv[1], "rb").read()).walk("VEVENT"):
    lines.append("|".join([str(e["SUMMARY"]), when(e["DTSTART"]), when(e["DTEND"]),
        str(e.get("LOCATION", "")),
        ",".join(str(c) for p in listed(e, "CATEGORIES") for c in p.cats),
        str(e["ORGANIZER"].params.get("CN", "")) if "ORGANIZER" in e else "",
        ";".join("%s=%s" % (a.params.get("CN"), a.params.get("PARTSTAT"))
                 for a in listed(e, "ATTENDEE"))]))
print("\n".join(sorted(lines)))
)py";

TEST(IcsKeptWholeTest, ImportedAndExportedAgainAReaderFindsEverythingAndAnOlderCopyTheDays)
{
    if (!readerAvailable())
        GTEST_SKIP() << "/usr/bin/python3 cannot import icalendar (python3-icalendar)";
    QTemporaryDir folder;
    ProfileCache profiles{ThreadFileAccess()};
    DataAccess store{profiles, StoreSource::fixed(folder.path())};
    IcsImportOptions options;
    options.today = QDate(2027, 3, 1);
    options.timeZoneId = "Europe/Berlin";
    options.producer = "anna";
    const IcsImportResult imported =
        ImportIcs(TestFiles::readBytes(NORVANE_ICS_DATA "/kept-whole.ics"), store, folder.path(), 1,
                  {}, options);
    ASSERT_TRUE(imported.ok) << imported.error.toStdString();
    EXPECT_TRUE(imported.notKept.isEmpty());

    // New York is five hours behind Berlin in the two weeks between the two zones' changes.
    const QList<TerminPtr> board = store.GetAppointmentsOfDay({2027, 3, 15});
    ASSERT_EQ(board.size(), 1);
    EXPECT_EQ(board[0]->StartTime(), TimeOfDay::fromHourMinute(14, 0));
    const QMap<QDate, QStringList> older =
        OlderCopy::shown(folder.path(), {2027, 3, 14}, {2027, 4, 8});
    QStringList days;
    for (auto it = older.cbegin(); it != older.cend(); ++it)
        days << it.key().toString("MM-dd") + ' ' + it.value().join('/');
    EXPECT_EQ(days.join('\n').toStdString(),
              "03-15 Board meeting##br##Location: Room 4, Main Street 1\n"
              "03-22 Trip to Hamburg (day 1 of 4)\n03-23 Trip to Hamburg (day 2 of 4)\n"
              "03-24 Trip to Hamburg (day 3 of 4)\n03-25 Trip to Hamburg (day 4 of 4)\n"
              "04-05 Conference (day 1 of 3)\n04-06 Conference (day 2 of 3)\n"
              "04-07 Conference (day 3 of 3)");

    const QString file = folder.filePath("export.ics");
    ASSERT_TRUE(TestFiles::writeBytes(
        file, ExportIcs(store, {2027, 3, 1}, {2027, 4, 30}, WithTrailingSeparator(folder.path()),
                        {QDateTime({2027, 1, 2}, {3, 4, 5}, Qt::UTC), "Europe/Berlin"})));
    QProcess reader;
    reader.start("/usr/bin/python3", {"-c", kDescribe, file});
    ASSERT_TRUE(reader.waitForFinished(60000));
    EXPECT_EQ(reader.exitCode(), 0) << reader.readAllStandardError().toStdString();
    EXPECT_EQ(QString::fromUtf8(reader.readAllStandardOutput()).trimmed().toStdString(),
              "Board meeting|2027-03-15 09:00 America/New_York|2027-03-15 10:00 "
              "America/New_York|Room 4, Main Street 1|Board,Finance|Anna Meier|"
              "Ben=ACCEPTED;Carla, CFO=TENTATIVE\n"
              "Conference|2027-04-05|2027-04-08||||\n"
              "Trip to Hamburg|2027-03-22 14:00 Europe/Berlin|2027-03-25 11:00 "
              "Europe/Berlin||Travel||");
}

} // namespace
