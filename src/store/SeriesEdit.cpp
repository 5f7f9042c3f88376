#include "store/SeriesEdit.h"

#include "store/RuleSeries.h"

#include "store/Recurrence.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QHash>

#include <algorithm>

namespace SeriesEdit {

namespace {

// Beyond the longest gap between two occurrences (29 February in a leap year to the next).
constexpr int kLongestGap = 8 * 366;

QString directoryOf(const QString& path)
{
    return QDir::cleanPath(QFileInfo(path).path());
}

// Takes a field the user changed from before to after onto result, unless part's own value
// already differed from before's: what an exception made its own survives a change of all.
template <typename T, typename Arg>
void carry(ClassTermin& result, const ClassTermin& part, const ClassTermin& before,
           const ClassTermin& after, T (ClassTermin::*get)() const, void (ClassTermin::*set)(Arg))
{
    if (!((before.*get)() == (after.*get)()) && (part.*get)() == (before.*get)())
        (result.*set)((after.*get)());
}

// A part of the series after a change of the series from before to after: the fields
// carried, the days moved as far as the change moved them.
ClassTermin changedPart(const ClassTermin& part, const ClassTermin& before,
                        const ClassTermin& after)
{
    ClassTermin result = part;
    carry(result, part, before, after, &ClassTermin::StartTime, &ClassTermin::setStartTime);
    carry(result, part, before, after, &ClassTermin::EndTime, &ClassTermin::setEndTime);
    carry(result, part, before, after, &ClassTermin::Text, &ClassTermin::setText);
    carry(result, part, before, after, &ClassTermin::ColorCode, &ClassTermin::setColorCode);
    carry(result, part, before, after, &ClassTermin::IsReminder, &ClassTermin::setIsReminder);
    carry(result, part, before, after, &ClassTermin::RemindMinutes, &ClassTermin::setRemindMinutes);
    carry(result, part, before, after, &ClassTermin::ReminderAll, &ClassTermin::setReminderAll);
    carry(result, part, before, after, &ClassTermin::EmailEnable, &ClassTermin::setEmailEnable);
    carry(result, part, before, after, &ClassTermin::Producer, &ClassTermin::setProducer);
    carry(result, part, before, after, &ClassTermin::ForUsers, &ClassTermin::setForUsers);
    carry(result, part, before, after, &ClassTermin::IsPrivate, &ClassTermin::setIsPrivate);
    carry(result, part, before, after, &ClassTermin::Rooms, &ClassTermin::setRooms);
    carry(result, part, before, after, &ClassTermin::Location, &ClassTermin::setLocation);
    carry(result, part, before, after, &ClassTermin::Categories, &ClassTermin::setCategories);
    const qint64 days = before.datum().daysTo(after.datum());
    result.setDatum(part.datum().addDays(days));
    if (part.IsRecurring()) {
        const Recurrence::Kind kind = Recurrence::ofPath(part.filename());
        const bool kindChanged = after.Recurring_code != before.Recurring_code;
        result.Recurring_code = kindChanged && kind == Recurrence::ofCode(before.Recurring_code)
                                    ? after.Recurring_code
                                    : Recurrence::code(kind);
        result.setRecurringStartDate(part.RecurringStartDate().addDays(days));
        result.setRecurringEndDate(part.RecurringEndDate().addDays(days));
    }
    return result;
}

// The day a one-time file lies under: its directory's, which is its date unless a copy put it
// elsewhere.
QDate dayOfFile(const ClassTermin& oneTime)
{
    const QDate day = Recurrence::dayOf(oneTime.filename());
    return day.isValid() ? day : oneTime.datum();
}

bool isAfter(const ClassTermin& part, const QDate& day)
{
    return part.IsRecurring() ? part.RecurringStartDate() > day : part.datum() > day;
}

// The part's kind as its place tells it, for a filing that keeps it there.
ClassTermin withOwnKind(ClassTermin part)
{
    part.Recurring_code = Recurrence::code(Recurrence::ofPath(part.filename()));
    return part;
}

class Planner {
public:
    explicit Planner(const Change& change)
        : m_change(change)
        , m_part(change.part)
        , m_id(change.part.SeriesId().isEmpty() ? change.newSeriesId : change.part.SeriesId())
    {
    }

