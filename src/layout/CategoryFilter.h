#pragma once

#include "store/ClassTermin.h"

#include <QList>
#include <QStringList>

// The category filter of the views and the command line: the one rule of which appointments
// a choice of categories keeps.
namespace CategoryFilter {

// The appointments that belong to one of categories (letter case aside), in their order; all
// of them when categories is empty.
QList<TerminPtr> kept(const QList<TerminPtr>& appointments, const QStringList& categories);

} // namespace CategoryFilter
