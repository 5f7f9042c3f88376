#pragma once

// The appointment editor's fixed layout, shared by the files that build and run it.
#include <QRect>

namespace FormEditLayout {

// Positions in pixels: the window in its own coordinates, each control in its page's.
namespace Layout {
constexpr int kMargin = 8;
constexpr QRect kTabs(8, 8, 421, 24);
constexpr QRect kPage(8, 32, 421, 234);
constexpr QRect kOk(229, 278, 96, 26);
constexpr QRect kCancel(333, 278, 96, 26);
// Left of them, the data folder a new appointment goes into.
constexpr QRect kCalendarCaption(8, 281, 64, 20);
constexpr QRect kCalendar(74, 278, 147, 26);

constexpr QRect kAmCaption(12, 14, 44, 22);
constexpr QRect kAm(58, 14, 147, 22);
constexpr QRect kColorCaption(219, 14, 44, 22);
constexpr QRect kColor(262, 14, 147, 22);
constexpr QRect kFromCaption(12, 44, 44, 22);
constexpr QRect kFrom(58, 44, 147, 22);
constexpr QRect kUntilCaption(219, 44, 44, 22);
constexpr QRect kUntil(262, 44, 147, 22);
// Below them, the last day of an appointment over several days.
constexpr QRect kEndDayCaption(12, 74, 44, 22);
constexpr QRect kEndDay(58, 74, 147, 22);
constexpr QRect kTextCaption(12, 104, 240, 18);
// Right of the text's caption, "Find a time...".
constexpr QRect kFindTime(259, 100, 150, 24);
constexpr QRect kText(12, 126, 397, 62);
// Below the text, where it takes place.
constexpr QRect kLocationCaption(12, 198, 64, 22);
constexpr QRect kLocation(80, 196, 329, 24);
// Beside the last day: the zone the date and times are in.
constexpr QRect kZoneCaption(219, 74, 44, 22);
constexpr QRect kZone(262, 74, 147, 22);

constexpr QRect kRemindCaption(12, 12, 397, 20);
constexpr QRect kRemindCheck(12, 38, 397, 22);
constexpr QRect kRemindCombo(32, 66, 320, 24);
constexpr QRect kUsersCombo(32, 98, 320, 24);
constexpr QRect kEmailCheck(32, 132, 377, 22);

constexpr QRect kRecurCaption(12, 8, 397, 20);
constexpr QRect kRecurCheck(12, 30, 397, 22);
constexpr QRect kRecurCombo(32, 56, 320, 24);
// Below the kind, captions on the left and their controls from one column on.
constexpr QRect kRecurEveryCaption(32, 86, 96, 24);
constexpr QRect kRecurEvery(132, 86, 60, 24);
constexpr QRect kRecurUnit(196, 86, 120, 24);
// A week's seven boxes from Monday on, one step apart; or a month's day and its nth weekday.
constexpr QRect kRecurWeekday(32, 114, 52, 22);
constexpr int kRecurWeekdayStep = 54;
constexpr QRect kRecurOnDay(32, 114, 377, 22);
constexpr QRect kRecurOnNth(32, 140, 96, 24);
constexpr QRect kRecurNth(132, 140, 80, 24);
constexpr QRect kRecurNthWeekday(216, 140, 100, 24);
constexpr QRect kRecurMonth(320, 140, 89, 24);
constexpr QRect kRecurFromCaption(32, 172, 96, 22);
constexpr QRect kRecurFrom(132, 172, 147, 22);
constexpr QRect kRecurEnd(32, 200, 96, 24);
constexpr QRect kRecurUntil(132, 200, 147, 22);
constexpr QRect kRecurCount(132, 200, 60, 24);
constexpr QRect kRecurTimes(196, 200, 120, 24);

constexpr QRect kFileCaption(12, 12, 112, 20);
constexpr QRect kFile(128, 12, 281, 44);
constexpr QRect kProducerCaption(12, 64, 112, 20);
constexpr QRect kProducer(128, 64, 281, 20);
constexpr QRect kChangeCaption(12, 90, 112, 20);
constexpr QRect kLastUpdate(128, 90, 281, 20);
constexpr QRect kOwnerCheck(12, 116, 196, 22);
constexpr QRect kPrivateCheck(212, 116, 197, 22);
constexpr QRect kForCaption(12, 146, 112, 20);
constexpr QRect kFor(128, 144, 281, 24);
constexpr QRect kRoomsCaption(12, 178, 112, 20);
constexpr QRect kRooms(128, 176, 281, 24);
// An imported event's organizer and attendees, shown only when it has any.
constexpr QRect kPeopleCaption(12, 208, 112, 20);
constexpr QRect kPeople(128, 206, 281, 24);

// The categories it belongs to: the team's and its own, a check box each.
constexpr QRect kCategoriesCaption(12, 12, 397, 20);
constexpr QRect kCategories(12, 36, 397, 186);

// The colour panel hangs below the colour field and is as wide.
constexpr int kColorRowHeight = 16;
// Between a field and a drop-down that opens beside it.
constexpr int kBesideGap = 4;
} // namespace Layout

enum Page {
    kAppointmentPage,
    kReminderPage,
    kRecurrencePage,
    kInfoPage,
    kCategoriesPage,
    kPageCount
};

} // namespace FormEditLayout
