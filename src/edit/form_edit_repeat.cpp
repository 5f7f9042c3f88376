// The editor's Recurring page: how often a series repeats, on which weekdays or which day of
// its month, from when and until when; shown from a record and put back into it on OK.
#include "edit/form_edit.h"
#include "edit/form_edit_layout.h"

#include "calendar/Formats.h"
#include "calendar/Names.h"
#include "settings/Settings.h"
#include "store/Recurrence.h"
#include "store/RuleSeries.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QSpinBox>

#include <algorithm>
#include <array>

using namespace FormEditLayout;

namespace {

using Unit = RepeatRule::Unit;
using End = RepeatRule::End;

// The kinds' captions when the controls say more than the original kinds do.
const char* const kUnitCaptions[] = {
    QT_TRANSLATE_NOOP("form_edit", "daily"), QT_TRANSLATE_NOOP("form_edit", "weekly"),
    QT_TRANSLATE_NOOP("form_edit", "monthly"), QT_TRANSLATE_NOOP("form_edit", "yearly")};
// After "Every N": one, and more.
const char* const kUnitNames[][2] = {
    {QT_TRANSLATE_NOOP("form_edit", "day"), QT_TRANSLATE_NOOP("form_edit", "days")},
    {QT_TRANSLATE_NOOP("form_edit", "week"), QT_TRANSLATE_NOOP("form_edit", "weeks")},
    {QT_TRANSLATE_NOOP("form_edit", "month"), QT_TRANSLATE_NOOP("form_edit", "months")},
    {QT_TRANSLATE_NOOP("form_edit", "year"), QT_TRANSLATE_NOOP("form_edit", "years")}};
const char* const kIntervalNames[] = {QT_TRANSLATE_NOOP("form_edit", "Interval in days"),
                                      QT_TRANSLATE_NOOP("form_edit", "Interval in weeks"),
                                      QT_TRANSLATE_NOOP("form_edit", "Interval in months"),
                                      QT_TRANSLATE_NOOP("form_edit", "Interval in years")};

// The first ... fourth and the last weekday of a month; a fifth only for a rule that has one.
struct NthChoice {
    int nth;
    const char* text;
};
constexpr std::array<NthChoice, 5> kNths{
    {{1, QT_TRANSLATE_NOOP("form_edit", "first")},
     {2, QT_TRANSLATE_NOOP("form_edit", "second")},
     {3, QT_TRANSLATE_NOOP("form_edit", "third")},
     {4, QT_TRANSLATE_NOOP("form_edit", "fourth")},
     {RepeatRule::kLast, QT_TRANSLATE_NOOP("form_edit", "last")}}};

// combo_recur_end lists the ends in their order.
const char* const kEndCaptions[] = {QT_TRANSLATE_NOOP("form_edit", "no end"),
                                    QT_TRANSLATE_NOOP("form_edit", "until"),
                                    QT_TRANSLATE_NOOP("form_edit", "after")};

Unit unitOfPath(const QString& path)
{
    switch (Recurrence::ofPath(path)) {
    case Recurrence::Kind::Daily:
        return Unit::Day;
    case Recurrence::Kind::Monthly:
        return Unit::Month;
    case Recurrence::Kind::Yearly:
        return Unit::Year;
    case Recurrence::Kind::None: // a one-time appointment offers the weekday of its date
    case Recurrence::Kind::Weekly:
        break;
    }
    return Unit::Week;
}

// Qt::Monday = 1 ... Qt::Sunday = 7 in the names' list, which begins on Sunday.
QString weekdayName(const QStringList& names, int weekday)
{
    return names.value(weekday % 7 + 1);
}

QSpinBox* createSpin(QWidget* page, const char* objectName, const QRect& geometry, int minimum,
                     int maximum)
{
    auto* spin = new QSpinBox(page);
    spin->setObjectName(QLatin1String(objectName));
    spin->setGeometry(geometry);
    spin->setRange(minimum, maximum);
    return spin;
}

} // namespace

