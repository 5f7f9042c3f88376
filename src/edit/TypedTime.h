#pragma once

#include "profile/DateParts.h"

#include <QString>

#include <optional>

// What a user may type into the appointment editor's time fields, in either shown format:
// "10:10", "10.10", "1010", "910" and "9" (nine o'clock), each optionally followed by "am" or
// "pm" ("a", "p", "a.m." too; with or without a space, in any letter case) or "Uhr".
// - Minutes after a separator take two digits: "9:5" may mean 09:05 or 09:50 and is refused.
// - Without am/pm the hour counts from 0 to 23. With it, the hour is 1..12 ("12:30 am" is
//   half past midnight), or "00" as the fields show the hour after midnight.
// - Midnight typed as an end ("0:00", "24:00", "12:00 am") is the end of the day, 24:00;
//   nothing starts at 24:00.
namespace TypedTime {

enum class Role { Start, End };

std::optional<TimeOfDay> parse(const QString& typed, Role role);

} // namespace TypedTime
