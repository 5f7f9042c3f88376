// The day column: overlap layout, what it paints and where its labels go, the mouse
// selection that creates an appointment, and handing the labels back.
#include "ClassDay.h"
#include "ApiColorPicker.h"
#include "ApiLoginName.h"
#include "AppointmentEditing.h"
#include "AppointmentFiling.h"
#include "DataAccess.h"
#include "DayColumnHost.h"
#include "PictureBox.h"
#include "Screenshots.h"
#include "Settings.h"
#include "TestFiles.h"

#include <QDir>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>

#include <gtest/gtest.h>

#include <memory>
#include <random>

namespace {

TimeOfDay at(int hour, int minute = 0)
{
    return TimeOfDay::fromHourMinute(hour, minute);
}

TerminPtr termin(TimeOfDay from, TimeOfDay to, int color = 1)
{
    auto a = std::make_shared<ClassTermin>();
    a->setStartTime(from);
    a->setEndTime(to);
    a->setColorCode(qint16(color));
    a->Column = 7; // left over from an older view
    return a;
}

QList<int> columnsOf(const QList<TerminPtr>& list)
{
    QList<int> columns;
    for (const TerminPtr& a : list)
        columns << a->Column;
    return columns;
}

// The window's side: a real pool of labels on the picture, the heartbeat and the refresh.
class FakeHost : public DayColumnHost {
public:
    explicit FakeHost(QWidget* picture)
        : m_picture(picture)
    {
    }

    QLabel* CreateLabelResource() override
    {
        auto* label = new QLabel(m_picture);
        label->hide();
        inUse << label;
        return label;
    }
    void ReleaseLabelResource(QLabel* label) override
    {
        if (!inUse.removeOne(label))
            return;
        label->hide();
        released << label;
    }
    bool HighlightToday() const override { return highlightToday; }
    QTimer* heartbeat() override { return &timer; }
    void StartRefreshTimer() override { ++refreshRequests; }
    void ShowFailure(const QString& message) override { failures << message; }

    QLabel* labelTagged(const QString& tag) const
    {
        for (QLabel* label : inUse)
            if (label->property("tag").toString() == tag)
                return label;
        return nullptr;
    }

    QList<QLabel*> inUse;
    QList<QLabel*> released;
    bool highlightToday = false;
    QTimer timer; // the heartbeat, running until something pauses it
    int refreshRequests = 0;
    QStringList failures;

private:
    QWidget* m_picture;
};

// What a tooltip shows: Qt renders it as rich text when it looks like some.
QString shownToolTip(const QLabel* label)
{
    if (!Qt::mightBeRichText(label->toolTip()))
        return label->toolTip();
    QTextDocument document;
    document.setHtml(label->toolTip());
    return document.toPlainText();
}

bool sameColour(QRgb pixel, const QColor& colour)
{
    return qRed(pixel) == colour.red() && qGreen(pixel) == colour.green() &&
           qBlue(pixel) == colour.blue();
}

} // namespace

// ---------------------------------------------------------------------------------------
// Layout rules

TEST(DayColumnLayoutTest, TouchingAppointmentsDoNotOverlap)
{
    EXPECT_TRUE(ClassDay::Overlaps(at(9), at(10), at(9, 30), at(11)));
    EXPECT_TRUE(ClassDay::Overlaps(at(9), at(10), at(8), at(12)));
    EXPECT_FALSE(ClassDay::Overlaps(at(9), at(10), at(10), at(10, 30)));
    EXPECT_FALSE(ClassDay::Overlaps(at(10), at(10, 30), at(9), at(10)));
}

TEST(DayColumnLayoutTest, OverlappingAppointmentsStandSideBySide)
{
    const QList<TerminPtr> day = {termin(at(9), at(10)), termin(at(9, 30), at(11)),
                                  termin(at(10), at(10, 30))};
    ClassDay::AssignColumns(day, false);
    EXPECT_EQ(columnsOf(day), (QList<int>{1, 2, 1})) << "the third only touches the first";
    EXPECT_EQ(ClassDay::MaxColumn(day), 2);
}

TEST(DayColumnLayoutTest, RowPerColorGivesEachColourItsOwnColumn)
{
    const QList<TerminPtr> day = {termin(at(8), at(9), 1), termin(at(10), at(11), 1),
                                  termin(at(12), at(13), 2)};
    ClassDay::AssignColumns(day, false);
    EXPECT_EQ(columnsOf(day), (QList<int>{1, 1, 1}));
    ClassDay::AssignColumns(day, true);
    EXPECT_EQ(columnsOf(day), (QList<int>{1, 1, 2}));
    EXPECT_EQ(ClassDay::MaxColumn(day), 2);
}

