// The drop-down time picker: which presses and keys move the time by how much, the read-out
// model, the hands and read-out as drawn, and how the picker closes.
#include "edit/ClassTimeDD.h"
#include "Drawing.h"
#include "ui/PictureBox.h"

#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

using Drawing::pixelAt;

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
        TimeOfDay start;
        int interval;
        QPoint press; // twips
        int key;
        const char* expected;
        Qt::MouseButton button = Qt::LeftButton;
    } rows[] = {
        // clang-format off
        {hm(10, 5), 15, {240, 975}, 0, "11:05"}, // over the hour's upper arrow
        {hm(10, 5), 15, {240, 1380}, 0, "09:05"}, {hm(10, 5), 15, {660, 975}, 0, "10:20"},
        {hm(10, 5), 15, {660, 1380}, 0, "09:50"},
        {hm(10, 5), 15, {360, 1080}, 0, "11:05"}, // just inside the corner
        {hm(10, 5), 15, {240, 975}, 0, "11:05", Qt::RightButton},
        {hm(10, 5), 15, {660, 975}, 0, "10:20", Qt::MiddleButton},
        {hm(10, 5), 15, {}, Qt::Key_Right, "10:20"}, {hm(10, 5), 15, {}, Qt::Key_Left, "09:50"},
        {hm(10, 5), 15, {}, '*', "11:05"}, {hm(10, 5), 15, {}, '_', "09:05"},
        {hm(10, 5), 15, {}, '+', "10:20"}, {hm(10, 5), 15, {}, '-', "09:50"},
        {hm(10, 5), 30, {}, '+', "10:35"}, {hm(10, 5), 30, {660, 1380}, 0, "09:35"},
        {hm(23, 30), 15, {}, '*', "00:30"}, {hm(0, 10), 15, {}, '-', "23:55"},
        {hm(23, 50), 15, {}, Qt::Key_Right, "00:05"}, {hm(24, 0), 15, {}, '_', "23:00"},
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
}

TEST_F(TimePickerTest, PressesOnTheBoundsOrBesideTheArrowsAndOtherKeysDoNothing)
{
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
