#include "views/EditCoordinator.h"

#include "edit/AppointmentEditing.h"
#include "store/Common.h"
#include "store/Privacy.h"
#include "views/SeriesChangeFiler.h"

#include <QPointer>

EditCoordinator::EditCoordinator(FolderStores& stores, AppointmentEditing& editing,
                                 HeartbeatPause& heartbeat, EditQuestions& questions,
                                 QObject* parent)
    : QObject(parent)
    , m_stores(stores)
    , m_editing(editing)
    , m_heartbeat(heartbeat)
    , m_questions(questions)
{
}

bool EditCoordinator::stillBeingRead(const ClassTermin& appointment) const
{
    return m_stores.provisional(appointment.filename());
}

bool EditCoordinator::refusedToChange(const ClassTermin& appointment)
{
    const QString why = Privacy::whyUnchangeable(appointment);
    if (why.isEmpty())
        return false;
    m_questions.showFailure(why);
    return true;
}

void EditCoordinator::create(const ClassTermin& appointment)
{
    // Into the active folder, unless the editor's choice is another folder shown that can be
    // written now.
    QList<EditHandOver::Calendar> calendars;
    for (StoreService* service : m_stores.all())
        if (calendars.isEmpty() || (service->answering() && service->reachable()))
            calendars.append({LastPathPart(service->folder()), m_stores.of(service->folder())});
    if (calendars.size() < 2)
        calendars.clear();
    const Service active = m_stores.of(QString());
    m_editing.EditMe(
        appointment, true,
        [self = QPointer(this), held = hold(), active](const AppointmentEditing::Result& result) {
            if (self)
                self->editDone(result.failure, held);
        },
        *active, calendars);
}

void EditCoordinator::edit(const ClassTermin& appointment, bool showEditwindow, Hold held)
{
    // The service stays while the editor may file through it, its folder shown or not.
    const Service service = serviceOf(appointment);
    m_editing.EditMe(
        appointment, showEditwindow,
        [self = QPointer(this), held, service](const AppointmentEditing::Result& result) {
            if (self)
                self->editDone(result.failure, held);
        },
        *service);
}

void EditCoordinator::editDone(const QString& failure, const Hold& held)
{
    if (m_stopped)
        return;
    if (!failure.isEmpty())
        m_questions.showFailure(failure);
    m_questions.showChange(!failure.isEmpty());
    held->release();
}

void EditCoordinator::change(const ClassTermin& appointment, const QDate& day)
{
    if (stillBeingRead(appointment) || refusedToChange(appointment))
        return;
    if (appointment.isSpanDay() && !appointment.repeats())
        return editSpan(appointment);
    if (!appointment.repeats()) {
        edit(appointment, true, hold());
        return;
    }
    m_questions.askSeriesScope(appointment, day, EditQuestions::SeriesAct::Edit,
                               [self = QPointer(this), appointment, day](auto scope) {
                                   if (self && scope)
                                       self->editOccurrence(appointment, day, *scope);
                               });
}

void EditCoordinator::editOccurrence(const ClassTermin& part, const QDate& occurrence,
                                     SeriesEdit::Scope scope)
{
    const Service service = serviceOf(part);
    auto filer = std::make_shared<SeriesChangeFiler>(*service, part, occurrence, scope);
    m_editing.EditMe(
        SeriesEdit::recordFor(part, occurrence, scope), true,
        [self = QPointer(this), filer, service,
         held = hold()](const AppointmentEditing::Result& result) {
            if (self)
                self->editDone(result.failure, held);
        },
        *filer);
}

