// What an imported appointment costs on a share, where every call is a round trip: the system
// calls of each appointment of an iCalendar import on the data folder, its line in the import
// record included, counted between the progress of one appointment and the next.
#include "SystemCallTrace.h"
#include "exchange/IcsImport.h"
#include "store/DataAccess.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// One event a day: the first kDaysThere days have their directories, the others get them.
constexpr int kEvents = 20;
constexpr int kDaysThere = 10;
const QDate kFirstDay(2026, 3, 5);

// perDay events a day from kFirstDay on, an hour apart.
QByteArray eventsOf(int count, int perDay)
{
    QByteArray ics = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n";
    for (int i = 0; i < count; ++i) {
        const QByteArray day = kFirstDay.addDays(i / perDay).toString("yyyyMMdd").toLatin1();
        const QByteArray hour = QByteArray::number(10 + i % perDay);
        ics += "BEGIN:VEVENT\r\nUID:call-" + QByteArray::number(i) + "\r\nDTSTART:" + day + 'T' +
               hour + "0000\r\nDTEND:" + day + 'T' + hour +
               "3000\r\nSUMMARY:Call\r\nEND:VEVENT\r\n";
    }
    return ics + "END:VCALENDAR\r\n";
}

IcsImportResult importTraced(const QString& folder, const QByteArray& ics,
                             const IcsImportProgress& progress)
{
    ProfileCache profiles(ThreadFileAccess());
    DataAccess store(profiles, StoreSource::fixed(folder));
    IcsImportOptions options;
    options.today = kFirstDay;
    options.producer = "tester";
    options.recordSource = "/home/anna/calls.ics";
    return ImportIcs(ics, store, folder, 1, progress, options);
}

// Calls of the appointment after the kth: the record's line (new file and bytes, with the
// written time of the one before), the directory opened, the temporary file created, written,
// synced and asked for its time, the rename. The looks for earlier imports listed the days, so
// no name is asked for; a new day's directory, known missing, is made in the month the last
// one was made in: one call more.
TEST(ImportCalls, AnImportedAppointmentStaysWithinSevenCallsOnTheFolderAndANewDayEight)
{
    QTemporaryDir dir;
    const SystemCallTrace::Trace trace =
        SystemCallTrace::run("ImportCalls.DISABLED_OneEventADay", "NORVANE_IMPORT_FOLDER",
                             dir.filePath("data"), dir.path());
    if (!trace.skip.isEmpty())
        GTEST_SKIP() << trace.skip.toStdString();
    ASSERT_TRUE(trace.failure.isEmpty()) << trace.failure.toStdString();
    for (int k = 1; k < kEvents; ++k) {
        const QStringList calls = trace.calls.value(QString::number(k));
        const qsizetype limit = k < kDaysThere ? 7 : 8;
        EXPECT_LE(calls.size(), limit)
            << "appointment " << k + 1 << ": " << SystemCallTrace::namesOf(calls).toStdString();
        // A killed import still finds the file in its record: the line goes out first.
        const auto first = [&](auto is) { return std::find_if(calls.cbegin(), calls.cend(), is); };
        const auto noted = first([](const QString& c) { return c.contains("/ImportRecords/"); });
        const auto made = first([](const QString& c) {
            return c.contains("O_CREAT") && !c.contains("/ImportRecords/");
        });
        EXPECT_TRUE(noted < made && made != calls.cend())
            << "appointment " << k + 1 << ": " << SystemCallTrace::namesOf(calls).toStdString();
    }
}

// Run by the test above under strace: a mark after each appointment.
TEST(ImportCalls, DISABLED_OneEventADay)
{
    const QString folder = qEnvironmentVariable("NORVANE_IMPORT_FOLDER");
    ASSERT_FALSE(folder.isEmpty()) << "NORVANE_IMPORT_FOLDER names the data folder";
    for (int i = 0; i < kDaysThere; ++i)
        ASSERT_TRUE(QDir().mkpath(DataAccess::DayDirectory(folder + '/', kFirstDay.addDays(i))));
    const auto progress = [&](int done, int) {
        SystemCallTrace::mark(folder, QString::number(done));
    };
    const IcsImportResult result = importTraced(folder, eventsOf(kEvents, 1), progress);
    EXPECT_EQ(result.imported, kEvents);
    EXPECT_FALSE(result.record.isEmpty());
}

// A thousand events, two a day, into an empty folder: every call of the import on the folder,
// its record and its looks for earlier imports of the events included, at most eight an
// appointment (7.6 now; eleven and a half while each day and rule file was asked for).
TEST(ImportCalls, AThousandEventsCostAtMostEightCallsAnAppointmentInAll)
{
    constexpr int kThousand = 1000;
    QTemporaryDir dir;
    const SystemCallTrace::Trace trace =
        SystemCallTrace::run("ImportCalls.DISABLED_TwoEventsADay", "NORVANE_IMPORT_FOLDER",
                             dir.filePath("data"), dir.path());
    if (!trace.skip.isEmpty())
        GTEST_SKIP() << trace.skip.toStdString();
    ASSERT_TRUE(trace.failure.isEmpty()) << trace.failure.toStdString();
    EXPECT_LE(trace.calls.value("import").size(), 8 * kThousand);
}

// Run by the test above under strace.
TEST(ImportCalls, DISABLED_TwoEventsADay)
{
    const QString folder = qEnvironmentVariable("NORVANE_IMPORT_FOLDER");
    ASSERT_TRUE(!folder.isEmpty() && QDir().mkpath(folder));
    SystemCallTrace::mark(folder, "import");
    EXPECT_EQ(importTraced(folder, eventsOf(1000, 2), {}).imported, 1000);
}

} // namespace
