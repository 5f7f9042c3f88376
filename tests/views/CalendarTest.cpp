#include "Calendar.h"
#include "Common.h"
#include "PictureBox.h"
#include "Screenshots.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <set>

namespace {

constexpr int kSunday = 1;
constexpr int kMonday = 2;
constexpr int kRuleJanuaryFirst = 1;
constexpr int kRuleFourDays = 2;
constexpr int kRuleFullWeek = 3;

const QColor kDarkBlue(0, 0, 192);
const QColor kGrey(238, 238, 238);
const QColor kWhite(255, 255, 255);

// Weekday with Sunday = 1, independent of the code under test.
int sundayBased(const QDate& date)
{
    return date.dayOfWeek() % 7 + 1;
}

// Week 1 straight from the three definitions, given the week's first day. Exactly one week
// holds four or more of the days 1 to 7 January, and it is the first with four new-year days.
bool isWeekOne(const QDate& weekStart, int rule)
{
    int firstJanuaryDays = 0;
    bool holdsNewYear = false;
    for (int i = 0; i < 7; ++i) {
        const QDate day = weekStart.addDays(i);
        if (day.month() == 1 && day.day() <= 7)
            ++firstJanuaryDays;
        holdsNewYear = holdsNewYear || (day.month() == 1 && day.day() == 1);
    }
    const bool startsInFirstJanuaryDays = weekStart.month() == 1 && weekStart.day() <= 7;
    switch (rule) {
    case kRuleJanuaryFirst:
        return holdsNewYear;
    case kRuleFourDays:
        return firstJanuaryDays >= 4;
    default:
        return startsInFirstJanuaryDays;
    }
}

// Text is antialiased, so its colour shows only in the well-covered pixels.
bool isWhitish(QRgb p)
{
    return qRed(p) >= 170 && qGreen(p) >= 170 && qBlue(p) >= 170;
}
bool isDarkBlueInk(QRgb p)
{
    return qRed(p) < 110 && qGreen(p) < 110 && qBlue(p) >= 150;
}
bool isRedInk(QRgb p)
{
    return qRed(p) >= 150 && qGreen(p) < 100;
}
bool isBlackInk(QRgb p)
{
    return qRed(p) < 80 && qGreen(p) < 80 && qBlue(p) < 80;
}

int colourDistance(QRgb a, const QColor& b)
{
    return std::abs(qRed(a) - b.red()) + std::abs(qGreen(a) - b.green()) +
           std::abs(qBlue(a) - b.blue());
}

} // namespace

// ---------------------------------------------------------------------------------------
// Week numbers

TEST(WeekNumberTest, FourDayRuleWithMondayStartIsTheIsoWeek)
{
    for (QDate day(1900, 1, 1); day <= QDate(2200, 12, 31); day = day.addDays(1))
        ASSERT_EQ(WeekNumber(day, kMonday, kRuleFourDays), day.weekNumber())
            << day.toString().toStdString();
}

TEST(WeekNumberTest, EveryRuleAndFirstDayFollowsTheDefinition)
{
    // A week is 1 exactly when it meets its rule; otherwise it counts on from the week before.
    for (int firstday = 1; firstday <= 7; ++firstday) {
        for (int rule = 1; rule <= 3; ++rule) {
            QDate start(1950, 1, 1);
            while (sundayBased(start) != firstday)
                start = start.addDays(1);
            int previous = WeekNumber(start, firstday, rule);
            for (QDate week = start.addDays(7); week.year() < 2060; week = week.addDays(7)) {
                const int number = WeekNumber(week, firstday, rule);
                const int expected = isWeekOne(week, rule) ? 1 : previous + 1;
                ASSERT_EQ(number, expected) << week.toString().toStdString() << " firstday "
                                            << firstday << " rule " << rule;
                ASSERT_LE(number, 53);
                for (int i = 1; i < 7; ++i)
                    ASSERT_EQ(WeekNumber(week.addDays(i), firstday, rule), number)
                        << week.addDays(i).toString().toStdString();
                previous = number;
            }
        }
    }
}

