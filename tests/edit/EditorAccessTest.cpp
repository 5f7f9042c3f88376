// The appointment editor without the mouse: a date typed or chosen by keys (what a typed date
// shows and saves: TypedTimeTest), the colour panel by keys, a name for every control in both
// languages and the order Tab goes in.
#include "FormEditDriver.h"

#include "TestFiles.h"
#include "edit/ColorNames.h"
#include "settings/Language.h"

#include <QAccessible>
#include <QScopeGuard>
#include <QTextCursor>

namespace {

using namespace FormEditDriver;

class EditorAccessTest : public FormEditTest {};

// Typed, or walked on the sheet by keys: either way the date reaches the file's directory.
TEST_F(EditorAccessTest, ADateTypedOrChosenByKeysIsFiledUnderItsDay)
{
    auto a = stored(); // Friday 4 July 2003
    auto result = editThroughFiling(*a, [&](Editor& e) {
        e.typeInto("text_am", "8.7.");
        EXPECT_EQ(e.combo("combo_recur").itemText(1), "every Tuesday") << "the entries follow";
        e.ok();
    });
    ASSERT_TRUE(result.saved);
    EXPECT_EQ(appointmentFiles(), QStringList{"y2003/m7/d8/" + a->filename().section('/', -1)});

    result = editThroughFiling(*a, [&](Editor& e) {
        QLineEdit& date = e.field("text_am");
        date.setFocus();
        QTest::keyClick(&date, Qt::Key_F4);
        PictureBox& sheet = e.dropDownOf("text_am");
        ASSERT_TRUE(sheet.isVisible());
        for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Right, Qt::Key_Return})
            QTest::keyClick(&sheet, key);
        EXPECT_FALSE(sheet.isVisible());
        EXPECT_TRUE(date.hasFocus());
        EXPECT_EQ(date.text(), "16.07.2003");
        QTest::keyClick(&date, Qt::Key_Return); // Enter in a date field is OK
    });
    ASSERT_TRUE(result.saved);
    EXPECT_EQ(a->datum(), QDate(2003, 7, 16));
    const QByteArray bytes = TestFiles::readBytes(a->filename());
    EXPECT_TRUE(bytes.contains("DateDay=16\r\n")) << bytes.toStdString();
}

TEST_F(EditorAccessTest, TheColourPanelIsAListTheKeysWalkAndEnterChoosesFrom)
{
    auto a = appointment();
    a->setColorCode(3);
    for (const int unnamed : {2, 4, 5, 6, 7})
        settings.setColorText(unnamed, "");
    DirectEditor e(*a, settings);
    QLineEdit& colour = e.editor.field("text_color");
    PictureBox& panel = e.editor.picture("pic_colors");
    const auto listed = [&] {
        QStringList items;
        for (const AccessibleItem& item : panel.accessibleTree().children)
            items << item.name + (item.state.checked ? "+" : "") + (item.state.focused ? "<" : "");
        return items.mid(1, 4).join(" | ").toStdString();
    };
    colour.setFocus();
    QTest::keyClick(&colour, Qt::Key_Return);
    ASSERT_TRUE(panel.isVisible());
    EXPECT_EQ(panel.accessibleTree().role, QAccessible::List);
    // By number and hue, after the user's name for it where it has one.
    const std::string opened = "Color 2, light red | Colour 3 (Color 3, light turquoise)+< | "
                               "Color 4, light blue | Color 5, light green";
    EXPECT_EQ(listed(), opened);
    EXPECT_EQ(colour.accessibleDescription(), "Colour 3 (Color 3, light turquoise)");
    QTest::keyClick(&panel, Qt::Key_Down);
    QTest::keyClick(&panel, Qt::Key_Down);
    EXPECT_EQ(listed(), "Color 2, light red | Colour 3 (Color 3, light turquoise)+ | Color 4, "
                        "light blue | Color 5, light green<");
    QTest::keyClick(&panel, Qt::Key_Escape);
    EXPECT_FALSE(panel.isVisible());
    EXPECT_EQ(colour.text(), "Colour 3") << "Escape chooses nothing";
    EXPECT_TRUE(colour.hasFocus());

    QTest::keyClick(&colour, Qt::Key_Return);
    EXPECT_EQ(listed(), opened);
    for (const Qt::Key key : {Qt::Key_End, Qt::Key_Up, Qt::Key_Return})
        QTest::keyClick(&panel, key);
    EXPECT_FALSE(panel.isVisible());
    EXPECT_EQ(colour.text(), "Colour 13");
    EXPECT_TRUE(colour.hasFocus());
    e.editor.ok();
    EXPECT_EQ(e.record().ColorCode(), 13);
}

