// The month calendar without the mouse: what a screen reader is told of its days and weeks in
// both languages, where the keys take the selection, and the main window following them.
#include "FormMainFixture.h"

#include "calendar/Names.h"
#include "settings/Language.h"
#include "ui/PictureBox.h"
#include "views/Calendar.h"

#include <QAccessible>
#include <QApplication>
#include <QScopeGuard>
#include <QSignalSpy>

namespace {

constexpr int kMonday = 2;
constexpr int kFourDayRule = 2;
const auto d = [](int year, int month, int day) { return QDate(year, month, day); };

class CalendarAccessTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        picture.resizeTwips(3030, 1920);
        picture.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&picture));
        calendar.setClock([] { return d(2026, 12, 7); });
        calendar.setAppointmentSource([](const QDate& day) { return day.day() % 7 == 0; });
        calendar.Bind(&picture);
    }
    void show(const QDate& month, const QDate& selected, bool week, const char* lang = "en")
    {
        calendar.SetSettings(kMonday, QLatin1String(lang), kFourDayRule);
        calendar.setIsWeekSelected(week);
        calendar.DisplayMonth(month, selected);
    }
    // The cell of a screen reader's table at row and column.
    const AccessibleItem* cell(int row, int column) const
    {
        for (const AccessibleItem& c : picture.accessibleTree().children)
            if (c.row == row && c.column == column)
                return &c;
        return nullptr;
    }

    PictureBox picture;
    Calendar calendar;
};

// December 2026 begins on a Tuesday; today is Monday the 7th, every seventh day has
// appointments.
TEST_F(CalendarAccessTest, TheMonthIsATableOfDaysAndWeeksNamedInTheLanguage)
{
    const auto english = qScopeGuard([] { Language::apply("en"); });
    const struct {
        const char *lang, *table, *today, *todayAbout, *marked, *week;
    } rows[] = {
        {"en", "December 2026", "Monday, 7 December 2026", "today, has appointments",
         "has appointments", "Week 50"},
        {"de", "Dezember 2026", "Montag, 7. Dezember 2026", "heute, hat Termine", "hat Termine",
         "Woche 50"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.lang);
        Language::apply(QLatin1String(row.lang));
        show(d(2026, 12, 1), d(2026, 12, 7), false, row.lang);
        const AccessibleItem& table = picture.accessibleTree();
        EXPECT_EQ(table.role, QAccessible::Table);
        EXPECT_EQ(table.name, row.table);
        EXPECT_EQ(table.children.size(), 31 + 5) << "the days and the week numbers";
        const AccessibleItem* today = cell(1, 0);
        ASSERT_NE(today, nullptr);
        EXPECT_EQ(today->role, QAccessible::Cell);
        EXPECT_EQ(today->name, QString::fromUtf8(row.today));
        EXPECT_EQ(today->description, QString::fromUtf8(row.todayAbout));
        EXPECT_TRUE(today->state.selected);
        EXPECT_TRUE(today->state.focused);
        const Calendar::CellRect r = calendar.cellRect(0, 1);
        EXPECT_EQ(today->rect.topLeft(), QPoint(r.left, r.top) / PictureBox::kTwipsPerPixel);
        EXPECT_EQ(cell(2, 0)->description, QString::fromUtf8(row.marked)) << "the 14th";
        EXPECT_EQ(cell(2, 1)->description, "");
        EXPECT_FALSE(cell(2, 1)->state.selected);
        EXPECT_EQ(cell(1, 7)->name, row.week);
        EXPECT_FALSE(cell(1, 7)->state.selected);
        EXPECT_EQ(cell(0, 0), nullptr) << "30 November is not this month's";
    }

    // A week: the days the week view shows and the week's number selected, the number focused.
    show(d(2026, 12, 1), d(2026, 12, 14), true);
    EXPECT_TRUE(cell(2, 7)->state.selected);
    EXPECT_TRUE(cell(2, 7)->state.focused);
    EXPECT_TRUE(cell(2, 4)->state.selected);
    EXPECT_FALSE(cell(2, 4)->state.focused);
    EXPECT_FALSE(cell(2, 5)->state.selected) << "Saturday is not in the week view";
}