TEST(WeekNumberTest, JanuaryFirstRuleGivesLateDecemberTheNewWeekOne)
{
    // 1 January 2004 is a Thursday.
    EXPECT_EQ(WeekNumber(QDate(2003, 12, 28), kMonday, kRuleJanuaryFirst), 52);
    EXPECT_EQ(WeekNumber(QDate(2003, 12, 29), kMonday, kRuleJanuaryFirst), 1);
    EXPECT_EQ(WeekNumber(QDate(2003, 12, 28), kSunday, kRuleJanuaryFirst), 1);
    // 1 January 2005 is a Saturday: its week is week 1 under this rule only.
    EXPECT_EQ(WeekNumber(QDate(2005, 1, 1), kMonday, kRuleJanuaryFirst), 1);
    EXPECT_EQ(WeekNumber(QDate(2005, 1, 1), kMonday, kRuleFourDays), 53);
    EXPECT_EQ(WeekNumber(QDate(2006, 12, 31), kSunday, kRuleJanuaryFirst), 1);
}

TEST(WeekNumberTest, FullWeekRuleLeavesEarlyJanuaryInTheOldYear)
{
    EXPECT_EQ(WeekNumber(QDate(2004, 1, 1), kMonday, kRuleFullWeek), 52);
    EXPECT_EQ(WeekNumber(QDate(2004, 1, 4), kMonday, kRuleFullWeek), 52);
    EXPECT_EQ(WeekNumber(QDate(2004, 1, 5), kMonday, kRuleFullWeek), 1);
    EXPECT_EQ(WeekNumber(QDate(2004, 1, 3), kSunday, kRuleFullWeek), 52);
    EXPECT_EQ(WeekNumber(QDate(2004, 1, 4), kSunday, kRuleFullWeek), 1);
    EXPECT_EQ(WeekNumber(QDate(2005, 1, 1), kMonday, kRuleFullWeek), 52);
    // 2006 starts on a Sunday, so with Sunday weeks the year has 53 of them.
    EXPECT_EQ(WeekNumber(QDate(2007, 1, 1), kSunday, kRuleFullWeek), 53);
}

TEST(WeekNumberTest, MonthCasesOfTheCalendar)
{
    EXPECT_EQ(WeekNumber(QDate(2004, 8, 1), kMonday, kRuleFourDays), 31);
    EXPECT_EQ(WeekNumber(QDate(2004, 8, 1), kSunday, kRuleJanuaryFirst), 32);
    EXPECT_EQ(WeekNumber(QDate(2009, 2, 1), kSunday, kRuleJanuaryFirst), 6);
    EXPECT_EQ(WeekNumber(QDate(2003, 12, 29), kMonday, kRuleFourDays), 1);
    EXPECT_EQ(WeekNumber(QDate(2003, 12, 31), kMonday, kRuleFourDays), 1);
}

TEST(WeekNumberTest, BadInputsFallBackInsteadOfFailing)
{
    EXPECT_EQ(WeekNumber(QDate(), kMonday, kRuleFourDays), 0);
    // Unknown settings behave as Sunday weeks with the 1 January rule.
    EXPECT_EQ(WeekNumber(QDate(2003, 12, 28), 0, 9),
              WeekNumber(QDate(2003, 12, 28), kSunday, kRuleJanuaryFirst));
    EXPECT_EQ(WeekNumber(QDate(2003, 12, 28), 8, 0), 1);
}

// ---------------------------------------------------------------------------------------
// The drawn calendar

class CalendarTest : public ::testing::Test {
protected:
    // Cells of 25 x 18 pixels: (3030 - 30) / 8 = 375 and (1920 - 30) / 7 = 270 twips.
    static constexpr int kCellW = 375;
    static constexpr int kCellH = 270;
    static constexpr int kCellWPx = kCellW / 15;
    static constexpr int kCellHPx = kCellH / 15;

