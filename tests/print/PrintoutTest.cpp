// The day print, the week print and the month planner as drawn on a recording canvas: the
// time grid, appointments cut to it, the columns, the planner's days, and what happens when
// the settings leave nothing to divide.
#include "PrintFixture.h"
#include "print/Druck.h"
#include "print/RecordingCanvas.h"
#include "store/Common.h"

namespace {

using Item = RecordingCanvas::Item;

const QColor kGrey(128, 128, 128);

QList<Item> linesIn(const RecordingCanvas& canvas, const QColor& color, bool dotted = false)
{
    QList<Item> found;
    for (const Item& line : canvas.itemsOf(Item::Line))
        if (line.color == color && line.dotted == dotted)
            found << line;
    return found;
}

// Texts printed in the font of the given size, in drawing order.
QStringList textsOfSize(const RecordingCanvas& canvas, double pointSize)
{
    QStringList texts;
    for (const Item& text : canvas.itemsOf(Item::Text))
        if (text.font.pointSize == pointSize)
            texts << text.text;
    return texts;
}

const Item* textItem(const RecordingCanvas& canvas, const QString& text)
{
    for (const Item& item : canvas.items())
        if (item.kind == Item::Text && item.text == text)
            return &item;
    return nullptr;
}

} // namespace

class PrintoutTest : public PrintFixture {
protected:
    const QDate friday{2003, 7, 4};
    RecordingCanvas portrait;              // A4: W 180, H 267, the grid from y 28 to 279
    RecordingCanvas landscape{{297, 210}}; // W 267, H 180
};

TEST_F(PrintoutTest, TheDayHasARowPerIntervalWithItsTimeAndTitleAndFooterInItsLanguage)
{
    const struct {
        bool grid15;
        int lines;
        const char *secondLabel, *lang, *title, *footer;
    } cases[] = {{false, 21, "08:30", "en", "Friday, 2003-07-04", "printed by Norvane4"},
                 {true, 41, "08:15", "de", "Freitag, 2003-07-04", "gedruckt mit Norvane4"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lang);
        settings.setGrid15Minutes(c.grid15);
        settings.setLangCode(c.lang);
        RecordingCanvas canvas;
        ASSERT_TRUE(Druck(canvas, DaysOf(dataAccess), settings).PrintDay(friday));
        const QList<Item> rows = linesIn(canvas, kGrey);
        ASSERT_EQ(rows.size(), c.lines);
        EXPECT_DOUBLE_EQ(rows.first().y, 28);
        EXPECT_DOUBLE_EQ(rows.last().y, 279);
        EXPECT_DOUBLE_EQ(rows.first().x, 28);
        EXPECT_DOUBLE_EQ(rows.first().x + rows.first().w, 195);
        const QStringList labels = textsOfSize(canvas, 10);
        ASSERT_EQ(labels.size(), c.lines);
        EXPECT_EQ(labels.first(), "08:00");
        EXPECT_EQ(labels[1], c.secondLabel);
        EXPECT_EQ(labels.last(), "18:00");
        EXPECT_DOUBLE_EQ(textItem(canvas, "08:00")->y, 26) << "centred on its line";
        EXPECT_EQ(textsOfSize(canvas, 12), QStringList{c.title});
        const Item* footer = textItem(canvas, c.footer);
        ASSERT_NE(footer, nullptr);
        EXPECT_TRUE(footer->font.italic);
        EXPECT_DOUBLE_EQ(footer->x + footer->w, 195) << "right aligned under the frame";
        EXPECT_DOUBLE_EQ(footer->y, 284);
        EXPECT_TRUE(canvas.finished());
    }
}

