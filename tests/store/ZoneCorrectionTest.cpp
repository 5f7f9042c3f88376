// An appointment of its own zone whose team times an older zone database worked out: the store
// shows the times today's rules give, and its next save files them.
#include "StoreFolderTest.h"

namespace {

using ZoneCorrectionTest = StoreFolder::StoreFolderTest;

struct Stored {
    int day, start, end; // March 2026; minutes of the team's (Berlin's) day as the file has them
    const char* zone;
    const char* zoneStart; // 2026-03-10 in the zone
    const char* zoneEnd;
    int shownDay, shownStart, shownEnd;
};

// Rules of old: New York 6 h behind Berlin all March. Today's: 5 h from 8 to 29 March.
const Stored kStored[] = {
    {10, 15 * 60, 16 * 60, "America/New_York", "09:00", "10:00", 10, 14 * 60, 15 * 60},
    // Moved to another day: shown where its file lies (norvane-cli rezone moves it).
    {11, 30, 60, "America/New_York", "18:30", "19:00", 11, 30, 60},
    {10, 15 * 60, 16 * 60, "Mars/Olympus_Mons", "09:00", "10:00", 10, 15 * 60, 16 * 60},
    {10, 10 * 60, 11 * 60, "Europe/London", "09:00", "10:00", 10, 10 * 60, 11 * 60},
};

QByteArray fileOf(const Stored& s)
{
    const auto clock = [](int m) { return QByteArray::number(m / 60) + "\r\n"; };
    return "[AppointmentSettings]\r\nDateYear=2026\r\nDateMonth=3\r\nDateDay=" +
           QByteArray::number(s.day) + "\r\nStartTimeHour=" + clock(s.start) +
           "StartTimeMinute=" + QByteArray::number(s.start % 60) +
           "\r\nEndTimeHour=" + clock(s.end) + "EndTimeMinute=" + QByteArray::number(s.end % 60) +
           "\r\nText=Flight\r\nTimeZone=" + s.zone + "\r\nZoneStart=2026-03-10T" + s.zoneStart +
           "\r\nZoneEnd=2026-03-10T" + s.zoneEnd + "\r\n";
}

TEST_F(ZoneCorrectionTest, TeamTimesOfOlderRulesAreShownAsTodaysAndSavedSo)
{
    int n = 0;
    for (const Stored& s : kStored) {
        SCOPED_TRACE(std::string(s.zone) + " " + s.zoneStart);
        const QString path =
            put(QStringLiteral("y2026/m3/d%1/%2.nv3").arg(s.day).arg(++n), fileOf(s));
        const TerminPtr shown = store.LoadAppointment(path, QDate(2026, 3, s.day));
        EXPECT_EQ(shown->datum(), QDate(2026, 3, s.shownDay));
        EXPECT_EQ(shown->StartTime().minutes(), s.shownStart);
        EXPECT_EQ(shown->EndTime().minutes(), s.shownEnd);

        // The next save writes them where older copies read them.
        ClassTermin saved = *shown;
        ASSERT_TRUE(filing.File(saved).ok);
        const QByteArray disk = TestFiles::readBytes(saved.filename());
        EXPECT_TRUE(saved.filename().contains(QStringLiteral("/d%1/").arg(s.shownDay)));
        EXPECT_TRUE(disk.contains("StartTimeHour=" + QByteArray::number(s.shownStart / 60)));
        EXPECT_TRUE(disk.contains("TimeZone=" + QByteArray(s.zone)));
    }
}

} // namespace
