// What an appointment file holds, as other users' copies read and write it.
#include "store/AppointmentFile.h"
#include "TestFiles.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class AppointmentFileTest : public ::testing::Test {
protected:
    TerminPtr readFile(const QByteArray& content, const QString& relative = "y2003/m7/d4/1.nv3")
    {
        const QString path = dir.filePath(relative);
        TestFiles::writeBytes(path, "[AppointmentSettings]\r\n" + content);
        cache.clear();
        return AppointmentFile::read(IniFile(cache, path), fallback, QDateTime(), now);
    }

    QTemporaryDir dir;
    ProfileCache cache{ThreadFileAccess()};
    const QDate fallback{2010, 5, 6};
    const QTime now{14, 37};
};

TEST_F(AppointmentFileTest, ANewFileHoldsEveryKeyInOrder)
{
    ClassTermin a;
    a.setDatum(QDate(2003, 7, 4));
    a.setStartTime(TimeOfDay::fromHourMinute(10, 30));
    a.setEndTime(TimeOfDay::fromHourMinute(11, 45));
    a.setColorCode(3);
    a.setText("Budget review\r\nRoom 2, topic A=B");
    a.setProducer("user1");
    a.setIsReminder(true);
    a.setRemindMinutes(15);
    a.setReminderAll(false);
    a.setRecurringStartDate(QDate(2003, 7, 4));
    a.setRecurringEndDate(QDate(2003, 7, 4));
    const QString path = dir.filePath("a.nv3");
    IniFile ini(cache, path);
    AppointmentFile::write(ini, a);
    ASSERT_TRUE(ini.commit().ok);
    EXPECT_EQ(TestFiles::readBytes(path),
              QByteArray("[AppointmentSettings]\r\nDateYear=2003\r\nDateMonth=7\r\nDateDay=4\r\n"
                         "StartTimeHour=10\r\nStartTimeMinute=30\r\nEndTimeHour=11\r\n"
                         "EndTimeMinute=45\r\nColor=3\r\n"
                         "Text=Budget review##br##Room 2, topic A##eq##B\r\nProducer=user1\r\n"
                         "IsReminder=1\r\nRemindTime=15\r\nRemindMe=1\r\nRemindEmail=0\r\n"
                         "Recurring=0\r\nRecurringFromYear=2003\r\nRecurringFromMonth=7\r\n"
                         "RecurringFromDay=4\r\nRecurringUntilYear=2003\r\n"
                         "RecurringUntilMonth=7\r\nRecurringUntilDay=4\r\n"));

    // What reads back writes the same bytes again: every key came back as it was.
    cache.clear();
    ClassTermin back = *AppointmentFile::read(IniFile(cache, path), fallback, QDateTime(), now);
    IniFile again(cache, dir.filePath("b.nv3"));
    AppointmentFile::write(again, back);
    ASSERT_TRUE(again.commit().ok);
    EXPECT_EQ(TestFiles::readBytes(dir.filePath("b.nv3")), TestFiles::readBytes(path));
}

TEST_F(AppointmentFileTest, AFileWithoutKeysReadsAsDefaultsAndTheRecurringTreeMakesItRecurring)
{
    const TerminPtr a = readFile("");
    EXPECT_EQ(a->datum(), fallback);
    EXPECT_EQ(a->StartTime(), TimeOfDay::fromHourMinute(14, 37));
    EXPECT_EQ(a->ColorCode(), 1);
    EXPECT_TRUE(a->IsReminder());
    EXPECT_EQ(a->RemindMinutes(), 5);
    EXPECT_TRUE(a->ReminderAll());
    EXPECT_EQ(a->RecurringStartDate(), QDate(1990, 1, 1));
    // As far as the day view shows it, so an edit keeps the whole range.
    EXPECT_EQ(a->RecurringEndDate(), QDate(2020, 12, 31));
    EXPECT_TRUE(a->Text().isEmpty());
    EXPECT_EQ(readFile("RecurringUntilYear=2025\r\n")->RecurringEndDate(), QDate(2025, 12, 31));
    EXPECT_TRUE(readFile("Recurring=0\r\n", "recurring/every/5.nv3")->IsRecurring());
    EXPECT_FALSE(readFile("Recurring=0\r\n")->IsRecurring());
    EXPECT_TRUE(readFile("Recurring=1\r\n")->IsRecurring());
}