TEST_F(PrintoutTest, TheGridWidensToWholeHoursForEveryAppointmentBelowAStripOfAllDayOnes)
{
    store(friday, 7, 15, 9, 0, "Early");
    store(friday, 12, 0, 13, 0, "Noon");
    store(friday, 22, 0, 23, 0, "Late");
    store(friday, 0, 0, 24, 0, "Holiday");
    store(friday, 15, 0, 15, 0, "Call"); // of no length: a thin box
    ASSERT_TRUE(Druck(portrait, DaysOf(dataAccess), settings).PrintDay(friday));
    // A strip row of 5 mm below the title bar, 07:00 to 23:00 in 32 half hours of 246 / 32 mm
    // from y 33 below it; the frame moves right to make room for "all day" left of the strip.
    const QStringList labels = textsOfSize(portrait, 10);
    EXPECT_EQ(labels.size(), 1 + 33);
    EXPECT_EQ(labels.first() + " " + labels[1] + " " + labels.last(), "all day 07:00 23:00");
    EXPECT_DOUBLE_EQ(linesIn(portrait, kGrey).first().y, 33);
    QStringList boxes;
    for (const Item& fill : portrait.itemsOf(Item::Fill))
        boxes << QStringLiteral("%1,%2 %3x%4").arg(fill.x).arg(fill.y).arg(fill.w).arg(fill.h);
    boxes.sort();
    EXPECT_EQ(boxes, (QStringList{"32,109.875 163x15.375", "32,156 163x4", "32,26 163x5",
                                  "32,263.625 163x15.375", "32,36.8438 163x26.9063"}));
    EXPECT_EQ(portrait.itemsOf(Item::Box).size(), 2 + 5) << "title bar, frame, five outlines";
}

TEST_F(PrintoutTest, WeekOfMondayToFridayHasFiveEqualColumns)
{
    settings.setFirstWeekday(2);
    settings.setColor(2, 0x1e140a); // red in the low byte
    store(QDate(2003, 7, 10), 10, 0, 11, 0, "Review");
    const QDate wednesday(2003, 7, 9);
    EXPECT_EQ(Druck::WeekStart(wednesday, settings), QDate(2003, 7, 7));
    ASSERT_TRUE(Druck(landscape, DaysOf(dataAccess), settings).PrintWeek(wednesday));

    // Columns of (267 − 15) / 5 = 50.4 mm from x 30, each closed by a full-height line.
    QStringList separators;
    for (const Item& line : linesIn(landscape, Qt::black))
        separators << QStringLiteral("%1:%2-%3").arg(line.x).arg(line.y).arg(line.y + line.h);
    EXPECT_EQ(separators, (QStringList{"80.4:15-195", "130.8:15-195", "181.2:15-195",
                                       "231.6:15-195", "282:15-195"}));
    QStringList centres;
    for (const QString& title : textsOfSize(landscape, 12)) {
        const Item* item = textItem(landscape, title);
        centres << title + QStringLiteral(" @") + QString::number(item->x + item->w / 2);
    }
    EXPECT_EQ(centres,
              (QStringList{"Mo, 2003-07-07 @55.2", "Tu, 2003-07-08 @105.6", "We, 2003-07-09 @156",
                           "Th, 2003-07-10 @206.4", "Fr, 2003-07-11 @256.8"}));
    const QList<Item> fills = landscape.itemsOf(Item::Fill);
    ASSERT_EQ(fills.size(), 1);
    EXPECT_DOUBLE_EQ(fills[0].x, 181.2) << "Thursday's column, as wide as the column rounded";
    EXPECT_DOUBLE_EQ(fills[0].w, 50);
    EXPECT_EQ(fills[0].color, QColor(10, 20, 30)) << "the colour of its code";
}

TEST_F(PrintoutTest, TwoMonthPlannerForDecember2003)
{
    settings.setFirstWeekday(2);
    ASSERT_TRUE(Druck(landscape, DaysOf(dataAccess), settings).PrintMonthPlanner(12, 2003, true));
    // 62 days across x 15 to 282, the header from y 15, the rows down to 195.
    EXPECT_EQ(textsOfSize(landscape, 12), (QStringList{"December 2003", "January 2004"}));
    QStringList labels, numbers;
    for (const Item& text : landscape.itemsOf(Item::Text)) {
        if (text.y == 26)
            labels << text.text;
        else if (text.y == 31)
            numbers << text.text;
    }
    EXPECT_EQ(labels.size(), 62);
    EXPECT_EQ(labels.mid(0, 8).join(""), "MTWTFSSM") << "1 December 2003 is a Monday";
    EXPECT_EQ(numbers.size(), 62);
    EXPECT_EQ(numbers.mid(29, 4), (QStringList{"30", "31", "1", "2"}));

    const double columnWidth = 267.0 / 62;
    const QList<Item> black = linesIn(landscape, Qt::black);
    const auto newYear = std::find_if(black.begin(), black.end(), [&](const Item& line) {
        return qFuzzyCompare(line.x, 15 + 31 * columnWidth) && line.y == 15 && line.h == 180;
    });
    EXPECT_NE(newYear, black.end()) << "a full-height line at 1 January";
    EXPECT_EQ(landscape.itemsOf(Item::Fill).size(), 17) << "weekends of both months";

    // Planning rows 7.5 mm apart, each on a whole millimetre, halves to the even one.
    QList<double> rows;
    for (const Item& line : linesIn(landscape, kGrey, true))
        rows << line.y;
    ASSERT_FALSE(rows.isEmpty());
    EXPECT_EQ(rows.mid(0, 3), (QList<double>{42, 50, 58}));
    EXPECT_LE(rows.last(), 195 - 7.5);
}