    void SetUp() override
    {
        picture.resizeTwips(3030, 1920);
        picture.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&picture));
        calendar.setClock([this] { return today; });
        calendar.Bind(&picture);
    }

    void show(int firstday, int rule, const QDate& month, const QDate& selected, bool week = false,
              const QString& lang = QStringLiteral("en"))
    {
        calendar.SetSettings(firstday, lang, rule);
        calendar.setIsWeekSelected(week);
        calendar.DisplayMonth(month, selected);
    }

    QPoint cellCentre(int column, int row) const
    {
        return {PictureBox::toPixels(column * kCellW + kCellW / 2),
                PictureBox::toPixels((row + 1) * kCellH + kCellH / 2)};
    }

    void clickAtTwips(int x, int y, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseClick(&picture, button, {},
                          QPoint(PictureBox::toPixels(x), PictureBox::toPixels(y)));
    }

    void clickCell(int column, int row, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseClick(&picture, button, {}, cellCentre(column, row));
    }

    // The pixels inside a cell, without the one-pixel gaps around it.
    QRect cellPixels(int column, int row) const
    {
        return QRect(column * kCellWPx + 1, (row + 1) * kCellHPx + 1, kCellWPx - 1, kCellHPx - 1);
    }

    // The part of a cell the selection fills (it leaves a second pixel free on the left).
    QRect selectionPixels(int column, int row) const
    {
        return cellPixels(column, row).adjusted(1, 0, 0, 0);
    }

    QRgb backgroundOf(int column, int row) const
    {
        const QRect cell = selectionPixels(column, row);
        return picture.image().pixel(cell.left() + 1, cell.center().y());
    }

    int countWhere(const QRect& area, const std::function<bool(QRgb)>& wanted) const
    {
        const QImage& image = picture.image();
        int count = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                if (wanted(image.pixel(x, y)))
                    ++count;
        return count;
    }

    // Pixels that differ clearly from the cell's own background: the printed number.
    int inkIn(int column, int row) const
    {
        const QRect area = selectionPixels(column, row);
        const QColor background = QColor::fromRgb(backgroundOf(column, row));
        return countWhere(area, [&](QRgb p) { return colourDistance(p, background) > 60; });
    }

    bool isSelectedLook(int column, int row) const
    {
        return QColor::fromRgb(backgroundOf(column, row)) == kDarkBlue &&
               countWhere(selectionPixels(column, row), isWhitish) > 0;
    }

    // Dark pixels of a header cell, for comparing letters with each other.
    QImage headerInk(int column) const
    {
        const QImage cell = picture.image()
                                .copy(column * kCellWPx, 0, kCellWPx, kCellHPx)
                                .convertToFormat(QImage::Format_Grayscale8);
        QImage mask(cell.size(), QImage::Format_Grayscale8);
        for (int y = 0; y < cell.height(); ++y)
            for (int x = 0; x < cell.width(); ++x)
                mask.setPixel(x, y, qGray(cell.pixel(x, y)) < 128 ? 0xff000000 : 0xffffffff);
        return mask;
    }

    QDate today{2000, 1, 1};
    PictureBox picture;
    Calendar calendar;
};

TEST_F(CalendarTest, AugustWithMondayStartNeedsSixRows)
{
    show(kMonday, kRuleFourDays, QDate(2004, 8, 1), QDate(2004, 8, 11));
    for (int column = 0; column < 6; ++column)
        EXPECT_EQ(calendar.MonthGrid(column, 0), 0);
    EXPECT_EQ(calendar.MonthGrid(6, 0), 1);
    EXPECT_EQ(calendar.MonthGrid(0, 1), 2);
    EXPECT_EQ(calendar.MonthGrid(0, 5), 30);
    EXPECT_EQ(calendar.MonthGrid(1, 5), 31);
    EXPECT_EQ(calendar.MonthGrid(2, 5), 0);
    for (int row = 0; row < 6; ++row)
        EXPECT_EQ(calendar.MonthGrid(7, row), 31 + row);
}

TEST_F(CalendarTest, AugustWithSundayStartNeedsFiveRows)
{
    show(kSunday, kRuleJanuaryFirst, QDate(2004, 8, 15), QDate(2004, 8, 11));
    EXPECT_EQ(calendar.ShowDate(), QDate(2004, 8, 1));
    EXPECT_EQ(calendar.MonthGrid(0, 0), 1);
    EXPECT_EQ(calendar.MonthGrid(2, 4), 31);
    EXPECT_EQ(calendar.MonthGrid(7, 0), 32);
    EXPECT_EQ(calendar.MonthGrid(7, 4), 36);
    for (int column = 0; column < 8; ++column)
        EXPECT_EQ(calendar.MonthGrid(column, 5), 0);
}

