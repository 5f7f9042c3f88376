// The drop-down time picker: which presses and keys move the time by how much, what the clock
// face and the read-out show, and how the picker closes.
#include "ClassTimeDD.h"
#include "PictureBox.h"
#include "Screenshots.h"

#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace {

TimeOfDay hm(int hour, int minute)
{
    return TimeOfDay::fromHourMinute(hour, minute);
}

std::string text(TimeOfDay time)
{
    return QStringLiteral("%1:%2")
        .arg(time.hour(), 2, 10, QLatin1Char('0'))
        .arg(time.minute(), 2, 10, QLatin1Char('0'))
        .toStdString();
}

QPoint pixelAt(int xTwips, int yTwips)
{
    return {PictureBox::toPixels(xTwips), PictureBox::toPixels(yTwips)};
}

bool isInk(const QColor& c)
{
    return c.red() < 110 && c.green() < 110 && c.blue() < 110;
}

bool isRed(const QColor& c)
{
    return c.red() > 180 && c.green() < 110 && c.blue() < 110;
}

// Lines are not antialiased, so a computed point may sit one pixel beside the drawn one.
bool anyNear(const QImage& image, int xTwips, int yTwips, const std::function<bool(QColor)>& test)
{
    const QPoint centre = pixelAt(xTwips, yTwips);
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy)
            if (test(image.pixelColor(centre + QPoint(dx, dy))))
                return true;
    return false;
}

QPoint onFace(double degrees, int radius)
{
    const double angle = degrees / 180 * M_PI;
    return {450 + int(std::lround(radius * std::cos(angle))),
            450 + int(std::lround(radius * std::sin(angle)))};
}

// Whether a hand is drawn along the whole stretch from..to at the angle.
bool handAlong(const QImage& image, double degrees, int from, int to)
{
    for (int radius = from; radius <= to; radius += 15) {
        const QPoint p = onFace(degrees, radius);
        if (!anyNear(image, p.x(), p.y(), isInk))
            return false;
    }
    return true;
}

bool nothingAlong(const QImage& image, double degrees, int from, int to)
{
    for (int radius = from; radius <= to; radius += 15) {
        const QPoint p = onFace(degrees, radius);
        if (anyNear(image, p.x(), p.y(), isInk))
            return false;
    }
    return true;
}

class TimePickerTest : public ::testing::Test {
public:
    void SetUp() override
    {
        host.resize(300, 200);
        picture = new PictureBox(&host);
        elsewhere = new QLineEdit(&host);
        elsewhere->move(150, 0);
        picker.Bind(picture);
        QObject::connect(&picker, &ClassTimeDD::TimeChanged,
                         [this](TimeOfDay time) { changes.push_back(time); });
        host.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&host));
    }

    void open(TimeOfDay time, const QString& format = QStringLiteral("12h"))
    {
        picker.setTime(time);
        picker.setTimeFormat(format);
        picker.Display();
    }

    void pressAt(int xTwips, int yTwips, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mousePress(picture, button, Qt::NoModifier, pixelAt(xTwips, yTwips));
        QTest::mouseRelease(picture, button, Qt::NoModifier, pixelAt(xTwips, yTwips));
    }

    QImage drawn() const { return picture->image(); }

    // The read-out text as the picker would print it, drawn alone on a blank picture.
    QImage printedAlone(int centreX, int top, const QString& text) const
    {
        PictureBox reference;
        reference.resizeTwips(ClassTimeDD::kWidth, ClassTimeDD::kHeight);
        reference.setDrawFont(picture->drawFont());
        reference.setFontBold(true);
        reference.Cls();
        reference.Print(centreX - reference.TextWidth(text) / 2, top, text);
        return reference.image();
    }

    QWidget host;
    PictureBox* picture = nullptr;
    QLineEdit* elsewhere = nullptr;
    ClassTimeDD picker{QTime(10, 5)};
    std::vector<TimeOfDay> changes;
};

// Digits between the arrow heads, and the am/pm line below them.
const QRect kHourDigits(pixelAt(120, 1095), pixelAt(360, 1350));
const QRect kMinuteDigits(pixelAt(540, 1095), pixelAt(780, 1350));
const QRect kDayHalf(pixelAt(120, 1440), pixelAt(780, 1680));

TEST(TimePickerDefaults, StartsAtTheCurrentMinuteWithQuarterHourSteps)
{
    ClassTimeDD picker(QTime(14, 37, 52));
    EXPECT_EQ(text(picker.Time()), "14:37");
    EXPECT_EQ(picker.Interval(), 15);
    EXPECT_EQ(picker.TimeFormat(), QStringLiteral("12h"));
}

