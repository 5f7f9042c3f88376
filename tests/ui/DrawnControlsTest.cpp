// The drawn controls every window shares: the tab strip, the drop-down month sheet and the
// drop-down time picker, as their events, their models and what only their pixels show.
#include "DrawnControlsFixture.h"
#include "ui/ClassTimeDD.h"

#include <cmath>
#include <string>
#include <vector>

namespace {

using namespace Drawing;

const QColor kGrey(128, 128, 128);

// One press on a header (kBeside: right of the last one) or a run of keys.
constexpr int kBeside = 9;
struct InputRow {
    int selected; // -1: an empty strip
    int press;
    Qt::MouseButton button;
    std::vector<Qt::Key> keys;
    const char* events;
    int selectedAfter;
};

class ClassTabsInput : public ClassTabsTest, public ::testing::WithParamInterface<InputRow> {};

// A press reports the new header while the old one is still selected; a key moves first.
// Events read "Change(caption,index)@<SelectedIndex inside the handler>".
const InputRow kInputs[] = {
    {0, 2, Qt::LeftButton, {}, "Change(Reminder,2)@0 Click(Reminder,2)@0", 2},
    {1, 3, Qt::RightButton, {}, "Change(Owner,3)@1 Click(Owner,3)@1", 3},
    {0, 0, Qt::LeftButton, {}, "Click(Appointment,0)@0", 0},
    {0, kBeside, Qt::LeftButton, {}, "", 0},
    {0, -1, {}, {Qt::Key_Right}, "Change(Recurrence,1)@1 Click(Recurrence,1)@1", 1},
    {1, -1, {}, {Qt::Key_Left}, "Change(Appointment,0)@0 Click(Appointment,0)@0", 0},
    {0, -1, {}, {Qt::Key_Left}, "", 0},
    {3, -1, {}, {Qt::Key_Right}, "", 3},
    {1, -1, {}, {Qt::Key_Up, Qt::Key_Down, Qt::Key_Tab}, "", 1},
    {-1, -1, {}, {Qt::Key_Right, Qt::Key_Left}, "", -1}};

TEST_P(ClassTabsInput, RaiseTheirEventsInOrderAndMoveTheSelection)
{
    const InputRow& row = GetParam();
    if (row.selected >= 0)
        addEditorHeaders();
    tabs.setSelectedIndex(row.selected);
    if (row.press == kBeside) {
        const int past = PictureBox::toPixels(tabs.Span(3).right) + 5;
        ASSERT_LT(past, box.width());
        QTest::mouseClick(&box, row.button, Qt::NoModifier, QPoint(past, 10));
    } else if (row.press >= 0) {
        const ClassTabs::HeaderSpan span = tabs.Span(row.press);
        QTest::mouseClick(&box, row.button, Qt::NoModifier,
                          {PictureBox::toPixels((span.left + span.right) / 2), box.height() / 2});
    }
    for (Qt::Key key : row.keys)
        QTest::keyClick(&box, key);
    EXPECT_EQ(events.join(' '), row.events);
    EXPECT_EQ(tabs.SelectedIndex(), row.selectedAfter);
    EXPECT_TRUE(row.selectedAfter < 0 || at(middlePixel(row.selectedAfter), 0) == kWhite)
        << "drawn raised";
}

INSTANTIATE_TEST_SUITE_P(MouseAndKeys, ClassTabsInput, ::testing::ValuesIn(kInputs));

TEST_F(ClassTabsTest, CaptionsInTheirColourTheSelectedTabRisesIntoThePageDottedDarkWithFocus)
{
    addEditorHeaders();
    const auto reds = [&](int i) {
        return Drawing::countIn(
            box.grab().toImage(),
            QRect(QPoint(leftPixel(i), 0), QPoint(rightPixel(i), box.height() - 1)),
            [](const QColor& c) { return Drawing::near(c, kRed, 80); });
    };
    EXPECT_GT(reds(1), 10);
    EXPECT_EQ(reds(2), 0);
    setFocus(false);
    tabs.setSelectedIndex(1);
    const int baseline = box.height() - 1;
    EXPECT_EQ(at(middlePixel(1), 0), kWhite) << "highlight along the very top";
    EXPECT_EQ(at(middlePixel(1), baseline), kFace) << "no line under the selected tab";
    EXPECT_EQ(at(middlePixel(2), baseline), kWhite) << "the page edge runs under them";
    EXPECT_EQ(at(box.width() - 2, 5), kFace) << "nothing beside the headers";
    EXPECT_EQ(at(leftPixel(2), 12), kWhite) << "highlight left";
    EXPECT_EQ(at(rightPixel(2), 12), kGrey) << "shadow right";

    EXPECT_TRUE(dottedIn(1, kGrey));
    EXPECT_FALSE(dottedIn(0, kGrey)) << "only the selected caption is framed";
    setFocus(true);
    EXPECT_TRUE(dottedIn(1, kBlack));
    EXPECT_FALSE(dottedIn(1, kGrey));
    setFocus(false);
    EXPECT_FALSE(dottedIn(1, kBlack));
}

const QColor kBlue(0, 0, 255);
const QDate k20March(2025, 3, 20);
// Presses on the title line, in twips.
const QPoint kPrevious(150, 150);
const QPoint kCurrent(1370, 150);
const QPoint kNext(2600, 150);

const auto isYellow = [](const QColor& c) {
    return c.red() > 200 && c.green() > 200 && c.blue() < 120;
};
const auto isBlue = [](const QColor& c) { return c == kBlue; };

class MonthPickerTest : public MonthSheetTest {
protected:
    void clickAt(QPoint twips, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseClick(picture, button, Qt::NoModifier, pixelAt(twips));
    }

