// The drop-down month sheet: where the days land, paging, what a click on a day reports, the
// colours of selection, today and hover, and how the sheet closes.
#include "ClassMonthDD.h"
#include "PictureBox.h"
#include "Screenshots.h"

#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

const QColor kBlue(0, 0, 255);
const QColor kWhite(255, 255, 255);

QPoint pixelAt(int xTwips, int yTwips)
{
    return {PictureBox::toPixels(xTwips), PictureBox::toPixels(yTwips)};
}

// Top left of the cell in row 1..6, column 1..7.
QPoint cell(int row, int column)
{
    return {(column - 1) * 380 + 30, (row + 1) * 300 + 60};
}

QPoint cellCentre(int row, int column)
{
    return cell(row, column) + QPoint(190, 150);
}

bool isInk(const QColor& c)
{
    return c.red() < 110 && c.green() < 110 && c.blue() < 110;
}

bool isYellow(const QColor& c)
{
    return c.red() > 200 && c.green() > 200 && c.blue() < 120;
}

int countIn(const QImage& image, const QRect& pixels, const std::function<bool(QColor)>& test)
{
    int count = 0;
    for (int x = pixels.left(); x <= pixels.right(); ++x)
        for (int y = pixels.top(); y <= pixels.bottom(); ++y)
            count += test(image.pixelColor(x, y));
    return count;
}

QRect cellPixels(int row, int column)
{
    const QPoint origin = cell(row, column);
    return {pixelAt(origin.x() + 15, origin.y() + 15), pixelAt(origin.x() + 365, origin.y() + 285)};
}

struct Picked {
    char event; // 'c' Click, 'h' Change
    QDate date;
};

class MonthPickerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        host.resize(300, 250);
        picture = new PictureBox(&host);
        elsewhere = new QLineEdit(&host);
        elsewhere->move(200, 0);
        sheet.Bind(picture);
        QObject::connect(&sheet, &ClassMonthDD::Click, [this](const QDate& date) {
            picked.push_back({'c', date});
        });
        QObject::connect(&sheet, &ClassMonthDD::Change, [this](const QDate& date) {
            picked.push_back({'h', date});
        });
        host.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&host));
    }

    void open(const QDate& selected, int firstday = 2, const QString& langcode = "en")
    {
        sheet.setSelectedDate(selected);
        sheet.setFirstday(firstday);
        sheet.setLangcode(langcode);
        sheet.Display();
    }

    void clickAt(QPoint twips, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseClick(picture, button, Qt::NoModifier, pixelAt(twips.x(), twips.y()));
    }

    void moveTo(QPoint twips) { QTest::mouseMove(picture, pixelAt(twips.x(), twips.y())); }

    QImage drawn() const { return picture->image(); }

    // A text as the sheet would print it centred at centreX, drawn alone on a blank sheet.
    QImage printedAlone(int centreX, int top, const QString& text, bool bold) const
    {
        PictureBox reference;
        reference.resizeTwips(ClassMonthDD::kWidth, ClassMonthDD::kHeight);
        reference.setDrawFont(picture->drawFont());
        reference.setFontBold(bold);
        reference.Cls();
        reference.Print(centreX - reference.TextWidth(text) / 2, top, text);
        return reference.image();
    }

    QImage titleOf(const QImage& image) const
    {
        return image.copy(QRect(pixelAt(360, 30), pixelAt(picture->ScaleWidth() - 360, 345)));
    }

    QImage expectedTitle(const QString& text) const
    {
        return titleOf(printedAlone(picture->ScaleWidth() / 2, 60, text, true));
    }

    QWidget host;
    PictureBox* picture = nullptr;
    QLineEdit* elsewhere = nullptr;
    QDate today{2025, 3, 12};
    ClassMonthDD sheet{[this] { return today; }};
    std::vector<Picked> picked;
};

TEST(MonthPickerDefaults, StartOnTodayWithMondayFirstAndEnglish)
{
    ClassMonthDD sheet([] { return QDate(2024, 2, 29); });
    EXPECT_EQ(sheet.SelectedDate(), QDate(2024, 2, 29));
    EXPECT_EQ(sheet.ShowDate(), QDate(2024, 2, 29));
    EXPECT_EQ(sheet.firstday(), 2);
    EXPECT_EQ(sheet.langcode(), QStringLiteral("en"));
}

