// The drawn controls without the mouse: the month sheet walked by the keys, and what a
// screen reader is told of the sheet, the clock and the tab strip, in both languages.
#include "DrawnControlsFixture.h"
#include "settings/Language.h"
#include "ui/ClassTimeDD.h"

#include <QAccessible>
#include <QScopeGuard>

#include <vector>

namespace {

const QDate k20March(2025, 3, 20); // a Thursday; 1 March 2025 is a Saturday

class SheetKeysTest : public MonthSheetTest {
protected:
    const AccessibleItem* day(int number) const
    {
        for (const AccessibleItem& cell : picture->accessibleTree().children)
            if (cell.name.contains(QStringLiteral(" %1 ").arg(number)) ||
                cell.name.contains(QStringLiteral(" %1. ").arg(number)))
                return &cell;
        return nullptr;
    }
};

// The frame starts on the selected day; Enter and Space pick as a click on it would.
TEST_F(SheetKeysTest, TheKeysWalkTheFrameAcrossMonthsAndEnterPicksItsDay)
{
    const struct {
        std::vector<Qt::Key> keys;
        const char* events;
        const char* month; // the sheet shows at the end, of 2025
    } rows[] = {
        {{Qt::Key_Right, Qt::Key_Return}, "c:2025-03-21 h:2025-03-21", "March"},
        {{Qt::Key_Down, Qt::Key_Down, Qt::Key_Enter}, "c:2025-04-03 h:2025-04-03", "April"},
        {{Qt::Key_PageUp, Qt::Key_Up, Qt::Key_Return}, "c:2025-02-13 h:2025-02-13", "February"},
        {{Qt::Key_Home, Qt::Key_Space}, "c:2025-03-01 h:2025-03-01", "March"},
        {{Qt::Key_End, Qt::Key_Return}, "c:2025-03-31 h:2025-03-31", "March"},
        {{Qt::Key_Return}, "c:2025-03-20", "March"}, // the day it has: no change
        {{Qt::Key_Left, Qt::Key_Escape}, "", "March"},
        {{Qt::Key_PageDown, Qt::Key_Tab}, "", "April"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.events);
        events.clear();
        open(k20March);
        for (const Qt::Key key : row.keys)
            QTest::keyClick(picture, key);
        EXPECT_EQ(events.join(' '), row.events);
        EXPECT_FALSE(picture->isVisible());
        EXPECT_EQ(picture->accessibleTree().name, row.month + QString(" 2025"));
        EXPECT_EQ(sheet.SelectedDate(), events.isEmpty()
                                            ? k20March
                                            : QDate::fromString(events.last().mid(2), Qt::ISODate));
    }
}

TEST_F(SheetKeysTest, TheSheetIsATableOfItsDaysWithTheChosenOneAndTheFramedOne)
{
    const auto english = qScopeGuard([] { Language::apply("en"); });
    const struct {
        const char* lang;
        QDate selected;
        const char* title;
        const char* value;
        const char* today;
        const char* todayAbout;
    } rows[] = {
        {"en", k20March, "March 2025", "Thursday, 20 March 2025", "Wednesday, 12 March 2025",
         "today"},
        {"de", k20March, "März 2025", "Donnerstag, 20. März 2025", "Mittwoch, 12. März 2025",
         "heute"},
        {"de", QDate(2025, 1, 2), "Jänner 2025", "Donnerstag, 2. Januar 2025", nullptr, nullptr},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.title);
        Language::apply(QLatin1String(row.lang));
        open(row.selected, 2, row.lang);
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(picture);
        ASSERT_NE(iface, nullptr);
        EXPECT_EQ(iface->role(), QAccessible::Table);
        EXPECT_EQ(iface->text(QAccessible::Name), QString::fromUtf8(row.title));
        EXPECT_EQ(iface->text(QAccessible::Value), QString::fromUtf8(row.value));
        EXPECT_EQ(iface->childCount(), row.selected.daysInMonth());
        const AccessibleItem* chosen = day(row.selected.day());
        ASSERT_NE(chosen, nullptr);
        EXPECT_TRUE(chosen->state.selected);
        EXPECT_TRUE(chosen->state.focused);
        if (row.today) {
            EXPECT_EQ(day(12)->name, QString::fromUtf8(row.today));
            EXPECT_EQ(day(12)->description, row.todayAbout);
            EXPECT_FALSE(day(12)->state.selected);
        }
    }
    open(k20March);
    EXPECT_EQ(day(1)->row, 0);
    EXPECT_EQ(day(1)->column, 5) << "a Saturday, in a week from Monday";
    EXPECT_EQ(day(20)->row, 3);
    EXPECT_EQ(day(20)->rect, QRect(Drawing::pixelAt(Drawing::monthCell(4, 4)), QSize(25, 20)));
    QTest::keyClick(picture, Qt::Key_Right);
    EXPECT_FALSE(day(20)->state.focused);
    EXPECT_TRUE(day(20)->state.selected) << "until Enter";
    EXPECT_TRUE(day(21)->state.focused);
    EXPECT_TRUE(events.isEmpty());
}