    QList<Step> plan()
    {
        switch (m_change.scope) {
        case Scope::This:
            skipOccurrence();
            if (m_change.changed)
                addException(*m_change.changed);
            break;
        case Scope::Following: {
            // Split off, the rest is a series of its own, as calendars split "this and
            // following"; what of the old series lies after the day goes along with it.
            const bool split = previousOccurrence(m_part, m_change.occurrence).isValid();
            QList<ClassTermin> later;
            for (const ClassTermin& other : m_change.otherParts) {
                if (isAfter(other, m_change.occurrence))
                    later.append(other);
            }
            const QString restId =
                split ? (later.isEmpty() ? QString() : m_change.restSeriesId) : m_part.SeriesId();
            endBeforeOccurrence(restId);
            for (const ClassTermin& other : std::as_const(later))
                changeOrRemove(other, firstOfRest(), restId);
            break;
        }
        case Scope::All:
            if (m_change.changed)
                add(Step::Kind::File, *m_change.changed);
            else
                add(Step::Kind::Remove, m_part);
            for (const ClassTermin& other : m_change.otherParts)
                changeOrRemove(other, withOwnKind(m_part));
            break;
        }
        noteSeriesDays();
        return m_steps;
    }

private:
    // The part as it stood on the occurrence: what the user's change is measured against.
    ClassTermin firstOfRest() const
    {
        ClassTermin before = withOwnKind(m_part);
        before.setDatum(m_change.occurrence);
        return before;
    }

    void changeOrRemove(const ClassTermin& other, const ClassTermin& before)
    {
        changeOrRemove(other, before, other.SeriesId());
    }
    void changeOrRemove(const ClassTermin& other, const ClassTermin& before, const QString& id)
    {
        if (!m_change.changed) {
            add(Step::Kind::Remove, other);
            return;
        }
        ClassTermin part = changedPart(other, before, *m_change.changed);
        part.setSeriesId(id);
        add(Step::Kind::File, part);
    }

    // The part no longer shows on the occurrence: it ends before it, and what follows it is a
    // new part of the same series; at either end of the range the range just shrinks.
    void skipOccurrence()
    {
        const QDate previous = previousOccurrence(m_part, m_change.occurrence);
        const QDate next = nextOccurrence(m_part, m_change.occurrence);
        if (!previous.isValid() && !next.isValid()) {
            add(Step::Kind::Remove, m_part);
            return;
        }
        const bool split = previous.isValid() && next.isValid();
        ClassTermin shortened = m_part;
        if (split || m_change.changed)
            shortened.setSeriesId(m_id);
        if (previous.isValid())
            shortened.setRecurringEndDate(previous);
        else
            shortened.setRecurringStartDate(next);
        add(Step::Kind::Rewrite, shortened);
        if (split) {
            ClassTermin rest = m_part;
            rest.setSeriesId(m_id);
            rest.setDatum(next);
            rest.setRecurringStartDate(next);
            rest.setFileDate({});
            rest.setUid(QString()); // a UID names one file
            add(Step::Kind::Create, rest, m_part.filename());
        }
    }

    void addException(ClassTermin exception)
    {
        exception.setFilename(QString());
        exception.setIsRecurring(false);
        exception.Recurring_code.clear();
        exception.setRecurringStartDate(exception.datum());
        exception.setRecurringEndDate(exception.datum());
        exception.setSeriesId(m_id);
        exception.setFileDate({});
        exception.setUid(QString());
        add(Step::Kind::File, exception, m_part.filename());
    }

    // Following: the part ends before the occurrence and the rest, under restId, is filed as
    // changed (or is gone); from the first occurrence on, the part itself is the rest.
    void endBeforeOccurrence(const QString& restId)
    {
        const QDate previous = previousOccurrence(m_part, m_change.occurrence);
        if (!previous.isValid()) {
            if (m_change.changed)
                add(Step::Kind::File, *m_change.changed);
            else
                add(Step::Kind::Remove, m_part);
            return;
        }
        ClassTermin shortened = m_part;
        shortened.setRecurringEndDate(previous);
        add(Step::Kind::Rewrite, shortened);
        if (!m_change.changed)
            return;
        ClassTermin rest = *m_change.changed;
        rest.setFilename(QString());
        rest.setIsRecurring(true);
        rest.setSeriesId(restId);
        rest.setFileDate({});
        rest.setUid(QString());
        add(Step::Kind::File, rest, m_part.filename());
    }

