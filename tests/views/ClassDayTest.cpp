// The day column: where its labels go and what they say, what only its pixels show, the mouse
// selection that reports a time range to the window, and handing the labels back. The layout rules
// themselves are tests/layout's.
#include "views/ClassDay.h"
#include "ShownText.h"
#include "TestDays.h"
#include "settings/Settings.h"
#include "store/DataAccess.h"
#include "ui/ApiColorPicker.h"
#include "ui/PictureBox.h"
#include "views/DayColumnHost.h"
#include "views/DayWeekView.h"
#include "views/LabelPool.h"

#include <QApplication>
#include <QLabel>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

// The window's side: a real pool of labels on the picture, the heartbeat, and the ranges told.
class FakeHost : public DayColumnHost {
public:
    explicit FakeHost(QWidget* picture)
        : picture(picture)
    {
    }

    QLabel* CreateLabelResource() override
    {
        inUse << new ViewLabel(picture);
        inUse.last()->hide();
        return inUse.last();
    }
    void ReleaseLabelResource(QLabel* label) override { inUse.removeOne(label); }
    bool HighlightToday() const override { return highlightToday; }
    HeartbeatPause& heartbeat() override { return pause; }
    void RangeSelected(const QDate& day, TimeOfDay from, TimeOfDay to) override
    {
        // As "2003-07-04 540-630", and whether the heartbeat beat again when it was told.
        ranges << day.toString(Qt::ISODate) +
                      QString::asprintf(" %d-%d", from.minutes(), to.minutes());
        timerOnWhenTold = timer.isActive();
    }

    QList<QLabel*> inUse;
    bool highlightToday = false;
    QTimer timer; // the heartbeat, running until something pauses it
    HeartbeatPause pause{&timer};
    QStringList ranges;
    bool timerOnWhenTold = false;
    QWidget* picture;
};

const auto sameColour = [](QRgb pixel, const QColor& c) { return QColor(pixel).rgb() == c.rgb(); };

} // namespace

class ClassDayTest : public ::testing::Test {
protected:
    // Column from x 480 to 3615 twips (pixels 32 to 241), y 0 to 9140 (pixel 609), as the view
    // builder sizes it for 20 rows of 450: with the default 08:00 to 18:00 and a 30-minute
    // grid, slots of 450 twips (30 pixels, a pixel a minute), grid line k at pixel 5 + 30 k;
    // labels from pixel 41, 3000 twips (200 pixels) wide.

    void SetUp() override
    {
        settings.setActiveFolder(data.path());
        settings.setTimeFormat("24h");
        host.timer.start(1000);
        picture.resize(260, 640);
        picture.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&picture));
    }

    static int linePx(int k) { return 5 + 30 * k; }

    TerminPtr store(TimeOfDay from, TimeOfDay to, int color = 1, const QString& text = "Budget")
    {
        auto a = std::make_shared<ClassTermin>();
        a->setDatum(day);
        a->setStartTime(from);
        a->setEndTime(to);
        a->setColorCode(qint16(color));
        a->setText(text);
        a->setFilename(DataAccess::DayDirectory(settings.GetDataFolder(), day) +
                       QString::number(++fileNumber) + ".nv3");
        EXPECT_TRUE(dataAccess.SaveAppointment(*a).ok);
        return a;
    }

    // A column as the view builder makes it.
    std::unique_ptr<ClassDay> display(int column_index = 1, const QDate& date = {},
                                      int startX = 480, int endX = 3615)
    {
        auto column = std::make_unique<ClassDay>(DaysOf(dataAccess), settings, &host,
                                                 [this] { return today; });
        column->Bind(&picture);
        column->setDatum(date.isValid() ? date : day);
        column->setStartX(startX);
        column->setEndX(endX);
        column->setStartY(0);
        column->setEndY(9140);
        column->LoadAppointments(true);
        column->DisplayAppointments(column_index);
        return column;
    }

    QLabel* labelOf(int column_index, int position) const
    {
        const QString tag = QStringLiteral("%1|%2").arg(column_index).arg(position);
        for (QLabel* label : host.inUse)
            if (label->property("tag").toString() == tag)
                return label;
        return nullptr;
    }

    // The selection labels are the two borrowed after the appointment labels.
    QLabel* rangeLabel() const { return host.inUse.value(host.inUse.size() - 1); }
    QLabel* markerLabel() const { return host.inUse.value(host.inUse.size() - 2); }

    // In pixels.
    void press(int x, int y) { QTest::mousePress(&picture, Qt::LeftButton, {}, {x, y}); }
    void moveTo(int x, int y) { QTest::mouseMove(&picture, {x, y}); }
    void release(int x, int y) { QTest::mouseRelease(&picture, Qt::LeftButton, {}, {x, y}); }

    QTemporaryDir data;
    QTemporaryDir program;
    ProfileCache profiles{ThreadFileAccess()};
    Settings settings{profiles, program.path()};
    DataAccess dataAccess{profiles, settings};
    PictureBox picture;
    FakeHost host{&picture};
    QDate day{2003, 7, 4};
    QDate today{2003, 7, 4};
    int fileNumber = 0;
};