TEST_F(CalendarTest, FebruaryTwoThousandNineFillsExactlyFourRows)
{
    show(kSunday, kRuleJanuaryFirst, QDate(2009, 2, 1), QDate(2009, 2, 10));
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 7; ++column)
            EXPECT_EQ(calendar.MonthGrid(column, row), row * 7 + column + 1);
        EXPECT_EQ(calendar.MonthGrid(7, row), 6 + row);
    }
    for (int row = 4; row < 6; ++row)
        for (int column = 0; column < 8; ++column)
            EXPECT_EQ(calendar.MonthGrid(column, row), 0);
    // The empty rows show nothing, not even a week number.
    EXPECT_EQ(inkIn(7, 4), 0);
    EXPECT_EQ(inkIn(3, 5), 0);
    EXPECT_GT(inkIn(7, 3), 0);
}

TEST_F(CalendarTest, DecemberTwoThousandThreeEndsWithWeekOne)
{
    show(kMonday, kRuleFourDays, QDate(2003, 12, 1), QDate(2003, 12, 10));
    EXPECT_EQ(calendar.MonthGrid(7, 0), 49);
    EXPECT_EQ(calendar.MonthGrid(0, 4), 29);
    EXPECT_EQ(calendar.MonthGrid(2, 4), 31);
    EXPECT_EQ(calendar.MonthGrid(7, 4), 1);
    EXPECT_EQ(calendar.MonthGrid(7, 5), 0);
}

TEST_F(CalendarTest, ClickOnADaySelectsAndReportsIt)
{
    show(kMonday, kRuleFourDays, QDate(2004, 8, 1), QDate(2004, 8, 2));
    QSignalSpy days(&calendar, &Calendar::DayClicked);
    QSignalSpy weeks(&calendar, &Calendar::WeekClicked);
    QSignalSpy display(&calendar, &Calendar::Display);

    clickCell(2, 2); // Wednesday, 11 August
    ASSERT_EQ(days.count(), 1);
    EXPECT_EQ(days.at(0).at(0).toDate(), QDate(2004, 8, 11));
    EXPECT_EQ(weeks.count(), 0);
    ASSERT_EQ(display.count(), 1);
    EXPECT_EQ(display.at(0).at(0).toDate(), QDate(2004, 8, 1));
    EXPECT_EQ(calendar.SelectedDate(), QDate(2004, 8, 11));
    EXPECT_FALSE(calendar.IsWeekSelected());
    EXPECT_TRUE(isSelectedLook(2, 2));
    EXPECT_FALSE(isSelectedLook(0, 1)); // 2 August, selected before
}

TEST_F(CalendarTest, AnyMouseButtonSelects)
{
    show(kMonday, kRuleFourDays, QDate(2004, 8, 1), QDate(2004, 8, 2));
    QSignalSpy days(&calendar, &Calendar::DayClicked);
    clickCell(4, 3, Qt::RightButton);
    ASSERT_EQ(days.count(), 1);
    EXPECT_EQ(days.at(0).at(0).toDate(), QDate(2004, 8, 20));
}

TEST_F(CalendarTest, ClickOnWeekOneInDecemberSelectsItsMonday)
{
    show(kMonday, kRuleFourDays, QDate(2003, 12, 1), QDate(2003, 12, 10));
    QSignalSpy days(&calendar, &Calendar::DayClicked);
    QSignalSpy weeks(&calendar, &Calendar::WeekClicked);

    clickCell(7, 4);
    ASSERT_EQ(weeks.count(), 1);
    EXPECT_EQ(weeks.at(0).at(0).toDate(), QDate(2003, 12, 29));
    EXPECT_EQ(days.count(), 0);
    EXPECT_TRUE(calendar.IsWeekSelected());
    EXPECT_EQ(calendar.SelectedDate(), QDate(2003, 12, 29));
    EXPECT_TRUE(isSelectedLook(7, 4));
    EXPECT_TRUE(isSelectedLook(0, 4));
    EXPECT_TRUE(isSelectedLook(2, 4));
    EXPECT_FALSE(isSelectedLook(2, 1)); // 10 December, the day selected before
}

