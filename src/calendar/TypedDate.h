#pragma once

#include <QDate>
#include <QString>

#include <optional>

// What a user may type into the appointment editor's date fields, read in the order of the
// settings' date pattern ("dd.mm.yyyy": day, month, year; "mm/dd/yyyy": month, day, year):
// - day, month and year apart by any of ". / -" or spaces: "4.7.2003", "04/07/03";
// - without the year ("4.7." or "4.7"): the year of reference, the date the field held;
// - two year digits: the year ending so that lies within 50 years of reference's;
// - digits alone, two for the day and the month: "04072003", "040703", "0407";
// - four digits first are always a year, then month and day ("2003-07-04").
// A day the month does not have (31 April) is refused rather than carried into the next.
namespace TypedDate {

std::optional<QDate> parse(const QString& typed, const QString& pattern, const QDate& reference);

} // namespace TypedDate