TEST(DayColumnLayoutTest, TheFiftyFirstOverlappingAppointmentGetsNoColumn)
{
    QList<TerminPtr> day;
    for (int i = 0; i < 51; ++i)
        day << termin(at(9), at(10));
    ClassDay::AssignColumns(day, false);
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(day[i]->Column, i + 1);
    EXPECT_EQ(day[50]->Column, 0);
    EXPECT_EQ(ClassDay::MaxColumn(day), 50);
}

TEST(DayColumnLayoutTest, HandMadeDays)
{
    struct Slot {
        TimeOfDay from;
        TimeOfDay to;
        int color = 1;
    };
    const struct {
        const char* what;
        QList<Slot> day;
        bool rowPerColor;
        QList<int> columns;
    } cases[] = {
        {"list order, not time order, decides",
         {{at(10), at(11)}, {at(12), at(13)}, {at(9), at(14)}, {at(9, 30), at(10, 30)}},
         false,
         {1, 1, 2, 3}},
        {"a gap in a column is filled by a later one",
         {{at(8), at(9)}, {at(8), at(12)}, {at(11), at(12)}, {at(9), at(11)}},
         false,
         {1, 2, 1, 1}},
        {"zero length: inside another it overlaps, at an edge or on its like it does not",
         {{at(9), at(9)}, {at(9), at(9)}, {at(8), at(10)}, {at(10), at(10)}},
         false,
         {1, 1, 2, 1}},
        {"ending before it starts: overlaps only what spans its end to its start",
         {{at(10), at(9)}, {at(8), at(12)}, {at(9, 30), at(9, 45)}, {at(11), at(8)}},
         false,
         {1, 2, 1, 1}},
        {"each colour keeps its own columns",
         {{at(9), at(10), 1}, {at(9), at(10), 2}, {at(9), at(10), 1}, {at(11), at(12), 2}},
         true,
         {1, 2, 3, 2}},
        {"without rowPerColor colours mix",
         {{at(9), at(10), 1}, {at(9), at(10), 2}, {at(9), at(10), 1}, {at(11), at(12), 2}},
         false,
         {1, 2, 3, 1}},
    };
    for (const auto& c : cases) {
        QList<TerminPtr> day;
        for (const Slot& s : c.day)
            day << termin(s.from, s.to, s.color);
        ClassDay::AssignColumns(day, c.rowPerColor);
        EXPECT_EQ(columnsOf(day), c.columns) << c.what;
    }
}

// The rules as a check on random crowded days: an appointment takes the lowest column in
// which no earlier one overlaps it (nor, with rowPerColor, has another colour), none when all
// 50 are closed; so overlapping appointments never share a column.
TEST(DayColumnLayoutTest, RandomDaysFollowTheColumnRules)
{
    std::mt19937 rng(20030704);
    for (int round = 0; round < 200; ++round) {
        const bool rowPerColor = round % 2 == 1;
        // Narrow days crowd past 50 columns; lengths from -30 to +90 minutes.
        const int quarters = 2 + int(rng() % 40);
        QList<TerminPtr> day;
        for (int i = 0, n = 1 + int(rng() % 120); i < n; ++i) {
            const int from = 8 * 60 + int(rng() % quarters) * 15;
            const int to = from + (int(rng() % 9) - 2) * 15;
            day << termin(TimeOfDay::fromMinutes(from), TimeOfDay::fromMinutes(to),
                          1 + int(rng() % 3));
        }
        ClassDay::AssignColumns(day, rowPerColor);

        const auto clash = [&](qsizetype i, qsizetype j) {
            const ClassTermin& a = *day[i];
            const ClassTermin& b = *day[j];
            return ClassDay::Overlaps(a.StartTime(), a.EndTime(), b.StartTime(), b.EndTime()) ||
                   (rowPerColor && a.ColorCode() != b.ColorCode());
        };
        for (qsizetype i = 0; i < day.size(); ++i) {
            int lowestOpen = 0;
            for (int col = 1; col <= ClassDay::kMaxColumns && lowestOpen == 0; ++col) {
                bool open = true;
                for (qsizetype j = 0; j < i && open; ++j)
                    open = day[j]->Column != col || !clash(i, j);
                if (open)
                    lowestOpen = col;
            }
            ASSERT_EQ(day[i]->Column, lowestOpen) << "round " << round << ", appointment " << i;
        }
    }
}

