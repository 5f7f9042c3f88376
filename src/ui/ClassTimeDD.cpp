#include "ui/ClassTimeDD.h"

#include "calendar/Formats.h"
#include "ui/PictureBox.h"
#include "ui/ScreenColors.h"

#include <array>
#include <cmath>

namespace {

// Geometry of the picture in twips; drawing and hit-testing both read it from here.
constexpr int kCentreX = 450;
constexpr int kCentreY = 450;
constexpr int kFaceRadius = 350;
constexpr int kTickInnerRadius = 290;
constexpr int kMinuteHandLength = 270;
constexpr int kHourHandLength = 200;
constexpr int kHubRadius = 25;
constexpr int kDigitsTop = 1100;
constexpr int kHoursX = 250;
constexpr int kColonX = 450;
constexpr int kMinutesX = 650;
constexpr int kDayHalfTop = 1450;
constexpr int kArrowRows = 5;

const QColor kTickColour(255, 0, 0);
const QColor kArrowColour(0, 0, 255);

// The clock's colours on the desktop's paper.
QColor ink(const PictureBox* picture)
{
    return ScreenColors::of(picture).ink();
}
QColor onPaper(const PictureBox* picture, const QColor& light)
{
    const ScreenColors colors = ScreenColors::of(picture);
    return colors.legible(light, colors.paper());
}

using Step = ClassTimeDD::Step;

// One arrow head and the area around it that reacts to a press (all bounds exclusive).
struct StepButton {
    int left;
    int top;
    int right;
    int bottom;
    int apexX;
    int apexY;
    bool pointsUp;
    Step step;

    bool contains(int x, int y) const { return x > left && x < right && y > top && y < bottom; }
};

constexpr std::array<StepButton, 4> kStepButtons{{
    {105, 855, 375, 1095, kHoursX, 950, true, Step::HourLater},
    {105, 1275, 375, 1500, kHoursX, 1430, false, Step::HourEarlier},
    {525, 855, 795, 1095, kMinutesX, 950, true, Step::IntervalLater},
    {525, 1275, 795, 1500, kMinutesX, 1430, false, Step::IntervalEarlier},
}};

double DegToRad(double degrees)
{
    return degrees / 180 * 3.1415927;
}

// The point at radius and angle from the clock centre (0 degrees = three o'clock, clockwise).
QPoint onFace(double degrees, int radius)
{
    const double angle = DegToRad(degrees);
    return {kCentreX + int(std::lround(radius * std::cos(angle))),
            kCentreY + int(std::lround(radius * std::sin(angle)))};
}

int hourOf(TimeOfDay time)
{
    return time.hour() % 24;
}

} // namespace

ClockReadout clockReadout(TimeOfDay time, const QString& timeFormat)
{
    const int h = hourOf(time);
    ClockReadout readout;
    readout.minutes = TwoDigits(time.minute());
    if (IsTwentyFourHours(timeFormat)) {
        readout.hours = TwoDigits(h);
    } else {
        const TwelveHour twelve = TwelveHourClock(h);
        readout.hours = TwoDigits(twelve.hour);
        readout.dayHalf = twelve.dayHalf;
    }
    return readout;
}

ClassTimeDD::ClassTimeDD(QObject* parent)
    : ClassTimeDD(QTime::currentTime(), parent)
{
}

ClassTimeDD::ClassTimeDD(QTime now, QObject* parent)
    : QObject(parent)
{
    if (now.isValid())
        m_time = TimeOfDay::fromHourMinute(now.hour(), now.minute());
}

ClassTimeDD::~ClassTimeDD()
{
    PictureBox::handOver(my_pic, nullptr, this, {});
}

void ClassTimeDD::Bind(PictureBox* picture)
{
    my_pic = PictureBox::handOver(my_pic, picture, this, [this] { return describe(); });
    if (!my_pic)
        return;
    my_pic->setBackColor(ScreenColors::of(my_pic).paper());
    my_pic->hide();
    connect(my_pic, &PictureBox::KeyDown, this, &ClassTimeDD::my_pic_KeyDown);
    connect(my_pic, &PictureBox::KeyPress, this, &ClassTimeDD::my_pic_KeyPress);
    connect(my_pic, &PictureBox::LostFocus, this, &ClassTimeDD::my_pic_LostFocus);
    connect(my_pic, &PictureBox::MouseDown, this, &ClassTimeDD::my_pic_MouseDown);
}

void ClassTimeDD::Display()
{
    if (!my_pic)
        return;
    my_pic->resizeTwips(kWidth, kHeight);
    DrawClock();
    my_pic->show();
    my_pic->setFocus();
}

void ClassTimeDD::DrawClock()
{
    if (!my_pic)
        return;
    my_pic->FillBox(0, 0, my_pic->ScaleWidth(), my_pic->ScaleHeight(),
                    ScreenColors::of(my_pic).paper());
    drawFace();
    drawHands(hourOf(m_time), m_time.minute());
    drawReadout();
    drawStepArrows();
    my_pic->accessibleContentChanged();
}