void form_edit::createRepeatControls(QFrame* page)
{
    label_recur_every = createLabel(page, "label_recur_every", Layout::kRecurEveryCaption);
    spin_recur_every =
        createSpin(page, "spin_recur_every", Layout::kRecurEvery, 1, RepeatRule::kMaxInterval);
    label_recur_unit = createLabel(page, "label_recur_unit", Layout::kRecurUnit);
    for (int i = 0; i < 7; ++i) {
        auto* box = new QCheckBox(page);
        box->setObjectName(QStringLiteral("check_recur_weekday_%1").arg(i + 1));
        box->setGeometry(Layout::kRecurWeekday.translated(i * Layout::kRecurWeekdayStep, 0));
        connect(box, &QCheckBox::toggled, this,
                [this, i](bool checked) { recur_weekday_Toggled(i, checked); });
        check_recur_weekday[size_t(i)] = box;
    }
    option_recur_day = new QRadioButton(page);
    option_recur_day->setObjectName(QStringLiteral("option_recur_day"));
    option_recur_day->setGeometry(Layout::kRecurOnDay);
    option_recur_nth = new QRadioButton(page);
    option_recur_nth->setObjectName(QStringLiteral("option_recur_nth"));
    option_recur_nth->setGeometry(Layout::kRecurOnNth);
    combo_recur_nth = createCombo(page, "combo_recur_nth", Layout::kRecurNth);
    combo_recur_weekday = createCombo(page, "combo_recur_weekday", Layout::kRecurNthWeekday);
    label_recur_month = createLabel(page, "label_recur_month", Layout::kRecurMonth);
    label_recur_von = createLabel(page, "label_recur_von", Layout::kRecurFromCaption);
    text_recur_von =
        createValueField<ValueField<QDate>>(page, "text_recur_von", Layout::kRecurFrom);
    combo_recur_end = createCombo(page, "combo_recur_end", Layout::kRecurEnd);
    text_recur_bis =
        createValueField<ValueField<QDate>>(page, "text_recur_bis", Layout::kRecurUntil);
    spin_recur_count =
        createSpin(page, "spin_recur_count", Layout::kRecurCount, 0, RepeatRule::kMaxCount);
    label_recur_times = createLabel(page, "label_recur_times", Layout::kRecurTimes);
    makeTypable(text_recur_von);
    makeTypable(text_recur_bis);

    const auto changed = [this] {
        if (!m_showingRepeat)
            repeatChanged();
    };
    connect(combo_recur, &QComboBox::currentIndexChanged, this, changed);
    connect(spin_recur_every, &QSpinBox::valueChanged, this, changed);
    connect(option_recur_nth, &QRadioButton::toggled, this, [this, changed] {
        changed();
        UpdateControlStates();
    });
    connect(combo_recur_end, &QComboBox::currentIndexChanged, this, &form_edit::recur_end_Change);
}

void form_edit::setRepeatTexts()
{
    // Filling the lists is no choice of the user's.
    const QScopedValueRollback showing(m_showingRepeat, true);
    const QString& lang = m_settings.LangCode();
    const QStringList shortNames = ShortDayNames(lang);
    const QStringList names = DayNames(lang);
    label_recur_every->setText(tr("Every"));
    label_recur_every->setBuddy(spin_recur_every);
    for (int i = 0; i < 7; ++i) {
        check_recur_weekday[size_t(i)]->setText(weekdayName(shortNames, i + 1));
        check_recur_weekday[size_t(i)]->setAccessibleName(weekdayName(names, i + 1));
    }
    option_recur_nth->setText(tr("on the"));
    option_recur_nth->setAccessibleName(tr("On a weekday of the month"));
    combo_recur_nth->clear();
    for (const NthChoice& choice : kNths)
        combo_recur_nth->addItem(tr(choice.text), choice.nth);
    combo_recur_nth->setAccessibleName(tr("Which one in the month"));
    combo_recur_weekday->clear();
    for (int weekday = Qt::Monday; weekday <= Qt::Sunday; ++weekday)
        combo_recur_weekday->addItem(weekdayName(names, weekday), weekday);
    combo_recur_weekday->setAccessibleName(tr("Weekday"));
    label_recur_von->setText(tr("From:"));
    combo_recur_end->clear();
    for (const char* caption : kEndCaptions)
        combo_recur_end->addItem(tr(caption));
    combo_recur_end->setAccessibleName(tr("End of the recurrence"));
    spin_recur_count->setAccessibleName(tr("Number of times"));
    label_recur_times->setText(tr("times"));
    label_recur_times->setBuddy(spin_recur_count);
    fillRecurList();
}

void form_edit::fillRecurList()
{
    // The entries name the date in the field, which the series is filed under; until the
    // field is filled, the date at opening. An entry says what the original kind says only
    // while the controls say no more.
    const QDate date =
        text_am->value().isValid() ? text_am->value() : m_handOver->appointment.datum();
    const QString weekday = weekdayName(DayNames(m_settings.LangCode()), date.dayOfWeek());
    const QStringList plain{tr("every day"), tr("every %1").arg(weekday),
                            tr("every %1 day in month").arg(date.day()),
                            tr("every year (birthdays)")};
    RepeatChoice choice = repeatChoice();
    QStringList captions;
    for (int i = 0; i < plain.size(); ++i) {
        choice.unit = Unit(i);
        captions << (choice.isPlain(date) ? plain[i] : tr(kUnitCaptions[i]));
    }
    if (combo_recur->count() != captions.size()) {
        const QSignalBlocker quiet(combo_recur); // the record's kind is shown after
        combo_recur->clear();
        combo_recur->addItems(captions);
        return;
    }
    // Renamed in place: the kind chosen stays chosen.
    for (int i = 0; i < captions.size(); ++i)
        combo_recur->setItemText(i, captions[i]);
}