TEST_F(MonthPickerTest, BindHidesAWhiteSheetOfItsSizeAndDisplayShowsTheSelectedMonth)
{
    EXPECT_FALSE(picture->isVisible());
    EXPECT_EQ(picture->width(), PictureBox::toPixels(2750));
    EXPECT_EQ(picture->height(), PictureBox::toPixels(2580));
    EXPECT_EQ(picture->BackColor(), kWhite);
    sheet.setShowDate(QDate(2020, 1, 1));
    open(QDate(2025, 3, 20));
    EXPECT_TRUE(picture->isVisible());
    EXPECT_TRUE(picture->hasFocus());
    EXPECT_EQ(sheet.ShowDate(), QDate(2025, 3, 20));
    EXPECT_EQ(titleOf(drawn()), expectedTitle("March 2025"));
    EXPECT_TRUE(picked.empty());
}

TEST_F(MonthPickerTest, SundayFirstPutsASaturdayFirstInTheLastColumnAndUsesSixRows)
{
    // 1 March 2025 is a Saturday.
    open(QDate(2025, 3, 20), 1);
    for (int column = 1; column <= 6; ++column)
        EXPECT_EQ(countIn(drawn(), cellPixels(1, column), isInk), 0) << "empty column " << column;
    EXPECT_GT(countIn(drawn(), cellPixels(1, 7), isInk), 0);
    EXPECT_GT(countIn(drawn(), cellPixels(6, 2), isInk), 0) << "the 31st, last row at y = 2160";
    EXPECT_EQ(countIn(drawn(), cellPixels(6, 3), isInk), 0);

    clickAt(cellCentre(1, 1));
    EXPECT_TRUE(picked.empty()) << "an empty cell is no day";
    clickAt(cellCentre(1, 7));
    ASSERT_FALSE(picked.empty());
    EXPECT_EQ(picked[0].date, QDate(2025, 3, 1));

    picked.clear();
    open(QDate(2025, 3, 20), 1);
    clickAt(cellCentre(6, 2));
    ASSERT_FALSE(picked.empty());
    EXPECT_EQ(picked[0].date, QDate(2025, 3, 31));
}

TEST_F(MonthPickerTest, MondayFirstShiftsTheWeekByOneColumn)
{
    open(QDate(2025, 3, 20));
    clickAt(cellCentre(1, 6));
    ASSERT_FALSE(picked.empty());
    EXPECT_EQ(picked[0].date, QDate(2025, 3, 1));
    picked.clear();
    open(QDate(2025, 3, 20));
    clickAt(cellCentre(2, 1));
    ASSERT_FALSE(picked.empty());
    EXPECT_EQ(picked[0].date, QDate(2025, 3, 3)) << "the first Monday";
}

TEST_F(MonthPickerTest, ArrowsPageThroughMonthsWithoutChoosing)
{
    open(QDate(2025, 3, 20));
    clickAt({150, 150});
    EXPECT_EQ(sheet.ShowDate().month(), 2);
    EXPECT_EQ(titleOf(drawn()), expectedTitle("February 2025"));
    clickAt({picture->ScaleWidth() - 150, 150});
    clickAt({picture->ScaleWidth() - 150, 150});
    EXPECT_EQ(sheet.ShowDate().month(), 4);
    EXPECT_EQ(titleOf(drawn()), expectedTitle("April 2025"));
    EXPECT_TRUE(picked.empty());
    EXPECT_TRUE(picture->isVisible());
    EXPECT_EQ(sheet.SelectedDate(), QDate(2025, 3, 20));

    clickAt(cellCentre(1, 2)); // 1 April 2025 is a Tuesday
    ASSERT_EQ(picked.size(), 2u);
    EXPECT_EQ(picked[0].date, QDate(2025, 4, 1));
}

TEST_F(MonthPickerTest, PagingWrapsTheYear)
{
    open(QDate(2025, 1, 31));
    clickAt({150, 150});
    EXPECT_EQ(sheet.ShowDate().year(), 2024);
    EXPECT_EQ(sheet.ShowDate().month(), 12);
    EXPECT_EQ(titleOf(drawn()), expectedTitle("December 2024"));
}

TEST_F(MonthPickerTest, ClickBetweenTheArrowsJumpsToTheCurrentMonth)
{
    open(QDate(2024, 11, 5));
    clickAt({picture->ScaleWidth() / 2, 150});
    EXPECT_EQ(sheet.ShowDate(), today);
    EXPECT_EQ(titleOf(drawn()), expectedTitle("March 2025"));
    EXPECT_EQ(sheet.SelectedDate(), QDate(2024, 11, 5));
    EXPECT_TRUE(picked.empty());
    EXPECT_TRUE(picture->isVisible());
}

