// The main window's month view as a user meets it: its key, the keys that move the selection,
// and what a double click and a drag of an appointment do.
#include "FormMainFixture.h"
#include "views/Calendar.h"
#include "views/MonthView.h"

namespace {

class FormMainMonthTest : public FormMainTest {};

// Where the cell of date lies, and a point on its first entry (the cell's middle without one).
QRect cellOf(const MonthView& view, const QDate& date)
{
    for (int row = 0; row < view.month().weeks.size(); ++row)
        for (int column = 0; column < view.month().weeks[row].cells.size(); ++column)
            if (view.month().weeks[row].cells[column].date == date)
                return view.cellRect(row, column);
    return {};
}
QPoint entryIn(const MonthView& view, const QDate& date)
{
    const QRect cell = cellOf(view, date);
    for (int y = cell.top(); y < cell.bottom(); ++y)
        if (!view.hitAt({cell.left() + 8, y}).tag.isEmpty())
            return {cell.left() + 8, y};
    return cell.center();
}

TEST_F(FormMainMonthTest, MonthViewMovesByKeysOpensDaysAndAppointmentsAndTakesDrops)
{
    put({2003, 7, 9}, 9, 10, "Standup");
    window();
    key(Qt::Key_M);
    auto* month = child<MonthView>("month_view");
    ASSERT_TRUE(month->isVisible());
    const auto selected = [this] { return window().calendar1().SelectedDate(); };
    const MonthLayout::Cell* ninth = MonthLayout::cellOf(month->month(), {2003, 7, 9});
    ASSERT_TRUE(ninth && ninth->today && ninth->selected);
    ASSERT_EQ(ninth->entries.size(), 1);
    EXPECT_EQ(ninth->entries[0].time + ' ' + ninth->entries[0].text, "09:00 Standup");

    const struct {
        Qt::Key key;
        QDate selected;
    } steps[] = {
        // clang-format off
        // Monday to Friday shown: a step to a weekend goes on to a shown day.
        {Qt::Key_Right, {2003, 7, 10}}, {Qt::Key_Down, {2003, 7, 17}},
        {Qt::Key_PageDown, {2003, 8, 18}}, {Qt::Key_Up, {2003, 8, 11}},
        {Qt::Key_PageUp, {2003, 7, 11}}, {Qt::Key_Right, {2003, 7, 14}},
        {Qt::Key_Left, {2003, 7, 11}},
        // clang-format on
    };
    for (const auto& step : steps) {
        key(step.key);
        EXPECT_EQ(selected(), step.selected) << step.key;
        const MonthLayout::Cell* cell = MonthLayout::cellOf(month->month(), step.selected);
        EXPECT_TRUE(cell && cell->selected);
    }

    // Escape puts a dragged appointment back; a drag to the 11th moves it there, keeping its times.
    QTest::mousePress(month, Qt::LeftButton, {}, entryIn(*month, {2003, 7, 9}));
    QTest::mouseMove(month, cellOf(*month, {2003, 7, 10}).center());
    QTest::keyClick(&window(), Qt::Key_Escape);
    QTest::mouseRelease(month, Qt::LeftButton, {}, cellOf(*month, {2003, 7, 10}).center());
    settle();
    EXPECT_TRUE(MonthLayout::cellOf(month->month(), {2003, 7, 10})->entries.isEmpty());
    QTest::mousePress(month, Qt::LeftButton, {}, entryIn(*month, {2003, 7, 9}));
    QTest::mouseMove(month, cellOf(*month, {2003, 7, 11}).center());
    QTest::mouseRelease(month, Qt::LeftButton, {}, cellOf(*month, {2003, 7, 11}).center());
    settle();
    const MonthLayout::Cell* eleventh = MonthLayout::cellOf(month->month(), {2003, 7, 11});
    ASSERT_EQ(eleventh->entries.size(), 1) << "moved";
    EXPECT_EQ(eleventh->entries[0].time, "09:00");
    EXPECT_TRUE(MonthLayout::cellOf(month->month(), {2003, 7, 9})->entries.isEmpty());

    // The move is one step to undo; a drag with Ctrl held copies, and Ctrl+C, Ctrl+V too.
    EXPECT_EQ(child<QAction>("mnu_edit_undo")->text(), "Undo move of 'Standup'");
    QTest::mousePress(month, Qt::LeftButton, {}, entryIn(*month, {2003, 7, 11}));
    QTest::mouseMove(month, cellOf(*month, {2003, 7, 15}).center());
    QTest::mouseRelease(month, Qt::LeftButton, Qt::ControlModifier,
                        cellOf(*month, {2003, 7, 15}).center());
    settle();
    EXPECT_EQ(MonthLayout::cellOf(month->month(), {2003, 7, 15})->entries.size(), 1);
    EXPECT_EQ(MonthLayout::cellOf(month->month(), {2003, 7, 11})->entries.size(), 1);
    trigger("mnu_edit_copy");
    key(Qt::Key_Down);
    trigger("mnu_edit_paste");
    EXPECT_EQ(MonthLayout::cellOf(month->month(), selected())->entries.size(), 1);
    EXPECT_EQ(child<QAction>("mnu_edit_undo")->text(), "Undo paste of 'Standup'");

    ClassTermin seen;
    editing.setEditor(FakeEditor::pressingOk([&](ClassTermin& a) { seen = a; }));
    QTest::mouseDClick(month, Qt::LeftButton, {}, entryIn(*month, {2003, 7, 11}));
    settle();
    EXPECT_EQ(seen.Text(), "Standup") << "the editor opened on it";

    QTest::mouseDClick(month, Qt::LeftButton, {}, cellOf(*month, {2003, 7, 16}).center());
    settle();
    EXPECT_FALSE(month->isVisible());
    EXPECT_EQ(view().DayColumn(1)->datum(), QDate(2003, 7, 16)) << "the day view of it";
    trigger("mnu_view_month");
    EXPECT_TRUE(month->isVisible());
    trigger("mnu_file_print");
    EXPECT_EQ(printed.second, ViewMode::Month) << "the print window opens on the month";
}

} // namespace