class ClockAccessTest : public ::testing::Test, protected Drawing::DropDownHost {
protected:
    void SetUp() override { clock.Bind(picture); }
    ClassTimeDD clock{QTime(10, 5)};
};

TEST_F(ClockAccessTest, TheClockIsASpinBoxWhoseValueIsTheTimeAsTheFieldsWriteIt)
{
    const auto english = qScopeGuard([] { Language::apply("en"); });
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(picture);
    ASSERT_NE(iface, nullptr);
    const struct {
        const char* format;
        const char* lang;
        Qt::Key key; // or a character typed
        char typed;
        const char* value;
        const char* description;
    } rows[] = {
        {"12h", "en", Qt::Key_unknown, 0, "10:05 am",
         "Right and Left: 15 minutes later or earlier; * and _: an hour later or earlier"},
        {"12h", "en", Qt::Key_Right, 0, "10:20 am", nullptr},
        {"24h", "en", Qt::Key_unknown, '*', "11:05", nullptr},
        {"24h", "de", Qt::Key_Left, 0, "09:50",
         "Rechts und Links: 15 Minuten später oder früher; * und _: eine Stunde später oder "
         "früher"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.value);
        Language::apply(QLatin1String(row.lang));
        clock.setTime(TimeOfDay::fromHourMinute(10, 5));
        clock.setTimeFormat(QLatin1String(row.format));
        clock.Display();
        if (row.key != Qt::Key_unknown)
            QTest::keyClick(picture, row.key);
        if (row.typed)
            QTest::keyClick(picture, row.typed);
        EXPECT_EQ(iface->role(), QAccessible::SpinBox);
        EXPECT_EQ(iface->text(QAccessible::Value), row.value);
        EXPECT_EQ(iface->text(QAccessible::Name), row.value) << "unnamed, it says its value";
        if (row.description) {
            EXPECT_EQ(iface->text(QAccessible::Description), QString::fromUtf8(row.description));
        }
    }
}

class TabStripAccessTest : public ClassTabsTest {};

TEST_F(TabStripAccessTest, APageTabListWhoseSelectedTabFollowsTheKeys)
{
    for (const char* caption : {"Appointment", "[!] Reminder", "Info"})
        tabs.AddHeader(caption, false, Qt::black);
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&box);
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->role(), QAccessible::PageTabList);
    EXPECT_EQ(iface->text(QAccessible::Name), "Pages") << "whichever window it is in";
    const auto shown = [&] {
        QStringList tabsSeen;
        for (int i = 0; i < iface->childCount(); ++i) {
            QAccessibleInterface* tab = iface->child(i);
            EXPECT_EQ(tab->role(), QAccessible::PageTab);
            tabsSeen << tab->text(QAccessible::Name) + (tab->state().selected ? "*" : "");
        }
        return tabsSeen.join(", ").toStdString();
    };
    EXPECT_EQ(shown(), "Appointment*, Reminder, Info") << "the sign of the page is not read out";
    QTest::keyClick(&box, Qt::Key_Right);
    QTest::keyClick(&box, Qt::Key_Right);
    EXPECT_EQ(shown(), "Appointment, Reminder, Info*");
    tabs.Rename(0, "Termin");
    EXPECT_EQ(shown(), "Termin, Reminder, Info*");
    const ClassTabs::HeaderSpan span = tabs.Span(1);
    EXPECT_EQ(iface->child(1)->rect().left(), box.mapToGlobal(QPoint(span.left / 15, 0)).x());
}

} // namespace
