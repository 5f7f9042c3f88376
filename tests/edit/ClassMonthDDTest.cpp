// The drop-down month sheet: which day a click lands on for each first weekday and after
// paging, what it reports, the marks of selection, today and hover, the names in both
// languages, and how the sheet closes.
#include "edit/ClassMonthDD.h"
#include "Drawing.h"
#include "ui/PictureBox.h"

#include <QTest>

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace Drawing;

const QColor kBlue(0, 0, 255);
const QColor kWhite(255, 255, 255);
const QDate k20March(2025, 3, 20);
// Presses on the title line, in twips.
const QPoint kPrevious(150, 150);
const QPoint kCurrent(1370, 150);
const QPoint kNext(2600, 150);

const auto isYellow = [](const QColor& c) {
    return c.red() > 200 && c.green() > 200 && c.blue() < 120;
};
const auto isBlue = [](const QColor& c) { return c == kBlue; };

class MonthPickerTest : public ::testing::Test, protected Drawing::DropDownHost {
protected:
    void SetUp() override
    {
        sheet.Bind(picture);
        const auto note = [this](const char* kind) {
            return [this, kind](const QDate& date) { events << kind + date.toString(Qt::ISODate); };
        };
        QObject::connect(&sheet, &ClassMonthDD::Click, note("c:"));
        QObject::connect(&sheet, &ClassMonthDD::Change, note("h:"));
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
        QTest::mouseClick(picture, button, Qt::NoModifier, pixelAt(twips));
    }

    QImage drawn() const { return picture->image(); }

    QDate today{2025, 3, 12};
    ClassMonthDD sheet{[this] { return today; }};
    QStringList events;
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
    } rows[] = {
        {k20March, 2, {cell(1, 6)}, "c:2025-03-01 h:2025-03-01"},
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
        {QDate(2024, 11, 5), 2, {kCurrent, cell(3, 3)}, "c:2025-03-12 h:2025-03-12"},
    };
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
    } rows[] = {
        {k20March, 2, "en", 0, "March 2025", "Mo"},
        {k20March, 2, "en", 1, "February 2025", "Mo"},
        {QDate(2025, 1, 20), 7, "en", 0, "January 2025", "Sa"},
        {QDate(2025, 1, 20), 1, "de", 0, QStringLiteral("Jänner 2025"), "So"},
        {QDate(2025, 4, 20), 2, "de", 1, QStringLiteral("März 2025"), "Mo"},
    };
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

TEST_F(MonthPickerTest, HoverFramesTheDayUnderTheMouseAndChoosesNothing)
{
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

TEST_F(MonthPickerTest, DisplayOpensOnTheSelectedMonthAndEnterEscapeOrLeavingCloseWithoutAChoice)
{
    Drawing::expectEnterEscapeAndLeavingClose(*this, [&] {
        sheet.setShowDate(QDate(2020, 1, 1));
        open(k20March);
        EXPECT_EQ(sheet.ShowDate(), k20March);
    });
    EXPECT_TRUE(events.isEmpty());
    EXPECT_EQ(sheet.SelectedDate(), k20March);
}

} // namespace