TEST_F(CalendarAccessTest, KeysMoveTheSelectionAsClicksWouldAndBringItsMonthIntoSight)
{
    const auto iso = [](const char* date) { return QDate::fromString(date, Qt::ISODate); };
    const Qt::KeyboardModifiers none;
    const struct {
        const char *shown, *selected;
        bool week;
        int key;
        Qt::KeyboardModifiers modifiers;
        const char *to, *shownTo; // the selection and the month shown after
        char said;                // 'd' DayClicked, 'w' WeekClicked, '-' the key unused
    } rows[] = {
        // clang-format off
        {"2026-12-01", "2026-12-07", false, Qt::Key_Right, none, "2026-12-08", "2026-12-01", 'd'},
        {"2026-12-01", "2026-12-07", false, Qt::Key_Left, Qt::KeypadModifier, "2026-12-06", "2026-12-01", 'd'},
        {"2026-12-01", "2026-12-07", false, Qt::Key_Up, none, "2026-11-30", "2026-11-01", 'd'},
        {"2026-12-01", "2026-12-28", false, Qt::Key_Down, none, "2027-01-04", "2027-01-01", 'd'},
        {"2026-12-01", "2026-12-07", false, Qt::Key_PageDown, none, "2027-01-07", "2027-01-01", 'd'},
        {"2027-01-01", "2027-01-31", false, Qt::Key_PageDown, none, "2027-02-28", "2027-02-01", 'd'},
        {"2026-12-01", "2026-12-07", false, Qt::Key_Home, none, "2026-12-01", "2026-12-01", 'd'},
        {"2026-12-01", "2026-12-07", false, Qt::Key_End, none, "2026-12-31", "2026-12-01", 'd'},
        // out of sight: the first arrow lands on the same day of the month shown
        {"2027-01-01", "2026-12-07", false, Qt::Key_Right, none, "2027-01-07", "2027-01-01", 'd'},
        {"2026-12-01", "2026-12-07", true, Qt::Key_Down, none, "2026-12-14", "2026-12-01", 'w'},
        {"2026-12-01", "2026-12-09", true, Qt::Key_Left, none, "2026-11-30", "2026-12-01", 'w'},
        {"2026-12-01", "2026-12-28", true, Qt::Key_Right, none, "2027-01-04", "2027-01-01", 'w'},
        {"2027-01-01", "2027-01-04", true, Qt::Key_Up, none, "2026-12-28", "2027-01-01", 'w'},
        {"2026-12-01", "2026-12-14", true, Qt::Key_PageUp, none, "2026-11-09", "2026-11-01", 'w'},
        {"2026-12-01", "2026-12-14", true, Qt::Key_Home, none, "2026-11-30", "2026-12-01", 'w'},
        {"2026-12-01", "2026-12-07", false, Qt::Key_Right, Qt::ControlModifier, "2026-12-07", "2026-12-01", '-'},
        {"2026-12-01", "2026-12-07", false, Qt::Key_W, none, "2026-12-07", "2026-12-01", '-'},
        // clang-format on
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(QKeySequence(row.key | row.modifiers).toString().toStdString() + " from " +
                     row.selected);
        show(iso(row.shown), iso(row.selected), row.week);
        QSignalSpy days(&calendar, &Calendar::DayClicked);
        QSignalSpy weeks(&calendar, &Calendar::WeekClicked);
        QSignalSpy moved(&calendar, &Calendar::ShowDateMoved);
        QSignalSpy unused(&calendar, &Calendar::UnusedKey);
        QTest::keyClick(&picture, Qt::Key(row.key), row.modifiers);
        EXPECT_EQ(calendar.SelectedDate(), iso(row.to));
        EXPECT_EQ(calendar.ShowDate(), iso(row.shownTo));
        EXPECT_EQ(calendar.IsWeekSelected(), row.week);
        EXPECT_EQ(days.count(), row.said == 'd' ? 1 : 0);
        EXPECT_EQ(weeks.count(), row.said == 'w' ? 1 : 0);
        EXPECT_EQ((row.said == 'w' ? weeks : days).value(0).value(0).toDate(),
                  row.said == '-' ? QDate() : iso(row.to));
        // Ctrl comes as a key of its own first.
        EXPECT_EQ(unused.isEmpty() ? 0 : unused.last()[0].toInt(), row.said == '-' ? row.key : 0);
        EXPECT_EQ(moved.count(), QString(row.shownTo) != row.shown ? 1 : 0);
        EXPECT_EQ(picture.accessibleTree().name, MonthYear(iso(row.shownTo), "en"));
    }
}

class CalendarKeysInTheWindow : public FormMainTest {
protected:
    PictureBox* focused(const char* name)
    {
        auto* picture = child<PictureBox>(name);
        if (!window().isVisible())
            window().show();
        if (!window().isActiveWindow()) {
            QApplication::setActiveWindow(&window());
            EXPECT_TRUE(QTest::qWaitForWindowActive(&window()));
        }
        picture->setFocus(Qt::TabFocusReason);
        return picture;
    }
    void press(PictureBox* picture, int key)
    {
        QTest::keyClick(picture, Qt::Key(key));
        settle();
    }
    std::string focusedName(PictureBox* picture)
    {
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(picture);
        QAccessibleInterface* cell = iface ? iface->focusChild() : nullptr;
        return cell ? cell->text(QAccessible::Name).toStdString() : "nothing";
    }
};

// Wednesday 9 July 2003: the upper calendar shows July, the lower August.
TEST_F(CalendarKeysInTheWindow, EitherCalendarChoosesTheDayAndTheLowerOneTakesTheUpperAlong)
{
    loadView();
    PictureBox* upper = focused("pic_calendar1");
    press(upper, Qt::Key_Right);
    EXPECT_EQ(window().calendar1().SelectedDate(), QDate(2003, 7, 10));
    EXPECT_EQ(focusedName(upper), "Thursday, 10 July 2003");

    PictureBox* lower = focused("pic_calendar2");
    EXPECT_EQ(focusedName(lower), "nothing") << "the selection lies in July";
    press(lower, Qt::Key_Down);
    EXPECT_EQ(window().calendar1().SelectedDate(), QDate(2003, 8, 10)) << "into August first";
    press(lower, Qt::Key_PageDown);
    EXPECT_EQ(window().calendar1().SelectedDate(), QDate(2003, 9, 10));
    EXPECT_EQ(lower->accessibleTree().name, "September 2003");
    EXPECT_EQ(upper->accessibleTree().name, "August 2003");
    EXPECT_EQ(focusedName(lower), "Wednesday, 10 September 2003");

    press(lower, Qt::Key_W); // a letter the calendar does not take goes to the window
    EXPECT_TRUE(window().calendar1().IsWeekSelected());
    EXPECT_EQ(view().DayColumnCount(), 5);
    EXPECT_EQ(focusedName(lower), "Week 37");
    press(lower, Qt::Key_Down);
    EXPECT_TRUE(window().calendar1().IsWeekSelected());
    EXPECT_EQ(focusedName(lower), "Week 38");
}

} // namespace
