#pragma once

#include "app/cli/Options.h"
#include "store/ClassTermin.h"

#include <QDate>

#include <optional>
#include <variant>

// How `new` and `edit` name a series' rule: --every day|week|month|year or Nunits,
// --weekdays mon,thu or mon-fri (weekly), --nth 1mon ... last-fri (monthly or yearly), and
// --until DATE or --count N (none: no end).
namespace RepeatOptions {

QList<Options::Option> options();
// Whether any of them is given.
bool given(const Options::Parsed& parsed);
// The rule the options make for a series from start, changing base (the series' rule when an
// edit changes one) where they say; a problem in one line.
std::variant<RepeatRule, Options::Problem> rule(const Options::Parsed& parsed, const QDate& start,
                                                const std::optional<RepeatRule>& base);

} // namespace RepeatOptions