void EditCoordinator::move(const AppointmentDrag::Drop& drop)
{
    if (drop.appointment.repeats()) {
        m_questions.askSeriesScope(drop.appointment, drop.fromDay, EditQuestions::SeriesAct::Move,
                                   [self = QPointer(this), drop](auto scope) {
                                       if (self && scope)
                                           self->moveOccurrence(drop, *scope);
                                       else if (self)
                                           self->m_questions.showChange(true);
                                   });
        return;
    }
    if (drop.appointment.isSpanDay())
        return moveSpan(drop);
    ClassTermin moved = drop.appointment;
    moved.setDatum(moved.datum().addDays(drop.fromDay.daysTo(drop.toDay)));
    moved.setStartTime(drop.start);
    moved.setEndTime(drop.end);
    // As the editor, never over another user's change; a drop has nobody to ask, so the
    // other version stays and shows.
    const Service service = serviceOf(drop.appointment);
    service->changeSinceLoaded(
        drop.appointment, [self = QPointer(this), moved, service,
                           held = hold()](const DataAccess::FileChange& change) {
            if (!self)
                return;
            if (const QString refused = movedMeanwhile(change); !refused.isEmpty())
                self->editDone(refused, held);
            else
                self->edit(moved, false, held);
        });
}

QString EditCoordinator::movedMeanwhile(const DataAccess::FileChange& change)
{
    if (change.kind == DataAccess::FileChange::Kind::Deleted)
        return tr("The appointment was not moved: another user deleted it meanwhile.");
    if (change.kind != DataAccess::FileChange::Kind::Changed)
        return QString();
    return change.producer.isEmpty()
               ? tr("The appointment was not moved: another user changed it meanwhile. Their "
                    "version is shown now.")
               : tr("The appointment was not moved: %1 changed it meanwhile. Their version is "
                    "shown now.")
                     .arg(change.producer);
}

void EditCoordinator::moveOccurrence(const AppointmentDrag::Drop& drop, SeriesEdit::Scope scope)
{
    const ClassTermin& part = drop.appointment;
    ClassTermin moved = SeriesEdit::recordFor(part, drop.fromDay, scope);
    const qint64 days = drop.fromDay.daysTo(drop.toDay);
    moved.setDatum(moved.datum().addDays(days));
    if (scope == SeriesEdit::Scope::This) {
        moved.setRecurringStartDate(moved.datum());
        moved.setRecurringEndDate(moved.datum());
    } else {
        moved.setRecurringStartDate(moved.RecurringStartDate().addDays(days));
        moved.setRecurringEndDate(moved.RecurringEndDate().addDays(days));
        if (moved.Rule())
            moved.setRule(moved.Rule()->shifted(days));
    }
    moved.setStartTime(drop.start);
    moved.setEndTime(drop.end);
    const Service service = serviceOf(part);
    auto filer = std::make_shared<SeriesChangeFiler>(*service, part, drop.fromDay, scope);
    filer->file(moved, [self = QPointer(this), filer, service,
                        held = hold()](const WriteOutcome& outcome, const ClassTermin&) {
        if (self)
            self->editDone(outcome.ok ? QString() : AppointmentEditing::failureMessage(outcome),
                           held);
    });
}

void EditCoordinator::fileCopy(const ClassTermin& copy, UndoStep::Act act,
                               const QString& besidePath)
{
    const Service service = m_stores.of(besidePath);
    service->file(
        copy,
        [self = QPointer(this), service, held = hold()](const WriteOutcome& outcome,
                                                        const ClassTermin&) {
            if (self)
                self->editDone(outcome.ok ? QString() : AppointmentEditing::failureMessage(outcome),
                               held);
        },
        act);
}

void EditCoordinator::remove(const ClassTermin& appointment, const QDate& day, bool askSeries)
{
    if (stillBeingRead(appointment) || refusedToChange(appointment))
        return;
    const Service service = serviceOf(appointment);
    if (!service->answering()) {
        m_questions.showFailure(tr("The appointment could not be deleted.\n"
                                   "The data folder is not answering; nothing was changed. "
                                   "Please try again when it answers."));
        return;
    }
    if (appointment.repeats()) {
        if (!askSeries) {
            removeOccurrence(appointment, day, SeriesEdit::Scope::This);
            return;
        }
        m_questions.askSeriesScope(appointment, day, EditQuestions::SeriesAct::Delete,
                                   [self = QPointer(this), appointment, day](auto scope) {
                                       if (self && scope)
                                           self->removeOccurrence(appointment, day, *scope);
                                   });
        return;
    }
    if (appointment.isSpanDay())
        return removeSpan(appointment);
    service->remove(appointment.filename(), [self = QPointer(this), service](bool removed) {
        if (!self)
            return;
        if (!removed)
            self->m_questions.showFailure(
                tr("The appointment could not be deleted.\n"
                   "Please ensure the accessibility of the datasource folder and "
                   "check your privileges."));
        self->m_questions.showChange(false);
    });
}