TEST(DayColumnLayoutTest, MaxColumnIsAtLeastOne)
{
    EXPECT_EQ(ClassDay::MaxColumn({}), 1);
}

TEST(DayColumnLayoutTest, FirstLineCutsAtTheFirstLineBreak)
{
    EXPECT_EQ(ClassDay::FirstLine("Budget\r\nRoom 4"), "Budget...");
    EXPECT_EQ(ClassDay::FirstLine("Budget\nRoom 4"), "Budget...");
    EXPECT_EQ(ClassDay::FirstLine("Budget\rRoom 4"), "Budget...");
    EXPECT_EQ(ClassDay::FirstLine("Budget"), "Budget");
    EXPECT_EQ(ClassDay::FirstLine(""), "");
}

// ---------------------------------------------------------------------------------------
// The column on a picture

class ClassDayTest : public ::testing::Test {
protected:
    // Column from x 480 to 3615 twips (pixels 32 to 241), y 0 to 9140 (pixel 609), as the view
    // builder sizes it for 20 rows of 450: with the default 08:00 to 18:00 and a 30-minute
    // grid, slots of 450 twips (30 pixels), grid line k at pixel 5 + 30 k; 3000 twips of label
    // width, 1500 (100 pixels) per half.
    static constexpr int kStartX = 480;
    static constexpr int kEndX = 3615;
    static constexpr int kEndY = 9140;
    static constexpr int kLabelsLeftPx = (kStartX + 135) / 15; // 41
    static constexpr int kLabelsWidth = kEndX - kStartX - 135; // 3000

