#include "store/UndoStep.h"

qint64 UndoStep::bytes() const
{
    qint64 total = title.size() * 2 + qint64(sizeof *this);
    for (const FileVersions& file : files)
        total += file.path.size() * 2 + (file.before ? file.before->size() : 0) +
                 (file.after ? file.after->size() : 0) + qint64(sizeof file);
    return total;
}

UndoStep::Act UndoStep::actOf(const ClassTermin* before, const ClassTermin* after)
{
    if (!before)
        return Act::New;
    if (!after)
        return Act::Delete;
    // Only the times or the day changed: what a drag with the mouse does.
    const bool sameContent =
        before->Text() == after->Text() && before->ColorCode() == after->ColorCode() &&
        before->IsReminder() == after->IsReminder() &&
        before->RemindMinutes() == after->RemindMinutes() &&
        before->ReminderAll() == after->ReminderAll() &&
        before->EmailEnable() == after->EmailEnable() &&
        before->IsRecurring() == after->IsRecurring() &&
        before->RecurringStartDate() == after->RecurringStartDate() &&
        before->RecurringEndDate() == after->RecurringEndDate() &&
        before->Producer() == after->Producer() && before->ForUsers() == after->ForUsers() &&
        before->IsPrivate() == after->IsPrivate() && before->Rooms() == after->Rooms() &&
        before->Location() == after->Location() && before->Categories() == after->Categories();
    if (!sameContent)
        return Act::Change;
    // One edge dragged on the same day.
    const bool sameStart = before->StartTime() == after->StartTime();
    const bool sameEnd = before->EndTime() == after->EndTime();
    if (before->datum() == after->datum() && sameStart != sameEnd)
        return Act::Resize;
    return Act::Move;
}

QString UndoStep::titleOf(const ClassTermin& appointment)
{
    return appointment.Text().section(QLatin1Char('\n'), 0, 0).remove(QLatin1Char('\r')).trimmed();
}

namespace UndoPlan {

namespace {

bool holds(const Found& found, const std::optional<QByteArray>& expected)
{
    if (!expected)
        return found.state == Found::State::Missing;
    return found.state == Found::State::Present && found.bytes == *expected;
}

} // namespace

Plan plan(const UndoStep& step, bool undo, const QHash<QString, Found>& now, bool overwrite)
{
    Plan plan;
    for (const FileVersions& file : step.files) {
        const std::optional<QByteArray>& expected = undo ? file.after : file.before;
        const std::optional<QByteArray>& target = undo ? file.before : file.after;
        const Found found = now.value(file.path);
        if (found.state == Found::State::Unreadable) {
            plan.unreadable = file.path;
            plan.actions.clear();
            return plan;
        }
        if (!holds(found, expected) && plan.conflictPath.isEmpty()) {
            plan.conflictPath = file.path;
            plan.conflict = found.state == Found::State::Missing
                                ? DataAccess::FileChange::Kind::Deleted
                                : DataAccess::FileChange::Kind::Changed;
            plan.conflictBytes = found.bytes;
        }
        if (holds(found, target))
            continue; // already as it is to be
        plan.actions.append({file.path, target});
    }
    if (overwrite) {
        plan.conflictPath.clear();
        plan.conflict = DataAccess::FileChange::Kind::None;
        plan.conflictBytes.clear();
    } else if (!plan.conflictPath.isEmpty()) {
        plan.actions.clear();
    }
    return plan;
}

} // namespace UndoPlan
