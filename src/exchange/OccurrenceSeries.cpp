#include "exchange/OccurrenceSeries.h"

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

bool isRulePath(const QString& relative)
{
    const QString id = relative.section(u'/', 2);
    return id.endsWith(QLatin1String(".nv3")) && RuleSeries::isFileName(id.chopped(4)) &&
           RuleSeries::rulePath(QString(), id.chopped(4)) == relative;
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