    void SetUp() override
    {
        ASSERT_TRUE(data.isValid());
        settings.setActiveFolder(data.path());
        settings.setTimeFormat("24h");
        settings.setDateFormat("yyyy-mm-dd");
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

    std::unique_ptr<ClassDay> makeColumn(const QDate& date, int startX = kStartX, int endX = kEndX)
    {
        auto column = std::make_unique<ClassDay>(dataAccess, settings, editing, &host,
                                                 [this] { return today; });
        column->Bind(&picture);
        column->setDatum(date);
        column->setStartX(startX);
        column->setEndX(endX);
        column->setStartY(0);
        column->setEndY(kEndY);
        return column;
    }

    // A column as the view builder makes it.
    std::unique_ptr<ClassDay> display(int column_index = 1)
    {
        auto column = makeColumn(day);
        column->LoadAppointments(true);
        column->DisplayAppointments(column_index);
        return column;
    }

    QLabel* labelOf(int column_index, int position) const
    {
        return host.labelTagged(QStringLiteral("%1|%2").arg(column_index).arg(position));
    }

    // The selection labels are the two borrowed after the appointment labels.
    QLabel* rangeLabel() const { return host.inUse.value(host.inUse.size() - 1); }
    QLabel* markerLabel() const { return host.inUse.value(host.inUse.size() - 2); }

    void press(int xPx, int yPx) { QTest::mousePress(&picture, Qt::LeftButton, {}, {xPx, yPx}); }
    void moveTo(int xPx, int yPx) { QTest::mouseMove(&picture, {xPx, yPx}); }
    void release(int xPx, int yPx)
    {
        QTest::mouseRelease(&picture, Qt::LeftButton, {}, {xPx, yPx});
    }

    // Counts the grid rows of a column by their colour, down the middle of the column.
    int gridLinesDrawn() const
    {
        int lines = 0;
        const QImage image = picture.image();
        for (int y = 0; y < image.height(); ++y)
            if (sameColour(image.pixel(140, y), ClassDay::kGridColor))
                ++lines;
        return lines;
    }

    // An editor that confirms with a text, remembering what it was given.
    void confirmingEditor(const QString& text = "Planning")
    {
        editing.setEditor([this, text](EditHandOver& h) {
            edited = *h.EditedAppointment;
            editedWasNew = h.EditIsNew;
            timerDuringEdit = host.timer.isActive();
            ++editorCalls;
            h.EditedAppointment->setText(text);
        });
    }

    QTemporaryDir data;
    QTemporaryDir program;
    ProfileCache profiles{RealFileAccess::instance()};
    Settings settings{profiles, program.path()};
    DataAccess dataAccess{profiles, settings};
    AppointmentFiling filing{dataAccess, settings};
    AppointmentEditing editing{filing};
    PictureBox picture;
    FakeHost host{&picture};
    QDate day{2003, 7, 4};
    QDate today{2003, 7, 4};
    int fileNumber = 0;

    ClassTermin edited;
    bool editedWasNew = false;
    bool timerDuringEdit = true;
    int editorCalls = 0;
};

TEST_F(ClassDayTest, OverlapsShareTheWidthAndLabelsCarryTagCaptionAndColour)
{
    settings.setColor(1, RgbValue(QColor(255, 230, 150)));
    store(at(9), at(10), 1, "Budget\r\nRoom 4");
    store(at(9, 30), at(11), 1, "Review");
    store(at(10), at(10, 30), 1, "Call");
    const auto column = display(2);
    Screenshots::save(&picture, "daycolumn_overlaps");

    ASSERT_EQ(column->GetAppointmentCount(), 3);
    QList<int> columns;
    for (int i = 1; i <= 3; ++i) {
        const ClassTermin* a = column->Appointment(i);
        ASSERT_NE(a, nullptr);
        columns << a->Column;
        QLabel* label = labelOf(2, i);
        ASSERT_NE(label, nullptr) << "tag 2|" << i;
        EXPECT_TRUE(label->isVisible());
        // Half of the free width each, side by side.
        EXPECT_EQ(label->width(), 100);
        EXPECT_EQ(label->x(), kLabelsLeftPx + (a->Column - 1) * 100);
        const int startSlotMinutes = a->StartTime().minutes() - 8 * 60;
        EXPECT_EQ(label->y(), 5 + startSlotMinutes);
        EXPECT_EQ(label->height(), a->EndTime().minutes() - a->StartTime().minutes());
        EXPECT_EQ(label->text(), QString(a->Text()).replace("\r\n", "\n"));
        EXPECT_EQ(shownToolTip(label), ClassDay::FirstLine(a->Text()));
        // The label's colour is colour 1 of the settings, seen where no text is.
        const QImage seen = picture.grab().toImage();
        const QPoint inside = label->geometry().bottomRight() - QPoint(4, 4);
        EXPECT_TRUE(sameColour(seen.pixel(inside), QColor(255, 230, 150)))
            << "label " << i << " shows " << QColor(seen.pixel(inside)).name().toStdString();
    }
    std::sort(columns.begin(), columns.end());
    EXPECT_EQ(columns.last(), 2) << "at most two appointments overlap at any time";
    EXPECT_EQ(shownToolTip(labelOf(2, 1)).endsWith("..."),
              column->Appointment(1)->Text().contains('\n'));
}

TEST_F(ClassDayTest, ReminderAndRecurringPrefixesReachCaptionAndTooltip)
{
    const TerminPtr a = store(at(9), at(10), 1, "Budget\r\nRoom 4");
    a->setIsReminder(true);
    a->setRemindMinutes(10);
    ASSERT_TRUE(dataAccess.SaveAppointment(*a).ok);
    const auto column = display();
    ASSERT_NE(labelOf(1, 1), nullptr);
    EXPECT_EQ(labelOf(1, 1)->text(), "[!] Budget\nRoom 4");
    EXPECT_EQ(shownToolTip(labelOf(1, 1)), "[!] Budget...");
}

TEST_F(ClassDayTest, RowPerColorPutsEachColourInItsOwnColumn)
{
    store(at(8), at(9), 1);
    store(at(10), at(11), 1);
    store(at(12), at(13), 2);
    {
        const auto column = display();
        for (int i = 1; i <= 3; ++i)
            EXPECT_EQ(column->Appointment(i)->Column, 1) << "nothing overlaps";
        EXPECT_EQ(labelOf(1, 1)->width(), 200);
    }
    settings.setRowPerColor(true);
    const auto column = display();
    for (int i = 1; i <= 3; ++i) {
        const ClassTermin* a = column->Appointment(i);
        EXPECT_NE(a->Column, 0);
        // The colour first met gets column 1.
        EXPECT_EQ(a->Column, a->ColorCode() == column->Appointment(1)->ColorCode() ? 1 : 2);
        EXPECT_EQ(labelOf(1, i)->width(), 100);
        EXPECT_EQ(labelOf(1, i)->x(), kLabelsLeftPx + (a->Column - 1) * 100);
    }
}

TEST_F(ClassDayTest, TheFiftyFirstOverlappingLabelLiesOneColumnLeftOfColumnOne)
{
    for (int i = 0; i < 51; ++i)
        store(at(9), at(10));
    const auto column = display();
    ASSERT_EQ(column->GetAppointmentCount(), 51);
    const int colWPx = kLabelsWidth / 50 / 15; // 4 pixels
    int withoutColumn = 0;
    for (int i = 1; i <= 51; ++i) {
        const ClassTermin* a = column->Appointment(i);
        QLabel* label = labelOf(1, i);
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->width(), colWPx);
        if (a->Column == 0) {
            ++withoutColumn;
            EXPECT_EQ(label->x(), kLabelsLeftPx - colWPx);
        } else {
            EXPECT_EQ(label->x(), kLabelsLeftPx + (a->Column - 1) * colWPx);
        }
    }
    EXPECT_EQ(withoutColumn, 1);
    EXPECT_EQ(column->Appointment(51)->Column, 0) << "the last in list order is left out";
}