TEST_F(TimePickerTest, BindHidesAWhitePictureAndDisplayShowsItFocusedAtItsSize)
{
    EXPECT_FALSE(picture->isVisible());
    EXPECT_EQ(picture->BackColor(), QColor(Qt::white));
    open(hm(9, 0));
    EXPECT_TRUE(picture->isVisible());
    EXPECT_TRUE(picture->hasFocus());
    EXPECT_EQ(picture->ScaleWidth(), 945);
    EXPECT_EQ(picture->ScaleHeight(), 1695);
    EXPECT_TRUE(changes.empty()) << "opening is not a change";
}

struct ChangeRow {
    const char* name;
    std::function<void(TimePickerTest&)> act;
    const char* expected;
};

void PrintTo(const ChangeRow& row, std::ostream* out)
{
    *out << row.name;
}

// Starting at 10:05 with 15-minute steps; minute steps do not snap to the grid.
const std::vector<ChangeRow> kChangeTable = {
    {"PressOverHourUpArrow", [](TimePickerTest& t) { t.pressAt(240, 975); }, "11:05"},
    {"PressUnderHourDigits", [](TimePickerTest& t) { t.pressAt(240, 1380); }, "09:05"},
    {"PressOverMinuteUpArrow", [](TimePickerTest& t) { t.pressAt(660, 975); }, "10:20"},
    {"PressUnderMinuteDigits", [](TimePickerTest& t) { t.pressAt(660, 1380); }, "09:50"},
    {"KeyRight", [](TimePickerTest& t) { QTest::keyClick(t.picture, Qt::Key_Right); }, "10:20"},
    {"KeyLeft", [](TimePickerTest& t) { QTest::keyClick(t.picture, Qt::Key_Left); }, "09:50"},
    {"Star", [](TimePickerTest& t) { QTest::keyClick(t.picture, '*'); }, "11:05"},
    {"Underscore", [](TimePickerTest& t) { QTest::keyClick(t.picture, '_'); }, "09:05"},
    {"Plus", [](TimePickerTest& t) { QTest::keyClick(t.picture, '+'); }, "10:20"},
    {"Minus", [](TimePickerTest& t) { QTest::keyClick(t.picture, '-'); }, "09:50"},
};

class TimePickerChanges : public TimePickerTest, public ::testing::WithParamInterface<ChangeRow> {};

TEST_P(TimePickerChanges, MoveTheTimeAndReportItOnce)
{
    open(hm(10, 5));
    GetParam().act(*this);
    EXPECT_EQ(text(picker.Time()), GetParam().expected);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(text(changes[0]), GetParam().expected);
    EXPECT_TRUE(picture->isVisible()) << "the picker stays open while the user steps";
}

