#include "calendar/ZoneTimes.h"

#include <gtest/gtest.h>

namespace {

QDateTime wall(const char* text)
{
    QDateTime t = QDateTime::fromString(QString::fromLatin1(text), Qt::ISODate);
    t.setTimeSpec(Qt::UTC);
    return t;
}

struct Case {
    const char* zone;
    const char* start; // in zone
    const char* end;
    const char* team;      // the team's zone; "" the system's (Berlin in the tests)
    const char* teamStart; // expected
    const char* teamEnd;
    int days;
};

// New York starts summer time on 8 March 2026, Berlin on 29 March; they end on 1 November and
// 25 October.
const Case kCases[] = {
    {"America/New_York", "2026-03-02T09:00", "2026-03-02T10:00", "", "2026-03-02T15:00",
     "2026-03-02T16:00", 1},
    {"America/New_York", "2026-03-10T09:00", "2026-03-10T10:00", "Europe/Berlin",
     "2026-03-10T14:00", "2026-03-10T15:00", 1},
    {"America/New_York", "2026-03-30T09:00", "2026-03-30T10:00", "", "2026-03-30T15:00",
     "2026-03-30T16:00", 1},
    {"America/New_York", "2026-10-27T09:00", "2026-10-27T10:00", "", "2026-10-27T14:00",
     "2026-10-27T15:00", 1},
    {"America/New_York", "2026-11-02T09:00", "2026-11-02T10:00", "", "2026-11-02T15:00",
     "2026-11-02T16:00", 1},
    // Crossing midnight in the team's zone: two days; ending at midnight: one.
    {"America/New_York", "2026-06-01T17:00", "2026-06-01T19:00", "", "2026-06-01T23:00",
     "2026-06-02T01:00", 2},
    {"America/New_York", "2026-06-01T16:00", "2026-06-01T18:00", "", "2026-06-01T22:00",
     "2026-06-02T00:00", 1},
    // 02:30 does not exist in New York on 8 March: the offset before the gap, 03:30 after it.
    {"America/New_York", "2026-03-08T02:30", "2026-03-08T04:00", "", "2026-03-08T08:30",
     "2026-03-08T09:00", 1},
    // 01:30 happens twice on 1 November: the first.
    {"America/New_York", "2026-11-01T01:30", "2026-11-01T02:00", "", "2026-11-01T06:30",
     "2026-11-01T08:00", 1},
    {"Asia/Tokyo", "2026-01-05T08:00", "2026-01-05T09:00", "America/New_York", "2026-01-04T18:00",
     "2026-01-04T19:00", 1},
};

TEST(ZoneTimes, TeamTimesFollowBothZonesRules)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::string(c.zone) + " " + c.start);
        const QString team = QString::fromLatin1(c.team);
        const auto span =
            ZoneTimes::teamSpan(QString::fromLatin1(c.zone), {wall(c.start), wall(c.end)}, team);
        ASSERT_TRUE(span);
        EXPECT_EQ(span->start, wall(c.teamStart));
        EXPECT_EQ(span->end, wall(c.teamEnd));
        EXPECT_EQ(ZoneTimes::daysOf(*span).size(), c.days);
        // The editor's way back gives the zone's clock (the gap's moves forward to 03:30).
        const auto back = ZoneTimes::zoneSpan(QString::fromLatin1(c.zone), *span, team);
        ASSERT_TRUE(back);
        EXPECT_EQ(back->end, wall(c.end));
    }
}

TEST(ZoneTimes, DaysUnknownZonesAndCities)
{
    const QList<ZoneTimes::Day> days =
        ZoneTimes::daysOf({wall("2026-06-01T23:00"), wall("2026-06-02T01:00")});
    EXPECT_EQ(days, (QList<ZoneTimes::Day>{{QDate(2026, 6, 1), 23 * 60, 1440},
                                           {QDate(2026, 6, 2), 0, 60}}));
    EXPECT_FALSE(ZoneTimes::teamSpan("Mars/Olympus_Mons",
                                     {wall("2026-06-01T09:00"), wall("2026-06-01T10:00")}, {}));
    EXPECT_FALSE(ZoneTimes::isOwnZone("Mars/Olympus_Mons", {}));
    EXPECT_FALSE(ZoneTimes::isOwnZone("Europe/Berlin", {}));
    EXPECT_FALSE(ZoneTimes::isOwnZone({}, {}));
    EXPECT_TRUE(ZoneTimes::isOwnZone("Europe/Berlin", "America/New_York"));
    EXPECT_TRUE(ZoneTimes::isOwnZone("America/New_York", {}));
    EXPECT_EQ(ZoneTimes::cityOf("America/New_York"), "New York");
    EXPECT_EQ(ZoneTimes::cityOf("America/Argentina/Buenos_Aires"), "Buenos Aires");
}

} // namespace
