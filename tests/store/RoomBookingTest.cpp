// A room is booked by one appointment at a time: the rule as a table, then the claims and the
// fresh reads around a write.
#include "store/RoomBooking.h"
#include "StoreFolderTest.h"
#include "store/FolderClaim.h"
#include "store/Privacy.h"
#include "store/RuleSeries.h"

#include <QDir>

namespace {

using StoreFolder::kDay;

ClassTermin booking(const char* file, int from, int until, QStringList rooms,
                    const char* owner = "anna")
{
    ClassTermin a;
    a.setFilename(QString("/data/y2003/m7/d4/") + file);
    a.setDatum({2003, 7, 4});
    a.setStartTime(TimeOfDay::fromMinutes(from * 60));
    a.setEndTime(TimeOfDay::fromMinutes(until * 60));
    a.setRooms(rooms);
    a.setProducer(owner);
    return a;
}

TEST(RoomBookingTest, ABookingClashesWithAnOverlappingOneOfTheSameRoomOnly)
{
    const ClassTermin mine = booking("1.nv3", 10, 11, {"Room 2"}, "bert");
    ClassTermin hidden = booking("2.nv3", 10, 11, {"Room 2"});
    hidden.setIsPrivate(true);
    const struct {
        const char* what;
        ClassTermin other;
        const char* clash; // the room named, empty for none
    } cases[] = {
        {"touching at the start", booking("2.nv3", 9, 10, {"Room 2"}), ""},
        {"overlapping end", booking("2.nv3", 9, 11, {"Room 2"}), "Room 2"},
        {"the same times", booking("2.nv3", 10, 11, {"Room 2"}), "Room 2"},
        {"touching at the end", booking("2.nv3", 11, 12, {"Room 2"}), ""},
        {"all day", booking("2.nv3", 0, 24, {"Room 2"}), "Room 2"},
        {"until 24:00", booking("2.nv3", 10, 24, {"Room 2"}), "Room 2"},
        {"the same file", booking("1.nv3", 10, 11, {"Room 2"}), ""},
        {"another room", booking("2.nv3", 10, 11, {"Room 3"}), ""},
        {"letter case", booking("2.nv3", 10, 11, {"Beamer", "ROOM 2"}), "Room 2"},
        {"private of another user", *Privacy::seenBy(std::make_shared<ClassTermin>(hidden), "bert"),
         "Room 2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto clash =
            RoomBooking::clashOn(mine, {std::make_shared<ClassTermin>(c.other)}, {mine.filename()});
        EXPECT_EQ(clash ? clash->room : QString(), QString(c.clash));
    }
    // Ending at 24:00 and starting at midnight are times of their own day.
    EXPECT_TRUE(RoomBooking::overlaps(booking("a", 23, 24, {}), booking("b", 0, 24, {})));
    EXPECT_FALSE(RoomBooking::overlaps(booking("a", 0, 1, {}), booking("b", 1, 2, {})));
}

TEST(RoomBookingTest, ASeriesIsCheckedOnItsDaysFromTodayForTwoYearsOrToItsEnd)
{
    ClassTermin weekly = booking("1.nv3", 10, 11, {"Room 2"});
    weekly.setFilename("/data/recurring/wd6/1.nv3"); // every Friday (Sunday is 1)
    weekly.setRecurringStartDate({2003, 1, 3});
    weekly.setRecurringEndDate({2030, 1, 1});
    const QList<QDate> days = RoomBooking::daysToCheck(weekly, {2003, 7, 2});
    ASSERT_FALSE(days.isEmpty());
    EXPECT_EQ(days.first(), QDate(2003, 7, 4));
    EXPECT_EQ(days.last(), QDate(2005, 7, 1));
    EXPECT_EQ(days.size(), 105);
    weekly.setRecurringEndDate({2003, 7, 11});
    EXPECT_EQ(RoomBooking::daysToCheck(weekly, {2003, 7, 2}).size(), 2);
    weekly.setFilename("/data/recurring/rules/s1.nv3");
    EXPECT_TRUE(RoomBooking::daysToCheck(weekly, {2003, 7, 2}).isEmpty());
    weekly.setRooms({});
    EXPECT_TRUE(RoomBooking::daysToCheck(weekly, {2003, 7, 2}).isEmpty());
}

class RoomClaimsTest : public StoreFolder::StoreFolderTest {
protected:
    RoomClaimsTest() { settings.setTeamMembers({{"anna", "Anna Meier", -1}}); }

    // A new appointment on 4 July 2003 as the editor files it; the outcome's message.
    QString file(int from, int until, QStringList rooms, const char* owner = "bert",
                 QDate day = StoreFolder::kDay)
    {
        ClassTermin a = booking("", from, until, rooms, owner);
        a.setFilename({});
        a.setDatum(day);
        const WriteOutcome saved = filing.File(a);
        return saved.ok ? QString("saved") : saved.error;
    }
    QStringList claims() const { return QDir(folder).entryList({"*.claim"}, QDir::Files); }
};

TEST_F(RoomClaimsTest, ASecondBookingOfTheRoomIsRefusedNamingWhoHoldsIt)
{
    ASSERT_EQ(file(10, 11, {"Room 2"}, "anna"), "saved");
    EXPECT_EQ(file(10, 12, {"room 2"}), "room 2 is booked by Anna Meier, 10:00\u201311:00");
    EXPECT_EQ(file(11, 12, {"Room 2"}), "saved");
    EXPECT_EQ(file(0, 24, {"Room 3", "Room 2"}),
              "Room 2 is booked by Anna Meier, 10:00\u201311:00");
    EXPECT_EQ(textsOf(StoreFolder::kDay).size(), 2);
    EXPECT_EQ(claims(), QStringList());
}

TEST_F(RoomClaimsTest, MovingABookingDoesNotClashWithItsOwnEarlierFile)
{
    ClassTermin a = booking("", 10, 11, {"Room 2"});
    a.setFilename({});
    ASSERT_TRUE(filing.File(a).ok);
    a.setDatum({2003, 7, 5});
    ASSERT_TRUE(filing.File(a).ok);
    a.setDatum({2003, 7, 4});
    a.setStartTime(TimeOfDay::fromMinutes(10 * 60 + 30));
    EXPECT_TRUE(filing.File(a).ok);
    EXPECT_EQ(textsOf(StoreFolder::kDay).size(), 1);
}

TEST_F(RoomClaimsTest, AClaimAnotherCopyHoldsRefusesUnlessItIsLongDead)
{
    const QString claim = FolderClaim::roomPath(folder, "ROOM 2");
    const struct {
        int age; // of the other copy's claim, in seconds
        const char* outcome;
    } cases[] = {{5, "Room 2 is being booked by another copy just now. Please try again."},
                 {int(FolderClaim::kStaleAfter.count()) + 5, "saved"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.age);
        ASSERT_TRUE(TestFiles::writeBytes(claim, "elsewhere 1234\n"));
        TestFiles::setModified(claim, QDateTime::currentDateTime().addSecs(-c.age));
        EXPECT_EQ(file(10, 11, {"Room 2"}), c.outcome);
        EXPECT_EQ(QFileInfo::exists(claim), c.age < 60);
    }
}

TEST_F(RoomClaimsTest, ASeriesClashesWithABookingOnAnyOfItsDays)
{
    // Another copy wrote it a moment ago, on a Friday three weeks on.
    put("y2003/m7/d25/9.nv3",
        StoreFolder::appointment(1, "Workshop", "Rooms=Room 2\r\nProducer=anna\r\n"));
    ClassTermin weekly = booking("", 9, 10, {"Room 2"});
    weekly.setFilename({});
    weekly.Recurring_code = "wd";
    weekly.setIsRecurring(true);
    weekly.setRecurringStartDate({2003, 7, 4});
    weekly.setRecurringEndDate({2004, 7, 4});
    const WriteOutcome saved = filing.File(weekly);
    EXPECT_EQ(saved.error, "Room 2 is booked by Anna Meier, 09:00\u201310:00");
    weekly.setStartTime(TimeOfDay::fromMinutes(10 * 60));
    weekly.setEndTime(TimeOfDay::fromMinutes(11 * 60));
    EXPECT_TRUE(filing.File(weekly).ok);
}

TEST_F(RoomClaimsTest, ASeriesKeptAsOccurrencesBooksTheRoomOnEachOfItsDays)
{
    ClassTermin series = booking("", 10, 11, {"Room 2"}, "anna");
    series.setFilename({});
    RuleSeries::repeatBy(series, *RepeatRule::fromRRule(u"FREQ=WEEKLY;INTERVAL=2;BYDAY=FR", kDay));
    ASSERT_TRUE(filing.File(series).ok);
    EXPECT_EQ(file(10, 11, {"Room 2"}, "bert", kDay.addDays(14)),
              "Room 2 is booked by Anna Meier, 10:00\u201311:00");
    EXPECT_EQ(file(10, 11, {"Room 2"}, "bert", kDay.addDays(7)), "saved");
    EXPECT_EQ(claims(), QStringList());
}

} // namespace
