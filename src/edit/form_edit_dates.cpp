// The appointment editor's date fields: the month sheets that drop down from them, and dates
// typed into them in the settings' date format.
#include "edit/form_edit.h"

#include "calendar/Formats.h"
#include "calendar/TypedDate.h"
#include "settings/Settings.h"
#include "ui/ClassMonthDD.h"
#include "ui/PictureBox.h"

namespace {

// Longer than any way of writing a date; a pasted text is cut here.
constexpr int kMaxTypedLength = 24;

} // namespace

void form_edit::makeTypable(ValueField<QDate>* field)
{
    field->setReadOnly(false);
    field->setMaxLength(kMaxTypedLength);
    // Leaving the field takes a typed date; text that is no date waits there for OK or Enter.
    connect(field, &QLineEdit::editingFinished, this,
            [this, field] { takeTypedDate(field, false); });
}

bool form_edit::takeTypedDate(ValueField<QDate>* field, bool refuseAloud)
{
    const QString& pattern = m_settings.DateFormat();
    const QString typed = field->text();
    if (typed == dateText(field, field->value()))
        return true; // nothing typed
    const QDate kept = field->value();
    // The last day of a recurrence emptied, or "no end" typed, is no end.
    const bool noEnd =
        field == text_recur_bis &&
        (typed.trimmed().isEmpty() ||
         typed.trimmed().compare(dateText(field, kLastFileDate), Qt::CaseInsensitive) == 0);
    if (const std::optional<QDate> date =
            noEnd ? std::optional<QDate>(kLastFileDate) : TypedDate::parse(typed, pattern, kept)) {
        // As the field's sheet would have reported it.
        if (field == text_am)
            datumswahl_Change(*date);
        else if (field == text_endday)
            endday_Change(*date);
        else if (field == text_recur_von)
            recur_von_Change(*date);
        else
            recur_bis_Change(*date);
        return true;
    }
    if (!refuseAloud)
        return false;
    showDate(field, kept);
    // A field switched off meanwhile keeps its date without a word: nothing there to mend.
    if (!field->isEnabled())
        return true;
    field->setFocus();
    field->selectAll();
    m_showMessage(this, QStringLiteral("Norvane"),
                  tr("\"%1\" is not a date. Please type a date such as %2.")
                      .arg(typed.trimmed(),
                           FormatDate(kept.isValid() ? kept : QDate::currentDate(), pattern)));
    return false;
}

void form_edit::openDatePicker(ClassMonthDD* picker, PictureBox* picture, ValueField<QDate>* field)
{
    // The sheet opens on what was typed, when that is a date.
    takeTypedDate(field, false);
    placeBeside(picture, field);
    // Without an end, the sheet opens on the first day's month rather than the last a file
    // holds.
    const bool noEnd = field == text_recur_bis && field->value() == kLastFileDate;
    picker->setSelectedDate(noEnd ? text_recur_von->value() : field->value());
    picker->Display();
}
