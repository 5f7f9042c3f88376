#include "calendar/TypedDate.h"

#include "calendar/Formats.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <array>

namespace TypedDate {

namespace {

enum class Part { Day, Month, Year };
using Order = std::array<Part, 3>;

constexpr Order kIsoOrder{Part::Year, Part::Month, Part::Day};
constexpr int kEarliestYear = 1000;

// The order of day, month and year in the pattern; year, month, day for one that is none.
Order orderOf(const QString& pattern)
{
    const QString lower = pattern.toLower();
    const auto at = [&](QLatin1Char english, QLatin1Char german) {
        const qsizetype a = lower.indexOf(english);
        const qsizetype b = lower.indexOf(german);
        return a < 0 ? b : b < 0 ? a : std::min(a, b);
    };
    const std::array<std::pair<qsizetype, Part>, 3> found{{
        {at(QLatin1Char('d'), QLatin1Char('t')), Part::Day},
        {at(QLatin1Char('m'), QLatin1Char('m')), Part::Month},
        {at(QLatin1Char('y'), QLatin1Char('j')), Part::Year},
    }};
    if (!IsDatePattern(pattern) ||
        std::any_of(found.begin(), found.end(), [](const auto& f) { return f.first < 0; }))
        return kIsoOrder;
    auto sorted = found;
    std::sort(sorted.begin(), sorted.end());
    return {sorted[0].second, sorted[1].second, sorted[2].second};
}

int fullYear(const QString& digits, const QDate& reference)
{
    const int year = digits.toInt();
    if (digits.size() == 4)
        return year;
    const int earliest = (reference.isValid() ? reference.year() : 2000) - 50;
    const int inCentury = earliest - earliest % 100 + year;
    return inCentury < earliest ? inCentury + 100 : inCentury;
}

// Digits typed without separators, cut as the order lays them out: two each for day and
// month, four or two for the year.
QStringList cutDigits(const QString& digits, const QList<Part>& order)
{
    const qsizetype yearDigits = order.contains(Part::Year) ? digits.size() - 2 * 2 : 0;
    if (yearDigits != 0 && yearDigits != 2 && yearDigits != 4)
        return {};
    QStringList parts;
    qsizetype at = 0;
    for (const Part part : order) {
        const qsizetype length = part == Part::Year ? yearDigits : 2;
        parts << digits.mid(at, length);
        at += length;
    }
    return at == digits.size() ? parts : QStringList();
}

} // namespace

std::optional<QDate> parse(const QString& typed, const QString& pattern, const QDate& reference)
{
    static const QRegularExpression kSeparators(QStringLiteral("[./\\-\\s]+"));
    static const QRegularExpression kDigits(QStringLiteral("^[0-9]+$"));
    QStringList parts = typed.split(kSeparators, Qt::SkipEmptyParts);
    if (parts.isEmpty() || parts.size() > 3)
        return std::nullopt;
    for (const QString& part : parts)
        if (!kDigits.match(part).hasMatch())
            return std::nullopt;

    const Order full = orderOf(pattern);
    QList<Part> order(full.begin(), full.end());
    if (parts.size() == 3 && parts[0].size() == 4)
        order = {kIsoOrder.begin(), kIsoOrder.end()};
    // One run of digits holds the year when it is longer than day and month.
    const bool withYear = parts.size() == 3 || (parts.size() == 1 && parts[0].size() > 4);
    if (!withYear)
        order.removeAll(Part::Year);
    if (parts.size() == 1)
        parts = cutDigits(parts[0], order);
    if (parts.size() != order.size())
        return std::nullopt;

    int day = 0;
    int month = 0;
    int year = reference.isValid() ? reference.year() : 0;
    for (qsizetype i = 0; i < order.size(); ++i) {
        const QString& digits = parts[i];
        switch (order[i]) {
        case Part::Day:
            if (digits.size() > 2)
                return std::nullopt;
            day = digits.toInt();
            break;
        case Part::Month:
            if (digits.size() > 2)
                return std::nullopt;
            month = digits.toInt();
            break;
        case Part::Year:
            if (digits.size() != 2 && digits.size() != 4)
                return std::nullopt;
            year = fullYear(digits, reference);
            break;
        }
    }
    const QDate date(year, month, day);
    if (!date.isValid() || year < kEarliestYear)
        return std::nullopt;
    return date;
}

} // namespace TypedDate
