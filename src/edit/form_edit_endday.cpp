// The appointment editor's last day: an appointment whose last day is later than its day lasts
// several days, and is filed as one file a day linked as one span (see SpanDays).
#include "edit/form_edit.h"

#include "edit/form_edit_layout.h"
#include "store/SpanDays.h"
#include "ui/ClassMonthDD.h"
#include "ui/PictureBox.h"

#include <QCheckBox>

using namespace FormEditLayout;

void form_edit::createEndDayField(QFrame* page)
{
    label_header_endday = createLabel(page, "label_header_endday", Layout::kEndDayCaption);
    label_header_endday->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    text_endday = createValueField<ValueField<QDate>>(page, "text_endday", Layout::kEndDay);
    makeTypable(text_endday);
}

void form_edit::createEndDayPicker()
{
    pic_endday = new PictureBox(this);
    pic_endday->setObjectName(QStringLiteral("pic_endday"));
    enddaywahl = new ClassMonthDD(this);
    enddaywahl->setObjectName(QStringLiteral("enddaywahl"));
    connect(enddaywahl, &ClassMonthDD::Change, this, &form_edit::endday_Change);
    addDropDown(
        text_endday, pic_endday, [this] { openDatePicker(enddaywahl, pic_endday, text_endday); },
        true);
}

void form_edit::endday_Change(const QDate& date)
{
    showDate(text_endday, date);
}

void form_edit::showEndDay(const ClassTermin& r)
{
    showDate(text_endday, r.isSpanDay() ? r.SpanUntil() : r.datum());
}

bool form_edit::severalDays() const
{
    return !check_recur->isChecked() && text_endday->value() > text_am->value();
}

void form_edit::copyEndDayIntoRecord(ClassTermin& r) const
{
    if (r.IsRecurring())
        return;
    // A day of a span stays in it, whatever its last day now; the span's change follows.
    if (r.isSpanDay())
        r.setSpan(r.SpanId(), r.SpanFrom(), text_endday->value());
    else if (severalDays())
        r.setSpan(SpanDays::idFor({}), r.datum(), text_endday->value());
}
