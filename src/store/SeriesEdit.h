#pragma once

#include "store/ClassTermin.h"
#include "store/Recurrence.h"

#include <QDate>
#include <QList>
#include <QSet>
#include <QString>

#include <optional>

// One occurrence of a series, and the files a series is kept in. A series with exceptions is
// several recurring files of one directory, each with its own range, and one-time files for
// changed occurrences; all of them carry the series' SeriesId. A copy that knows nothing of
// the key still shows exactly the right occurrences. What to write for a change is decided
// here, from the files as loaded; the store does the writing.
namespace SeriesEdit {

enum class Scope {
    This,      // only the occurrence
    Following, // the occurrence and all after it
    All,       // every occurrence of the series
};

// The SeriesId a series in one file gets when it is first split: the same wherever it is asked,
// so what was reminded before the split is known after it.
QString seriesIdFor(const ClassTermin& part);

// Whether a recurring file shows on day: the rule of its directory and its range.
bool occursOn(const ClassTermin& part, const QDate& day);
// The nearest day before (after) day on which the part shows; invalid when there is none.
QDate previousOccurrence(const ClassTermin& part, const QDate& day);
QDate nextOccurrence(const ClassTermin& part, const QDate& day);

// The occurrences of a series of kind on pattern's weekday, day of month or date from `from`
// to `until`, in the runs the days of skipped leave: each run as its first and last day. The
// store's rule, so any copy shows each run's file on exactly these days.
QList<std::pair<QDate, QDate>> runsWithout(Recurrence::Kind kind, const QDate& pattern,
                                           const QDate& from, const QDate& until,
                                           const QSet<QDate>& skipped);

// The record an edit of the occurrence starts from: the occurrence alone as a one-time
// appointment on its day (This), the series from the occurrence on (Following), or the series
// as it is (All); each with the kind its file's place tells.
ClassTermin recordFor(const ClassTermin& part, const QDate& occurrence, Scope scope);

// One write of a change, done in the order planned: the part holding the occurrence is
// shortened before anything new is written, so a crash or a stalled share in between leaves
// a gap, never a duplicate.
struct Step {
    enum class Kind {
        Rewrite, // the file, in place: a part's new range or fields
        Create,  // a new file in the directory of appointment.filename()
        File,    // filed where its date and recurrence belong (a new file when it has none)
        Remove,  // the file goes
    };
    Kind kind = Kind::Rewrite;
    ClassTermin appointment;
    // A new file starts from the keys of this part, so what other copies keep comes along.
    QString keysFrom;
};

struct Change {
    ClassTermin part; // the recurring file holding the occurrence, as loaded
    QDate occurrence; // the day acted on
    Scope scope = Scope::This;
    // The occurrence as the user changed it (This: a one-time appointment on its new day;
    // Following, All: the recurring appointment from then on); none: it is deleted.
    std::optional<ClassTermin> changed;
    // The series' other files (the same SeriesId), recurring and one-time.
    QList<ClassTermin> otherParts;
    QString newSeriesId; // what the series is called when a split gives it its first id
    // What the rest is called when it becomes a series of its own (Following) with parts.
    QString restSeriesId;
};

QList<Step> plan(const Change& change);

} // namespace SeriesEdit