    // Every recurring part written carries the days of its series' one-time files: those
    // there were before (a crash half-way leaves them still found) and those written now.
    // When no part left of the series is written, one that stays notes them.
    void noteSeriesDays()
    {
        QHash<QString, QSet<QDate>> days;
        for (const ClassTermin& other : m_change.otherParts) {
            if (!other.IsRecurring() && !other.SeriesId().isEmpty())
                days[other.SeriesId()].insert(dayOfFile(other));
        }
        for (const Step& step : std::as_const(m_steps)) {
            const ClassTermin& a = step.appointment;
            if (step.kind != Step::Kind::Remove && !a.IsRecurring() && !a.SeriesId().isEmpty())
                days[a.SeriesId()].insert(a.datum());
        }
        QSet<QString> noted;
        QSet<QString> removed;
        for (Step& step : m_steps) {
            ClassTermin& a = step.appointment;
            if (step.kind == Step::Kind::Remove) {
                removed.insert(a.filename());
            } else if (a.IsRecurring()) {
                a.setSeriesDays(sorted(days.value(a.SeriesId())));
                noted.insert(a.SeriesId());
            }
        }
        if (!days.contains(m_id) || noted.contains(m_id))
            return;
        for (const ClassTermin& other : m_change.otherParts) {
            if (other.IsRecurring() && other.SeriesId() == m_id &&
                !removed.contains(other.filename())) {
                ClassTermin carrier = other;
                carrier.setSeriesDays(sorted(days.value(m_id)));
                m_steps.prepend({Step::Kind::Rewrite, carrier, {}});
                return;
            }
        }
    }

    static QList<QDate> sorted(const QSet<QDate>& days)
    {
        QList<QDate> list(days.cbegin(), days.cend());
        std::sort(list.begin(), list.end());
        return list;
    }

    void add(Step::Kind kind, const ClassTermin& appointment, const QString& keysFrom = {})
    {
        m_steps.append({kind, appointment, keysFrom});
    }

    const Change& m_change;
    const ClassTermin& m_part;
    const QString m_id;
    QList<Step> m_steps;
};

} // namespace

QString seriesIdFor(const ClassTermin& part)
{
    // Its path inside the data folder: unique there, whatever the folder is called elsewhere.
    const QString folder = Recurrence::folderOf(part.filename());
    const QString inside = QDir::fromNativeSeparators(part.filename().mid(folder.size()));
    return QString::fromLatin1(
        QCryptographicHash::hash(inside.toUtf8(), QCryptographicHash::Sha1).toHex().left(24));
}

bool occursOn(const ClassTermin& part, const QDate& day)
{
    if (!day.isValid() || day < part.RecurringStartDate() || day > part.RecurringEndDate())
        return false;
    const Recurrence::Kind kind = Recurrence::ofPath(part.filename());
    if (kind == Recurrence::Kind::None)
        return day == part.datum();
    const QString folder = Recurrence::folderOf(part.filename());
    return directoryOf(Recurrence::directory(folder, kind, day) + QLatin1Char('x')) ==
           directoryOf(part.filename());
}

QList<std::pair<QDate, QDate>> runsWithout(Recurrence::Kind kind, const QDate& pattern,
                                           const QDate& from, const QDate& until,
                                           const QSet<QDate>& skipped)
{
    QList<std::pair<QDate, QDate>> runs;
    bool open = false;
    for (QDate d = from; d.isValid() && d <= until; d = d.addDays(1)) {
        if (!Recurrence::appliesOn(kind, pattern, d))
            continue;
        if (skipped.contains(d)) {
            open = false;
        } else if (open) {
            runs.back().second = d;
        } else {
            runs.append({d, d});
            open = true;
        }
    }
    return runs;
}

QDate previousOccurrence(const ClassTermin& part, const QDate& day)
{
    for (QDate d = day.addDays(-1); d >= part.RecurringStartDate() && d.daysTo(day) <= kLongestGap;
         d = d.addDays(-1)) {
        if (occursOn(part, d))
            return d;
    }
    return {};
}

QDate nextOccurrence(const ClassTermin& part, const QDate& day)
{
    for (QDate d = day.addDays(1); d <= part.RecurringEndDate() && day.daysTo(d) <= kLongestGap;
         d = d.addDays(1)) {
        if (occursOn(part, d))
            return d;
    }
    return {};
}

ClassTermin recordFor(const ClassTermin& part, const QDate& occurrence, Scope scope)
{
    if (RuleSeries::isKeptFile(part))
        return RuleSeries::recordFor(part, occurrence, scope);
    ClassTermin record = part;
    record.Recurring_code = Recurrence::code(Recurrence::ofPath(part.filename()));
    switch (scope) {
    case Scope::This:
        // A one-time appointment on its day, as the editor shows one; the name is no file's,
        // the change is filed under a new one.
        record.setFilename(Recurrence::directory(Recurrence::folderOf(part.filename()),
                                                 Recurrence::Kind::None, occurrence) +
                           QStringLiteral("occurrence.nv3"));
        record.setIsRecurring(false);
        record.Recurring_code.clear();
        record.setDatum(occurrence);
        record.setRecurringStartDate(occurrence);
        record.setRecurringEndDate(occurrence);
        break;
    case Scope::Following:
        record.setDatum(occurrence);
        record.setRecurringStartDate(occurrence);
        break;
    case Scope::All:
        break;
    }
    return record;
}

QList<Step> plan(const Change& change)
{
    return Planner(change).plan();
}

} // namespace SeriesEdit
