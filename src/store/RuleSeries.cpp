#include "store/RuleSeries.h"

#include "store/AppointmentFile.h"
#include "store/DataAccess.h"
#include "store/Recurrence.h"

#include <QRegularExpression>
#include <QSet>

namespace RuleSeries {

namespace {

const QString kDayFormat = QStringLiteral("yyyyMMdd");

// The occurrence on day of the series the rule file holds: a one-time appointment.
ClassTermin occurrence(const ClassTermin& rule, const QString& dataFolder, const QDate& day)
{
    ClassTermin a = rule;
    a.setIsRecurring(false);
    a.Recurring_code.clear();
    a.setDatum(day);
    a.setRecurringStartDate(day);
    a.setRecurringEndDate(day);
    a.setSkippedDays({});
    a.setWrittenUntil({});
    a.setSeriesDays({});
    a.setUid({}); // the event is the series': its rule file carries it
    a.setFilename(occurrencePath(dataFolder, rule.SeriesId(), day));
    return a;
}

// The data folder of a rule file: its path less what rulePath adds.
QString folderOfRule(const ClassTermin& rule)
{
    const QString own = rulePath({}, rule.SeriesId());
    const QString& path = rule.filename();
    return path.endsWith(own) ? path.chopped(own.size()) : QString();
}

void removeAll(QList<Step>& steps, const QString& dataFolder, const QString& id,
               const QList<QDate>& days)
{
    for (const QDate& day : days) {
        ClassTermin gone;
        gone.setFilename(occurrencePath(dataFolder, id, day));
        steps.append({Step::Kind::Remove, gone});
    }
}

// The rule of a series whose first times up to before lie behind it: a count counts on.
RepeatRule ruleFrom(const RepeatRule& rule, const QDate& from)
{
    RepeatRule rest = rule;
    rest.start = from;
    if (rule.end == RepeatRule::End::Count)
        rest.count = rule.count - int(rule.occurrences(rule.start, from.addDays(-1)).size());
    return rest;
}

} // namespace

Recurrence::Kind kindOf(RepeatRule::Unit unit)
{
    switch (unit) {
    case RepeatRule::Unit::Day:
        return Recurrence::Kind::Daily;
    case RepeatRule::Unit::Week:
        return Recurrence::Kind::Weekly;
    case RepeatRule::Unit::Month:
        return Recurrence::Kind::Monthly;
    case RepeatRule::Unit::Year:
        break;
    }
    return Recurrence::Kind::Yearly;
}

std::optional<RepeatRule> ruleOfSeries(const ClassTermin& record)
{
    if (record.Rule() || !record.IsRecurring())
        return record.Rule();
    const Recurrence::Kind kind = Recurrence::ofPath(record.filename()) != Recurrence::Kind::None
                                      ? Recurrence::ofPath(record.filename())
                                      : Recurrence::ofCode(record.Recurring_code);
    RepeatRule rule;
    rule.unit = kind == Recurrence::Kind::Daily     ? RepeatRule::Unit::Day
                : kind == Recurrence::Kind::Weekly  ? RepeatRule::Unit::Week
                : kind == Recurrence::Kind::Monthly ? RepeatRule::Unit::Month
                                                    : RepeatRule::Unit::Year;
    rule.start = Recurrence::firstOn(kind, record.datum(), record.RecurringStartDate(),
                                     record.RecurringEndDate());
    if (!rule.start.isValid())
        return std::nullopt;
    if (record.RecurringEndDate() < kLastFileDate) {
        rule.end = RepeatRule::End::Until;
        rule.until = record.RecurringEndDate();
    }
    return rule;
}

bool keptAsOccurrences(const ClassTermin& record)
{
    return record.IsRecurring() && record.Rule() && !record.Rule()->isPlainKind();
}

std::optional<RepeatRule> ruleAsFiled(const ClassTermin& record)
{
    std::optional<RepeatRule> rule = record.Rule();
    if (!rule || !record.IsRecurring() || keptAsOccurrences(record))
        return rule;
    const QDate until = record.RecurringEndDate();
    rule->start = record.RecurringStartDate();
    if (until >= kLastFileDate) {
        rule->end = RepeatRule::End::Never;
    } else {
        RepeatRule shown = *rule;
        shown.end = RepeatRule::End::Until;
        shown.until = until;
        // A count stays while it still ends where the range does.
        if (rule->end == RepeatRule::End::Never || rule->lastDay() != shown.lastDay())
            rule = shown;
    }
    if (!rule->isValid())
        return std::nullopt;
    return rule;
}

bool isFileName(const QString& seriesId)
{
    static const QRegularExpression kName(QStringLiteral("^[A-Za-z0-9_-][A-Za-z0-9._-]{0,99}$"));
    return kName.match(seriesId).hasMatch();
}

QString rulePath(const QString& dataFolder, const QString& seriesId)
{
    return dataFolder + Recurrence::kTreeName + QLatin1Char('/') + kRulesDirectory +
           QLatin1Char('/') + seriesId + AppointmentFile::kExtension;
}

QString occurrencePath(const QString& dataFolder, const QString& seriesId, const QDate& day)
{
    return DataAccess::DayDirectory(dataFolder, day) + seriesId + QLatin1Char('-') +
           day.toString(kDayFormat) + AppointmentFile::kExtension;
}

QDate occurrenceDayOf(const QString& path)
{
    static const QRegularExpression kName(QStringLiteral("-([0-9]{8})\\.nv3$"));
    const QRegularExpressionMatch match = kName.match(path);
    return match.hasMatch() ? QDate::fromString(match.captured(1), kDayFormat) : QDate();
}

QDate writtenUntilFor(const QDate& today)
{
    const QDate month = today.addMonths(kMonthsWritten);
    return QDate(month.year(), month.month(), month.daysInMonth());
}

bool wantsExtending(const ClassTermin& rule, const QDate& today)
{
    const QDate last = rule.Rule() ? rule.Rule()->lastDay() : QDate();
    const QDate written = rule.WrittenUntil();
    return (!last.isValid() || written < last) && written < today.addMonths(kMonthsAhead);
}

QList<QDate> writtenDays(const ClassTermin& rule)
{
    if (!rule.Rule() || !rule.WrittenUntil().isValid())
        return {};
    const QSet<QDate> skipped(rule.SkippedDays().cbegin(), rule.SkippedDays().cend());
    QList<QDate> days = rule.Rule()->occurrences(rule.Rule()->start, rule.WrittenUntil());
    days.removeIf([&](const QDate& day) { return skipped.contains(day); });
    return days;
}

QDate dayOf(const ClassTermin& occurrence)
{
    const QDate named = occurrenceDayOf(occurrence.filename());
    return named.isValid() ? named : occurrence.datum();
}

ClassTermin recordFor(const ClassTermin& occurrence, SeriesEdit::Scope scope)
{
    ClassTermin record = occurrence;
    if (scope == SeriesEdit::Scope::This || !occurrence.Rule()) {
        record.setRule(std::nullopt);
        return record;
    }
    const QDate day = dayOf(occurrence);
    const RepeatRule rule = scope == SeriesEdit::Scope::Following
                                ? ruleFrom(*occurrence.Rule(), day)
                                : *occurrence.Rule();
    record.setRule(rule);
    record.setIsRecurring(true);
    record.Recurring_code = Recurrence::code(kindOf(rule.unit));
    record.setDatum(rule.start);
    record.setRecurringStartDate(rule.start);
    record.setRecurringEndDate(rule.end == RepeatRule::End::Never ? kLastFileDate : rule.lastDay());
    record.setFilename(
        rulePath(Recurrence::folderOf(occurrence.filename()), occurrence.SeriesId()));
    return record;
}

QList<Step> planNew(const ClassTermin& series, const QString& dataFolder, const QDate& today)
{
    ClassTermin rule = series;
    rule.setFilename(rulePath(dataFolder, series.SeriesId()));
    rule.setIsRecurring(true);
    rule.setSeriesDays({});
    rule.setDatum(rule.Rule()->start);
    rule.setRecurringStartDate(rule.Rule()->start);
    rule.setRecurringEndDate(rule.Rule()->end == RepeatRule::End::Never ? kLastFileDate
                                                                        : rule.Rule()->lastDay());
    rule.setWrittenUntil(writtenUntilFor(today));
    QList<Step> steps{{Step::Kind::Write, rule}};
    for (const QDate& day : writtenDays(rule))
        steps.append({Step::Kind::Write, occurrence(rule, dataFolder, day)});
    return steps;
}

QList<Step> planExtend(const ClassTermin& rule, const QDate& today)
{
    if (!rule.Rule() || !wantsExtending(rule, today))
        return {};
    ClassTermin extended = rule;
    extended.setWrittenUntil(writtenUntilFor(today));
    const QString folder = folderOfRule(rule);
    QList<Step> steps;
    for (const QDate& day : writtenDays(extended)) {
        if (day > rule.WrittenUntil())
            steps.append({Step::Kind::Write, occurrence(extended, folder, day)});
    }
    steps.append({Step::Kind::Write, extended});
    return steps;
}

QList<Step> planReplace(const std::optional<ClassTermin>& before, const ClassTermin& series,
                        const QString& dataFolder, const QDate& today)
{
    QList<Step> written = planNew(series, dataFolder, today);
    written.first().record.setSeriesDays(series.SeriesDays());
    QList<Step> steps;
    if (before) {
        const QList<QDate> stays = writtenDays(written.first().record);
        QList<QDate> gone = writtenDays(*before);
        if (before->SeriesId() == series.SeriesId())
            gone.removeIf([&](const QDate& day) { return stays.contains(day); });
        removeAll(steps, dataFolder, before->SeriesId(), gone);
    }
    return steps + written;
}

QList<Step> planRemove(const ClassTermin& rule)
{
    QList<Step> steps;
    removeAll(steps, folderOfRule(rule), rule.SeriesId(), writtenDays(rule));
    steps.append({Step::Kind::Remove, rule});
    return steps;
}

QList<Step> plan(const Change& change)
{
    const ClassTermin& rule = change.rule;
    const QString folder = folderOfRule(rule);
    const QString& id = rule.SeriesId();
    const QList<QDate> written = writtenDays(rule);
    QList<Step> steps;
    ClassTermin kept = rule;
    using Scope = SeriesEdit::Scope;
    Scope scope = change.scope;
    // The rest of a series from its first day on is all of it.
    if (scope == Scope::Following &&
        rule.Rule()->occurrences(rule.Rule()->start, change.occurrence.addDays(-1), 1).isEmpty())
        scope = Scope::All;
    switch (scope) {
    case Scope::This: {
        QList<QDate> skipped = kept.SkippedDays();
        skipped.append(change.occurrence);
        kept.setSkippedDays(skipped);
        if (change.changed) {
            QList<QDate> days = kept.SeriesDays();
            days.append(change.changed->datum());
            kept.setSeriesDays(days);
        }
        steps.append({Step::Kind::Write, kept});
        removeAll(steps, folder, id, {change.occurrence});
        if (change.changed) {
            ClassTermin exception = *change.changed;
            exception.setRule(std::nullopt);
            exception.setIsRecurring(false);
            exception.setSeriesId(id);
            exception.setFilename({});
            steps.append({Step::Kind::File, exception});
        }
        return steps;
    }
    case Scope::Following: {
        RepeatRule shortened = *rule.Rule();
        shortened.end = RepeatRule::End::Until;
        shortened.until = change.occurrence.addDays(-1);
        kept.setRule(shortened);
        kept.setRecurringEndDate(shortened.lastDay());
        QList<QDate> gone = written;
        gone.removeIf([&](const QDate& day) { return day < change.occurrence; });
        removeAll(steps, folder, id, gone);
        // The occurrences before carry the rule as it now ends.
        for (const QDate& day : written) {
            if (day < change.occurrence)
                steps.append({Step::Kind::Write, occurrence(kept, folder, day)});
        }
        steps.append({Step::Kind::Write, kept});
        break;
    }
    case Scope::All: {
        const bool staysHere = change.changed && keptAsOccurrences(*change.changed);
        QList<QDate> stays;
        ClassTermin renewed;
        if (staysHere) {
            renewed = *change.changed;
            renewed.setSeriesId(id);
            renewed.setFilename(rule.filename());
            // Days skipped by the old rule mean nothing to a new one.
            if (renewed.Rule() == rule.Rule())
                renewed.setSkippedDays(rule.SkippedDays());
            else
                renewed.setSkippedDays({});
            renewed.setSeriesDays(rule.SeriesDays());
            renewed.setDatum(renewed.Rule()->start);
            renewed.setRecurringStartDate(renewed.Rule()->start);
            renewed.setWrittenUntil(std::max(rule.WrittenUntil(), writtenUntilFor(change.today)));
            stays = writtenDays(renewed);
        }
        QList<QDate> gone = written;
        gone.removeIf([&](const QDate& day) { return stays.contains(day); });
        removeAll(steps, folder, id, gone);
        if (staysHere) {
            for (const QDate& day : stays)
                steps.append({Step::Kind::Write, occurrence(renewed, folder, day)});
            steps.append({Step::Kind::Write, renewed});
            return steps;
        }
        if (!change.changed) {
            for (const ClassTermin& exception : change.exceptions)
                steps.append({Step::Kind::Remove, exception});
        }
        steps.append({Step::Kind::Remove, rule});
        break;
    }
    }
    if (!change.changed)
        return steps;
    // The rest, or the whole series changed to what the directories hold, is filed anew.
    ClassTermin rest = *change.changed;
    if (scope == Scope::Following)
        rest.setSeriesId(change.restSeriesId);
    if (keptAsOccurrences(rest)) {
        steps.append(planNew(rest, folder, change.today));
        return steps;
    }
    rest.setFilename({});
    rest.setSkippedDays({});
    rest.setWrittenUntil({});
    steps.append({Step::Kind::File, rest});
    return steps;
}

} // namespace RuleSeries