TEST_F(CalendarTest, WeekClickReachesBackIntoThePreviousMonth)
{
    show(kMonday, kRuleFourDays, QDate(2004, 9, 1), QDate(2004, 9, 15));
    QSignalSpy weeks(&calendar, &Calendar::WeekClicked);
    clickCell(7, 0); // week 36: Monday 30 August to Sunday 5 September
    ASSERT_EQ(weeks.count(), 1);
    EXPECT_EQ(weeks.at(0).at(0).toDate(), QDate(2004, 8, 30));
    EXPECT_EQ(calendar.ShowDate(), QDate(2004, 9, 1));
}

TEST_F(CalendarTest, ClicksBesideTheCellsDoNothing)
{
    show(kMonday, kRuleFourDays, QDate(2004, 8, 1), QDate(2004, 8, 11));
    const QImage before = picture.image();
    QSignalSpy days(&calendar, &Calendar::DayClicked);
    QSignalSpy weeks(&calendar, &Calendar::WeekClicked);
    QSignalSpy display(&calendar, &Calendar::Display);

    clickAtTwips(3 * kCellW + kCellW / 2, kCellH / 2);      // header letter
    clickAtTwips(7 * kCellW + kCellW / 2, kCellH / 2);      // week header
    clickAtTwips(2 * kCellW, 3 * kCellH + kCellH / 2);      // between two days
    clickAtTwips(2 * kCellW + 15, 3 * kCellH + kCellH / 2); // margin inside a day
    clickAtTwips(2 * kCellW + kCellW / 2, 3 * kCellH);      // between two rows
    clickAtTwips(7 * kCellW + 15, 2 * kCellH + kCellH / 2); // margin of a week number
    clickCell(0, 0);                                        // empty: July
    clickCell(5, 5);                                        // empty: September
    clickAtTwips(3 * kCellW + kCellW / 2, 1905);            // below the last row
    clickAtTwips(3015, 2 * kCellH + kCellH / 2);            // right of the weeks

    EXPECT_EQ(days.count(), 0);
    EXPECT_EQ(weeks.count(), 0);
    EXPECT_EQ(display.count(), 0);
    EXPECT_EQ(calendar.SelectedDate(), QDate(2004, 8, 11));
    EXPECT_EQ(picture.image(), before);
}

TEST_F(CalendarTest, EmptyRowHasNoClickableWeekNumber)
{
    show(kSunday, kRuleJanuaryFirst, QDate(2009, 2, 1), QDate(2009, 2, 10));
    QSignalSpy weeks(&calendar, &Calendar::WeekClicked);
    clickCell(7, 4);
    clickCell(7, 5);
    EXPECT_EQ(weeks.count(), 0);
    EXPECT_FALSE(calendar.IsWeekSelected());
}

TEST_F(CalendarTest, SelectedDayIsDarkBlueWithWhiteText)
{
    show(kMonday, kRuleFourDays, QDate(2004, 8, 1), QDate(2004, 8, 11));
    EXPECT_EQ(QColor::fromRgb(backgroundOf(2, 2)), kDarkBlue);
    EXPECT_GT(countWhere(selectionPixels(2, 2), isWhitish), 3);
    // Other days: dark blue text on white, weekends on grey.
    EXPECT_EQ(QColor::fromRgb(backgroundOf(1, 2)), kWhite);
    EXPECT_GT(countWhere(cellPixels(1, 2), isDarkBlueInk), 3);
    EXPECT_EQ(QColor::fromRgb(backgroundOf(5, 2)), kGrey);
    EXPECT_EQ(QColor::fromRgb(backgroundOf(6, 2)), kGrey);
    EXPECT_GT(countWhere(cellPixels(6, 2), isDarkBlueInk), 3);
    EXPECT_EQ(countWhere(cellPixels(1, 2), isRedInk), 0);
    Screenshots::save(&picture, QStringLiteral("calendar_day_selected"));
}