// "For" as people and programs write it by hand: each login once, in order, nothing else.
TEST_F(AppointmentFileTest, WhomItIsForReadsAsLoginsEachOnce)
{
    const struct {
        QByteArray line;
        QStringList logins;
    } rows[] = {
        {"For=anna,ben\r\n", {"anna", "ben"}},
        {"For= anna , ben ;x\r\n", {"anna", "ben", ";x"}},
        {"For=anna ben,,anna\r\n", {"anna", "ben"}},
        {"For=\r\n", {}},
        {"", {}},
        {"For=ben\x01x,carla\r\n", {"carla"}}, // a control character is no login
        {"For=" + QByteArray(300, 'a') + ",dora\r\n", {"dora"}},
    };
    for (const auto& row : rows)
        EXPECT_EQ(readFile(row.line)->ForUsers(), row.logins) << row.line.toStdString();
    QByteArray many = "For=";
    for (int n = 0; n < 100; ++n)
        many += "p" + QByteArray::number(n) + ",";
    EXPECT_EQ(readFile(many + "\r\n")->ForUsers().size(), AppointmentFile::kMaxLogins);

    // A list emptied goes from the file with its key, whatever the file held.
    ClassTermin a = *readFile("For=anna\r\nProducer=ben\r\n");
    a.setForUsers({});
    IniFile ini(cache, a.filename());
    AppointmentFile::write(ini, a);
    ASSERT_TRUE(ini.commit().ok);
    EXPECT_FALSE(TestFiles::readBytes(a.filename()).contains("For="));
}

TEST_F(AppointmentFileTest, TheLocationIsTheTextsLastLineOlderCopiesShowAndEdit)
{
    const struct {
        QByteArray keys;        // as found on disk
        QString text, location; // as read
        QByteArray written;     // the keys written back
    } rows[] = {
        // This copy's file: key and line agree.
        {"Text=Talk##br##Location: Hall 2\r\nLocation=Hall 2\r\n", "Talk", "Hall 2",
         "Text=Talk##br##Location: Hall 2\r\n"},
        // An older copy changed the line: the line wins.
        {"Text=Talk##br##Location: Hall 3\r\nLocation=Hall 2\r\n", "Talk", "Hall 3",
         "Location=Hall 3\r\n"},
        // An older copy removed the line: the key is stale and goes.
        {"Text=Talk\r\nLocation=Hall 2\r\n", "Talk", "", "Text=Talk\r\n"},
        // An earlier import's line, in either language, becomes the location once.
        {"Text=Talk##br##Notes##br##Ort: Rathaus\r\n", "Talk\r\nNotes", "Rathaus",
         "Text=Talk##br##Notes##br##Location: Rathaus\r\n"},
        // Only the last line, never the title, and never an empty place.
        {"Text=Location: Hall\r\n", "Location: Hall", "", "Text=Location: Hall\r\n"},
        {"Text=A##br##Location: Hall##br##B\r\n", "A\r\nLocation: Hall\r\nB", "", ""},
        {"Text=A##br##Location:\r\n", "A\r\nLocation:", "", ""},
        {"Text=##br##Location: Hall\r\n", "", "Hall", "Text=##br##Location: Hall\r\n"},
    };
    for (const auto& row : rows) {
        ClassTermin a = *readFile(row.keys);
        EXPECT_EQ(a.Text(), row.text) << row.keys.toStdString();
        EXPECT_EQ(a.Location(), row.location) << row.keys.toStdString();
        IniFile ini(cache, a.filename());
        AppointmentFile::write(ini, a);
        ASSERT_TRUE(ini.commit().ok);
        const QByteArray bytes = TestFiles::readBytes(a.filename());
        EXPECT_TRUE(bytes.contains(row.written)) << bytes.toStdString();
        EXPECT_EQ(bytes.contains("\r\nLocation="), !row.location.isEmpty());
    }
    // A place is one line of printable characters; lines given become parts of it.
    EXPECT_EQ(AppointmentFile::locationOf(" Hall\t 2\r\n\r\n Main St. 1\n"), "Hall 2, Main St. 1");
    EXPECT_EQ(AppointmentFile::locationOf(QString(300, u'x')).size(),
              AppointmentFile::kMaxLocation);
}

} // namespace