// From anywhere in the editor, the text field too: the pages by Ctrl+Tab and Ctrl+Page Down or
// Up, round at the ends, and Ctrl+Enter saves where Enter starts a line.
TEST_F(EditorAccessTest, CtrlTabAndCtrlPageKeysSwitchThePagesAndCtrlEnterSaves)
{
    DirectEditor e(*appointment(), settings);
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int page;
    } rows[] = {
        {Qt::Key_Tab, Qt::ControlModifier, 1},
        {Qt::Key_PageDown, Qt::ControlModifier, 2},
        {Qt::Key_PageDown, Qt::ControlModifier, 3},
        {Qt::Key_Tab, Qt::ControlModifier, 4},
        {Qt::Key_Tab, Qt::ControlModifier, 0},
        {Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier, 4},
        {Qt::Key_PageUp, Qt::ControlModifier, 3},
        {Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier, 2},
    };
    for (const auto& row : rows) {
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus ? focus : &e.dialog, row.key, row.modifiers);
        EXPECT_EQ(e.editor.tabs().SelectedIndex(), row.page);
        EXPECT_TRUE(
            e.editor.child<QFrame>(QStringLiteral("frame_display_%1").arg(row.page)).isVisible());
    }
    e.editor.text().setFocus();
    e.editor.text().moveCursor(QTextCursor::End);
    QTest::keyClicks(&e.editor.text(), " plan");
    QTest::keyClick(&e.editor.text(), Qt::Key_Return, Qt::ControlModifier);
    EXPECT_FALSE(e.dialog.isVisible());
    EXPECT_EQ(e.record().Text(), "Budget plan");
}

TEST(ColorNamesTest, AColourIsReadByItsNumberAndHueInBothLanguages)
{
    const struct {
        QColor colour;
        const char* english;
        const char* german;
    } rows[] = {
        {QColor(217, 255, 217), "Color 5, light green", "Farbe 5, hellgrün"},
        {QColor(255, 0, 0), "Color 5, red", "Farbe 5, rot"},
        {QColor(0, 0, 128), "Color 5, dark blue", "Farbe 5, dunkelblau"},
        {QColor(255, 145, 145), "Color 5, light red", "Farbe 5, hellrot"},
        {QColor(205, 205, 205), "Color 5, light grey", "Farbe 5, hellgrau"},
        {QColor(255, 255, 255), "Color 5, white", "Farbe 5, weiß"},
        {QColor(160, 32, 240), "Color 5, purple", "Farbe 5, lila"},
    };
    const auto english = qScopeGuard([] { Language::apply("en"); });
    for (const auto& row : rows) {
        Language::apply("en");
        EXPECT_EQ(ColorNames::spoken(5, row.colour, ""), row.english);
        Language::apply("de");
        EXPECT_EQ(ColorNames::spoken(5, row.colour, " "), QString::fromUtf8(row.german));
    }
}