TEST_F(CalendarTest, TodayIsRedAlsoWhenSelected)
{
    today = QDate(2004, 8, 11);
    show(kMonday, kRuleFourDays, QDate(2004, 8, 1), QDate(2004, 8, 11));
    EXPECT_EQ(QColor::fromRgb(backgroundOf(2, 2)), kDarkBlue);
    EXPECT_GT(countWhere(selectionPixels(2, 2), isRedInk), 3);
    EXPECT_EQ(countWhere(selectionPixels(2, 2), isWhitish), 0);

    calendar.DisplayMonth(QDate(2004, 8, 1), QDate(2004, 8, 20));
    EXPECT_EQ(QColor::fromRgb(backgroundOf(2, 2)), kWhite);
    EXPECT_GT(countWhere(cellPixels(2, 2), isRedInk), 3);
    EXPECT_EQ(countWhere(cellPixels(2, 2), isDarkBlueInk), 0);
    Screenshots::save(&picture, QStringLiteral("calendar_today"));
}

TEST_F(CalendarTest, WeekendColumnsAreGreyFromTheHeaderDown)
{
    show(kSunday, kRuleJanuaryFirst, QDate(2004, 8, 1), QDate(2004, 8, 11));
    const QImage& image = picture.image();
    const int headerY = 4;
    EXPECT_EQ(QColor::fromRgb(image.pixel(1, headerY)), kGrey);                // Sunday
    EXPECT_EQ(QColor::fromRgb(image.pixel(6 * kCellWPx + 1, headerY)), kGrey); // Saturday
    EXPECT_EQ(QColor::fromRgb(image.pixel(3 * kCellWPx + 1, headerY)), kWhite);
    // Above the header text the picture stays white.
    EXPECT_EQ(QColor::fromRgb(image.pixel(1, 0)), kWhite);
    // The empty cells of the last row keep the column's colour.
    EXPECT_EQ(QColor::fromRgb(backgroundOf(0, 5)), kGrey);
    EXPECT_EQ(QColor::fromRgb(backgroundOf(3, 5)), kWhite);
}

TEST_F(CalendarTest, GridLinesAreLightGrey)
{
    show(kMonday, kRuleFourDays, QDate(2004, 8, 1), QDate(2004, 8, 11));
    const QImage& image = picture.image();
    const QColor line(192, 192, 192);
    EXPECT_EQ(QColor::fromRgb(image.pixel(3 * kCellWPx + 5, kCellHPx)), line);
    EXPECT_EQ(QColor::fromRgb(image.pixel(7 * kCellWPx, 3 * kCellHPx + 5)), line);
    EXPECT_EQ(QColor::fromRgb(image.pixel(7 * kCellWPx, 2)), line);
}

TEST_F(CalendarTest, HeaderShowsEnglishWeekdayLetters)
{
    show(kSunday, kRuleJanuaryFirst, QDate(2004, 8, 1), QDate(2004, 8, 11));
    // S M T W T F S
    EXPECT_EQ(headerInk(0), headerInk(6));
    EXPECT_EQ(headerInk(2), headerInk(4));
    EXPECT_NE(headerInk(1), headerInk(3));
    EXPECT_NE(headerInk(0), headerInk(5));
    // Black letters, and the week column has its own header.
    const QRect header(0, 0, 7 * kCellWPx, kCellHPx);
    EXPECT_GT(countWhere(header, isBlackInk), 7);
    EXPECT_EQ(countWhere(header, isDarkBlueInk), 0);
    EXPECT_GT(countWhere(QRect(7 * kCellWPx + 1, 0, kCellWPx - 1, kCellHPx), isBlackInk), 0);
}

TEST_F(CalendarTest, HeaderShowsGermanWeekdayLetters)
{
    show(kSunday, kRuleJanuaryFirst, QDate(2004, 8, 1), QDate(2004, 8, 11));
    const QImage englishTuesday = headerInk(2);
    const QImage englishWeek = headerInk(7);
    show(kSunday, kRuleJanuaryFirst, QDate(2004, 8, 1), QDate(2004, 8, 11), false,
         QStringLiteral("de"));
    // S M D M D F S
    EXPECT_EQ(headerInk(1), headerInk(3));
    EXPECT_EQ(headerInk(2), headerInk(4));
    EXPECT_EQ(headerInk(0), headerInk(6));
    EXPECT_NE(headerInk(2), englishTuesday);
    EXPECT_EQ(headerInk(7), englishWeek); // "W" in both languages
    Screenshots::save(&picture, QStringLiteral("calendar_german"));
}

