// The appointment editor for the keyboard and screen readers: a name for every control in
// the language of the texts, the captions tied to their fields, and the order Tab goes in.
#include "edit/form_edit.h"

#include "ui/PictureBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

#include <algorithm>

#include <utility>
#include <vector>

void form_edit::nameControls()
{
    // The captions ("At:", "until:") are short for the eye; a screen reader says what is
    // asked for. Each drop-down has the name of its field.
    const std::pair<QWidget*, const char*> names[] = {
        {text_am, QT_TRANSLATE_NOOP("form_edit", "Date")},
        {pic_datum, QT_TRANSLATE_NOOP("form_edit", "Date")},
        {text_endday, QT_TRANSLATE_NOOP("form_edit", "Last day")},
        {pic_endday, QT_TRANSLATE_NOOP("form_edit", "Last day")},
        {text_zeit_von, QT_TRANSLATE_NOOP("form_edit", "Start time")},
        {pic_zeit_von, QT_TRANSLATE_NOOP("form_edit", "Start time")},
        {text_zeit_bis, QT_TRANSLATE_NOOP("form_edit", "End time")},
        {pic_zeit_bis, QT_TRANSLATE_NOOP("form_edit", "End time")},
        {text_color, QT_TRANSLATE_NOOP("form_edit", "Color")},
        {pic_colors, QT_TRANSLATE_NOOP("form_edit", "Colors")},
        {text_text, QT_TRANSLATE_NOOP("form_edit", "Text")},
        {text_location, QT_TRANSLATE_NOOP("form_edit", "Location")},
        {combo_remind, QT_TRANSLATE_NOOP("form_edit", "Remind before the start")},
        {combo_users, QT_TRANSLATE_NOOP("form_edit", "Whom to remind")},
        {combo_recur, QT_TRANSLATE_NOOP("form_edit", "Repeat")},
        {text_recur_von, QT_TRANSLATE_NOOP("form_edit", "First day of the recurrence")},
        {pic_recur_von, QT_TRANSLATE_NOOP("form_edit", "First day of the recurrence")},
        {text_recur_bis, QT_TRANSLATE_NOOP("form_edit", "Last day of the recurrence")},
        {pic_recur_bis, QT_TRANSLATE_NOOP("form_edit", "Last day of the recurrence")},
        {text_for, QT_TRANSLATE_NOOP("form_edit", "For (login names, separated by commas)")},
        {text_rooms,
         QT_TRANSLATE_NOOP("form_edit", "Rooms and equipment (separated by semicolons)")},
        {text_people, QT_TRANSLATE_NOOP("form_edit", "Organizer and attendees")},
        {list_categories, QT_TRANSLATE_NOOP("form_edit", "Categories")},
    };
    for (const auto& [control, name] : names)
        control->setAccessibleName(tr(name));

    // Some systems name a list by its entry and say first the label tied to it: the pages'
    // headings label their lists.
    const std::pair<QLabel*, QWidget*> captions[] = {
        {label_header_am, text_am},          {label_header_von, text_zeit_von},
        {label_header_bis, text_zeit_bis},   {label_header_color, text_color},
        {label_header_text, text_text},      {label_header_location, text_location},
        {label_recur_von, text_recur_von},   {label_header_remind, combo_remind},
        {label_header_recur, combo_recur},   {label_info_for, text_for},
        {label_info_rooms, text_rooms},      {label_info_people, text_people},
        {label_categories, list_categories}, {label_header_endday, text_endday},
    };
    for (const auto& [caption, field] : captions)
        caption->setBuddy(field);
}

void form_edit::orderTabs()
{
    // Down the pages as they read, each drop-down right after its field: Tab on an open one
    // goes on to the next field.
    std::vector<QWidget*> order{
        pic_tabs,     text_am,     pic_datum,   text_zeit_von, pic_zeit_von,  text_zeit_bis,
        pic_zeit_bis, text_color,  pic_colors,  text_text,     text_location, check_remind,
        combo_remind, combo_users, check_email, check_recur,   combo_recur,   spin_recur_every};
    // The last day and the zone below the times, before the text.
    order.insert(std::find(order.begin(), order.end(), text_text),
                 {text_endday, pic_endday, combo_zone});
    order.insert(order.end(), check_recur_weekday.begin(), check_recur_weekday.end());
    order.insert(order.end(),
                 {option_recur_day, option_recur_nth, combo_recur_nth, combo_recur_weekday,
                  text_recur_von, pic_recur_von, combo_recur_end, text_recur_bis, pic_recur_bis,
                  spin_recur_count, check_owner, check_private, text_for, text_rooms, text_people,
                  list_categories, command_ok, command_cancel});
    if (command_find_time)
        order.insert(std::find(order.begin(), order.end(), text_text), command_find_time);
    for (size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}