// The keys an imported event's details are kept in: read when whole and sane, else left out;
// a detail the record no longer has leaves the file with every key of it.
TEST_F(AppointmentFileTest, KeptDetailsOfAnEventReadWhenSaneAndLeaveWithTheirKeys)
{
    const TerminPtr a = readFile(
        "DateYear=2026\r\nDateMonth=3\r\nDateDay=16\r\nCategories=Travel; travel;Board\r\n"
        "Organizer=ORGANIZER;CN=Anna:mailto:anna@example.org\r\nAttendeeCount=3\r\n"
        "Attendee1=ATTENDEE;PARTSTAT=ACCEPTED:mailto:ben@example.org\r\nAttendee3=ATTENDEE:x\r\n"
        "TimeZone=America/New_York\r\nZoneStart=2026-03-16T09:00\r\nZoneEnd=2026-03-16T10:30\r\n"
        "SpanId=trip\r\nSpanFrom=2026-03-16\r\nSpanUntil=2026-03-19\r\n");
    EXPECT_EQ(a->Categories(), QStringList({"Travel", "Board"}));
    EXPECT_EQ(a->Organizer(), "ORGANIZER;CN=Anna:mailto:anna@example.org");
    EXPECT_EQ(a->Attendees(),
              QStringList({"ATTENDEE;PARTSTAT=ACCEPTED:mailto:ben@example.org", "ATTENDEE:x"}));
    EXPECT_EQ(a->TimeZoneId(), "America/New_York");
    EXPECT_EQ(a->ZoneStart(), QDateTime(QDate(2026, 3, 16), QTime(9, 0), Qt::UTC));
    EXPECT_EQ(a->SpanId(), "trip");
    EXPECT_EQ(a->SpanUntil(), QDate(2026, 3, 19));

    const QByteArray day = "DateYear=2026\r\nDateMonth=3\r\nDateDay=16\r\n";
    const QByteArray zone = "TimeZone=Europe/Berlin\r\n";
    const QByteArray span = "SpanId=s\r\n";
    for (const QByteArray& broken : {
             zone + "ZoneStart=2026-03-16T09:00\r\n",                             // no end
             zone + "ZoneStart=2026-03-16T11:00\r\nZoneEnd=2026-03-16T10:00\r\n", // ends first
             zone + "ZoneStart=16.3.2026 09:00\r\nZoneEnd=2026-03-16T10:00\r\n",  // not ISO
             span + "SpanFrom=2026-03-17\r\nSpanUntil=2026-03-19\r\n",            // not its day
             span + "SpanFrom=2026-03-16\r\nSpanUntil=2026-03-16\r\n",            // one day
             span + "SpanFrom=2026-03-16\r\nSpanUntil=2028-03-16\r\n",            // two years
         }) {
        const TerminPtr b = readFile(day + broken);
        EXPECT_FALSE(b->hasOwnZone() || b->isSpanDay()) << broken.toStdString();
    }
    EXPECT_TRUE(readFile("Organizer=ORGANIZER:x\x01y\r\n")->Organizer().isEmpty());

    ClassTermin c = *a;
    c.setCategories({});
    c.setOrganizer({});
    c.setAttendees({"ATTENDEE:x"});
    c.setOwnZone({}, {}, {});
    c.setSpan({}, {}, {});
    IniFile ini(cache, c.filename());
    AppointmentFile::write(ini, c);
    ASSERT_TRUE(ini.commit().ok);
    const QByteArray written = TestFiles::readBytes(c.filename());
    EXPECT_TRUE(written.contains("AttendeeCount=1\r\nAttendee1=ATTENDEE:x\r\n")) << written.data();
    for (const char* gone : {"Categories", "Organizer", "Attendee2", "Attendee3", "TimeZone",
                             "ZoneStart", "ZoneEnd", "SpanId", "SpanFrom", "SpanUntil"})
        EXPECT_FALSE(written.contains(gone)) << gone;
}
