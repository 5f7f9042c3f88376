#include "app/cli/Options.h"

#include <QRegularExpression>

#include <algorithm>

namespace Options {

QString Parsed::value(const QString& name) const
{
    const QStringList values = given.value(name);
    return values.isEmpty() ? QString() : values.last();
}

std::optional<int> Parsed::number(const QString& name) const
{
    return has(name) ? std::optional(value(name).toInt()) : std::nullopt;
}

std::variant<Parsed, Problem> parse(const QStringList& args, const QList<Option>& options)
{
    Parsed parsed;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (!arg.startsWith(u'-') || arg.size() == 1) {
            parsed.arguments << arg;
            continue;
        }
        const qsizetype equals = arg.indexOf(u'=');
        const QString name = equals < 0 ? arg : arg.left(equals);
        const auto option = std::find_if(options.begin(), options.end(),
                                         [&](const Option& o) { return o.name == name; });
        // A flag written with a value is no option of ours either.
        if (option == options.end() || (option->kind == Flag && equals >= 0))
            return Problem(QStringLiteral("Unknown option: %1").arg(arg));
        if (option->kind == Flag) {
            parsed.given.insert(name, {});
            continue;
        }
        // The word after the name is its value whatever it looks like, as a path may.
        const QString value = equals >= 0 ? arg.mid(equals + 1) : args.value(++i);
        if (value.isEmpty())
            return Problem(QStringLiteral("%1 needs a value.").arg(name));
        if (option->kind == Number) {
            const auto checked = number(value, option->lowest, option->highest, option->noun);
            if (const auto* problem = std::get_if<Problem>(&checked))
                return *problem;
        }
        parsed.given[name] << value;
    }
    return parsed;
}

std::variant<int, Problem> number(const QString& text, int lowest, int highest, const QString& noun)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (ok && value >= lowest && value <= highest)
        return value;
    return Problem(
        QStringLiteral("Not a %1 from %2 to %3: %4").arg(noun).arg(lowest).arg(highest).arg(text));
}

std::variant<QDate, Problem> date(const QString& text)
{
    static const QRegularExpression shape(QStringLiteral(R"(^\d{4}-\d{2}-\d{2}$)"));
    const QDate date =
        shape.match(text).hasMatch() ? QDate::fromString(text, Qt::ISODate) : QDate();
    if (date.isValid())
        return date;
    return Problem(QStringLiteral("Not a date (YYYY-MM-DD): %1").arg(text));
}

} // namespace Options