TEST_F(EditorAccessTest, EveryControlHasANameInBothLanguagesAndTabGoesDownThePages)
{
    const struct {
        const char* control;
        const char* english;
        const char* german;
    } names[] = {
        {"pic_tabs", "Pages", "Seiten"},
        {"text_am", "Date", "Datum"},
        {"text_zeit_von", "Start time", "Beginn"},
        {"text_zeit_bis", "End time", "Ende"},
        {"text_color", "Color", "Farbe"},
        {"text_text", "Text", "Text"},
        {"check_remind", "remind on this appointment", "an diesen Termin erinnern"},
        {"combo_remind", "Remind before the start", "Erinnern vor Beginn"},
        {"combo_users", "Whom to remind", "Wen erinnern"},
        {"check_email", "send email", "Email als Erinnerung versenden"},
        {"check_recur", "recurring appointment", "wiederkehrender Termin"},
        {"combo_recur", "Repeat", "Wiederholung"},
        {"spin_recur_every", "Interval in weeks", "Abstand in Wochen"},
        {"check_recur_weekday_1", "Monday", "Montag"},
        {"check_recur_weekday_7", "Sunday", "Sonntag"},
        {"option_recur_day", "on day 4", "am 4. des Monats"},
        {"option_recur_nth", "On a weekday of the month", "An einem Wochentag des Monats"},
        {"combo_recur_nth", "Which one in the month", "Der wievielte im Monat"},
        {"combo_recur_weekday", "Weekday", "Wochentag"},
        {"text_recur_von", "First day of the recurrence", "Erster Tag der Wiederholung"},
        {"combo_recur_end", "End of the recurrence", "Ende der Wiederholung"},
        {"text_recur_bis", "Last day of the recurrence", "Letzter Tag der Wiederholung"},
        {"spin_recur_count", "Number of times", "Anzahl der Termine"},
        {"check_owner", "I am new owner", "Besitz übernehmen"},
        {"list_categories", "Categories", "Kategorien"},
        {"command_ok", "OK", "OK"},
        {"command_cancel", "Cancel", "Abbrechen"},
    };
    inBothLanguages([&](bool german) {
        DirectEditor e(*appointment(), settings);
        // The five pages' headers fit their strip.
        EXPECT_LE(PictureBox::toPixels(e.editor.tabs().Span(4).right),
                  e.editor.picture("pic_tabs").width());
        QStringList order;
        for (const auto& n : names) {
            QWidget& control = e.editor.child<QWidget>(n.control);
            QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&control);
            ASSERT_NE(iface, nullptr) << n.control;
            // A list is named by its entry where a label tied to it says what it is for.
            const QString name = qobject_cast<QComboBox*>(&control)
                                     ? control.accessibleName()
                                     : iface->text(QAccessible::Name);
            EXPECT_EQ(name, QString::fromUtf8(german ? n.german : n.english)) << n.control;
            order << n.control;
        }
        const auto labelOf = [&](const char* control) {
            const auto labels =
                QAccessible::queryAccessibleInterface(&e.editor.child<QWidget>(control))
                    ->relations(QAccessible::Label);
            return labels.isEmpty() ? QString() : labels[0].first->text(QAccessible::Name);
        };
        EXPECT_EQ(labelOf("combo_remind"), german ? "Erinnerung:" : "Reminder:");
        EXPECT_EQ(labelOf("combo_recur"), german ? "Wiederkehrend:" : "Recurring:");
        EXPECT_EQ(labelOf("text_zeit_bis"), german ? "Bis:" : "until:");
        // The chain from the strip, the controls of every page in turn; the drop-downs come
        // right after their fields.
        QStringList chain;
        QWidget* w = &e.editor.child<QWidget>("pic_tabs");
        do {
            if (order.contains(w->objectName()) || w->objectName() == "pic_datum")
                chain << w->objectName();
            w = w->nextInFocusChain();
        } while (w != &e.editor.child<QWidget>("pic_tabs") && chain.size() < 40);
        order.insert(2, "pic_datum");
        EXPECT_EQ(chain, order);
    });
}

} // namespace