TEST_F(MonthPickerTest, ClickOnAnotherDayReportsClickThenChangeAndCloses)
{
    open(QDate(2025, 3, 20));
    clickAt(cellCentre(2, 3), Qt::RightButton); // Wednesday 5 March
    ASSERT_EQ(picked.size(), 2u);
    EXPECT_EQ(picked[0].event, 'c');
    EXPECT_EQ(picked[0].date, QDate(2025, 3, 5));
    EXPECT_EQ(picked[1].event, 'h');
    EXPECT_EQ(picked[1].date, QDate(2025, 3, 5));
    EXPECT_EQ(sheet.SelectedDate(), QDate(2025, 3, 5));
    EXPECT_FALSE(picture->isVisible());
}

TEST_F(MonthPickerTest, ClickOnTheSelectedDayReportsOnlyClick)
{
    open(QDate(2025, 3, 20));
    clickAt(cellCentre(4, 4)); // Thursday 20 March
    ASSERT_EQ(picked.size(), 1u);
    EXPECT_EQ(picked[0].event, 'c');
    EXPECT_EQ(picked[0].date, QDate(2025, 3, 20));
    EXPECT_FALSE(picture->isVisible());
}

TEST_F(MonthPickerTest, ClicksOnTheHeaderOrOutsideTheDaysDoNothing)
{
    open(QDate(2025, 3, 20));
    clickAt({cellCentre(2, 3).x(), 500});  // weekday header
    clickAt({cellCentre(2, 3).x(), 630});  // between header and first row
    clickAt({2700, 1500});                 // right margin
    clickAt({cellCentre(6, 5).x(), 2400}); // row 6 past the 31st
    EXPECT_TRUE(picked.empty());
    EXPECT_TRUE(picture->isVisible());
    EXPECT_EQ(sheet.ShowDate(), QDate(2025, 3, 20));
}

TEST_F(MonthPickerTest, SelectedDayIsABlueBoxWithAWhiteNumber)
{
    open(QDate(2025, 3, 20));
    const QRect box(pixelAt(cell(4, 4).x() + 60, cell(4, 4).y() + 15),
                    pixelAt(cell(4, 4).x() + 320, cell(4, 4).y() + 285));
    const int blue = countIn(drawn(), box, [](QColor c) { return c == kBlue; });
    const int white = countIn(drawn(), box, [](QColor c) { return c.lightness() > 200; });
    EXPECT_GT(blue, box.width() * box.height() / 2);
    EXPECT_GT(white, 5) << "the number";
    EXPECT_EQ(countIn(drawn(), box, isInk), 0) << "no black number on the box";
    EXPECT_EQ(drawn().pixelColor(box.topLeft()), kBlue);
    EXPECT_EQ(drawn().pixelColor(pixelAt(cell(4, 4).x() + 30, cell(4, 4).y() + 150)), kWhite)
        << "the box leaves a margin in the cell";
}

TEST_F(MonthPickerTest, TodayHasAYellowCircleAroundABlackNumber)
{
    open(QDate(2025, 3, 20));
    Screenshots::save(picture, QStringLiteral("monthpicker_en"));
    const QPoint centre = cellCentre(3, 3); // Wednesday 12 March
    const QRect ring(pixelAt(centre.x() - 120, centre.y() - 120),
                     pixelAt(centre.x() + 120, centre.y() + 120));
    EXPECT_GT(countIn(drawn(), ring, isYellow), 20);
    EXPECT_TRUE(isYellow(drawn().pixelColor(pixelAt(centre.x() + 100, centre.y()))));
    EXPECT_GT(countIn(drawn(), cellPixels(3, 3), isInk), 0);
    EXPECT_EQ(countIn(drawn(), cellPixels(3, 2), isYellow), 0) << "only today";
}

TEST_F(MonthPickerTest, TodayWhenSelectedIsBlackOnBlueInsideTheCircle)
{
    open(today);
    Screenshots::save(picture, QStringLiteral("monthpicker_today_selected"));
    const QRect box(pixelAt(cell(3, 3).x() + 60, cell(3, 3).y() + 15),
                    pixelAt(cell(3, 3).x() + 320, cell(3, 3).y() + 285));
    EXPECT_GT(countIn(drawn(), box, [](QColor c) { return c == kBlue; }), 50);
    EXPECT_GT(countIn(drawn(), box, isYellow), 10);
    EXPECT_GT(countIn(drawn(), box, isInk), 5) << "black number";
}

TEST_F(MonthPickerTest, OtherMonthsHaveNoTodayMark)
{
    open(QDate(2025, 4, 12));
    const QImage image = drawn();
    EXPECT_EQ(countIn(image, image.rect(), isYellow), 0);
}

