#pragma once

#include "store/ClassTermin.h"
#include "store/RuleSeries.h"

#include <QDate>
#include <QList>
#include <QString>

#include <optional>
#include <utility>

// A series kept as one-time occurrences (see store/RuleSeries.h) as an iCalendar event: the
// SeriesId its UID gives it, how a new version of the event takes the place of the files of
// the one before (RuleSeries::planReplace), and which skipped day each of its exceptions
// replaces.
namespace OccurrenceSeries {

// The SeriesId of the series an event of this UID becomes: the same for every import of it,
// and a name a file may carry whatever the UID holds.
QString idOfUid(const QString& uid);

// Whether a path inside the data folder ('/' between parts) is a rule file as
// RuleSeries::rulePath names it, its SeriesId a plain name (as every SeriesId made here is):
// what a record kept in the shared folder may name there.
bool isRulePath(const QString& relative);

// The skipped day of the rule each exception day replaces: the same day first, else the
// nearest one left (the earlier when two are as near), else an invalid day. The skipped days
// no exception takes are the rest.
struct Matched {
    QList<QDate> replaces; // by exception day as given
    QList<QDate> rest;     // ascending
};
Matched match(const ClassTermin& rule, const QList<QDate>& exceptionDays);

} // namespace OccurrenceSeries