TEST_F(CalendarTest, HeaderStartsWithTheFirstWeekday)
{
    show(kSunday, kRuleJanuaryFirst, QDate(2004, 8, 1), QDate(2004, 8, 11));
    const QImage monday = headerInk(1);
    show(kMonday, kRuleFourDays, QDate(2004, 8, 1), QDate(2004, 8, 11));
    EXPECT_EQ(headerInk(0), monday);
    EXPECT_EQ(QColor::fromRgb(picture.image().pixel(1, 4)), kWhite);
    EXPECT_EQ(QColor::fromRgb(picture.image().pixel(5 * kCellWPx + 1, 4)), kGrey);
}

TEST_F(CalendarTest, DaysWithAppointmentsAreBold)
{
    std::set<QDate> asked;
    calendar.setAppointmentSource([&](const QDate& date) {
        asked.insert(date);
        return date == QDate(2004, 8, 18);
    });
    show(kMonday, kRuleFourDays, QDate(2004, 8, 1), QDate(2004, 8, 2));
    asked.clear();
    calendar.DrawAll();
    const int boldEighteen = inkIn(2, 3);
    const int plainSeventeen = inkIn(1, 3);
    Screenshots::save(&picture, QStringLiteral("calendar_bold_days"));

    calendar.setAppointmentSource([](const QDate&) { return false; });
    calendar.DrawAll();
    EXPECT_GT(boldEighteen, inkIn(2, 3) + 3);
    EXPECT_EQ(plainSeventeen, inkIn(1, 3));

    // A drawing asks about the month's own days only.
    ASSERT_EQ(asked.size(), 31u);
    EXPECT_EQ(*asked.begin(), QDate(2004, 8, 1));
    EXPECT_EQ(*asked.rbegin(), QDate(2004, 8, 31));
}

TEST_F(CalendarTest, WeekNumbersAreNeverBold)
{
    calendar.setAppointmentSource([](const QDate&) { return true; });
    show(kMonday, kRuleFourDays, QDate(2004, 8, 1), QDate(2004, 8, 2));
    const int weekInk = inkIn(7, 3);
    calendar.setAppointmentSource([](const QDate&) { return false; });
    calendar.DrawAll();
    EXPECT_EQ(inkIn(7, 3), weekInk);
}

TEST_F(CalendarTest, WeekAcrossTwoMonthsShowsInBothExceptHiddenWeekdays)
{
    const QDate monday(2004, 8, 30);
    show(kMonday, kRuleFourDays, QDate(2004, 8, 1), monday, true);
    EXPECT_TRUE(isSelectedLook(0, 5)); // 30 August
    EXPECT_TRUE(isSelectedLook(1, 5)); // 31 August
    EXPECT_TRUE(isSelectedLook(7, 5)); // week 36
    EXPECT_FALSE(isSelectedLook(0, 4));
    EXPECT_FALSE(isSelectedLook(7, 4));

    show(kMonday, kRuleFourDays, QDate(2004, 9, 1), monday, true);
    Screenshots::save(&picture, QStringLiteral("calendar_week_selected"));
    EXPECT_TRUE(isSelectedLook(2, 0)); // 1 September
    EXPECT_TRUE(isSelectedLook(4, 0)); // 3 September
    EXPECT_TRUE(isSelectedLook(7, 0));
    // The week view leaves out the weekend, so its days stay grey.
    EXPECT_EQ(QColor::fromRgb(backgroundOf(5, 0)), kGrey);
    EXPECT_EQ(QColor::fromRgb(backgroundOf(6, 0)), kGrey);
    EXPECT_FALSE(isSelectedLook(2, 1));
    EXPECT_FALSE(isSelectedLook(7, 1));

    calendar.setWeekViewDays([](int) { return true; });
    calendar.DrawAll();
    EXPECT_TRUE(isSelectedLook(5, 0));
    EXPECT_TRUE(isSelectedLook(6, 0));
}

