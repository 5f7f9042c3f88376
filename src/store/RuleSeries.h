#pragma once

#include "store/ClassTermin.h"
#include "store/Recurrence.h"
#include "store/SeriesEdit.h"

#include <QDate>
#include <QList>
#include <QString>

#include <optional>

// A series whose rule the recurring directories cannot hold (every second week, the last
// Friday, Monday and Thursday) is kept as one-time files, one per occurrence, in the day
// directories every copy reads, written some two years ahead and extended by any copy as time
// passes. Each carries the series' SeriesId and rule; the rule file in recurring/rules/, a
// directory older copies never visit, holds the series itself: its fields, the days that show
// no occurrence and how far the occurrences are written. An occurrence's file name is made of
// the series and its day, so two copies writing the same occurrence write the same file.
// What to write is decided here from the files as read; the store does the writing.
namespace RuleSeries {

inline constexpr QLatin1String kRulesDirectory("rules");
// Every copy shows the occurrences this many months ahead; a copy writes them a few months
// further, so that it extends a series about once a season.
inline constexpr int kMonthsAhead = 24;
inline constexpr int kMonthsWritten = 27;

// The directory kind a unit files under when the directories hold its rule.
Recurrence::Kind kindOf(RepeatRule::Unit unit);
// The rule a series repeats by: its own, or for one whose directory alone tells (an older
// copy's), the directory's kind from its first day on; none for a one-time appointment.
std::optional<RepeatRule> ruleOfSeries(const ClassTermin& record);
// Whether a recurring record is kept this way rather than in the recurring directories.
bool keptAsOccurrences(const ClassTermin& record);
// The rule of a record filed in the recurring directories, its end made to say what the
// directory and range show (a count becomes the day of its last time once the range changed).
std::optional<RepeatRule> ruleAsFiled(const ClassTermin& record);

// Whether a SeriesId may name files: letters, digits, '-', '_' and '.', not first, at most 100.
// Every id made here is one; one read from a file of the share may be anything.
bool isFileName(const QString& seriesId);
QString rulePath(const QString& dataFolder, const QString& seriesId);
QString occurrencePath(const QString& dataFolder, const QString& seriesId, const QDate& day);
// The day an occurrence's file name was written for; invalid for any other name.
QDate occurrenceDayOf(const QString& path);
// How far a series filed or extended on today is written.
QDate writtenUntilFor(const QDate& today);
bool wantsExtending(const ClassTermin& rule, const QDate& today);
// The days the rule file's occurrences are written for: its rule's days up to WrittenUntil,
// less its skipped days.
QList<QDate> writtenDays(const ClassTermin& rule);

// The day an occurrence stands for (its file name's, else its date).
QDate dayOf(const ClassTermin& occurrence);
// What an edit of an occurrence starts from: the occurrence alone as a one-time appointment
// (This), or the series from the occurrence on (Following) or whole (All). Every occurrence
// carries the series' fields and rule, so no other file is read for it.
ClassTermin recordFor(const ClassTermin& occurrence, SeriesEdit::Scope scope);

struct Step {
    enum class Kind {
        Write,  // the record, to its file name (the rule file or an occurrence, keys kept)
        File,   // a record without a file, filed where its date and kind demand
        Remove, // the file goes
    };
    Kind kind = Kind::Write;
    ClassTermin record;
};

// A new series (with its SeriesId and rule): the rule file first, then the occurrences.
QList<Step> planNew(const ClassTermin& series, const QString& dataFolder, const QDate& today);
// The occurrences past the rule file's WrittenUntil, then the rule file: nothing when it is
// written far enough.
QList<Step> planExtend(const ClassTermin& rule, const QDate& today);

// The steps that make the folder hold series (with its SeriesId and rule) in place of before
// (its rule file as read; none for a new series): the occurrences of before that series no
// longer has go first, then the rule file, noting series' SeriesDays as the days of its
// exceptions, and the occurrences are written as for a new series. For a new version of an
// event from elsewhere (an import, the server).
QList<Step> planReplace(const std::optional<ClassTermin>& before, const ClassTermin& series,
                        const QString& dataFolder, const QDate& today);
// The steps that remove the series of a rule file: its occurrences, then the rule file.
QList<Step> planRemove(const ClassTermin& rule);

struct Change {
    ClassTermin rule; // the rule file, as read now
    QDate occurrence; // the day acted on (the occurrence's own, by its file name)
    SeriesEdit::Scope scope = SeriesEdit::Scope::This;
    std::optional<ClassTermin> changed; // as recordFor gave it, changed; none: deleted
    QList<ClassTermin> exceptions;      // the series' one-time files that are no occurrence
    QString restSeriesId;               // the id of the rest when Following makes it a series
    QDate today;
};
// Removals first, so that a crash or a stalled share leaves a gap, never a day shown twice.
QList<Step> plan(const Change& change);

} // namespace RuleSeries
