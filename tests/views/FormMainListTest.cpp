// The main window's agenda list as a user meets it: its key, the keys that move its days, a
// double click that edits, and Go to date typed in the settings' format.
#include "FormMainFixture.h"
#include "views/AgendaView.h"
#include "views/Calendar.h"

#include <QAccessible>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QPushButton>

namespace {

class FormMainListTest : public FormMainTest {};

TEST_F(FormMainListTest, ListMovesByKeysEditsAndGoesToATypedDate)
{
    put({2003, 7, 10}, 9, 10, "Standup");
    put({2003, 8, 15}, 14, 15, "Audit");
    settings.setDateFormat("dd.mm.yyyy");
    window();
    key(Qt::Key_L);
    auto* list = child<AgendaView>("agenda_view");
    ASSERT_TRUE(list->isVisible());
    ASSERT_EQ(list->groups().size(), 1);
    EXPECT_EQ(list->groups()[0].heading, "Thursday, 10.07.2003");
    EXPECT_EQ(list->groups()[0].lines[0].time + ' ' + list->groups()[0].lines[0].text,
              "09:00 - 10:00 Standup");

    const struct {
        Qt::Key key;
        QDate selected;
    } steps[] = {
        {Qt::Key_Down, {2003, 7, 10}},
        {Qt::Key_PageDown, {2003, 7, 24}},
        {Qt::Key_Up, {2003, 7, 23}},
        {Qt::Key_PageUp, {2003, 7, 9}},
    };
    for (const auto& step : steps) {
        key(step.key);
        EXPECT_EQ(window().calendar1().SelectedDate(), step.selected) << step.key;
    }
    EXPECT_EQ(list->groups().size(), 1) << "the list from the 9th";

    ClassTermin seen;
    editing.setEditor(FakeEditor::pressingOk([&](ClassTermin& a) { seen = a; }));
    const QRect line = list->visualItemRect(list->lineItem(0, 0));
    // As a real double click comes: a press and release, then the double click.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, line.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, line.center());
    settle();
    EXPECT_EQ(seen.Text(), "Standup") << "the editor opened on it";

    EXPECT_EQ(child<QAction>("mnu_view_goto")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_G));
    trigger("mnu_view_goto");
    auto* date = child<QDateEdit>("date_goto");
    ASSERT_TRUE(date);
    EXPECT_EQ(date->displayFormat(), "dd.MM.yyyy");
    const std::pair<QDateTimeEdit::Section, const char*> typing[] = {
        {QDateTimeEdit::DaySection, "15"},
        {QDateTimeEdit::MonthSection, "08"},
        {QDateTimeEdit::YearSection, "2003"}};
    for (const auto& [section, typed] : typing) {
        date->setSelectedSection(section);
        QTest::keyClicks(date, typed);
    }
    date->window()->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    settle();
    EXPECT_EQ(window().calendar1().SelectedDate(), QDate(2003, 8, 15));
    ASSERT_TRUE(list->isVisible()) << "still the list";
    ASSERT_EQ(list->groups().size(), 1);
    EXPECT_EQ(list->groups()[0].lines[0].text, "Audit");
    trigger("mnu_file_print");
    EXPECT_EQ(printed, std::make_pair(QDate(2003, 8, 15), ViewMode::List)) << "what it shows";
}

// What a screen reader meets below the calendars: Day and Week as toggle buttons, the one shown
// pressed, the arrows named by their step; and the list's columns by their headings.
TEST_F(FormMainListTest, TheDayWeekSwitchIsToggleButtonsAndTheArrowsAndColumnsHaveNames)
{
    window();
    const auto read = [&] {
        QStringList parts;
        for (const char* name : {"label_day", "label_week", "pic_back", "pic_next"}) {
            QAccessibleInterface* part =
                QAccessible::queryAccessibleInterface(child<QWidget>(name));
            const QAccessible::State state = part->state();
            parts << part->text(QAccessible::Name) + (!state.checkable                 ? ""
                                                      : state.pressed && state.checked ? "+"
                                                                                       : "-");
            EXPECT_EQ(part->role(), QAccessible::Button) << name;
        }
        return parts.join(", ").toStdString();
    };
    const auto press = [&](const char* name) {
        QAccessible::queryAccessibleInterface(child<QWidget>(name))
            ->actionInterface()
            ->doAction(QAccessibleActionInterface::pressAction());
        settle();
    };
    press("label_week");
    EXPECT_EQ(read(), "Day-, Week+, Previous week, Next week");
    press("label_day");
    EXPECT_EQ(read(), "Day+, Week-, Previous day, Next day");
    trigger("mnu_view_month");
    EXPECT_EQ(read(), "Day-, Week-, Previous month, Next month");

    key(Qt::Key_L);
    QStringList columns;
    const QTreeWidgetItem* headings = child<AgendaView>("agenda_view")->headerItem();
    for (int i = 0; i < headings->columnCount(); ++i)
        columns << headings->text(i);
    EXPECT_EQ(columns, (QStringList{"Time", "Text", "Owner", "Repeats"}));
}

} // namespace
