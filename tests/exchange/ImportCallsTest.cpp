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

QByteArray eventsOneADay()
{
    QByteArray ics = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n";
    for (int i = 0; i < kEvents; ++i) {
        const QByteArray day = kFirstDay.addDays(i).toString("yyyyMMdd").toLatin1();
        ics += "BEGIN:VEVENT\r\nUID:call-" + QByteArray::number(i) + "\r\nDTSTART:" + day +
               "T090000\r\nDTEND:" + day + "T100000\r\nSUMMARY:Call\r\nEND:VEVENT\r\n";
    }
    return ics + "END:VCALENDAR\r\n";
}

// Calls of the appointment after the kth: the record's line (new file and bytes, with the
// written time of the one before), the save's one question, the directory opened, the
// temporary file created, written, synced and asked for its time, the rename. A new day's
// directory costs three more: its failed open, the month's, the mkdir.
TEST(ImportCalls, AnImportedAppointmentStaysWithinEightCallsOnTheFolderAndANewDayEleven)
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
        const qsizetype limit = k < kDaysThere ? 8 : 11;
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
    ProfileCache profiles(ThreadFileAccess());
    DataAccess store(profiles, StoreSource::fixed(folder));
    IcsImportOptions options;
    options.today = kFirstDay;
    options.producer = "tester";
    options.recordSource = "/home/anna/calls.ics";
    const auto progress = [&](int done, int) {
        SystemCallTrace::mark(folder, QString::number(done));
    };
    const IcsImportResult result = ImportIcs(eventsOneADay(), store, folder, 1, progress, options);
    EXPECT_EQ(result.imported, kEvents);
    EXPECT_FALSE(result.record.isEmpty());
}

} // namespace