TEST_F(ClassDayTest, EarlyAndReversedAppointmentsAreDrawnFromTheirStart)
{
    store(at(7), at(8, 30), 1, "early");
    store(at(11), at(10), 2, "reversed");
    const auto column = display();
    for (int i = 1; i <= 2; ++i) {
        QLabel* label = labelOf(1, i);
        if (column->Appointment(i)->Text() == "early") {
            // One hour before the first grid line, an hour and a half long.
            EXPECT_EQ(label->y(), linePx(0) - 60);
            EXPECT_LT(label->y(), linePx(0));
            EXPECT_EQ(label->height(), 90);
        } else {
            // Downwards from 11:00 for the absolute hour.
            EXPECT_EQ(label->y(), linePx(6));
            EXPECT_EQ(label->height(), 60);
        }
    }
}

TEST_F(ClassDayTest, ColourCodesOutsideTheTableTakeColourOne)
{
    settings.setColor(1, RgbValue(QColor(200, 100, 50)));
    store(at(9), at(10), 20);
    const auto column = display();
    ASSERT_EQ(column->Appointment(1)->ColorCode(), 20);
    QLabel* label = labelOf(1, 1);
    const QImage seen = picture.grab().toImage();
    EXPECT_TRUE(sameColour(seen.pixel(label->geometry().bottomRight() - QPoint(4, 4)),
                           QColor(200, 100, 50)));
}

TEST_F(ClassDayTest, GridHasALineForEveryHalfHourOfTheDay)
{
    const auto column = display();
    const QImage image = picture.image();
    for (int k = 0; k <= 20; ++k) {
        EXPECT_TRUE(sameColour(image.pixel(100, linePx(k)), ClassDay::kGridColor)) << "line " << k;
        // The line spans the column inside its borders.
        EXPECT_TRUE(sameColour(image.pixel(33, linePx(k)), ClassDay::kGridColor));
        EXPECT_TRUE(sameColour(image.pixel(240, linePx(k)), ClassDay::kGridColor));
        EXPECT_TRUE(sameColour(image.pixel(100, linePx(k) + 15), Qt::white));
    }
    EXPECT_EQ(gridLinesDrawn(), 21);
    EXPECT_TRUE(sameColour(image.pixel(100, linePx(21)), Qt::white)) << "no line after 18:00";
    // Borders left, right and bottom; none on top.
    EXPECT_TRUE(sameColour(image.pixel(32, 300), Qt::black));
    EXPECT_TRUE(sameColour(image.pixel(241, 300), Qt::black));
    EXPECT_TRUE(sameColour(image.pixel(100, 609), Qt::black));
    EXPECT_TRUE(sameColour(image.pixel(100, 0), Qt::white));
}

TEST_F(ClassDayTest, FifteenMinuteGridHasFortyOneLines)
{
    settings.setGrid15Minutes(true);
    const auto column = display();
    EXPECT_EQ(column->SlotHeight(), 225);
    EXPECT_EQ(gridLinesDrawn(), 41);
}

TEST_F(ClassDayTest, TodayIsTintedOnlyWhenTheViewHighlightsIt)
{
    const QColor white(Qt::white);
    const auto backgroundOf = [this](const QDate& date) {
        auto column = makeColumn(date);
        column->LoadAppointments(true);
        column->DisplayAppointments(1);
        return picture.image().pixel(100, 20);
    };
    host.highlightToday = true;
    EXPECT_TRUE(sameColour(backgroundOf(today), ClassDay::kTodayColor));
    EXPECT_TRUE(sameColour(backgroundOf(today.addDays(1)), white));
    host.highlightToday = false;
    EXPECT_TRUE(sameColour(backgroundOf(today), white));
}

