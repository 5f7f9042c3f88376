#pragma once

#include "store/ClassTermin.h"

#include <QDate>
#include <QList>

#include <functional>

// Where a view or a printout takes the appointments of one day from: the store itself (the
// command line, a print job on a thread of its own) or what the window already knows.
using DaySource = std::function<QList<TerminPtr>(const QDate& date)>;

class DataAccess;

// The day straight from a store, on the caller's thread.
DaySource DaysOf(DataAccess& store);
