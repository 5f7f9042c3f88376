#pragma once

#include "store/ClassTermin.h"

#include <QDate>

#include <optional>

// What copy, paste, duplicate and a drag with Ctrl make of an appointment: a new one, with a
// file of its own once filed.
namespace AppointmentCopy {

// What source holds as it takes place on day, as a new single appointment of that day owned
// by owner: an occurrence of a series becomes one appointment, no longer part of it, and an
// imported event's UID stays with the original.
ClassTermin of(const ClassTermin& source, const QDate& day, const QString& owner);

// The copy on day: at start when given, its length kept as far as the day goes; else at its
// own times.
ClassTermin placed(ClassTermin copy, const QDate& day, std::optional<TimeOfDay> start);

} // namespace AppointmentCopy