void EditCoordinator::removeOccurrence(const ClassTermin& part, const QDate& occurrence,
                                       SeriesEdit::Scope scope)
{
    const Service service = serviceOf(part);
    SeriesChangeFiler filer(*service, part, occurrence, scope);
    filer.remove(deletionAnswer(service));
}

StoreService::SeriesDone EditCoordinator::deletionAnswer(const Service& service)
{
    // The service is held until the answer came.
    return [self = QPointer(this), service](const SeriesFiling::Outcome& outcome) {
        if (!self)
            return;
        if (const QString failure = deletionFailure(outcome); !failure.isEmpty())
            self->m_questions.showFailure(failure);
        self->m_questions.showChange(false);
    };
}

QString EditCoordinator::deletionFailure(const SeriesFiling::Outcome& outcome)
{
    if (outcome.ok())
        return QString();
    if (outcome.outcome.cause == WriteOutcome::Cause::NotAnswering)
        return tr("The appointment could not be deleted.\n"
                  "The data folder is not answering; nothing was changed. Please try again "
                  "when it answers.");
    if (outcome.conflict.kind != DataAccess::FileChange::Kind::None)
        return tr("The appointment could not be deleted.\n") +
               SeriesChangeFiler::writeOutcomeOf(outcome).error;
    return tr("The appointment could not be deleted.\n"
              "Please ensure the accessibility of the datasource folder and check your "
              "privileges.");
}

void EditCoordinator::undo(bool redo)
{
    undoStep(redo, false);
}

void EditCoordinator::undoStep(bool redo, bool overwrite)
{
    if (m_undoUnderWay)
        return; // one at a time, so the steps go back in their order
    // The step taken last, in whichever folder.
    const Service service = m_stores.historyFor(redo);
    if (!service)
        return;
    if (!service->answering()) {
        m_questions.showFailure(tr("Nothing was undone or redone: the data folder is not "
                                   "answering. Please try again when it answers."));
        return;
    }
    m_undoUnderWay = true;
    auto done = [self = QPointer(this), redo, service,
                 held = hold()](const StoreService::UndoOutcome& outcome) {
        if (self)
            self->undoDone(redo, outcome, held, service);
    };
    m_questions.undoStateChanged();
    if (redo)
        service->redo(overwrite, done);
    else
        service->undo(overwrite, done);
}

void EditCoordinator::undoDone(bool redo, const StoreService::UndoOutcome& outcome,
                               const Hold& held, const Service& service)
{
    m_undoUnderWay = false;
    m_questions.undoStateChanged();
    if (outcome.conflict.kind != DataAccess::FileChange::Kind::None) {
        m_questions.askUndoConflict(outcome, [self = QPointer(this), redo, service](auto answer) {
            if (!self)
                return;
            if (answer == EditQuestions::UndoAnswer::Mine)
                self->undoStep(redo, true);
            // Theirs stays; this step cannot be taken back without overwriting it.
            else if (answer == EditQuestions::UndoAnswer::Theirs && redo)
                service->dropRedo();
            else if (answer == EditQuestions::UndoAnswer::Theirs)
                service->dropUndo();
        });
    } else if (!outcome.outcome.ok) {
        m_questions.showFailure(AppointmentEditing::failureMessage(outcome.outcome));
    }
    m_questions.showChange(false);
    held->release();
}