INSTANTIATE_TEST_SUITE_P(EveryInput, TimePickerChanges, ::testing::ValuesIn(kChangeTable),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(TimePickerTest, AnyMouseButtonSteps)
{
    open(hm(10, 5));
    pressAt(240, 975, Qt::RightButton);
    pressAt(660, 975, Qt::MiddleButton);
    EXPECT_EQ(text(picker.Time()), "11:20");
    EXPECT_EQ(changes.size(), 2u);
}

TEST_F(TimePickerTest, PressesOnTheBoundsOrOutsideTheArrowsDoNothing)
{
    open(hm(10, 5));
    const std::vector<QPoint> outside = {
        {375, 975},  {105, 975},  {240, 855},  {240, 1095}, // hour-up bounds
        {240, 1275}, {240, 1500}, {525, 1380}, {795, 1380}, // earlier bounds
        {450, 975},  {450, 1200}, {450, 450},  {900, 1600}, // between, read-out, face, corner
    };
    for (const QPoint& p : outside)
        pressAt(p.x(), p.y());
    EXPECT_EQ(text(picker.Time()), "10:05");
    EXPECT_TRUE(changes.empty());
    pressAt(360, 1080); // just inside
    EXPECT_EQ(text(picker.Time()), "11:05");
}

TEST_F(TimePickerTest, UpDownAndOtherKeysDoNothing)
{
    open(hm(10, 5));
    QTest::keyClick(picture, Qt::Key_Up);
    QTest::keyClick(picture, Qt::Key_Down);
    QTest::keyClick(picture, 'a');
    QTest::keyClick(picture, '=');
    EXPECT_EQ(text(picker.Time()), "10:05");
    EXPECT_TRUE(changes.empty());
    EXPECT_TRUE(picture->isVisible());
}

TEST_F(TimePickerTest, MinuteStepsFollowTheInterval)
{
    picker.setInterval(30);
    open(hm(10, 5));
    QTest::keyClick(picture, '+');
    EXPECT_EQ(text(picker.Time()), "10:35");
    pressAt(660, 1380);
    pressAt(660, 1380);
    EXPECT_EQ(text(picker.Time()), "09:35");
}

TEST_F(TimePickerTest, StepsWrapAroundMidnight)
{
    open(hm(23, 30));
    QTest::keyClick(picture, '*');
    EXPECT_EQ(text(picker.Time()), "00:30");
    picker.setTime(hm(0, 10));
    QTest::keyClick(picture, '-');
    EXPECT_EQ(text(picker.Time()), "23:55");
    picker.setTime(hm(23, 50));
    QTest::keyClick(picture, Qt::Key_Right);
    EXPECT_EQ(text(picker.Time()), "00:05");
    picker.setTime(TimeOfDay::fromMinutes(TimeOfDay::kEndOfDay)); // 24:00, the end of a day
    QTest::keyClick(picture, '_');
    EXPECT_EQ(text(picker.Time()), "23:00");
    ASSERT_EQ(changes.size(), 4u);
    EXPECT_EQ(text(changes[0]), "00:30");
    EXPECT_EQ(text(changes[3]), "23:00");
}

TEST(ClockReadoutTest, TwelveHourDigitsKeepMidnightAsZeroAndNoonAsTwelve)
{
    const auto twelve = [](int h, int m) { return clockReadout(hm(h, m), QStringLiteral("12h")); };
    EXPECT_EQ(twelve(13, 45).hours, QStringLiteral("01"));
    EXPECT_EQ(twelve(13, 45).minutes, QStringLiteral("45"));
    EXPECT_EQ(twelve(13, 45).dayHalf, QStringLiteral("pm"));
    EXPECT_EQ(twelve(12, 0).hours, QStringLiteral("12"));
    EXPECT_EQ(twelve(12, 0).dayHalf, QStringLiteral("pm"));
    EXPECT_EQ(twelve(0, 15).hours, QStringLiteral("00"));
    EXPECT_EQ(twelve(0, 15).dayHalf, QStringLiteral("am"));
    EXPECT_EQ(twelve(11, 59).dayHalf, QStringLiteral("am"));
    EXPECT_EQ(twelve(23, 5).hours, QStringLiteral("11"));
}

TEST(ClockReadoutTest, OtherFormatsShowTwentyFourHourDigitsWithoutDayHalf)
{
    const ClockReadout readout = clockReadout(hm(13, 45), QStringLiteral("24h"));
    EXPECT_EQ(readout.hours, QStringLiteral("13"));
    EXPECT_EQ(readout.minutes, QStringLiteral("45"));
    EXPECT_TRUE(readout.dayHalf.isEmpty());
    EXPECT_EQ(clockReadout(hm(7, 3), QStringLiteral("")).hours, QStringLiteral("07"));
}

TEST_F(TimePickerTest, TwelveHourReadoutIsDrawnUnderTheArrows)
{
    open(hm(13, 45));
    Screenshots::save(picture, QStringLiteral("timepicker_12h"));
    EXPECT_EQ(drawn().copy(kHourDigits), printedAlone(250, 1100, "01").copy(kHourDigits));
    EXPECT_EQ(drawn().copy(kMinuteDigits), printedAlone(650, 1100, "45").copy(kMinuteDigits));
    EXPECT_EQ(drawn().copy(kDayHalf), printedAlone(450, 1450, "pm").copy(kDayHalf));
    EXPECT_NE(drawn().copy(kHourDigits), printedAlone(250, 1100, "13").copy(kHourDigits));
}

TEST_F(TimePickerTest, ReadoutFollowsEveryStep)
{
    open(hm(11, 45));
    QTest::keyClick(picture, '*');
    EXPECT_EQ(drawn().copy(kHourDigits), printedAlone(250, 1100, "12").copy(kHourDigits));
    EXPECT_EQ(drawn().copy(kDayHalf), printedAlone(450, 1450, "pm").copy(kDayHalf));
    picker.setTime(hm(0, 0));
    QTest::keyClick(picture, '+');
    EXPECT_EQ(drawn().copy(kHourDigits), printedAlone(250, 1100, "00").copy(kHourDigits));
    EXPECT_EQ(drawn().copy(kMinuteDigits), printedAlone(650, 1100, "15").copy(kMinuteDigits));
    EXPECT_EQ(drawn().copy(kDayHalf), printedAlone(450, 1450, "am").copy(kDayHalf));
}

TEST_F(TimePickerTest, TwentyFourHourReadoutHasNoDayHalf)
{
    open(hm(13, 45), QStringLiteral("24h"));
    Screenshots::save(picture, QStringLiteral("timepicker_24h"));
    EXPECT_EQ(drawn().copy(kHourDigits), printedAlone(250, 1100, "13").copy(kHourDigits));
    const QImage dayHalf = drawn().copy(kDayHalf);
    for (int x = 0; x < dayHalf.width(); ++x)
        for (int y = 0; y < dayHalf.height(); ++y)
            ASSERT_EQ(dayHalf.pixelColor(x, y), QColor(Qt::white)) << x << "," << y;
}

TEST_F(TimePickerTest, HandsPointAtTheHourAndMinute)
{
    open(hm(3, 0));
    EXPECT_TRUE(handAlong(drawn(), 0, 60, 195)) << "hour hand towards three o'clock";
    EXPECT_TRUE(handAlong(drawn(), -90, 60, 270)) << "minute hand towards twelve";
    EXPECT_TRUE(nothingAlong(drawn(), 90, 60, 270));
    EXPECT_TRUE(nothingAlong(drawn(), 180, 60, 270));
    EXPECT_TRUE(nothingAlong(drawn(), -90, 300, 300)) << "the minute hand ends at radius 270";
}

TEST_F(TimePickerTest, HourHandStaysOnTheWholeHourAndTurnsPastNoon)
{
    open(hm(14, 50));
    EXPECT_TRUE(handAlong(drawn(), -30, 60, 195)) << "two o'clock, not creeping towards three";
    EXPECT_TRUE(nothingAlong(drawn(), -5, 150, 195));
    EXPECT_TRUE(handAlong(drawn(), 210, 60, 270)) << "fifty minutes";
    EXPECT_TRUE(nothingAlong(drawn(), 90, 60, 270));
}

TEST_F(TimePickerTest, HandsMoveWithAStep)
{
    open(hm(3, 0));
    QTest::keyClick(picture, '*');
    QTest::keyClick(picture, '+');
    EXPECT_TRUE(handAlong(drawn(), 30, 60, 195)) << "four o'clock";
    EXPECT_TRUE(handAlong(drawn(), 0, 60, 270)) << "a quarter past";
    EXPECT_TRUE(nothingAlong(drawn(), -90, 60, 270)) << "the old minute hand is gone";
}

TEST_F(TimePickerTest, FaceHasRedTicksInABlackRing)
{
    open(hm(3, 0));
    for (int degrees = 0; degrees < 360; degrees += 30) {
        const QPoint tick = onFace(degrees, 320);
        EXPECT_TRUE(anyNear(drawn(), tick.x(), tick.y(), isRed)) << degrees;
        const QPoint between = onFace(degrees + 15, 320);
        EXPECT_FALSE(anyNear(drawn(), between.x(), between.y(), isRed)) << degrees + 15;
    }
    const QPoint ring = onFace(45, 350);
    EXPECT_TRUE(anyNear(drawn(), ring.x(), ring.y(), isInk));
}

TEST_F(TimePickerTest, ArrowHeadsAreBlueAndPointAwayFromTheDigits)
{
    open(hm(3, 0));
    const QColor blue(0, 0, 255);
    for (int x : {250, 650}) {
        EXPECT_EQ(drawn().pixelColor(pixelAt(x, 950)), blue) << "up apex " << x;
        EXPECT_EQ(drawn().pixelColor(pixelAt(x - 60, 1010)), blue) << "up base " << x;
        EXPECT_NE(drawn().pixelColor(pixelAt(x - 60, 950)), blue) << "narrow at the top";
        EXPECT_EQ(drawn().pixelColor(pixelAt(x, 1430)), blue) << "down apex " << x;
        EXPECT_EQ(drawn().pixelColor(pixelAt(x + 60, 1370)), blue) << "down base " << x;
        EXPECT_NE(drawn().pixelColor(pixelAt(x + 60, 1430)), blue) << "narrow at the bottom";
    }
}

TEST_F(TimePickerTest, EnterAndEscapeHideWithoutAnEvent)
{
    open(hm(10, 5));
    QTest::keyClick(picture, '+');
    changes.clear();
    QTest::keyClick(picture, Qt::Key_Return);
    EXPECT_FALSE(picture->isVisible());
    open(hm(8, 0));
    QTest::keyClick(picture, Qt::Key_Escape);
    EXPECT_FALSE(picture->isVisible());
    EXPECT_TRUE(changes.empty());
    EXPECT_EQ(text(picker.Time()), "08:00");
}

TEST_F(TimePickerTest, LosingTheFocusHidesWithoutAnEvent)
{
    open(hm(10, 5));
    ASSERT_TRUE(picture->hasFocus());
    elsewhere->setFocus();
    EXPECT_FALSE(picture->isVisible());
    EXPECT_TRUE(changes.empty());
    EXPECT_EQ(text(picker.Time()), "10:05");
}

} // namespace
