// The month calendar: the month grid and its selection as data, clicks on the rectangles it
// drew, and the colours only its pixels show. Its week numbers: tests/calendar.
#include "views/Calendar.h"
#include "colors/Palette.h"
#include "ui/PictureBox.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <set>

namespace {

constexpr int kSunday = 1;
constexpr int kMonday = 2;
constexpr int kRuleJanuaryFirst = 1;
constexpr int kRuleFourDays = 2;

const QColor kDarkBlue(0, 0, 192);
const QColor kGrey = Palette::kWeekendGrey;
const QColor kWhite(255, 255, 255);
const QColor kLine(192, 192, 192);

const auto d = [](int year, int month, int day) { return QDate(year, month, day); };

} // namespace

class CalendarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        picture.resizeTwips(3030, 1920); // cells of 25 x 18 pixels
        picture.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&picture));
        calendar.setClock([this] { return today; });
        calendar.Bind(&picture);
    }

    void show(int firstday, const QDate& month, const QDate& selected, bool week = false,
              const QString& lang = QStringLiteral("en"))
    {
        calendar.SetSettings(firstday, lang,
                             firstday == kMonday ? kRuleFourDays : kRuleJanuaryFirst);
        calendar.setIsWeekSelected(week);
        calendar.DisplayMonth(month, selected);
    }

    // The cells shown as selected, as "column,row".
    std::set<QString> selectedCells() const
    {
        std::set<QString> cells;
        for (int row = 0; row < Calendar::kWeekRows; ++row)
            for (int column = 0; column < Calendar::kColumns; ++column)
                if (calendar.IsCellSelected(column, row))
                    cells.insert(QStringLiteral("%1,%2").arg(column).arg(row));
        return cells;
    }

    QPoint centre(int column, int row) const
    {
        const Calendar::CellRect r = calendar.cellRect(column, row);
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }

    // A pixel of a cell's background, left of where its number is printed.
    QColor background(int column, int row) const
    {
        const Calendar::CellRect r = calendar.cellRect(column, row);
        return picture.image().pixel(PictureBox::toPixels(r.left) + 3,
                                     PictureBox::toPixels((r.top + r.bottom) / 2));
    }
    // Pixels of a cell that satisfy wanted.
    int pixels(int column, int row, const std::function<bool(QColor)>& wanted) const
    {
        const Calendar::CellRect r = calendar.cellRect(column, row);
        int count = 0;
        for (int y = PictureBox::toPixels(r.top) + 1; y < PictureBox::toPixels(r.bottom); ++y)
            for (int x = PictureBox::toPixels(r.left) + 2; x < PictureBox::toPixels(r.right); ++x)
                count += wanted(picture.image().pixel(x, y));
        return count;
    }
    int ink(int column, int row) const
    {
        const QColor b = background(column, row);
        return pixels(column, row, [&](QColor p) {
            return qAbs(p.red() - b.red()) + qAbs(p.green() - b.green()) +
                       qAbs(p.blue() - b.blue()) >
                   60;
        });
    }
    // The header letter of a column as a black-and-white picture, to compare letters.
    QImage letter(int column) const
    {
        const QRect r = QRect(column * 25, 0, 25, 18);
        return picture.image().copy(r).convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
    }

    QDate today{2000, 1, 1};
    PictureBox picture;
    Calendar calendar;
};

TEST_F(CalendarTest, TheGridHoldsEachDayAndItsWeekNumber)
{
    const struct {
        int firstday;
        QDate month;
        int firstColumn;  // of day 1
        QList<int> weeks; // the week numbers of the rows used
    } cases[] = {{kMonday, d(2004, 8, 1), 6, {31, 32, 33, 34, 35, 36}},
                 {kSunday, d(2004, 8, 15), 0, {32, 33, 34, 35, 36}},
                 {kSunday, d(2009, 2, 1), 0, {6, 7, 8, 9}},
                 {kMonday, d(2003, 12, 1), 0, {49, 50, 51, 52, 1}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.month.toString().toStdString());
        show(c.firstday, c.month, c.month);
        EXPECT_EQ(calendar.ShowDate(), d(c.month.year(), c.month.month(), 1));
        int expected[Calendar::kWeekRows][Calendar::kColumns] = {};
        for (int day = 1; day <= c.month.daysInMonth(); ++day) {
            const int cell = c.firstColumn + day - 1;
            expected[cell / 7][cell % 7] = day;
        }
        for (int row = 0; row < Calendar::kWeekRows; ++row) {
            expected[row][Calendar::kWeekColumn] = c.weeks.value(row);
            for (int column = 0; column < Calendar::kColumns; ++column)
                EXPECT_EQ(calendar.MonthGrid(column, row), expected[row][column])
                    << column << "," << row;
        }
    }
}

