// On a network share the cost is the number of round trips: these tests count them.
#include "TestFiles.h"
#include "settings/Settings.h"
#include "store/DataAccess.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray file(int color, const QByteArray& extra = {})
{
    return "[AppointmentSettings]\r\nDateYear=2003\r\nDateMonth=7\r\nDateDay=7\r\nColor=" +
           QByteArray::number(color) + "\r\nText=x\r\n" + extra;
}

const QByteArray kRange2003 =
    "RecurringFromYear=2003\r\nRecurringFromMonth=1\r\nRecurringFromDay=1\r\n"
    "RecurringUntilYear=2003\r\nRecurringUntilMonth=12\r\n"
    "RecurringUntilDay=31\r\n";

class StoreSpeedTest : public ::testing::Test {
protected:
    StoreSpeedTest()
    {
        settings.setActiveFolder(data.path());
        folder = settings.GetDataFolder();
        // Monday 7 July 2003: three one-time appointments, and recurring ones in three of the
        // four recurring directories of that day, one of them out of range.
        for (int i = 1; i <= 3; ++i)
            TestFiles::writeSettled(folder + QStringLiteral("y2003/m7/d7/%1.nv3").arg(i), file(i));
        TestFiles::writeSettled(folder + "recurring/every/10.nv3", file(4, kRange2003));
        TestFiles::writeSettled(folder + "recurring/wd2/11.nv3", file(5, kRange2003));
        TestFiles::writeSettled(folder + "recurring/d7/12.nv3",
                                file(6, "RecurringUntilYear=2001\r\n"));
        files.resetCounts();
    }

    // The share's calls since the last look: "listings metadata-queries reads writes".
    QString calls()
    {
        const auto c = files.counts();
        files.resetCounts();
        return QString::asprintf("%d %d %d %d", c.listings, c.metadataQueries, c.reads, c.writes);
    }

    QTemporaryDir data;
    QTemporaryDir program;
    CountingFileAccess files{ThreadFileAccess()};
    ProfileCache profiles{files};
    Settings settings{profiles, program.path()};
    QDateTime clock{QDate(2003, 7, 7), QTime(8, 0)};
    DataAccess store{profiles, settings, [this] { return clock; }};
    QString folder;
    const QDate monday{2003, 7, 7};
};

TEST_F(StoreSpeedTest, AColdDayOpensEachFileOnceAWarmOneNoneAndAChangedFileAlone)
{
    const QList<TerminPtr> cold = store.GetAppointmentsOfDay(monday);
    EXPECT_EQ(cold.size(), 5);
    EXPECT_EQ(calls(), "5 0 6 0") << "size and time come from the open file";
    EXPECT_EQ(store.GetAppointmentsOfDay(monday), cold) << "the same objects from the cache";
    EXPECT_EQ(calls(), "5 6 0 0");

    // Another user's change is the only file read again.
    TestFiles::writeBytes(folder + "y2003/m7/d7/2.nv3", file(2, "Producer=someone else\r\n"));
    files.resetCounts();
    store.GetAppointmentsOfDay(monday);
    EXPECT_EQ(files.counts().reads, 1);
}

TEST_F(StoreSpeedTest, APassAsksForEachFileAndDirectoryOnce)
{
    // A week: the daily file is shown seven times, its directory needed seven times.
    auto week = [&] {
        const DataAccess::Pass pass(store);
        int shown = 0;
        for (int i = 0; i < 7; ++i)
            shown += int(store.GetAppointmentsOfDay(monday.addDays(i)).size());
        return shown;
    };
    const int cold = week();
    // Every file opened once; each day has four directories of its own, the daily one is
    // listed once, not seven times.
    EXPECT_EQ(calls(), "29 0 6 0");
    EXPECT_EQ(week(), cold);
    EXPECT_EQ(calls(), "29 6 0 0") << "each file asked once per pass";

    // Another user's change shows at the next pass.
    TestFiles::writeBytes(folder + "recurring/every/10.nv3",
                          file(4, "Text=changed\r\n" + kRange2003));
    files.resetCounts();
    week();
    EXPECT_EQ(files.counts().reads, 1);
}

TEST_F(StoreSpeedTest, HasAppointmentsNeverReadsOneTimeFilesAndCachesItsAnswer)
{
    EXPECT_TRUE(store.HasAppointments(monday));
    EXPECT_EQ(calls(), "1 0 0 0");
    EXPECT_TRUE(store.HasAppointments(monday));
    EXPECT_EQ(calls(), "0 0 0 0");

    // A day with recurring appointments only: the first file in range answers.
    const QDate tuesday = monday.addDays(1);
    EXPECT_TRUE(store.HasAppointments(tuesday));
    EXPECT_EQ(calls(), "2 0 1 0");

    // Expired, asked again: the unchanged recurring file is not read again.
    clock = clock.addSecs(settings.MonthInterval() + 1);
    files.resetCounts();
    EXPECT_TRUE(store.HasAppointments(tuesday));
    EXPECT_EQ(files.counts().reads, 0);
}

} // namespace
