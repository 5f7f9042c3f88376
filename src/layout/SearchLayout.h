#pragma once

#include "layout/AgendaLayout.h"
#include "store/ClassTermin.h"

#include <QDate>
#include <QList>
#include <QString>

// What the search shows, as values: the appointments found, by the day each is shown on, in
// the agenda list's groups; the ranges a search may cover; and the date a search text reads
// as, for going there instead.
namespace SearchLayout {

enum class Span {
    Default,    // a year back to two years ahead
    FromToday,  // today to two years ahead
    Everything, // no bounds
};
struct Range {
    QDate from; // invalid: open
    QDate to;
};
Range rangeOf(Span span, const QDate& today);

// The day a found appointment is listed on: a one-time one on its own, a recurring one on
// its next day from today in the range, else the first it had in the range.
QDate shownDay(const ClassTermin& found, const Range& range, const QDate& today);

// A found appointment with the day it is listed on.
struct Listed {
    QDate day;
    TerminPtr appointment;
};
// What was found in the order the list shows it: by the day each is listed on, then start;
// found's order otherwise.
QList<Listed> listed(const QList<TerminPtr>& found, const Range& range, const QDate& today);

struct Input {
    // As found: one-time ones with their day, recurring ones with any day they fall on.
    QList<TerminPtr> found;
    Range range;
    QDate today;
    QString timeFormat;
    QString dateFormat;
    QString langCode;
};
// By day and start; each group's lines keep that order.
QList<AgendaLayout::Group> layOut(const Input& input);

// The date text reads as in the settings' pattern (the day and month may have one digit),
// or as yyyy-mm-dd; invalid when it reads as none.
QDate dateOf(const QString& text, const QString& datePattern);

} // namespace SearchLayout