void form_edit::showRepeat(const ClassTermin& r)
{
    const QDate& date = r.datum();
    // One occurrence edited alone shows its series' rule but leaves it as it is.
    m_occurrenceAlone = r.isOccurrence();
    // A series shows its own range. For one that is yet to be made, the first day follows the
    // date until the user picks one, and it runs without end.
    m_recurFromChosen = r.repeats();
    RepeatChoice choice;
    QDate from;
    if (const std::optional<RepeatRule>& rule = r.Rule()) {
        choice = RepeatChoice::ofRule(*rule, date);
        // The first day the user gave, where the rule's start was made from it.
        const QDate& given = r.RecurringStartDate();
        from = r.IsRecurring() && given.isValid() && choice.rule(date, given).start == rule->start
                   ? given
                   : rule->start;
    } else {
        choice = RepeatChoice::ofKind(unitOfPath(r.filename()), date,
                                      r.IsRecurring() ? r.RecurringEndDate() : kLastFileDate);
        from = r.IsRecurring() ? r.RecurringStartDate() : date;
    }
    showDate(text_recur_von, from);
    check_recur->setChecked(r.IsRecurring());
    showRepeatChoice(choice);
}

void form_edit::showRepeatChoice(const RepeatChoice& choice)
{
    const QDate date = text_am->value();
    {
        const QScopedValueRollback showing(m_showingRepeat, true);
        combo_recur->setCurrentIndex(int(choice.unit));
        spin_recur_every->setValue(choice.interval);
        for (int i = 0; i < 7; ++i)
            check_recur_weekday[size_t(i)]->setChecked(choice.weekdays.contains(i + 1));
        (choice.nth != 0 ? option_recur_nth : option_recur_day)->setChecked(true);
        const int nth = choice.nth != 0 ? choice.nth : RepeatChoice::nthOf(date);
        if (combo_recur_nth->findData(nth) < 0) // a fifth weekday, from another program
            combo_recur_nth->addItem(tr("fifth"), nth);
        combo_recur_nth->setCurrentIndex(combo_recur_nth->findData(nth));
        combo_recur_weekday->setCurrentIndex(combo_recur_weekday->findData(choice.nthWeekday));
        combo_recur_end->setCurrentIndex(int(choice.end));
        showDate(text_recur_bis, choice.end == End::Until ? choice.until : kLastFileDate);
        spin_recur_count->setValue(choice.count);
    }
    repeatChanged();
}

RepeatChoice form_edit::repeatChoice() const
{
    RepeatChoice choice;
    // combo_recur lists the units in their order.
    choice.unit = Unit(std::clamp(combo_recur->currentIndex(), 0, int(Unit::Year)));
    choice.interval = spin_recur_every->value();
    for (int i = 0; i < 7; ++i)
        if (check_recur_weekday[size_t(i)]->isChecked())
            choice.weekdays << i + 1;
    choice.nth = option_recur_nth->isChecked() ? combo_recur_nth->currentData().toInt() : 0;
    choice.nthWeekday = combo_recur_weekday->currentData().toInt();
    choice.end = End(std::max(combo_recur_end->currentIndex(), 0));
    choice.until = text_recur_bis->value();
    choice.count = spin_recur_count->value();
    return choice;
}

void form_edit::repeatChanged()
{
    const QDate date =
        text_am->value().isValid() ? text_am->value() : m_handOver->appointment.datum();
    const RepeatChoice choice = repeatChoice();
    const int unit = int(choice.unit);
    label_recur_unit->setText(tr(kUnitNames[unit][choice.interval == 1 ? 0 : 1]));
    spin_recur_every->setAccessibleName(tr(kIntervalNames[unit]));
    for (QCheckBox* box : check_recur_weekday)
        box->setVisible(choice.unit == Unit::Week);
    const bool inMonth = choice.unit == Unit::Month || choice.unit == Unit::Year;
    for (QWidget* control :
         std::initializer_list<QWidget*>{option_recur_day, option_recur_nth, combo_recur_nth,
                                         combo_recur_weekday, label_recur_month})
        control->setVisible(inMonth);
    const QString month = MonthNames(m_settings.LangCode()).value(date.month());
    option_recur_day->setText(choice.unit == Unit::Year
                                  ? tr("on %1 %2", "day, month").arg(date.day()).arg(month)
                                  : tr("on day %1").arg(date.day()));
    label_recur_month->setText(choice.unit == Unit::Year ? tr("in %1").arg(month)
                                                         : tr("of the month"));
    const bool counted = choice.end == End::Count;
    text_recur_bis->setVisible(!counted);
    spin_recur_count->setVisible(counted);
    label_recur_times->setVisible(counted);
    m_shownEnd = choice.end;
    fillRecurList();
}