TEST_F(ClassDayTest, AppointmentLookupIsOneBasedAndSafeForOldTags)
{
    store(at(9), at(10));
    store(at(11), at(12));
    const auto column = display();
    const QList<TerminPtr> stored = dataAccess.GetAppointmentsOfDay(day);
    ASSERT_EQ(stored.size(), 2);
    EXPECT_EQ(column->Appointment(1), stored[0].get());
    EXPECT_EQ(column->Appointment(2), stored[1].get());
    EXPECT_EQ(column->Appointment(0), nullptr);
    EXPECT_EQ(column->Appointment(3), nullptr);
    EXPECT_EQ(column->Appointment(-1), nullptr);
}

TEST_F(ClassDayTest, EveryLabelGoesBackLastFirst)
{
    store(at(9), at(10));
    store(at(11), at(12));
    auto column = display();
    const QList<QLabel*> borrowed = host.inUse;
    ASSERT_EQ(borrowed.size(), 4) << "two appointments, the bar and the range text";
    column.reset();
    EXPECT_TRUE(host.inUse.isEmpty());
    QList<QLabel*> lastFirst(borrowed.rbegin(), borrowed.rend());
    EXPECT_EQ(host.released, lastFirst);
    for (QLabel* label : borrowed)
        EXPECT_FALSE(label->isVisible());
}

TEST_F(ClassDayTest, PrintLayoutFillsTheGivenAreaWithoutMargins)
{
    settings.setColor(2, RgbValue(QColor(10, 20, 30)));
    store(at(9), at(10), 2, "Budget");
    store(at(9, 30), at(11), 2, "Review");
    store(at(7), at(8), 2, "Early");
    ClassDay column(dataAccess, settings, editing, nullptr);
    column.setDatum(day);
    column.LoadAppointments(false);
    EXPECT_FALSE(column.GetAppointmentConstraint(0)) << "nothing before the layout";
    column.CalculateAppointmentPositions(2000, 6000); // 300 per slot
    ASSERT_EQ(column.GetAppointmentCount(), 3);
    const int maxColumn = ClassDay::MaxColumn(dataAccess.GetAppointmentsOfDay(day));
    for (int i = 0; i < 3; ++i) {
        const ClassTermin* a = column.Appointment(i + 1);
        double x = -1, y = -1, w = -1, h = -1;
        QString text;
        QColor color;
        ASSERT_TRUE(column.GetAppointmentConstraint(i, x, y, w, h, text, color));
        EXPECT_DOUBLE_EQ(w, 2000.0 / maxColumn);
        EXPECT_DOUBLE_EQ(x, (a->Column - 1) * w);
        EXPECT_DOUBLE_EQ(y, (a->StartTime().minutes() - 8 * 60) / 30.0 * 300);
        EXPECT_DOUBLE_EQ(h, (a->EndTime().minutes() - a->StartTime().minutes()) / 30.0 * 300);
        EXPECT_EQ(text, a->GetFormatedText());
        EXPECT_EQ(color, QColor(10, 20, 30));
    }
    EXPECT_FALSE(column.GetAppointmentConstraint(3));
    EXPECT_FALSE(column.GetAppointmentConstraint(-1));
}

TEST_F(ClassDayTest, ADayWithoutSlotsShowsAnEmptyColumn)
{
    store(at(9), at(10));
    settings.setGridEndTime(settings.GridStartTime());
    const auto column = display();
    EXPECT_EQ(column->SlotHeight(), 0);
    EXPECT_FALSE(labelOf(1, 1) && labelOf(1, 1)->isVisible());
    EXPECT_EQ(gridLinesDrawn(), 0);
    EXPECT_TRUE(sameColour(picture.image().pixel(32, 300), Qt::black)) << "the border is drawn";

    press(140, linePx(2));
    EXPECT_FALSE(column->IsSelecting());
    EXPECT_TRUE(host.timer.isActive());
    moveTo(140, linePx(5));
    release(140, linePx(5));

    column->CalculateAppointmentPositions(2000, 6000);
    EXPECT_EQ(column->GetAppointmentCount(), 1);
    EXPECT_FALSE(column->GetAppointmentConstraint(0));
}

TEST_F(ClassDayTest, AnEmptyRectangleDrawsNothingAndPlacesNoLabel)
{
    store(at(9), at(10));
    auto column = makeColumn(day, 600, 600);
    column->LoadAppointments(true);
    column->DisplayAppointments(1);
    EXPECT_FALSE(labelOf(1, 1) && labelOf(1, 1)->isVisible());
    EXPECT_EQ(gridLinesDrawn(), 0);
    ClassDay print(dataAccess, settings, editing, nullptr);
    print.setDatum(day);
    print.LoadAppointments(false);
    print.CalculateAppointmentPositions(0, 6000);
    EXPECT_FALSE(print.GetAppointmentConstraint(0));
}