TEST_F(PrintoutTest, NothingToDivideLeavesFrameAndTitleOnly)
{
    const struct {
        const char* what;
        bool week, noRows, noDays;
        int titles; // in Arial 12
    } cases[] = {
        {"a day that ends where it starts", false, true, false, 1},
        {"a week of such days", true, true, false, 5},
        {"a week without a shown day", true, false, true, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.noRows)
            settings.setGridEndTime(settings.GridStartTime());
        for (int weekday = 1; weekday <= 7; ++weekday)
            settings.setShowWeek(weekday, !c.noDays && weekday >= 2 && weekday <= 6);
        RecordingCanvas canvas(c.week ? QSizeF(297, 210) : QSizeF(210, 297));
        Druck druck(canvas, DaysOf(dataAccess), settings);
        ASSERT_TRUE(c.week ? druck.PrintWeek(friday) : druck.PrintDay(friday));
        EXPECT_EQ(canvas.itemsOf(Item::Box).size(), 2) << "title bar and frame";
        EXPECT_EQ(textsOfSize(canvas, 12).size(), c.titles);
        EXPECT_TRUE(linesIn(canvas, kGrey).isEmpty());
        EXPECT_TRUE(canvas.itemsOf(Item::Fill).isEmpty());
        EXPECT_TRUE(textsOfSize(canvas, 6).contains("printed by Norvane4"));
        settings.setGridEndTime(TimeOfDay::fromHourMinute(18, 0));
    }
}

TEST_F(PrintoutTest, AppointmentTextsKeepTheirDirectionControlsAndStayInsideTheirBoxes)
{
    store(friday, 9, 0, 10, 0, QStringLiteral("Budget \u202Ereview"));
    store(friday, 10, 0, 10, 5, "Call\r\nRoom 4"); // lower than its first line
    store(friday, 11, 0, 12, 0, QStringLiteral("\u202C\u2069Notes"));
    ASSERT_TRUE(Druck(portrait, DaysOf(dataAccess), settings).PrintDay(friday));
    const QList<Item> boxes = portrait.itemsOf(Item::Fill);
    ASSERT_EQ(boxes.size(), 3);
    QStringList drawn;
    for (const Item& text : portrait.itemsOf(Item::Text)) {
        if (text.font.pointSize != 9)
            continue; // the grid's times, the title and the footer
        drawn << text.text;
        // A millimetre in from the left, on the first whole millimetre inside the box.
        const auto box = std::find_if(boxes.begin(), boxes.end(), [&](const Item& fill) {
            return text.x == fill.x + 1 && text.y >= fill.y && text.y < fill.y + 1;
        });
        ASSERT_NE(box, boxes.end()) << text.text.toStdString();
        ASSERT_TRUE(text.clip.has_value());
        EXPECT_TRUE(QRectF(box->x, box->y, box->w, box->h).contains(*text.clip))
            << text.text.toStdString();
    }
    drawn.sort();
    EXPECT_EQ(drawn, (QStringList{"Budget \u202Ereview\u202C", "Call", "Notes"}));
}

