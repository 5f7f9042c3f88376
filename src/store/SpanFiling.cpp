#include "store/SpanFiling.h"

#include "store/FilingOrder.h"

namespace SpanFiling {

QList<TerminPtr> filesOf(DataAccess& store, const TerminPtr& day)
{
    if (!day->isSpanDay())
        return {day};
    QList<TerminPtr> files;
    for (QDate d = day->SpanFrom(); d.isValid() && d <= day->SpanUntil(); d = d.addDays(1)) {
        for (const TerminPtr& a : store.GetAppointmentsOfDay(d))
            if (a->SpanId() == day->SpanId() && !a->IsRecurring() &&
                DataAccess::DayOfOneTimeFile(a->filename()) == d)
                files.append(a);
    }
    return files.isEmpty() ? QList<TerminPtr>{day} : files;
}

WriteOutcome run(DataAccess& store, const SpanDays::Plan& plan,
                 const std::function<quint32()>& draw, QStringList* written)
{
    WriteOutcome outcome;
    outcome.ok = true;
    for (const SpanDays::Write& w : plan.write) {
        ClassTermin day = w.day;
        const QString dir = DataAccess::DayDirectory(store.DataFolder(), day.datum());
        day.setFilename(dir + FilingName(store, dir, w.replaces, draw));
        outcome = SaveInPlaceOf(store, day, w.replaces);
        if (!outcome.ok)
            return outcome;
        if (written)
            written->append(day.filename());
    }
    for (const QString& path : plan.remove)
        store.DeleteAppointmentFile(path);
    return outcome;
}

bool isNewSpan(DataAccess& store, const ClassTermin& a)
{
    if (!a.isSpanDay() || a.IsRecurring() || a.SpanFrom() != a.datum() ||
        a.SpanUntil() <= a.datum())
        return false;
    return a.filename().isEmpty() ||
           store.LoadAppointment(a.filename(), a.datum())->SpanId() != a.SpanId();
}

WriteOutcome fileNewSpan(DataAccess& store, ClassTermin& a, const std::function<quint32()>& draw)
{
    QList<TerminPtr> before;
    if (!a.filename().isEmpty())
        before.append(store.LoadAppointment(a.filename(), a.datum()));
    QStringList written;
    const WriteOutcome outcome = run(
        store, SpanDays::plan(before, SpanDays::Shape{a, a.SpanFrom(), a.SpanUntil(), a.SpanId()}),
        draw, &written);
    if (outcome.ok)
        a.setFilename(written.value(0));
    return outcome;
}

} // namespace SpanFiling