void form_edit::enableRepeatControls(bool recurring)
{
    for (QWidget* control :
         std::initializer_list<QWidget*>{spin_recur_every, option_recur_day, option_recur_nth,
                                         combo_recur_end, spin_recur_count})
        control->setEnabled(recurring);
    for (QCheckBox* box : check_recur_weekday)
        box->setEnabled(recurring);
    const bool nth = recurring && option_recur_nth->isChecked();
    combo_recur_nth->setEnabled(nth);
    combo_recur_weekday->setEnabled(nth);
}

void form_edit::repeatFollowsDate(const QDate& before, const QDate& date)
{
    if (!before.isValid() || before == date)
        return;
    {
        const QScopedValueRollback showing(m_showingRepeat, true);
        // The new weekday ticked before the old one goes: never none.
        if (repeatChoice().weekdays == QList<int>{before.dayOfWeek()}) {
            check_recur_weekday[size_t(date.dayOfWeek() - 1)]->setChecked(true);
            if (before.dayOfWeek() != date.dayOfWeek())
                check_recur_weekday[size_t(before.dayOfWeek() - 1)]->setChecked(false);
        }
        if (option_recur_day->isChecked()) {
            combo_recur_nth->setCurrentIndex(combo_recur_nth->findData(RepeatChoice::nthOf(date)));
            combo_recur_weekday->setCurrentIndex(combo_recur_weekday->findData(date.dayOfWeek()));
        }
    }
    repeatChanged();
}

void form_edit::recur_weekday_Toggled(int index, bool checked)
{
    if (m_showingRepeat)
        return;
    if (!checked && repeatChoice().weekdays.isEmpty()) {
        QCheckBox* box = check_recur_weekday[size_t(index)];
        const QSignalBlocker quiet(box);
        box->setChecked(true);
        m_showMessage(this, QStringLiteral("Norvane"),
                      tr("The appointment must recur on at least one weekday."));
        return;
    }
    repeatChanged();
}

void form_edit::recur_end_Change(int index)
{
    if (m_showingRepeat)
        return;
    const End end = End(std::max(index, 0));
    if (end == End::Never) {
        showDate(text_recur_bis, kLastFileDate);
    } else if (end == End::Until && text_recur_bis->value() == kLastFileDate) {
        // Until the last day a count came to, else a year on.
        RepeatChoice counted = repeatChoice();
        counted.end = End::Count;
        const QDate last = m_shownEnd == End::Count && counted.count > 0
                               ? counted.rule(text_am->value(), text_recur_von->value()).lastDay()
                               : QDate();
        showDate(text_recur_bis, last.isValid() && last < kLastFileDate
                                     ? last
                                     : text_recur_von->value().addYears(1));
    }
    repeatChanged();
}

bool form_edit::repeatInOrder()
{
    if (!check_recur->isChecked())
        return true;
    const auto refuse = [this](QWidget* control, const QString& text) {
        control->setFocus();
        m_showMessage(this, QStringLiteral("Norvane"), text);
        return false;
    };
    const RepeatChoice choice = repeatChoice();
    if (choice.end == End::Count && choice.count < 1)
        return refuse(spin_recur_count, tr("The appointment must take place at least once."));
    const QDate from = text_recur_von->value();
    if (choice.end != End::Until || choice.until == kLastFileDate)
        return true;
    if (choice.until < from)
        return refuse(text_recur_bis,
                      tr("The last day of the recurrence must not be before its first day."));
    const RepeatRule rule = choice.rule(text_am->value(), from);
    if (!rule.isValid() || rule.occurrences(rule.start, rule.until, 1).isEmpty())
        return refuse(text_recur_bis, tr("The recurrence falls on no day from %1 to %2.")
                                          .arg(FormatDate(from, m_settings.DateFormat()),
                                               FormatDate(choice.until, m_settings.DateFormat())));
    return true;
}

void form_edit::copyRepeatIntoRecord(ClassTermin& r) const
{
    const RepeatChoice choice = repeatChoice();
    const QDate from = text_recur_von->value();
    r.setIsRecurring(check_recur->isChecked());
    r.setRecurringStartDate(from);
    r.setRecurringEndDate(text_recur_bis->value());
    r.Recurring_code = Recurrence::code(RuleSeries::kindOf(choice.unit));
    if (!r.IsRecurring()) {
        if (!m_occurrenceAlone)
            r.setRule(std::nullopt);
        return;
    }
    const RepeatRule rule = choice.rule(r.datum(), from);
    r.setRule(rule);
    // Older copies see the range: a count ends on its last day.
    if (rule.end != End::Until)
        r.setRecurringEndDate(RuleSeries::lastFiledDay(rule));
}
