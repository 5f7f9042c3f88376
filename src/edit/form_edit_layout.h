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
constexpr QRect kTextCaption(12, 76, 240, 18);
// Right of the text's caption, "Find a time...".
constexpr QRect kFindTime(259, 71, 150, 24);
constexpr QRect kText(12, 96, 397, 64);
// Below the text, where it takes place, and the zone its date and times are in.
constexpr QRect kLocationCaption(12, 170, 64, 22);
constexpr QRect kLocation(80, 168, 329, 24);
constexpr QRect kZoneCaption(12, 200, 64, 22);
constexpr QRect kZone(80, 198, 329, 24);

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
constexpr QRect kFile(128, 12, 281, 50);
constexpr QRect kProducerCaption(12, 70, 112, 20);
constexpr QRect kProducer(128, 70, 281, 20);
constexpr QRect kChangeCaption(12, 96, 112, 20);
constexpr QRect kLastUpdate(128, 96, 281, 20);
constexpr QRect kOwnerCheck(12, 128, 196, 22);
constexpr QRect kPrivateCheck(212, 128, 197, 22);
constexpr QRect kForCaption(12, 164, 112, 20);
constexpr QRect kFor(128, 162, 281, 24);
constexpr QRect kRoomsCaption(12, 196, 112, 20);
constexpr QRect kRooms(128, 194, 281, 24);

// The colour panel hangs below the colour field and is as wide.
constexpr int kColorRowHeight = 16;
// Between a field and a drop-down that opens beside it.
constexpr int kBesideGap = 4;
} // namespace Layout

enum Page { kAppointmentPage, kReminderPage, kRecurrencePage, kInfoPage, kPageCount };

} // namespace FormEditLayout
