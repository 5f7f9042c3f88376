#pragma once

// An appointment lasting several days as the folder keeps it: one file a day, each with the
// span's id, first and last day (see ClassTermin::setSpan), the first from the span's start,
// the last to its end, the days between whole days; each text's first line is marked
// " (day 2 of 3)" so that older copies, which know nothing of the span, still tell the days
// apart. What to write and delete for a new span, an edit or a deletion is decided here
// without touching a file; the caller writes and deletes.

#include "store/ClassTermin.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace SpanDays {

// The text with the first line marked as day `day` of `days`, in the installed language.
QString markedText(const QString& text, int day, int days);
// The text without the mark of its first line, written in English or the installed language.
QString unmarkedText(const QString& text);

// The id of a span made of an event with this UID: the UID itself where a file can keep it,
// else its hash; a fresh one for an event without UID.
QString idFor(const QString& uid);

// What a span is to be: the appointment as one (its text unmarked, its start the first day's,
// its end the last day's, its date ignored) from `from` to `until`. Of one day, it is a plain
// appointment of that day, no span.
struct Shape {
    ClassTermin appointment;
    QDate from;
    QDate until;
    QString id; // empty: a fresh one
};

// One file to write: `replaces` is the path of the span's file it writes over, empty for a
// new file in the directory of its day.
struct Write {
    ClassTermin day;
    QString replaces;
};

struct Plan {
    QList<Write> write;
    QStringList remove; // the span's files no day keeps
};

// The day files of the shape, in the order of their days.
QList<ClassTermin> daysOf(const Shape& shape);

// The span as its day files `current` (any order) show it: their first day's start, last
// day's end, the text unmarked, the other fields the first file's. Nullopt for no files.
std::optional<Shape> shapeOf(const QList<TerminPtr>& current);

// From the span's files now (`current`) to `wanted`, nullopt to delete all of them: each day
// that stays is written over its file, a new day gets a new file, a day left out loses its.
Plan plan(const QList<TerminPtr>& current, const std::optional<Shape>& wanted);

// The shape moved by `days` days, its times and length as they were.
Shape moved(Shape shape, qint64 days);

// The span after one of its days (`day`, as it was) became `changed` in the editor or by a
// drop: the fields of the change go to every day, a change of the date moves the whole span,
// the start counts on the first day only, the end on the last day only; a last day of the
// change's own (SpanUntil) ends the span there.
Shape edited(const Shape& before, const ClassTermin& day, const ClassTermin& changed);

} // namespace SpanDays
