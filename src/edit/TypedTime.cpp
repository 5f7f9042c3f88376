#include "edit/TypedTime.h"

#include <QRegularExpression>

namespace TypedTime {

namespace {

// Hour and minute with a separator, or digits alone; then the day half, or the German
// "o'clock" that changes nothing. ASCII digits only: other scripts' digits are not read here.
const QRegularExpression kForm(
    QStringLiteral(
        R"(^\s*(?:([0-9]{1,2})[:.]([0-9]{2})|([0-9]{1,4}))\s*(?:([ap])\.?(?:m\.?)?|uhr)?\s*$)"),
    QRegularExpression::CaseInsensitiveOption);

} // namespace

std::optional<TimeOfDay> parse(const QString& typed, Role role)
{
    const QRegularExpressionMatch match = kForm.match(typed);
    if (!match.hasMatch())
        return std::nullopt;
    int hour = 0;
    int minute = 0;
    if (match.hasCaptured(1)) {
        hour = match.captured(1).toInt();
        minute = match.captured(2).toInt();
    } else {
        // "9" and "14" are hours; "910" and "1010" end in the minutes.
        const QString digits = match.captured(3);
        hour = digits.size() <= 2 ? digits.toInt() : digits.chopped(2).toInt();
        minute = digits.size() <= 2 ? 0 : digits.right(2).toInt();
    }
    if (minute > 59)
        return std::nullopt;
    const QString dayHalf = match.captured(4).toLower();
    if (!dayHalf.isEmpty()) {
        const bool pm = dayHalf == QLatin1String("p");
        if (hour > 12 || (hour == 0 && pm))
            return std::nullopt;
        hour = hour % 12 + (pm ? 12 : 0);
    }
    int minutes = hour * 60 + minute;
    if (minutes > TimeOfDay::kEndOfDay)
        return std::nullopt;
    if (role == Role::End && minutes == 0)
        minutes = TimeOfDay::kEndOfDay;
    if (role == Role::Start && minutes == TimeOfDay::kEndOfDay)
        return std::nullopt;
    return TimeOfDay::fromMinutes(minutes);
}

} // namespace TypedTime
