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

constexpr QRect kAmCaption(12, 14, 44, 22);
constexpr QRect kAm(58, 14, 147, 22);
constexpr QRect kColorCaption(219, 14, 44, 22);
constexpr QRect kColor(262, 14, 147, 22);
constexpr QRect kFromCaption(12, 44, 44, 22);
constexpr QRect kFrom(58, 44, 147, 22);
constexpr QRect kUntilCaption(219, 44, 44, 22);
constexpr QRect kUntil(262, 44, 147, 22);
constexpr QRect kTextCaption(12, 76, 397, 18);
constexpr QRect kText(12, 96, 397, 126);

constexpr QRect kRemindCaption(12, 12, 397, 20);
constexpr QRect kRemindCheck(12, 38, 397, 22);
constexpr QRect kRemindCombo(32, 66, 320, 24);
constexpr QRect kUsersCombo(32, 98, 320, 24);
constexpr QRect kEmailCheck(32, 132, 377, 22);

constexpr QRect kRecurCaption(12, 12, 397, 20);
constexpr QRect kRecurCheck(12, 38, 397, 22);
constexpr QRect kRecurCombo(32, 66, 320, 24);
constexpr QRect kRecurFromCaption(32, 102, 44, 22);
constexpr QRect kRecurFrom(80, 102, 147, 22);
constexpr QRect kRecurUntilCaption(32, 132, 44, 22);
constexpr QRect kRecurUntil(80, 132, 147, 22);

constexpr QRect kFileCaption(12, 12, 112, 20);
constexpr QRect kFile(128, 12, 281, 50);
constexpr QRect kProducerCaption(12, 70, 112, 20);
constexpr QRect kProducer(128, 70, 281, 20);
constexpr QRect kChangeCaption(12, 96, 112, 20);
constexpr QRect kLastUpdate(128, 96, 281, 20);
constexpr QRect kOwnerCheck(12, 128, 397, 22);

// The colour panel hangs below the colour field and is as wide.
constexpr int kColorRowHeight = 16;
// Between a field and a drop-down that opens beside it.
constexpr int kBesideGap = 4;
} // namespace Layout

enum Page { kAppointmentPage, kReminderPage, kRecurrencePage, kInfoPage, kPageCount };

} // namespace FormEditLayout