TEST_F(CalendarTest, TheSelectionShowsInTheCellsOfTheWeekViewsDays)
{
    using Cells = std::set<QString>;
    const QDate aug30 = d(2004, 8, 30);
    const struct {
        const char* what;
        QDate month;
        QDate selected;
        bool week;
        bool allWeekdays;
        Cells cells;
    } cases[] = {
        // clang-format off
        {"a day", d(2004, 8, 1), d(2004, 8, 11), false, false, {"2,2"}},
        {"a week, in the first month", d(2004, 8, 1), aug30, true, false, {"0,5", "1,5", "7,5"}},
        {"the second, no weekend", d(2004, 9, 1), aug30, true, false, {"2,0", "3,0", "4,0", "7,0"}},
        {"the weekend when the week view shows it", d(2004, 9, 1), aug30, true, true,
         {"2,0", "3,0", "4,0", "5,0", "6,0", "7,0"}},
        {"not the same week a year later", d(2005, 9, 1), aug30, true, false, {}},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        calendar.setWeekViewDays(
            [all = c.allWeekdays](int weekday) { return all || (weekday >= 2 && weekday <= 6); });
        show(kMonday, c.month, c.selected, c.week);
        EXPECT_EQ(selectedCells(), c.cells);
    }
}

TEST_F(CalendarTest, ClicksHitTheCellsAsDrawn)
{
    static const QDate august(2004, 8, 1);
    static const QDate february(2010, 2, 1); // Monday to Sunday in four rows
    show(kMonday, august, august);           // the cells have their size
    const Calendar::CellRect day = calendar.cellRect(2, 3);
    const struct {
        const char* what;
        QPoint at;  // twips
        QDate day;  // DayClicked with this date
        QDate week; // or WeekClicked
        Qt::MouseButton button = Qt::LeftButton;
        QDate month = august;
    } cases[] = {
        {"a day", centre(2, 2), d(2004, 8, 11), {}},
        {"with any button", centre(4, 3), d(2004, 8, 20), {}, Qt::RightButton},
        {"a week number", centre(7, 2), {}, d(2004, 8, 9)},
        {"a week reaching into July", centre(7, 0), {}, d(2004, 7, 26)},
        {"the header", centre(3, -1), {}, {}},
        {"an empty cell", centre(0, 0), {}, {}},
        {"the week number of an empty row", centre(7, 4), {}, {}, Qt::LeftButton, february},
        {"the margin left of a day", {day.left, centre(2, 3).y()}, {}, {}},
        {"the margin above a day", {centre(2, 3).x(), day.top}, {}, {}},
        {"between two days", {day.right + 15, centre(2, 3).y()}, {}, {}},
        {"below the last row", {centre(3, 5).x(), 1905}, {}, {}},
        {"right of the week numbers", {3015, centre(7, 2).y()}, {}, {}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QDate before = c.month.addDays(1);
        show(kMonday, c.month, before);
        const QImage drawn = picture.image();
        QSignalSpy days(&calendar, &Calendar::DayClicked);
        QSignalSpy weeks(&calendar, &Calendar::WeekClicked);
        QTest::mouseClick(&picture, c.button, {},
                          {PictureBox::toPixels(c.at.x()), PictureBox::toPixels(c.at.y())});
        const QDate chosen = c.day.isValid() ? c.day : c.week;
        const auto got = [](const QSignalSpy& s) {
            return s.isEmpty() ? QDate() : s[0][0].toDate();
        };
        EXPECT_EQ(days.count() + weeks.count(), chosen.isValid() ? 1 : 0);
        EXPECT_EQ(got(days), c.day);
        EXPECT_EQ(got(weeks), c.week);
        EXPECT_EQ(calendar.SelectedDate(), chosen.isValid() ? chosen : before);
        EXPECT_EQ(calendar.IsWeekSelected(), c.week.isValid());
        EXPECT_EQ(calendar.ShowDate(), c.month);
        EXPECT_TRUE(chosen.isValid() || picture.image() == drawn) << "nothing drawn again";
    }
}

TEST_F(CalendarTest, SelectionTodayWeekendsAndGridLinesInTheirColours)
{
    today = d(2004, 8, 11);
    show(kMonday, d(2004, 8, 1), d(2004, 8, 12));
    // Text is antialiased: its colour shows in the well-covered pixels.
    const auto white = [](QColor p) { return qMin(p.red(), qMin(p.green(), p.blue())) >= 170; };
    const auto darkBlue = [](QColor p) {
        return qMax(p.red(), p.green()) < 110 && p.blue() >= 150;
    };
    const auto red = [](QColor p) { return p.red() >= 150 && p.green() < 100; };
    // The selected day, a weekday, Saturday, Sunday, an empty weekend cell, up into the header,
    // and two grid lines.
    const QImage& image = picture.image();
    EXPECT_EQ((QList<QColor>{background(3, 2), background(1, 2), background(5, 2), background(6, 2),
                             background(6, 5), image.pixel(5 * 25 + 1, 4),
                             image.pixel(3 * 25 + 5, 18), image.pixel(7 * 25, 3 * 18 + 5)}),
              (QList<QColor>{kDarkBlue, kWhite, kGrey, kGrey, kGrey, kGrey, kLine, kLine}));
    EXPECT_GT(pixels(3, 2, white), 3);
    EXPECT_GT(pixels(1, 2, darkBlue), 3);
    const auto black = [](QColor p) { return qMax(p.red(), qMax(p.green(), p.blue())) < 80; };
    EXPECT_GT(pixels(3, -1, black), 3) << "black weekday letters";
    EXPECT_EQ(pixels(3, -1, darkBlue), 0);
    EXPECT_EQ(pixels(2, 2, darkBlue), 0) << "today";
    EXPECT_GT(pixels(2, 2, red), 3);
    show(kMonday, d(2004, 8, 1), today);
    EXPECT_EQ(background(2, 2), kDarkBlue) << "today selected";
    EXPECT_GT(pixels(2, 2, white), 3) << "outlined in white";
    EXPECT_GT(pixels(2, 2, red), 3);
}

TEST_F(CalendarTest, DaysWithAppointmentsAreBoldWeekNumbersNeverAndTheHeaderNamesTheWeekdays)
{
    std::set<QDate> asked;
    calendar.setAppointmentSource([&](const QDate& date) {
        asked.insert(date);
        return date == d(2004, 8, 18);
    });
    show(kMonday, d(2004, 8, 1), d(2004, 8, 2));
    asked.clear();
    calendar.DrawAll();
    EXPECT_EQ(asked.size(), 31u) << "the month's own days only";
    EXPECT_EQ(*asked.begin(), d(2004, 8, 1));
    const int seventeenth = ink(1, 3);
    const int eighteenth = ink(2, 3);
    const int week = ink(7, 3);
    calendar.setAppointmentSource([](const QDate&) { return true; });
    calendar.DrawAll();
    EXPECT_GT(ink(1, 3), seventeenth + 3);
    EXPECT_EQ(ink(2, 3), eighteenth);
    EXPECT_EQ(ink(7, 3), week);
    show(kSunday, d(2004, 8, 1), d(2004, 8, 11));
    // S M T W T F S, then W over the week numbers
    EXPECT_EQ(letter(0), letter(6));
    EXPECT_EQ(letter(2), letter(4));
    EXPECT_NE(letter(1), letter(3));
    const QImage monday = letter(1);
    const QImage englishTuesday = letter(2);
    const QImage weekLetter = letter(7);
    show(kMonday, d(2004, 8, 1), d(2004, 8, 11), false, QStringLiteral("de"));
    // M D M D F S S
    EXPECT_EQ(letter(0), monday);
    EXPECT_EQ(letter(0), letter(2));
    EXPECT_EQ(letter(1), letter(3));
    EXPECT_NE(letter(1), englishTuesday);
    EXPECT_EQ(letter(7), weekLetter);
}