AccessibleItem ClassTimeDD::describe() const
{
    AccessibleItem clock;
    clock.role = QAccessible::SpinBox;
    clock.value = FormatTime(m_time, m_timeFormat);
    clock.description =
        tr("Right and Left: %1 minutes later or earlier; * and _: an hour later or earlier")
            .arg(m_interval);
    return clock;
}

void ClassTimeDD::drawFace()
{
    my_pic->Circle(kCentreX, kCentreY, kFaceRadius, ink(my_pic));
    const QColor tick = onPaper(my_pic, kTickColour);
    for (int degrees = 0; degrees <= 360; degrees += 30) {
        const QPoint inner = onFace(degrees, kTickInnerRadius);
        const QPoint outer = onFace(degrees, kFaceRadius);
        my_pic->Line(inner.x(), inner.y(), outer.x(), outer.y(), tick);
    }
}

void ClassTimeDD::drawHands(int hour, int minute)
{
    const QColor hand = ink(my_pic);
    const QPoint minuteTip = onFace(minute / 60.0 * 360 - 90, kMinuteHandLength);
    my_pic->Line(kCentreX, kCentreY, minuteTip.x(), minuteTip.y(), hand, 1);
    // Whole hours only: the hour hand does not creep with the minutes.
    const QPoint hourTip = onFace(hour / 12.0 * 360 - 90, kHourHandLength);
    my_pic->Line(kCentreX, kCentreY, hourTip.x(), hourTip.y(), hand, 2);
    my_pic->Circle(kCentreX, kCentreY, kHubRadius, hand, 2);
}

void ClassTimeDD::drawReadout()
{
    const ClockReadout readout = clockReadout(m_time, m_timeFormat);
    const bool wasBold = my_pic->FontBold();
    my_pic->setFontBold(true);
    my_pic->setForeColor(ink(my_pic));
    const auto printCentred = [this](int x, int top, const QString& text) {
        my_pic->Print(x - my_pic->TextWidth(text) / 2, top, text);
    };
    printCentred(kHoursX, kDigitsTop, readout.hours);
    printCentred(kColonX, kDigitsTop, QStringLiteral(":"));
    printCentred(kMinutesX, kDigitsTop, readout.minutes);
    if (!readout.dayHalf.isEmpty())
        printCentred(kColonX, kDayHalfTop, readout.dayHalf);
    my_pic->setFontBold(wasBold);
}

void ClassTimeDD::drawStepArrows()
{
    // Each head is a stack of lines one pixel apart, one pixel wider on each side per row.
    constexpr int pixel = PictureBox::kTwipsPerPixel;
    const QColor arrow = onPaper(my_pic, kArrowColour);
    for (const StepButton& button : kStepButtons) {
        for (int row = 0; row < kArrowRows; ++row) {
            const int y = button.apexY + (button.pointsUp ? row : -row) * pixel;
            my_pic->Line(button.apexX - row * pixel, y, button.apexX + row * pixel, y, arrow);
        }
    }
}

int ClassTimeDD::minutesOf(Step step) const
{
    switch (step) {
    case Step::HourLater:
        return 60;
    case Step::HourEarlier:
        return -60;
    case Step::IntervalLater:
        return m_interval;
    case Step::IntervalEarlier:
        return -m_interval;
    }
    return 0;
}

void ClassTimeDD::stepBy(Step step)
{
    // The clock shows only the time of day, so steps wrap around midnight.
    int total = (m_time.minutes() + minutesOf(step)) % TimeOfDay::kEndOfDay;
    if (total < 0)
        total += TimeOfDay::kEndOfDay;
    m_time = TimeOfDay::fromMinutes(total);
    emit TimeChanged(m_time);
    DrawClock();
}

void ClassTimeDD::hide()
{
    if (my_pic)
        my_pic->hide();
}

void ClassTimeDD::my_pic_KeyDown(int key, Qt::KeyboardModifiers)
{
    if (key == Qt::Key_Right)
        stepBy(Step::IntervalLater);
    else if (key == Qt::Key_Left)
        stepBy(Step::IntervalEarlier);
}

void ClassTimeDD::my_pic_KeyPress(QChar character)
{
    switch (character.unicode()) {
    case '*':
        stepBy(Step::HourLater);
        break;
    case '_':
        stepBy(Step::HourEarlier);
        break;
    case '+':
        stepBy(Step::IntervalLater);
        break;
    case '-':
        stepBy(Step::IntervalEarlier);
        break;
    case '\r':
    case 27:
        hide();
        break;
    default:
        break;
    }
}

void ClassTimeDD::my_pic_LostFocus()
{
    hide();
}

void ClassTimeDD::my_pic_MouseDown(Qt::MouseButton, Qt::KeyboardModifiers, int x, int y)
{
    for (const StepButton& button : kStepButtons) {
        if (button.contains(x, y)) {
            stepBy(button.step);
            return;
        }
    }
}
