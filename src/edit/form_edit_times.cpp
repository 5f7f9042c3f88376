// The appointment editor's time fields: the clocks that drop down from them, times typed into
// them, and how the start and the end follow each other.
#include "edit/form_edit.h"

#include "calendar/Formats.h"
#include "edit/TypedTime.h"
#include "settings/Settings.h"
#include "ui/ClassTimeDD.h"
#include "ui/PictureBox.h"

#include <cstdlib>

namespace {

// Past midnight the end stops here rather than wrapping to the early morning.
constexpr TimeOfDay kLatestEnd = TimeOfDay::fromMinutes(23 * 60 + 30);

// Longer than any way of writing a time; a pasted text is cut here.
constexpr int kMaxTypedLength = 16;

TimeOfDay timeOfDay(int minutes)
{
    return TimeOfDay::fromMinutes(((minutes % TimeOfDay::kEndOfDay) + TimeOfDay::kEndOfDay) %
                                  TimeOfDay::kEndOfDay);
}

} // namespace

void form_edit::makeTypable(ValueField<TimeOfDay>* field)
{
    field->setReadOnly(false);
    field->setMaxLength(kMaxTypedLength);
    // Leaving the field takes a typed time; text that is no time waits there for OK or Enter.
    connect(field, &QLineEdit::editingFinished, this,
            [this, field] { takeTypedTime(field, false); });
}

bool form_edit::takeTypedTime(ValueField<TimeOfDay>* field, bool refuseAloud)
{
    const QString& format = m_settings.TimeFormat();
    const QString typed = field->text();
    if (typed == FormatTime(field->value(), format))
        return true; // nothing typed
    const bool isEnd = field == text_zeit_bis;
    const std::optional<TimeOfDay> time =
        TypedTime::parse(typed, isEnd ? TypedTime::Role::End : TypedTime::Role::Start);
    if (time) {
        if (isEnd)
            zeit_bis_TimeChanged(*time);
        else
            zeit_von_TimeChanged(*time);
        return true;
    }
    if (!refuseAloud)
        return false;
    showTime(field, field->value());
    field->setFocus();
    field->selectAll();
    m_showMessage(this, QStringLiteral("Norvane"),
                  tr("\"%1\" is not a time of day. Please type a time such as %2.")
                      .arg(typed.trimmed(), FormatTime(TimeOfDay::fromHourMinute(14, 30), format)));
    return false;
}

void form_edit::openTimePicker(ClassTimeDD* picker, PictureBox* picture,
                               ValueField<TimeOfDay>* field)
{
    // The clock opens on what was typed, when that is a time.
    takeTypedTime(field, false);
    placeBeside(picture, field);
    picker->setTime(field->value());
    picker->Display();
}

void form_edit::zeit_bis_TimeChanged(TimeOfDay time)
{
    showTime(text_zeit_bis, time);
}

// Moving the start keeps the length of the appointment, but never lets the end wrap into the
// early morning.
void form_edit::zeit_von_TimeChanged(TimeOfDay time)
{
    const TimeOfDay start = timeOfDay(time.minutes());
    zeit_von->setTime(start);
    const int length =
        std::abs(text_zeit_bis->value().minutes() - text_zeit_von->value().minutes());
    TimeOfDay end = timeOfDay(start.minutes() + length);
    if (end < start)
        end = kLatestEnd;
    showTime(text_zeit_bis, end);
    showTime(text_zeit_von, start);
}

bool form_edit::timesInOrder() const
{
    // Both kept values have minute precision; 24:00 stays the end of the day. Over several
    // days the end is on a later day.
    return severalDays() || text_zeit_von->value() < text_zeit_bis->value();
}