// ---------------------------------------------------------------------------------------
// Mouse selection

TEST_F(ClassDayTest, DraggingOutARangeCreatesANewAppointment)
{
    confirmingEditor();
    const auto column = display();
    // Less than half a slot below the 09:00 line.
    press(140, linePx(2) + 5);
    ASSERT_TRUE(column->IsSelecting());
    EXPECT_FALSE(host.timer.isActive()) << "the heartbeat rests during the drag";
    QLabel* range = rangeLabel();
    QLabel* marker = markerLabel();
    EXPECT_TRUE(range->isVisible());
    EXPECT_EQ(range->text(), "09:00 - ??");
    EXPECT_TRUE(marker->isVisible());
    EXPECT_EQ(marker->geometry(), QRect(34, linePx(2), 6, 2));
    EXPECT_EQ(range->pos(), QPoint(40, linePx(2)));

    moveTo(140, linePx(5) + 3);
    EXPECT_EQ(range->text(), "09:00 - 10:30");
    EXPECT_EQ(marker->geometry(), QRect(34, linePx(2), 6, 90));
    const QImage seen = picture.grab().toImage();
    EXPECT_TRUE(sameColour(seen.pixel(36, linePx(4)), ClassDay::kSelectionColor));
    Screenshots::save(seen, "daycolumn_selection");

    release(140, linePx(5) + 3);
    EXPECT_FALSE(column->IsSelecting());
    EXPECT_FALSE(range->isVisible());
    EXPECT_FALSE(marker->isVisible());
    ASSERT_EQ(editorCalls, 1);
    EXPECT_TRUE(editedWasNew);
    EXPECT_FALSE(timerDuringEdit);
    EXPECT_EQ(edited.ColorCode(), 1);
    EXPECT_EQ(edited.datum(), day);
    EXPECT_EQ(edited.StartTime(), at(9));
    EXPECT_EQ(edited.EndTime(), at(10, 30));
    EXPECT_FALSE(edited.IsRecurring());
    EXPECT_FALSE(edited.EmailEnable());
    EXPECT_FALSE(edited.ReminderAll());
    EXPECT_EQ(edited.RemindMinutes(), 5);
    EXPECT_EQ(edited.Producer(), GetLoginName());
    EXPECT_EQ(edited.RecurringStartDate(), QDate(2002, 7, 4));
    EXPECT_EQ(edited.RecurringEndDate(), QDate(2004, 7, 4));
    EXPECT_TRUE(edited.Text().isEmpty());
    EXPECT_TRUE(edited.filename().isEmpty());

    EXPECT_EQ(host.refreshRequests, 1);
    EXPECT_TRUE(host.timer.isActive());
    EXPECT_TRUE(host.failures.isEmpty());
    // Saved, so the rebuilt view finds it.
    const QList<TerminPtr> saved = dataAccess.GetAppointmentsOfDay(day);
    ASSERT_EQ(saved.size(), 1);
    EXPECT_EQ(saved[0]->Text(), "Planning");
    EXPECT_EQ(saved[0]->EndTime(), at(10, 30));
}

TEST_F(ClassDayTest, RecurrenceRangeOfALeapDayEndsOnTheTwentyEighth)
{
    confirmingEditor();
    today = QDate(2004, 2, 29);
    const auto column = display();
    press(140, linePx(2));
    release(140, linePx(4));
    ASSERT_EQ(editorCalls, 1);
    EXPECT_EQ(edited.RecurringStartDate(), QDate(2003, 2, 28));
    EXPECT_EQ(edited.RecurringEndDate(), QDate(2005, 2, 28));
}

TEST_F(ClassDayTest, TwelveHourCaptions)
{
    settings.setTimeFormat("12h");
    const auto column = display();
    press(140, linePx(10)); // 13:00
    moveTo(140, linePx(11));
    EXPECT_EQ(rangeLabel()->text(), "01:00 pm - 01:30 pm");
    release(140, 700);
}

TEST_F(ClassDayTest, DraggingAboveTheStartShowsNoEndAndCreatesNothing)
{
    confirmingEditor();
    const auto column = display();
    press(140, linePx(2));
    moveTo(140, linePx(0));
    EXPECT_EQ(rangeLabel()->text(), "09:00 - ??");
    EXPECT_EQ(markerLabel()->height(), 2) << "the bar keeps its small height";
    release(140, linePx(1));
    EXPECT_EQ(editorCalls, 0);
    EXPECT_EQ(host.refreshRequests, 0);
    EXPECT_FALSE(rangeLabel()->isVisible());
    EXPECT_TRUE(host.timer.isActive());
}

