#include "exchange/OccurrenceSeries.h"

#include <QRegularExpression>
#include <QSet>
#include <QUuid>

#include <algorithm>
#include <numeric>

namespace OccurrenceSeries {

QString idOfUid(const QString& uid)
{
    // A fixed namespace of our own: the id is a name-based UUID of the UID.
    static const QUuid kNamespace(QStringLiteral("{5b0c2f7e-8d4a-4c61-9a3e-6f1d2b7c9e40}"));
    return QUuid::createUuidV5(kNamespace, uid).toString(QUuid::WithoutBraces);
}

QList<RuleSeries::Step> planReplace(const std::optional<ClassTermin>& before,
                                    const ClassTermin& series, const QString& dataFolder,
                                    const QDate& today)
{
    QList<RuleSeries::Step> written = RuleSeries::planNew(series, dataFolder, today);
    written.first().record.setSeriesDays(series.SeriesDays());
    QList<RuleSeries::Step> steps;
    if (before) {
        QSet<QString> kept;
        for (const RuleSeries::Step& step : std::as_const(written))
            kept.insert(step.record.filename());
        for (const QDate& day : RuleSeries::writtenDays(*before)) {
            ClassTermin gone;
            gone.setFilename(RuleSeries::occurrencePath(dataFolder, before->SeriesId(), day));
            if (!kept.contains(gone.filename()))
                steps.append({RuleSeries::Step::Kind::Remove, gone});
        }
    }
    return steps + written;
}

bool isRulePath(const QString& relative)
{
    static const QRegularExpression kRule(
        QStringLiteral("^recurring/rules/[0-9A-Za-z][0-9A-Za-z-]{0,63}\\.nv3$"));
    return kRule.match(relative).hasMatch() &&
           RuleSeries::rulePath(QString(), relative.section(u'/', 2).chopped(4)) == relative;
}

QList<RuleSeries::Step> planRemove(const ClassTermin& rule, const QString& dataFolder)
{
    QList<RuleSeries::Step> steps;
    for (const QDate& day : RuleSeries::writtenDays(rule)) {
        ClassTermin gone;
        gone.setFilename(RuleSeries::occurrencePath(dataFolder, rule.SeriesId(), day));
        steps.append({RuleSeries::Step::Kind::Remove, gone});
    }
    steps.append({RuleSeries::Step::Kind::Remove, rule});
    return steps;
}

Matched match(const ClassTermin& rule, const QList<QDate>& exceptionDays)
{
    Matched matched;
    for (const QDate& day : rule.SkippedDays()) {
        if (rule.Rule() && rule.Rule()->fallsOn(day) && !matched.rest.contains(day))
            matched.rest.append(day);
    }
    std::sort(matched.rest.begin(), matched.rest.end());
    matched.replaces = QList<QDate>(exceptionDays.size());
    QList<qsizetype> order(exceptionDays.size());
    std::iota(order.begin(), order.end(), qsizetype(0));
    std::stable_sort(order.begin(), order.end(),
                     [&](qsizetype a, qsizetype b) { return exceptionDays[a] < exceptionDays[b]; });
    for (const qsizetype i : std::as_const(order)) {
        if (matched.rest.removeOne(exceptionDays[i]))
            matched.replaces[i] = exceptionDays[i];
    }
    for (const qsizetype i : std::as_const(order)) {
        const QDate& day = exceptionDays[i];
        if (matched.replaces[i].isValid())
            continue;
        const auto nearest = std::min_element(matched.rest.cbegin(), matched.rest.cend(),
                                              [&day](const QDate& a, const QDate& b) {
                                                  return qAbs(a.daysTo(day)) < qAbs(b.daysTo(day));
                                              });
        if (nearest != matched.rest.cend()) {
            matched.replaces[i] = *nearest;
            matched.rest.removeAt(nearest - matched.rest.cbegin());
        }
    }
    return matched;
}

} // namespace OccurrenceSeries
