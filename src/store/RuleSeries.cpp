#include "store/RuleSeries.h"

#include "store/AppointmentFile.h"
#include "store/DataAccess.h"
#include "store/Recurrence.h"

#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>

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

// The weekly part of the series the rule file holds for the run of one weekday from..until.
ClassTermin part(const ClassTermin& rule, const QString& dataFolder, const QDate& from,
                 const QDate& until)
{
    ClassTermin a = occurrence(rule, dataFolder, from);
    a.setIsRecurring(true);
    a.Recurring_code = Recurrence::code(Recurrence::Kind::Weekly);
    a.setRecurringEndDate(until);
    a.setFilename(Recurrence::directory(dataFolder, Recurrence::Kind::Weekly, from) +
                  QFileInfo(a.filename()).fileName());
    return a;
}

// A series on several weekdays of every week: for each weekday one part per run of its days
// that the skipped days leave, the last running to the series' end.
QList<ClassTermin> partsOf(const ClassTermin& rule, const QString& dataFolder)
{
    const RepeatRule& repeat = *rule.Rule();
    const QDate last = lastFiledDay(repeat);
    QList<QDate> skipped = rule.SkippedDays();
    std::sort(skipped.begin(), skipped.end());
    QList<ClassTermin> parts;
    for (const int weekday : repeat.weekdays) {
        QDate from = repeat.start.addDays((weekday - repeat.start.dayOfWeek() + 7) % 7);
        for (const QDate& day : std::as_const(skipped)) {
            if (day.dayOfWeek() != weekday || day < from || day > last)
                continue;
            if (day > from)
                parts.append(part(rule, dataFolder, from, day.addDays(-7)));
            from = day.addDays(7);
        }
        if (from <= last)
            parts.append(part(rule, dataFolder, from, last));
    }
    return parts;
}

// The files before stands for that after has no more go.
void removeGone(QList<Step>& steps, const QList<ClassTermin>& before,
                const QList<ClassTermin>& after)
{
    QSet<QString> stays;
    for (const ClassTermin& file : after)
        stays.insert(file.filename());
    for (const ClassTermin& file : before) {
        if (!stays.contains(file.filename()))
            steps.append({Step::Kind::Remove, file});
    }
}