TEST_F(CalendarTest, SelectedWeekDoesNotLightUpAYearLater)
{
    // September 2005 has a week 36 too (5 to 11 September).
    show(kMonday, kRuleFourDays, QDate(2005, 9, 1), QDate(2004, 8, 30), true);
    EXPECT_EQ(calendar.MonthGrid(7, 1), 36);
    for (int row = 0; row < 6; ++row) {
        for (int column = 0; column < 8; ++column) {
            if (calendar.MonthGrid(column, row) != 0) {
                EXPECT_FALSE(isSelectedLook(column, row)) << column << "," << row;
            }
        }
    }
}

TEST_F(CalendarTest, SelectWeekStepsBackToTheFirstWeekday)
{
    show(kSunday, kRuleJanuaryFirst, QDate(2004, 8, 1), QDate(2004, 8, 11));
    QSignalSpy days(&calendar, &Calendar::DayClicked);
    QSignalSpy weeks(&calendar, &Calendar::WeekClicked);

    calendar.SelectWeek();
    EXPECT_EQ(calendar.SelectedDate(), QDate(2004, 8, 8));
    EXPECT_TRUE(calendar.IsWeekSelected());
    EXPECT_EQ(days.count() + weeks.count(), 0);
    // Row 1 runs Sunday 8 to Saturday 14; the week view shows Monday to Friday.
    EXPECT_TRUE(isSelectedLook(7, 1));
    EXPECT_FALSE(isSelectedLook(0, 1));
    for (int column = 1; column <= 5; ++column)
        EXPECT_TRUE(isSelectedLook(column, 1)) << column;
    EXPECT_FALSE(isSelectedLook(6, 1));
}

TEST_F(CalendarTest, FireEventRepeatsTheSelectionWithoutDrawing)
{
    show(kMonday, kRuleFourDays, QDate(2004, 8, 1), QDate(2004, 8, 11));
    const QImage before = picture.image();
    QSignalSpy days(&calendar, &Calendar::DayClicked);
    QSignalSpy weeks(&calendar, &Calendar::WeekClicked);
    QSignalSpy display(&calendar, &Calendar::Display);

    calendar.FireEvent();
    ASSERT_EQ(days.count(), 1);
    EXPECT_EQ(days.at(0).at(0).toDate(), QDate(2004, 8, 11));

    calendar.setIsWeekSelected(true);
    calendar.setSelectedDate(QDate(2004, 8, 9));
    calendar.FireEvent();
    ASSERT_EQ(weeks.count(), 1);
    EXPECT_EQ(weeks.at(0).at(0).toDate(), QDate(2004, 8, 9));
    EXPECT_EQ(display.count(), 0);
    EXPECT_EQ(picture.image(), before);
}

TEST_F(CalendarTest, ShowDateKeepsTheFirstOfTheMonth)
{
    calendar.setShowDate(QDate(2004, 8, 17));
    EXPECT_EQ(calendar.ShowDate(), QDate(2004, 8, 1));
    calendar.setSelectedDate(QDate(2004, 8, 17));
    QSignalSpy display(&calendar, &Calendar::Display);
    calendar.DrawAll();
    ASSERT_EQ(display.count(), 1);
    EXPECT_EQ(display.at(0).at(0).toDate(), QDate(2004, 8, 1));
    EXPECT_EQ(calendar.MonthGrid(2, 2), 17); // Sunday weeks until set otherwise
}

TEST_F(CalendarTest, SettingsRedrawAtOnce)
{
    show(kSunday, kRuleJanuaryFirst, QDate(2004, 8, 1), QDate(2004, 8, 11));
    QSignalSpy display(&calendar, &Calendar::Display);
    calendar.SetSettings(kMonday, QStringLiteral("de"), kRuleFourDays);
    EXPECT_EQ(display.count(), 1);
    EXPECT_EQ(calendar.MonthGrid(6, 0), 1);
    EXPECT_EQ(calendar.MonthGrid(7, 0), 31);
}

TEST(CalendarUnboundTest, WorksWithoutAPicture)
{
    Calendar calendar;
    EXPECT_FALSE(calendar.IsWeekSelected());
    QSignalSpy display(&calendar, &Calendar::Display);
    calendar.DisplayMonth(QDate(2009, 2, 14), QDate(2009, 2, 14));
    EXPECT_EQ(display.count(), 1);
    EXPECT_EQ(calendar.ShowDate(), QDate(2009, 2, 1));
    EXPECT_EQ(calendar.MonthGrid(0, 0), 1);
}
