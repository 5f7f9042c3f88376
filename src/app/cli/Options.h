#pragma once

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>
#include <variant>

// The options of a norvane-cli command, declared once and taken alike by every command: a value
// as "--name VALUE" or "--name=VALUE", never empty; a flag alone; of an option given twice the
// last counts; a word without a leading '-', or '-' alone, is an argument.
namespace Options {

enum Kind { Flag, Text, Number };

struct Option {
    Option(QString optionName, Kind optionKind = Flag)
        : name(std::move(optionName))
        , kind(optionKind)
    {
    }
    // A number, and what a problem calls it: "Not a colour from 1 to 14: 15".
    Option(QString optionName, int least, int most, QString what)
        : name(std::move(optionName))
        , kind(Number)
        , lowest(least)
        , highest(most)
        , noun(std::move(what))
    {
    }

    QString name;
    Kind kind;
    int lowest = 0;
    int highest = 0;
    QString noun;
};

// The one line that tells what is wrong with the arguments.
using Problem = QString;

struct Parsed {
    QStringList arguments;             // the words that are no option, in order
    QHash<QString, QStringList> given; // each option given, with its values in order

    bool has(const QString& name) const { return given.contains(name); }
    // The value given last; empty when the option was not given.
    QString value(const QString& name) const;
    std::optional<int> number(const QString& name) const;
};

std::variant<Parsed, Problem> parse(const QStringList& args, const QList<Option>& options);

// A whole number from lowest to highest.
std::variant<int, Problem> number(const QString& text, int lowest, int highest,
                                  const QString& noun);
// A date written YYYY-MM-DD that exists in the calendar.
std::variant<QDate, Problem> date(const QString& text);

} // namespace Options