// The steps from the files before to those of after: what goes first, then what shows on
// fewer days, then what is new or shows on more, so that a crash or a stalled share between
// two of them leaves a gap, never a day shown twice. A file that stays as it was is written
// again only when the series' fields changed (rewrite).
void replaceFiles(QList<Step>& steps, const QList<ClassTermin>& before,
                  const QList<ClassTermin>& after, bool rewrite)
{
    removeGone(steps, before, after);
    QHash<QString, QDate> endOf;
    for (const ClassTermin& file : before)
        endOf.insert(file.filename(), file.RecurringEndDate());
    QList<Step> grown;
    for (const ClassTermin& file : after) {
        const auto was = endOf.constFind(file.filename());
        if (was == endOf.cend() || file.RecurringEndDate() > *was)
            grown.append({Step::Kind::Write, file});
        else if (rewrite || file.RecurringEndDate() < *was)
            steps.append({Step::Kind::Write, file});
    }
    steps += grown;
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

QDate lastFiledDay(const RepeatRule& rule)
{
    const QDate last = rule.lastDay();
    return last.isValid() && last < kLastFileDate ? last : kLastFileDate;
}

void repeatBy(ClassTermin& record, const RepeatRule& rule)
{
    record.setIsRecurring(true);
    record.setRule(rule);
    record.Recurring_code = Recurrence::code(kindOf(rule.unit));
    const QDate first = rule.occurrences(rule.start, rule.start.addYears(10), 1).value(0);
    if (rule.isPlainKind())
        record.setDatum(first);
    record.setRecurringStartDate(rule.isPlainKind() ? first : rule.start);
    record.setRecurringEndDate(lastFiledDay(rule));
}

bool keptByRuleFile(const ClassTermin& record)
{
    return record.IsRecurring() && record.Rule() && !record.Rule()->isPlainKind();
}

bool keptAsParts(const ClassTermin& rule)
{
    return rule.Rule() && rule.Rule()->isWeekdayParts();
}

bool isKeptFile(const ClassTermin& file)
{
    return file.isOccurrence() || (file.IsRecurring() && keptAsParts(file) &&
                                   Recurrence::ofPath(file.filename()) == Recurrence::Kind::Weekly);
}

std::optional<RepeatRule> ruleAsFiled(const ClassTermin& record)
{
    std::optional<RepeatRule> rule = record.Rule();
    if (!rule || !record.IsRecurring() || keptByRuleFile(record))
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
    return !keptAsParts(rule) && (!last.isValid() || written < last) &&
           written < today.addMonths(kMonthsAhead);
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

QList<ClassTermin> filesOf(const ClassTermin& rule)
{
    const QString folder = folderOfRule(rule);
    if (keptAsParts(rule))
        return partsOf(rule, folder);
    QList<ClassTermin> files;
    for (const QDate& day : writtenDays(rule))
        files.append(occurrence(rule, folder, day));
    return files;
}

QDate dayOf(const ClassTermin& file, const QDate& shown)
{
    if (!file.isOccurrence())
        return shown;
    const QDate named = occurrenceDayOf(file.filename());
    return named.isValid() ? named : file.datum();
}

ClassTermin recordFor(const ClassTermin& file, const QDate& shown, SeriesEdit::Scope scope)
{
    ClassTermin record = file;
    const QDate day = dayOf(file, shown);
    if (scope == SeriesEdit::Scope::This || !file.Rule()) {
        // The occurrence alone, under the name an occurrence of its day has.
        record.setRule(std::nullopt);
        record.setIsRecurring(false);
        record.Recurring_code.clear();
        record.setDatum(day);
        record.setRecurringStartDate(day);
        record.setRecurringEndDate(day);
        if (!file.isOccurrence())
            record.setFilename(
                occurrencePath(Recurrence::folderOf(file.filename()), file.SeriesId(), day));
        return record;
    }
    const RepeatRule rule =
        scope == SeriesEdit::Scope::Following ? ruleFrom(*file.Rule(), day) : *file.Rule();
    record.setRule(rule);
    record.setIsRecurring(true);
    record.Recurring_code = Recurrence::code(kindOf(rule.unit));
    record.setDatum(rule.start);
    record.setRecurringStartDate(rule.start);
    record.setRecurringEndDate(lastFiledDay(rule));
    record.setFilename(rulePath(Recurrence::folderOf(file.filename()), file.SeriesId()));
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
    rule.setRecurringEndDate(lastFiledDay(*rule.Rule()));
    rule.setWrittenUntil(keptAsParts(rule) ? QDate() : writtenUntilFor(today));
    QList<Step> steps{{Step::Kind::Write, rule}};
    for (const ClassTermin& file : filesOf(rule))
        steps.append({Step::Kind::Write, file});
    return steps;
}

QList<Step> planExtend(const ClassTermin& rule, const QDate& today)
{
    if (!rule.Rule() || !wantsExtending(rule, today))
        return {};
    ClassTermin extended = rule;
    extended.setWrittenUntil(writtenUntilFor(today));
    QList<Step> steps;
    replaceFiles(steps, filesOf(rule), filesOf(extended), false);
    steps.append({Step::Kind::Write, extended});
    return steps;
}

QList<Step> planReplace(const std::optional<ClassTermin>& before, const ClassTermin& series,
                        const QString& dataFolder, const QDate& today)
{
    QList<Step> written = planNew(series, dataFolder, today);
    written.first().record.setSeriesDays(series.SeriesDays());
    QList<Step> steps;
    if (before)
        removeGone(steps, filesOf(*before), filesOf(written.first().record));
    return steps + written;
}

QList<Step> planRemove(const ClassTermin& rule)
{
    QList<Step> steps;
    removeGone(steps, filesOf(rule), {});
    steps.append({Step::Kind::Remove, rule});
    return steps;
}

QList<Step> plan(const Change& change)
{
    const ClassTermin& rule = change.rule;
    const QString folder = folderOfRule(rule);
    const QString& id = rule.SeriesId();
    const QList<ClassTermin> written = filesOf(rule);
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
        replaceFiles(steps, written, filesOf(kept), false);
        if (change.changed) {
            ClassTermin exception = *change.changed;
            exception.setRule(std::nullopt);
            exception.setIsRecurring(false);
            exception.setRecurringStartDate(exception.datum());
            exception.setRecurringEndDate(exception.datum());
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
        // The files before the day carry the rule as it now ends.
        replaceFiles(steps, written, filesOf(kept), true);
        steps.append({Step::Kind::Write, kept});
        break;
    }
    case Scope::All: {
        const bool staysHere = change.changed && keptByRuleFile(*change.changed);
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
            renewed.setWrittenUntil(keptAsParts(renewed) ? QDate()
                                                         : std::max(rule.WrittenUntil(),
                                                                    writtenUntilFor(change.today)));
            replaceFiles(steps, written, filesOf(renewed), true);
            steps.append({Step::Kind::Write, renewed});
            return steps;
        }
        removeGone(steps, written, {});
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
    if (keptByRuleFile(rest)) {
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