TEST_F(MonthPickerTest, RulesAndArrowsHaveTheirColours)
{
    open(QDate(2025, 3, 20));
    EXPECT_EQ(drawn().pixelColor(pixelAt(1000, 360)), QColor(0, 0, 0)) << "under the title";
    EXPECT_EQ(drawn().pixelColor(pixelAt(1000, 660)), QColor(0, 0, 0)) << "under the header";
    for (int y = 960; y <= 2160; y += 300)
        EXPECT_EQ(drawn().pixelColor(pixelAt(50, y)), QColor(224, 224, 224)) << y;
    const QRect previous(pixelAt(30, 60), pixelAt(340, 340));
    const QRect next(pixelAt(picture->ScaleWidth() - 340, 60),
                     pixelAt(picture->ScaleWidth() - 60, 340));
    const auto blueish = [](QColor c) { return c.blue() > 200 && c.red() < 150; };
    EXPECT_GT(countIn(drawn(), previous, blueish), 5);
    EXPECT_GT(countIn(drawn(), next, blueish), 5);
}

TEST_F(MonthPickerTest, HoverFramesTheDayUnderTheMouse)
{
    open(QDate(2025, 1, 20), 2, "de");
    const QPoint first = cell(2, 3);  // Wednesday 8 January
    const QPoint second = cell(3, 5); // Friday 17 January
    const QPoint leftEdge(first.x() + 15, first.y() + 150);
    EXPECT_EQ(drawn().pixelColor(pixelAt(leftEdge.x(), leftEdge.y())), kWhite);
    moveTo(cellCentre(2, 3));
    Screenshots::save(picture, QStringLiteral("monthpicker_de_hover"));
    EXPECT_EQ(drawn().pixelColor(pixelAt(leftEdge.x(), leftEdge.y())), kBlue);
    EXPECT_EQ(drawn().pixelColor(pixelAt(first.x() + 190, first.y() + 15)), kBlue);
    moveTo(cellCentre(3, 5));
    EXPECT_EQ(drawn().pixelColor(pixelAt(leftEdge.x(), leftEdge.y())), kWhite) << "old frame";
    EXPECT_EQ(drawn().pixelColor(pixelAt(second.x() + 15, second.y() + 150)), kBlue);
    EXPECT_TRUE(picked.empty()) << "hovering chooses nothing";
    EXPECT_TRUE(picture->isVisible());
}

TEST_F(MonthPickerTest, GermanSheetsSayJaennerAndStartTheirHeaderWithTheFirstDay)
{
    open(QDate(2025, 1, 20), 1, "de");
    EXPECT_EQ(titleOf(drawn()), expectedTitle(QStringLiteral("Jänner 2025")));
    const auto header = [this](const QImage& image) {
        return image.copy(QRect(pixelAt(30, 390), pixelAt(410, 645)));
    };
    EXPECT_EQ(header(drawn()), header(printedAlone(220, 405, "So", false)));
    EXPECT_NE(header(drawn()), header(printedAlone(220, 405, "Su", false)));
}

TEST_F(MonthPickerTest, EnglishHeaderFollowsFirstday)
{
    open(QDate(2025, 1, 20), 7);
    const auto column = [this](const QImage& image, int k) {
        const int left = (k - 1) * 380 + 30;
        return image.copy(QRect(pixelAt(left, 390), pixelAt(left + 375, 645)));
    };
    EXPECT_EQ(column(drawn(), 1), column(printedAlone(220, 405, "Sa", false), 1));
    EXPECT_EQ(column(drawn(), 2), column(printedAlone(600, 405, "Su", false), 2));
    EXPECT_EQ(column(drawn(), 7), column(printedAlone(2500, 405, "Fr", false), 7));
}

TEST_F(MonthPickerTest, EnterAndEscapeCloseWithoutAChoice)
{
    open(QDate(2025, 3, 20));
    QTest::keyClick(picture, Qt::Key_Return);
    EXPECT_FALSE(picture->isVisible());
    open(QDate(2025, 3, 20));
    QTest::keyClick(picture, Qt::Key_Escape);
    EXPECT_FALSE(picture->isVisible());
    EXPECT_TRUE(picked.empty());
    EXPECT_EQ(sheet.SelectedDate(), QDate(2025, 3, 20));
}

TEST_F(MonthPickerTest, LosingTheFocusClosesWithoutAChoice)
{
    open(QDate(2025, 3, 20));
    ASSERT_TRUE(picture->hasFocus());
    elsewhere->setFocus();
    EXPECT_FALSE(picture->isVisible());
    EXPECT_TRUE(picked.empty());
}

} // namespace