TEST(DayColumnLayoutTest, LabelTextsBreakAtWordsAndEndInAnEllipsisWhenCut)
{
    const QFont font(QStringLiteral("Arial"), 8);
    const QFontMetrics metrics(font);
    const int line = metrics.lineSpacing();
    const int twoWords = metrics.horizontalAdvance(QStringLiteral("Budget review")) + 2;
    const struct {
        QString text;
        QSize box;
        QStringList lines; // "…" alone: one line, cut, starting with the text's first letters
    } rows[] = {
        {"Budget review meeting", {twoWords, 2 * line}, {"Budget review", "meeting"}},
        {"Budget\nRoom 4", {twoWords, 2 * line}, {"Budget", "Room 4"}},
        {"Budget review meeting", {twoWords, line}, {"…"}},
        {"Rückrufliste", {metrics.horizontalAdvance("Rückrufliste") / 2, 3 * line}, {"…"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text.toStdString());
        const QStringList lines = ClassDay::FittedLines(row.text, font, row.box);
        if (row.lines == QStringList{"…"}) {
            ASSERT_EQ(lines.size(), 1);
            EXPECT_TRUE(lines[0].endsWith(QChar(0x2026)));
            EXPECT_TRUE(row.text.startsWith(lines[0].chopped(1))) << lines[0].toStdString();
            EXPECT_LE(metrics.horizontalAdvance(lines[0]), row.box.width());
        } else {
            EXPECT_EQ(lines, row.lines);
        }
    }
}

TEST_F(ClassDayTest, LabelsShowTextTooltipTagAndColour)
{
    settings.setColor(1, RgbValue(QColor(255, 230, 150)));
    ClassTermin budget = *store(at(9), at(10), 1, "Budget\r\nRoom 4");
    budget.setIsReminder(true);
    budget.setRemindMinutes(10);
    ASSERT_TRUE(dataAccess.SaveAppointment(budget).ok);
    store(at(9, 30), at(11), 1, "Review");
    store(at(10), at(10, 30), 20, "Call"); // a colour code outside the table: colour 1
    const auto column = display(2);
    const QImage seen = picture.grab().toImage();
    QStringList shown;
    for (int i = 1; i <= column->GetAppointmentCount(); ++i) {
        QLabel* label = labelOf(2, i);
        ASSERT_NE(label, nullptr) << "tag 2|" << i;
        EXPECT_TRUE(label->isVisible());
        EXPECT_TRUE(sameColour(seen.pixel(label->geometry().bottomRight() - QPoint(4, 4)),
                               QColor(255, 230, 150)));
        shown << label->text() + " | " + shownText(label->toolTip());
    }
    shown.sort();
    EXPECT_EQ(shown, (QStringList{"Call | Call", "Review | Review",
                                  "[!] Budget\nRoom 4 | [!] Budget..."}));
}

TEST_F(ClassDayTest, LabelTextsKeepTheirDirectionControlsAndPaintInsideBorderAndPadding)
{
    const QColor fill(255, 230, 150);
    settings.setColor(1, RgbValue(fill));
    const struct {
        const char* what;
        QString text;
        int minutes;
        QString shown;
    } cases[] = {
        {"an override closed at its line's end", QStringLiteral("Budget \u202Ereview\r\nRoom 4"),
         60, QStringLiteral("Budget \u202Ereview\u202C\nRoom 4")},
        {"closers without an opener dropped", QStringLiteral("\u202C\u2069Call"), 60, "Call"},
        {"marks stacked on a letter", "H" + QString(60, QChar(0x0301)), 30,
         "H" + QString(60, QChar(0x0301))},
        {"a line higher than its box", "HHHHHHHH", 10, "HHHHHHHH"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QDir(settings.GetDataFolder() + "y2003").removeRecursively();
        store(at(9), TimeOfDay::fromMinutes(9 * 60 + c.minutes), 1, c.text);
        const auto column = display();
        QLabel* label = labelOf(1, 1);
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(), c.shown);
        EXPECT_TRUE(label->styleSheet().isEmpty());
        // The border ring in one colour, the padding inside it in the fill: no text on them.
        const QImage seen = label->grab().toImage();
        const QRgb border = seen.pixel(0, 0);
        for (int y = 0; y < seen.height(); ++y)
            for (int x = 0; x < seen.width(); ++x) {
                const bool onBorder =
                    x == 0 || y == 0 || x == seen.width() - 1 || y == seen.height() - 1;
                const bool onPadding = !onBorder && (x <= 2 || x >= seen.width() - 3 || y == 1 ||
                                                     y == seen.height() - 2);
                if (onBorder || onPadding) {
                    ASSERT_EQ(seen.pixel(x, y), onBorder ? border : fill.rgb()) << x << "," << y;
                }
            }
    }
}

TEST_F(ClassDayTest, LabelsLieWhereTheirTimesAndColumnsSay)
{
    const struct {
        const char* what;
        QString day;
        bool rowPerColor;
        int width; // pixels of a column
    } cases[] = {
        {"overlapping ones share the width", "9-10 9:30-11 10-10:30", false, 100},
        {"one colour a column", "8-9/1 10-11/1 12-13/2", true, 100},
        {"colours share a column without rowPerColor", "8-9/1 10-11/1 12-13/2", false, 200},
        {"before the day start and ending before it starts", "7-8:30 11-10", false, 200},
        {"the fifty-first one left of column one", QString("9-10 ").repeated(51), false, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QDir(settings.GetDataFolder() + "y2003").removeRecursively();
        settings.setRowPerColor(c.rowPerColor);
        for (const TerminPtr& a : dayOf(c.day))
            store(a->StartTime(), a->EndTime(), a->ColorCode());
        const auto column = display();
        for (int i = 1; i <= column->GetAppointmentCount(); ++i) {
            // A pixel a minute from 08:00, drawn from the start for the absolute length.
            const TerminPtr a = column->Appointment(i);
            const int start = a->StartTime().minutes() - 8 * 60;
            const int length = std::abs(a->EndTime().minutes() - a->StartTime().minutes());
            EXPECT_EQ(
                labelOf(1, i)->geometry(),
                QRect(41 + (column->columns()[i - 1] - 1) * c.width, 5 + start, c.width, length))
                << i;
        }
    }
}

TEST(LabelPoolTest, LabelsGivenBackAreTakenAgainAndSparesBeyondTheKeptAreDeleted)
{
    QWidget grid;
    LabelPool pool(&grid, nullptr);
    QList<QPointer<QLabel>> first;
    for (int i = 0; i < 3; ++i)
        first << pool.CreateLabelResource();
    for (const QPointer<QLabel>& label : first) {
        label->show();
        pool.ReleaseLabelResource(label);
        EXPECT_TRUE(label->isHidden());
    }
    pool.ReleaseLabelResource(first[0]); // twice: ignored
    EXPECT_EQ(pool.inUse() * 10 + pool.spare(), 3);
    QList<QLabel*> again{pool.CreateLabelResource(), pool.CreateLabelResource()};
    EXPECT_EQ(again, (QList<QLabel*>{first[0], first[1]})) << "lowest first";
    EXPECT_EQ(pool.inUse() * 10 + pool.spare(), 21);
    pool.ReleaseLabelResource(again[1]);
    pool.dropSpares(1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(QList<bool>({!first[0], !first[1], !first[2]}), (QList<bool>{false, false, true}));
    EXPECT_EQ(pool.inUse() * 10 + pool.spare(), 11);
}

// The week's strip is as high as its busiest day's; the hours stay the settings'.
TEST_F(ClassDayTest, AWeekOfManyAppointmentsShowsWithTheGridVisibleItsFocusKeptAndItsStrip)
{
    QWidget window;
    window.resize(900, 700);
    PictureBox header(&window);
    header.setGeometry(0, 0, 880, 680);
    QWidget panel(&header);
    panel.setGeometry(0, 30, 860, 640);
    PictureBox grid(&panel);
    grid.setGeometry(4, 0, 850, 640);
    QScrollBar scroll(&header);
    FakeHost gridHost(&grid);
    QList<TerminPtr> crowded;
    for (int i = 0; i < 400; ++i)
        crowded << dayOf("9-10").first();
    QList<TerminPtr> others;
    DayWeekView view(
        settings, [&](const QDate& d) { return d == day ? crowded : others; }, gridHost,
        {&header, &panel, &grid, &scroll}, [this] { return today; });
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    grid.setFocus();
    view.LoadView(day, true);
    EXPECT_TRUE(grid.isVisible());
    EXPECT_EQ(QApplication::focusWidget(), &grid);
    int shown = 0;
    for (const QLabel* label : gridHost.inUse)
        shown += label->property("tag").isValid() && label->isVisible();
    EXPECT_EQ(shown, 400);

    crowded = dayOf("0-24 0-24 9-10");
    others = dayOf("9-9");
    view.LoadView(day, true);
    EXPECT_EQ(view.ShownHours(), std::make_pair(at(8), at(18)));
    EXPECT_EQ(view.DayColumn(1)->FirstLineY(), 60 + 2 * 270 + 60 + 15);
    EXPECT_EQ(view.timeGrid().firstLineY, view.DayColumn(view.DayColumnCount())->FirstLineY());
}

TEST_F(ClassDayTest, GridLinesBordersAndTodaysTintInTheirColours)
{
    for (bool grid15 : {true, false}) {
        settings.setGrid15Minutes(grid15);
        const auto column = display();
        int lines = 0; // down the middle of the column
        for (int y = 0; y < picture.image().height(); ++y)
            lines += sameColour(picture.image().pixel(140, y), ClassDay::kGridColor);
        EXPECT_EQ(lines, grid15 ? 41 : 21) << "08:00 to 18:00 on every line";
    }
    const auto column = display();
    // Grid lines from edge to edge up to 18:00; borders left, right and bottom, none on top.
    const struct {
        QPoint at;
        QColor colour;
    } probes[] = {
        // clang-format off
        {{33, linePx(0)}, ClassDay::kGridColor}, {{240, linePx(0)}, ClassDay::kGridColor},
        {{33, linePx(20)}, ClassDay::kGridColor}, {{240, linePx(20)}, ClassDay::kGridColor},
        {{100, linePx(21)}, Qt::white}, {{100, 0}, Qt::white},
        {{32, 300}, Qt::black}, {{241, 300}, Qt::black}, {{100, 609}, Qt::black},
        // clang-format on
    };
    for (const auto& p : probes)
        EXPECT_TRUE(sameColour(picture.image().pixel(p.at), p.colour))
            << p.at.x() << "," << p.at.y();
    const auto background = [this](bool highlight, const QDate& date) {
        host.highlightToday = highlight;
        const auto column = display(1, date);
        return picture.image().pixel(100, 20);
    };
    EXPECT_TRUE(sameColour(background(true, today), ClassDay::kTodayColor));
    EXPECT_TRUE(sameColour(background(true, today.addDays(1)), Qt::white));
    EXPECT_TRUE(sameColour(background(false, today), Qt::white));
}

TEST_F(ClassDayTest, DraggingOutARangeTellsTheWindowItsDayAndTimes)
{
    const auto column = display();
    // Less than half a slot below the 09:00 line.
    press(140, linePx(2) + 5);
    ASSERT_TRUE(column->IsSelecting());
    EXPECT_FALSE(host.timer.isActive()) << "the heartbeat rests during the drag";
    QLabel* range = rangeLabel();
    QLabel* marker = markerLabel();
    EXPECT_EQ(range->text(), "09:00 - ??");
    EXPECT_EQ(marker->geometry(), QRect(34, linePx(2), 6, 2));
    EXPECT_EQ(range->pos(), QPoint(40, linePx(2)));
    moveTo(140, linePx(5) + 3);
    EXPECT_EQ(range->text(), "09:00 - 10:30");
    EXPECT_EQ(marker->geometry(), QRect(34, linePx(2), 6, 90));
    const QImage seen = picture.grab().toImage();
    EXPECT_TRUE(sameColour(seen.pixel(36, linePx(4)), ClassDay::kSelectionColor));
    release(140, linePx(5) + 3);
    EXPECT_EQ(host.ranges, QStringList{"2003-07-04 540-630"});
    EXPECT_TRUE(host.timerOnWhenTold) << "the window pauses it for the edit itself";
    EXPECT_TRUE(dataAccess.GetAppointmentsOfDay(day).isEmpty()) << "the column creates nothing";
}

TEST_F(ClassDayTest, DragsThatEndElsewhereShowWhereTheyAreAndCreateOnlyWhatTheySay)
{
    const auto L = linePx;
    const struct {
        const char* what;
        int press, move, release; // y in pixels
        QString shown;            // after the move; empty when no drag started
        std::optional<TimeOfDay> createdUntil = {};
        int pressX = 140;
        int releaseX = 140;
        const char* timeFormat = "24h";
    } cases[] = {
        {"up to the day end", L(18), L(20), L(20), "17:00 - 18:00", at(18)},
        {"past the day end", L(18), L(21), L(21), "17:00 - ??"},
        {"above the start", L(2), L(0), L(1), "09:00 - ??"},
        {"released on the start line", L(2), L(2) + 3, L(2) + 3, "09:00 - ??"},
        {"released right of the column", L(2), L(5), L(5), "09:00 - 10:30", {}, 140, 250},
        {"12-hour, released below", L(10), L(11), 620, "01:00 pm - 01:30 pm", {}, 140, 140, "12h"},
        {"pressed over the hour labels", L(2), L(4), L(4), "", {}, 20},
        {"pressed between two bands", L(2) + 15, L(4), L(4), ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        settings.setTimeFormat(c.timeFormat);
        host.ranges.clear();
        const auto column = display();
        press(c.pressX, c.press);
        EXPECT_EQ(column->IsSelecting(), !c.shown.isEmpty());
        EXPECT_EQ(host.timer.isActive(), c.shown.isEmpty());
        moveTo(140, c.move);
        EXPECT_EQ(rangeLabel()->isVisible() ? rangeLabel()->text() : QString(), c.shown);
        if (c.move < c.press) {
            EXPECT_EQ(markerLabel()->height(), 2) << "the bar keeps its small height";
        }
        release(c.releaseX, c.release);
        EXPECT_FALSE(column->IsSelecting());
        EXPECT_FALSE(rangeLabel()->isVisible());
        EXPECT_FALSE(markerLabel()->isVisible());
        EXPECT_TRUE(host.timer.isActive());
        ASSERT_EQ(host.ranges.size(), c.createdUntil ? 1 : 0);
        if (c.createdUntil) {
            EXPECT_TRUE(host.ranges[0].endsWith(QString::number(c.createdUntil->minutes())));
        }
    }
}

TEST_F(ClassDayTest, EachColumnReactsInsideItsOwnRectangleAndGivesTheHeartbeatBackWhenReleased)
{
    const auto first = display(1, day, 480, 1980);
    auto second = display(2, day.addDays(1), 1980, 3615);
    press(200, linePx(3));
    EXPECT_FALSE(first->IsSelecting());
    EXPECT_TRUE(second->IsSelecting());
    EXPECT_EQ(rangeLabel()->text(), "09:30 - ??");
    EXPECT_FALSE(host.inUse[1]->isVisible()) << "the first column's range text";
    ASSERT_FALSE(host.timer.isActive());
    second.reset(); // in the middle of the drag
    EXPECT_TRUE(host.timer.isActive());
    release(200, linePx(4)); // reaches no column any more
    EXPECT_TRUE(host.timer.isActive());
}

TEST_F(ClassDayTest, AllDayOnesShowInAStripAboveTheHoursAndOnesOfNoLengthAsAThinBox)
{
    store(at(0), TimeOfDay::fromMinutes(TimeOfDay::kEndOfDay), 1, "Holiday");
    store(at(9), at(10), 1, "Meeting");
    store(at(11), at(11), 1, "Call");
    const auto column = display();
    // A strip row of 18 pixels from pixel 4; the grid below it from pixel 27, 29 a slot.
    QStringList shown;
    for (int i = 1; i <= column->GetAppointmentCount(); ++i) {
        const QRect r = labelOf(1, i)->geometry();
        shown << column->Appointment(i)->Text() +
                     QString::asprintf(" %d,%d %dx%d", r.x(), r.y(), r.width(), r.height());
    }
    shown.sort();
    EXPECT_EQ(shown,
              (QStringList{"Call 41,201 200x12", "Holiday 41,4 200x18", "Meeting 41,85 200x58"}));
    EXPECT_EQ(column->FirstLineY(), 405);
    press(140, 10);
    EXPECT_FALSE(column->IsSelecting()) << "the strip makes no range";
}
