#pragma once

#include "store/ClassTermin.h"
#include "store/Recurrence.h"
#include "store/SeriesEdit.h"

#include <QDate>
#include <QList>
#include <QString>

#include <optional>

// A series whose rule one recurring file cannot hold has a rule file in recurring/rules/, a
// directory older copies never visit: the series itself, the days that show no occurrence and
// how far its files are written. The files it stands for are what every copy reads:
// - on several weekdays of every week, one weekly recurring file per weekday (per run of it
//   between skipped days);
// - any other rule (every second week, the last Friday), one-time files, one per occurrence,
//   in the day directories, written some two years ahead and extended by any copy as time
//   passes.
// Each carries the series' SeriesId and rule, and its name is made of the series and its
// (first) day, so two copies writing the same file write it under the same name. What to write
// is decided here from the files as read, by comparing what the rule file stands for before
// and after; the store does the writing.
namespace RuleSeries {

inline constexpr QLatin1String kRulesDirectory("rules");
// Every copy shows one-time occurrences this many months ahead; a copy writes them a few
// months further, so that it extends a series about once a season.
inline constexpr int kMonthsAhead = 24;
inline constexpr int kMonthsWritten = 27;

// The directory kind a unit files under when the directories hold its rule.
Recurrence::Kind kindOf(RepeatRule::Unit unit);
// The rule a series repeats by: its own, or for one whose directory alone tells (an older
// copy's), the directory's kind from its first day on; none for a one-time appointment.
std::optional<RepeatRule> ruleOfSeries(const ClassTermin& record);
// The last day a series of rule is shown on as a file's range ends: its last day, or the last
// date a file holds for one without end or beyond it.
QDate lastFiledDay(const RepeatRule& rule);
// Makes record a series repeating by rule: its kind, its rule and the range older copies see;
// for a rule the directories hold, from its first day, which also becomes its date.
void repeatBy(ClassTermin& record, const RepeatRule& rule);
// Whether a recurring record is kept this way rather than in one recurring file.
bool keptByRuleFile(const ClassTermin& record);
// Whether a rule file's series is kept as weekly parts rather than one-time occurrences.
bool keptAsParts(const ClassTermin& rule);
// Whether a file is one of those a rule file stands for (an occurrence or a weekly part):
// a change of it is a change of the series.
bool isKeptFile(const ClassTermin& file);
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
// The files the rule file (read from its data folder) stands for, each as it is written.
QList<ClassTermin> filesOf(const ClassTermin& rule);

// The day a kept file's occurrence on shown stands for: an occurrence's file name's (else its
// date), a weekly part's shown.
QDate dayOf(const ClassTermin& file, const QDate& shown = {});
// What an edit of the occurrence of a kept file on shown starts from: the occurrence alone as
// a one-time appointment (This), or the series from the occurrence on (Following) or whole
// (All). Every kept file carries the series' fields and rule, so no other file is read for it.
ClassTermin recordFor(const ClassTermin& file, const QDate& shown, SeriesEdit::Scope scope);

struct Step {
    enum class Kind {
        Write,  // the record, to its file name (the rule file or a kept file, keys kept)
        File,   // a record without a file, filed where its date and kind demand
        Remove, // the file goes
    };
    Kind kind = Kind::Write;
    ClassTermin record;
};

// A new series (with its SeriesId and rule): the rule file first, then the files it stands for.
QList<Step> planNew(const ClassTermin& series, const QString& dataFolder, const QDate& today);
// The occurrences past the rule file's WrittenUntil, then the rule file: nothing when it is
// written far enough or kept as weekly parts, which run to its end.
QList<Step> planExtend(const ClassTermin& rule, const QDate& today);

// The steps that make the folder hold series (with its SeriesId and rule) in place of before
// (its rule file as read; none for a new series): the files of before that series no longer
// has go first, then the rule file, noting series' SeriesDays as the days of its exceptions,
// and its files are written as for a new series. For a new version of an event from elsewhere
// (an import, the server).
QList<Step> planReplace(const std::optional<ClassTermin>& before, const ClassTermin& series,
                        const QString& dataFolder, const QDate& today);
// The steps that remove the series of a rule file: its files, then the rule file.
QList<Step> planRemove(const ClassTermin& rule);

struct Change {
    ClassTermin rule; // the rule file, as read now
    QDate occurrence; // the day acted on (dayOf the file changed)
    SeriesEdit::Scope scope = SeriesEdit::Scope::This;
    std::optional<ClassTermin> changed; // as recordFor gave it, changed; none: deleted
    QList<ClassTermin> exceptions;      // the series' one-time files that are no occurrence
    QString restSeriesId;               // the id of the rest when Following makes it a series
    QDate today;
};
// Removals first, so that a crash or a stalled share leaves a gap, never a day shown twice.
QList<Step> plan(const Change& change);

} // namespace RuleSeries