TEST_F(PrintoutTest, HourLabelsFitTheirStripAndStandCentredOnEvenlySpacedLines)
{
    store(friday, 7, 0, 8, 0, "Early");
    for (const char* format : {"24h", "12h"}) {
        for (const bool week : {false, true}) {
            SCOPED_TRACE(std::string(format) + (week ? " week" : " day"));
            settings.setTimeFormat(format);
            RecordingCanvas canvas(week ? QSizeF(297, 210) : QSizeF(210, 297));
            Druck druck(canvas, DaysOf(dataAccess), settings);
            ASSERT_TRUE(week ? druck.PrintWeek(friday) : druck.PrintDay(friday));
            const QList<Item> rows = linesIn(canvas, kGrey);
            QList<Item> labels;
            for (const Item& text : canvas.itemsOf(Item::Text))
                if (text.font.pointSize == 10)
                    labels << text;
            ASSERT_EQ(labels.size(), rows.size());
            ASSERT_GE(rows.size(), 3);
            EXPECT_EQ(labels.first().text, format == std::string("12h") ? "07:00 am" : "07:00");
            const Item frame = canvas.itemsOf(Item::Box).at(1); // a copy: the list is a temporary
            const double rowHeight = rows[1].y - rows[0].y;
            for (int i = 0; i < rows.size(); ++i) {
                EXPECT_DOUBLE_EQ(rows[i].x, frame.x - 2) << "a tick into the strip";
                EXPECT_LE(labels[i].x + labels[i].w, rows[i].x - 1) << labels[i].text.toStdString();
                EXPECT_GE(labels[i].x, 15);
                EXPECT_DOUBLE_EQ(labels[i].y + labels[i].h / 2, rows[i].y);
                if (i > 0) {
                    EXPECT_NEAR(rows[i].y - rows[i - 1].y, rowHeight, 1e-9);
                }
            }
        }
    }
}

TEST_F(PrintoutTest, TheWeekPrintIsHeadedByItsWeekAndItsDataFolder)
{
    const struct {
        const char* lang;
        QDate date;
        bool workdays; // Monday to Friday shown: the heading names those
        const char* heading;
    } cases[] = {
        {"en", {2026, 12, 9}, false, "Week 50, 7\u201313 December 2026"},
        {"de", {2026, 12, 9}, false, "KW 50, 7.\u201313. Dezember 2026"},
        {"en", {2026, 12, 2}, false, "Week 49, 30 November \u2013 6 December 2026"},
        {"de", {2026, 12, 30}, false, "KW 53, 28. Dezember 2026 \u2013 3. Januar 2027"},
        {"en", {2026, 12, 9}, true, "Week 50, 7\u201311 December 2026"},
        {"de", {2026, 12, 30}, true, "KW 53, 28. Dezember 2026 \u2013 1. Januar 2027"},
    };
    settings.setFirstWeekday(2);
    settings.setFirstCW(2);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.heading);
        settings.setLangCode(c.lang);
        for (int weekday : {1, 7}) // Sunday, Saturday
            settings.setShowWeek(weekday, !c.workdays);
        RecordingCanvas canvas(QSizeF(297, 210));
        ASSERT_TRUE(Druck(canvas, DaysOf(dataAccess), settings).PrintWeek(c.date));
        const QStringList headings = textsOfSize(canvas, 11);
        ASSERT_EQ(headings.size(), 2);
        EXPECT_EQ(headings[0], QString::fromUtf8(c.heading));
        EXPECT_EQ(headings[1], LastPathPart(settings.GetDataFolder()));
        const Item* week = textItem(canvas, headings[0]);
        const Item* folder = textItem(canvas, headings[1]);
        EXPECT_TRUE(week->font.bold);
        EXPECT_DOUBLE_EQ(week->x, 30) << "over the frame's left edge";
        EXPECT_DOUBLE_EQ(folder->x + folder->w, 282) << "ending at the frame's right edge";
        EXPECT_LE(week->y + week->h, 15) << "above the frame";
    }
}

TEST_F(PrintoutTest, TheListRunsOnOverPagesAndKeepsEachHeadingWithALine)
{
    const auto busy = [](const QDate& date) {
        QList<TerminPtr> day;
        for (int hour = 8; hour < 14; ++hour) {
            auto a = std::make_shared<ClassTermin>();
            a->setStartTime(TimeOfDay::fromHourMinute(hour, 0));
            a->setEndTime(TimeOfDay::fromHourMinute(hour + 1, 0));
            a->setText(date.toString("'Day' d"));
            day << a;
        }
        return day;
    };
    settings.setDateFormat("yyyy-mm-dd");
    ASSERT_TRUE(Druck(portrait, busy, settings).PrintList({2003, 7, 1}, {2003, 7, 30}));
    EXPECT_TRUE(portrait.finished());
    EXPECT_GE(portrait.pages(), 4); // 30 days of 37 mm on pages of 251
    EXPECT_EQ(textsOfSize(portrait, 11).value(0), "Tuesday, 2003-07-01");
    for (const Item& text : portrait.itemsOf(Item::Text)) {
        if (text.font.pointSize == 9) {
            EXPECT_LE(text.y + text.h, 282) << "above the footer: " << text.text.toStdString();
        }
    }
}