    QImage drawn() const { return picture->image(); }
};

// 1 March 2025 is a Saturday, 1 January 2025 a Wednesday, 1 December 2024 a Sunday. Only a
// day closes the sheet; the selected day is only a click (c:), other days also change (h:).
TEST_F(MonthPickerTest, ClicksLandOnTheirDayReportItAndClose)
{
    const auto cell = monthCellCentre;
    const struct {
        QDate selected;
        int firstday;
        std::vector<QPoint> clicks; // twips
        const char* events;
        Qt::MouseButton button = Qt::LeftButton;
    } rows[] = {{k20March, 2, {cell(1, 6)}, "c:2025-03-01 h:2025-03-01"},
                {k20March, 2, {cell(2, 1)}, "c:2025-03-03 h:2025-03-03"},
                {k20March, 1, {cell(1, 7)}, "c:2025-03-01 h:2025-03-01"},
                {k20March, 1, {cell(6, 2)}, "c:2025-03-31 h:2025-03-31"},
                {QDate(2025, 1, 20), 7, {cell(1, 5)}, "c:2025-01-01 h:2025-01-01"},
                {k20March, 2, {cell(2, 3)}, "c:2025-03-05 h:2025-03-05", Qt::RightButton},
                {k20March, 2, {cell(4, 4)}, "c:2025-03-20"},
                // an empty cell, the header, the gap, the margin, past the last day
                {k20March, 1, {cell(1, 1), {1000, 500}, {1000, 630}, {2700, 1500}, cell(6, 3)}, ""},
                {QDate(2025, 1, 31), 2, {kPrevious, cell(1, 7)}, "c:2024-12-01 h:2024-12-01"},
                {k20March, 2, {kNext, cell(1, 2)}, "c:2025-04-01 h:2025-04-01"},
                {QDate(2024, 11, 5), 2, {kCurrent, cell(3, 3)}, "c:2025-03-12 h:2025-03-12"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(&row - rows);
        events.clear();
        open(row.selected, row.firstday);
        for (const QPoint& point : row.clicks) {
            ASSERT_TRUE(picture->isVisible());
            clickAt(point, row.button);
        }
        EXPECT_EQ(events.join(' '), row.events);
        const bool picked = !events.isEmpty();
        EXPECT_EQ(picture->isVisible(), !picked);
        EXPECT_EQ(sheet.SelectedDate(),
                  picked ? QDate::fromString(events.last().mid(2), Qt::ISODate) : row.selected);
        picture->hide();
    }
}

TEST_F(MonthPickerTest, TitleAndWeekdayHeaderInBothLanguagesFollowPagingAndFirstday)
{
    const struct {
        QDate selected;
        int firstday;
        const char* langcode;
        int previousPages;
        QString title;
        QString firstColumn;
    } rows[] = {{k20March, 2, "en", 0, "March 2025", "Mo"},
                {k20March, 2, "en", 1, "February 2025", "Mo"},
                {QDate(2025, 1, 20), 7, "en", 0, "January 2025", "Sa"},
                {QDate(2025, 1, 20), 1, "de", 0, QStringLiteral("Jänner 2025"), "So"},
                {QDate(2025, 4, 20), 2, "de", 1, QStringLiteral("März 2025"), "Mo"}};
    const QRect title(pixelAt({360, 30}), pixelAt({picture->ScaleWidth() - 360, 345}));
    const QRect header(pixelAt({30, 390}), pixelAt({405, 645}));
    for (const auto& row : rows) {
        SCOPED_TRACE(row.title.toStdString());
        open(row.selected, row.firstday, row.langcode);
        for (int i = 0; i < row.previousPages; ++i)
            clickAt(kPrevious);
        EXPECT_EQ(
            drawn().copy(title),
            printedAlone(*picture, {{picture->ScaleWidth() / 2, 60, row.title}}, true).copy(title));
        EXPECT_EQ(drawn().copy(header),
                  printedAlone(*picture, {{220, 405, row.firstColumn}}, false).copy(header));
    }
}

TEST_F(MonthPickerTest, TheSelectedDayIsABlueBoxAndTodayAYellowRingAroundABlackNumber)
{
    const auto box = [](int row, int column) {
        const QPoint c = monthCell(row, column);
        return QRect(pixelAt({c.x() + 60, c.y() + 15}), pixelAt({c.x() + 320, c.y() + 285}));
    };
    open(k20March);
    const QRect selected = box(4, 4);
    EXPECT_GT(countIn(drawn(), selected, isBlue), selected.width() * selected.height() / 2);
    EXPECT_GT(countIn(drawn(), selected, [](const QColor& c) { return c.lightness() > 200; }), 5)
        << "a white number";
    EXPECT_EQ(countIn(drawn(), selected, isInk), 0);
    const QPoint centre = monthCellCentre(3, 3); // Wednesday 12 March
    EXPECT_TRUE(isYellow(drawn().pixelColor(pixelAt(centre + QPoint(100, 0)))));
    EXPECT_GT(countIn(drawn(), box(3, 3), isInk), 5);
    EXPECT_EQ(countIn(drawn(), drawn().rect(), isYellow),
              countIn(drawn(), QRect(pixelAt(monthCell(3, 3)), pixelAt(monthCell(4, 4))), isYellow))
        << "only today";

    open(today);
    EXPECT_GT(countIn(drawn(), box(3, 3), isBlue), 50);
    EXPECT_GT(countIn(drawn(), box(3, 3), isYellow), 10);
    EXPECT_GT(countIn(drawn(), box(3, 3), isInk), 5) << "black on blue";

    open(QDate(2025, 4, 12));
    EXPECT_EQ(countIn(drawn(), drawn().rect(), isYellow), 0) << "no today in other months";
}

TEST_F(MonthPickerTest, DisplayOpensOnTheSelectedMonthAndHoverFramesTheDay)
{
    Drawing::expectEnterEscapeAndLeavingClose(*this, [&] {
        sheet.setShowDate(QDate(2020, 1, 1));
        open(k20March);
        EXPECT_EQ(sheet.ShowDate(), k20March);
    });
    EXPECT_EQ(events, QStringList{"c:2025-03-20"}) << "Enter picks the framed day, the chosen one";
    EXPECT_EQ(sheet.SelectedDate(), k20March);
    events.clear();

    open(QDate(2025, 1, 20));
    const QPoint first = pixelAt(monthCell(2, 3) + QPoint(15, 150));  // left edge, 8 January
    const QPoint second = pixelAt(monthCell(3, 5) + QPoint(15, 150)); // 17 January
    EXPECT_EQ(drawn().pixelColor(first), kWhite);
    QTest::mouseMove(picture, pixelAt(monthCellCentre(2, 3)));
    EXPECT_EQ(drawn().pixelColor(first), kBlue);
    QTest::mouseMove(picture, pixelAt(monthCellCentre(3, 5)));
    EXPECT_EQ(drawn().pixelColor(first), kWhite) << "the old frame goes";
    EXPECT_EQ(drawn().pixelColor(second), kBlue);
    EXPECT_TRUE(events.isEmpty());
    EXPECT_TRUE(picture->isVisible());
}

const auto hm = [](int hour, int minute) { return TimeOfDay::fromHourMinute(hour, minute); };

const auto text = [](TimeOfDay t) {
    return QString::asprintf("%02d:%02d", t.hour(), t.minute()).toStdString();
};

// Whether every point from..to along the angle (0 = three o'clock, clockwise) is ink, or none
// is. Lines are not antialiased, so a point may sit one pixel beside the drawn one.
bool inkAlong(const QImage& image, double degrees, int from, int to, bool expected = true)
{
    for (int radius = from; radius <= to; radius += 15) {
        const double angle = degrees / 180 * M_PI;
        const QPoint p = pixelAt({450 + int(std::lround(radius * std::cos(angle))),
                                  450 + int(std::lround(radius * std::sin(angle)))});
        const bool ink =
            Drawing::countIn(image, QRect(p - QPoint(1, 1), QSize(3, 3)), Drawing::isInk) > 0;
        if (ink != expected)
            return false;
    }
    return true;
}

class TimePickerTest : public ::testing::Test, protected Drawing::DropDownHost {
protected:
    void SetUp() override
    {
        picker.Bind(picture);
        QObject::connect(&picker, &ClassTimeDD::TimeChanged,
                         [this](TimeOfDay time) { changes.push_back(text(time)); });
    }

    void open(TimeOfDay time, const QString& format = QStringLiteral("12h"))
    {
        picker.setTime(time);
        picker.setTimeFormat(format);
        picker.Display();
    }

    void pressAt(QPoint twips, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mousePress(picture, button, Qt::NoModifier, pixelAt(twips));
        QTest::mouseRelease(picture, button, Qt::NoModifier, pixelAt(twips));
    }

    // The digits of the read-out model as drawn: hours, minutes and the am/pm line.
    void expectReadoutDrawn()
    {
        const ClockReadout r = clockReadout(picker.Time(), picker.TimeFormat());
        const QImage alone = Drawing::printedAlone(
            *picture, {{250, 1100, r.hours}, {650, 1100, r.minutes}, {450, 1450, r.dayHalf}}, true);
        for (const QRect& area : {QRect(pixelAt({120, 1095}), pixelAt({360, 1350})),
                                  QRect(pixelAt({540, 1095}), pixelAt({780, 1350})),
                                  QRect(pixelAt({120, 1440}), pixelAt({780, 1680}))})
            EXPECT_EQ(picture->image().copy(area), alone.copy(area));
    }

    ClassTimeDD picker{QTime(10, 5)};
    std::vector<std::string> changes;
};

// Minute steps do not snap to the grid; the arrows react strictly inside their areas, with
// (105..375, 855..1095) the area of the hour's upper arrow. A key is a character below 128.
TEST_F(TimePickerTest, PressesAndKeysMoveTheTimeAndReportItOnce)
{
    const struct {
        QPoint press; // twips
        int key;
        const char* expected;
        Qt::MouseButton button = Qt::LeftButton;
        TimeOfDay start = hm(10, 5);
        int interval = 15;
    } rows[] = {
        // clang-format off
        {{240, 975}, 0, "11:05"}, // over the hour's upper arrow
        {{240, 1380}, 0, "09:05"}, {{660, 975}, 0, "10:20"}, {{660, 1380}, 0, "09:50"},
        {{360, 1080}, 0, "11:05"}, // just inside the corner
        {{240, 975}, 0, "11:05", Qt::RightButton}, {{660, 975}, 0, "10:20", Qt::MiddleButton},
        {{}, Qt::Key_Right, "10:20"}, {{}, Qt::Key_Left, "09:50"}, {{}, '*', "11:05"},
        {{}, '_', "09:05"}, {{}, '+', "10:20"}, {{}, '-', "09:50"},
        {{}, '+', "10:35", {}, hm(10, 5), 30}, {{}, '*', "00:30", {}, hm(23, 30)},
        {{660, 1380}, 0, "09:35", Qt::LeftButton, hm(10, 5), 30}, {{}, '-', "23:55", {}, hm(0, 10)},
        {{}, Qt::Key_Right, "00:05", {}, hm(23, 50)}, {{}, '_', "23:00", {}, hm(24, 0)},
        // clang-format on
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(&row - rows);
        changes.clear();
        picker.setInterval(row.interval);
        open(row.start);
        if (row.key == 0)
            pressAt(row.press, row.button);
        else if (row.key < 128)
            QTest::keyClick(picture, char(row.key));
        else
            QTest::keyClick(picture, Qt::Key(row.key));
        EXPECT_EQ(changes, std::vector<std::string>{row.expected});
        EXPECT_TRUE(picture->isVisible()) << "the picker stays open while the user steps";
    }
    // Presses on the bounds or beside the arrows, and other keys, do nothing.
    changes.clear();
    open(hm(10, 5));
    const std::vector<QPoint> outside = {
        {375, 975},  {105, 975},  {240, 855},  {240, 1095}, // hour-up bounds
        {240, 1275}, {240, 1500}, {525, 1380}, {795, 1380}, // earlier bounds
        {450, 975},  {450, 1200}, {450, 450},  {900, 1600}, // between, read-out, face, corner
    };
    for (const QPoint& p : outside)
        pressAt(p);
    QTest::keyClick(picture, Qt::Key_Up);
    QTest::keyClick(picture, Qt::Key_Down);
    QTest::keyClicks(picture, "a=");
    EXPECT_EQ(text(picker.Time()), "10:05");
    EXPECT_TRUE(changes.empty());
    EXPECT_TRUE(picture->isVisible());
}

// Anything but "24h" is the twelve-hour clock, as the settings and the labels read it.
TEST(ClockReadoutTest, TwelveHourDigitsKeepMidnightAsZeroAndNoonAsTwelve)
{
    const struct {
        TimeOfDay time;
        const char* format;
        const char* shown; // hours, minutes and day half
    } rows[] = {{hm(13, 45), "12h", "01 45 pm"}, {hm(12, 0), "12h", "12 00 pm"},
                {hm(0, 15), "12h", "00 15 am"},  {hm(11, 59), "12h", "11 59 am"},
                {hm(23, 5), "12h", "11 05 pm"},  {hm(13, 45), "24h", "13 45 "},
                {hm(7, 3), "", "07 03 am"}};
    for (const auto& row : rows) {
        const ClockReadout r = clockReadout(row.time, QString::fromLatin1(row.format));
        EXPECT_EQ(r.hours + " " + r.minutes + " " + r.dayHalf, row.shown);
    }
}

TEST_F(TimePickerTest, TheReadoutAndTheHandsAreDrawnAndFollowEveryStep)
{
    open(hm(14, 50));
    expectReadoutDrawn();
    const QImage before = picture->image();
    EXPECT_TRUE(inkAlong(before, -30, 60, 195)) << "two o'clock, not creeping towards three";
    EXPECT_TRUE(inkAlong(before, -5, 150, 195, false));
    EXPECT_TRUE(inkAlong(before, 210, 60, 270)) << "fifty minutes";
    EXPECT_TRUE(inkAlong(before, 210, 300, 300, false)) << "the minute hand ends at 270";

    QTest::keyClick(picture, '*');
    QTest::keyClick(picture, '+');
    expectReadoutDrawn();
    const QImage after = picture->image();
    EXPECT_TRUE(inkAlong(after, 30, 60, 195)) << "four o'clock";
    EXPECT_TRUE(inkAlong(after, -60, 60, 270)) << "five past";
    EXPECT_TRUE(inkAlong(after, 210, 60, 270, false)) << "the old minute hand is gone";
    for (QPoint arrow : {QPoint(250, 950), QPoint(650, 950), QPoint(250, 1430), QPoint(650, 1430)})
        EXPECT_EQ(after.pixelColor(pixelAt(arrow)), QColor(Qt::blue)) << "arrow " << arrow.y();

    open(hm(13, 45), QStringLiteral("24h"));
    expectReadoutDrawn();
}

TEST_F(TimePickerTest, DisplayShowsAndFocusesAndEnterEscapeOrLeavingHideWithoutAnEvent)
{
    Drawing::expectEnterEscapeAndLeavingClose(*this, [&] { open(hm(8, 0)); });
    EXPECT_TRUE(changes.empty());
    EXPECT_EQ(text(picker.Time()), "08:00");
}

} // namespace