TEST_F(ClassDayTest, DraggingPastTheDayEndShowsNoEnd)
{
    const auto column = display();
    press(140, linePx(18)); // 17:00
    moveTo(140, linePx(20));
    EXPECT_EQ(rangeLabel()->text(), "17:00 - 18:00");
    moveTo(140, linePx(21));
    EXPECT_EQ(rangeLabel()->text(), "17:00 - ??");
    release(250, linePx(20));
}

TEST_F(ClassDayTest, ReleasingOutsideOrOnTheStartLineCreatesNothing)
{
    confirmingEditor();
    const auto column = display();
    press(140, linePx(2));
    release(250, linePx(5)); // right of the column
    EXPECT_FALSE(column->IsSelecting());
    EXPECT_FALSE(rangeLabel()->isVisible());
    EXPECT_TRUE(host.timer.isActive());

    press(140, linePx(2));
    EXPECT_FALSE(host.timer.isActive());
    release(140, linePx(2) + 3);
    EXPECT_EQ(editorCalls, 0);
    EXPECT_EQ(host.refreshRequests, 0);
    EXPECT_TRUE(host.timer.isActive());
}

TEST_F(ClassDayTest, APressOutsideTheColumnOrBetweenBandsStartsNothing)
{
    const auto column = display();
    press(20, linePx(2)); // over the hour labels
    EXPECT_FALSE(column->IsSelecting());
    release(20, linePx(2));
    // On the boundary between the 09:00 and 09:30 bands: half a slot is 15 pixels.
    press(140, linePx(2) + 15);
    EXPECT_FALSE(column->IsSelecting());
    release(140, linePx(2) + 15);
    EXPECT_TRUE(host.timer.isActive());
    EXPECT_FALSE(rangeLabel()->isVisible());
}

TEST_F(ClassDayTest, EachColumnReactsInsideItsOwnRectangleOnly)
{
    const auto first = makeColumn(day, 480, 1980);
    const auto second = makeColumn(day.addDays(1), 1980, 3615);
    for (ClassDay* column : {first.get(), second.get()}) {
        column->LoadAppointments(true);
        column->DisplayAppointments(column == first.get() ? 1 : 2);
    }
    press(200, linePx(3));
    EXPECT_FALSE(first->IsSelecting());
    EXPECT_TRUE(second->IsSelecting());
    EXPECT_EQ(rangeLabel()->text(), "09:30 - ??");
    EXPECT_EQ(host.inUse[1]->isVisible(), false) << "the first column's range text";
    release(200, linePx(3));
}

TEST_F(ClassDayTest, AColumnReleasedInTheMiddleOfADragRestoresTheHeartbeat)
{
    auto column = display();
    press(140, linePx(2));
    ASSERT_FALSE(host.timer.isActive());
    column.reset();
    EXPECT_TRUE(host.timer.isActive());
    release(140, linePx(4)); // reaches no column any more
    EXPECT_TRUE(host.timer.isActive());
}

TEST_F(ClassDayTest, CancellingTheEditorAsksForNoRefresh)
{
    editing.setEditor([this](EditHandOver& h) {
        ++editorCalls;
        h.EditCancelled = true;
    });
    const auto column = display();
    press(140, linePx(2));
    release(140, linePx(4));
    EXPECT_EQ(editorCalls, 1);
    EXPECT_EQ(host.refreshRequests, 0);
    EXPECT_TRUE(host.timer.isActive());
    EXPECT_TRUE(dataAccess.GetAppointmentsOfDay(day).isEmpty());
}

TEST_F(ClassDayTest, AFailedSaveIsShownToTheUser)
{
    confirmingEditor();
    // A regular file where the year's directory would go: the save must fail.
    ASSERT_TRUE(TestFiles::writeBytes(settings.GetDataFolder() + "y2003", "not a directory"));
    const auto column = display();
    press(140, linePx(2));
    release(140, linePx(4));
    EXPECT_EQ(editorCalls, 1);
    ASSERT_EQ(host.failures.size(), 1);
    EXPECT_TRUE(host.failures[0].startsWith(DataAccess::saveFailedMessage(settings.LangCode())));
    EXPECT_EQ(host.refreshRequests, 1) << "the editor was confirmed";
    EXPECT_TRUE(host.timer.isActive());
}
