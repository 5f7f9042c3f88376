// What copy and paste make of an appointment: a new single appointment of the one who pastes,
// and the clipboard's iCalendar read back as the same appointment, from us or another program.
#include "exchange/IcsPaste.h"
#include "exchange/IcsExport.h"
#include "store/AppointmentCopy.h"

#include <gtest/gtest.h>

namespace {

const QDate kDay(2024, 3, 4);

ClassTermin weekly()
{
    ClassTermin a;
    a.setFilename("/data/recurring/w/2/12.nv3");
    a.setIsRecurring(true);
    a.Recurring_code = "wd";
    a.setRecurringStartDate(kDay);
    a.setRecurringEndDate(kDay.addDays(90));
    a.setSeriesId("series-1");
    a.setUid("uid-1");
    a.setAttendees({"ATTENDEE;PARTSTAT=ACCEPTED:mailto:alice@example.org"});
    a.setDatum(kDay);
    a.setStartTime(TimeOfDay::fromHourMinute(22, 0));
    a.setEndTime(TimeOfDay::fromHourMinute(23, 30));
    a.setText("Budget review\r\nRoom 2");
    a.setColorCode(3);
    a.setProducer("alice");
    return a;
}

TEST(AppointmentCopyTest, AnOccurrenceBecomesASingleNewAppointmentOfWhoeverCopiesIt)
{
    const ClassTermin copy = AppointmentCopy::of(weekly(), kDay.addDays(14), "bob");
    EXPECT_TRUE(copy.isNew()) << "a file of its own once filed";
    EXPECT_FALSE(copy.IsRecurring());
    EXPECT_EQ(copy.datum(), kDay.addDays(14));
    EXPECT_EQ(copy.Producer(), "bob");
    EXPECT_TRUE(copy.SeriesId().isEmpty());
    EXPECT_TRUE(copy.Uid().isEmpty()) << "a second import of the event must not find the copy";
    EXPECT_TRUE(copy.Attendees().isEmpty());
    EXPECT_EQ(copy.Text(), weekly().Text());
    EXPECT_EQ(copy.ColorCode(), 3);

    // Pasted at a time its length is kept, up to the day's end; without one at its own.
    const ClassTermin late = AppointmentCopy::placed(copy, kDay, TimeOfDay::fromHourMinute(23, 0));
    EXPECT_EQ(late.StartTime(), TimeOfDay::fromHourMinute(23, 0));
    EXPECT_EQ(late.EndTime().minutes(), TimeOfDay::kEndOfDay);
    EXPECT_EQ(AppointmentCopy::placed(copy, kDay, std::nullopt).StartTime(), copy.StartTime());
}

TEST(AppointmentCopyTest, TheClipboardsCalendarReadsBackAsTheSameAppointment)
{
    const ClassTermin copy = AppointmentCopy::of(weekly(), kDay.addDays(7), "alice");
    const QByteArray ics =
        ExportAppointment(std::make_shared<const ClassTermin>(copy), copy.datum(), "uid-copy");
    EXPECT_EQ(ics.count("BEGIN:VEVENT"), 1);
    const std::optional<ClassTermin> back = AppointmentOfIcs(ics, "bob", 1, kDay);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->datum(), copy.datum());
    EXPECT_EQ(back->StartTime(), copy.StartTime());
    EXPECT_EQ(back->EndTime(), copy.EndTime());
    EXPECT_EQ(back->Text(), copy.Text());
    EXPECT_EQ(back->Producer(), "bob");
    EXPECT_TRUE(back->isNew());

    // Another program's event; nothing usable is none.
    const QByteArray foreign = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//x//y//EN\r\n"
                               "BEGIN:VEVENT\r\nUID:f-1\r\nDTSTAMP:20240101T000000Z\r\n"
                               "DTSTART:20240305T090000\r\nDTEND:20240305T094500\r\n"
                               "SUMMARY:Dentist\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
    const std::optional<ClassTermin> dentist = AppointmentOfIcs(foreign, "bob", 1, kDay);
    ASSERT_TRUE(dentist);
    EXPECT_EQ(dentist->datum(), QDate(2024, 3, 5));
    EXPECT_EQ(dentist->EndTime(), TimeOfDay::fromHourMinute(9, 45));
    EXPECT_TRUE(dentist->Text().startsWith("Dentist"));
    EXPECT_FALSE(AppointmentOfIcs("not a calendar", "bob", 1, kDay));
}

} // namespace
