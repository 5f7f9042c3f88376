#pragma once

#include "service/FolderStores.h"
#include "service/StoreService.h"
#include "store/ClassTermin.h"
#include "store/DataAccess.h"
#include "store/SeriesEdit.h"
#include "store/SeriesFiling.h"
#include "ui/HeartbeatPause.h"
#include "views/AppointmentDrag.h"

#include <QCoreApplication>
#include <QDate>
#include <QObject>

#include <functional>
#include <memory>
#include <optional>

class AppointmentEditing;

// What the edit coordinator must ask or tell the user; the main window answers with its
// dialogs, later, through the callbacks (nothing waits for an answer).
class EditQuestions {
public:
    enum class SeriesAct { Edit, Move, Delete };
    enum class UndoAnswer { Mine, Theirs, Cancel };
    virtual ~EditQuestions() = default;
    // Which occurrences of a series a change is for; nullopt when the user cancelled.
    virtual void askSeriesScope(const ClassTermin& part, const QDate& occurrence, SeriesAct act,
                                std::function<void(std::optional<SeriesEdit::Scope>)> answer) = 0;
    // Another user changed or deleted the files of an undo or redo step since.
    virtual void askUndoConflict(const StoreService::UndoOutcome& outcome,
                                 std::function<void(UndoAnswer)> answer) = 0;
    virtual void showFailure(const QString& message) = 0;
    // A change is done or refused: the view shows it, after putBack with every label laid
    // out anew (a label dropped elsewhere goes back where it was).
    virtual void showChange(bool putBack) = 0;
    // Whether an undo or redo may start now changed.
    virtual void undoStateChanged() = 0;
};

// Creates, changes, moves, copies and deletes appointments and takes undo and redo steps: each
// through the store service of the folder the file lies in (the editor for what the user
// edits), for a series' occurrence after asking which occurrences, with the heartbeat paused
// until the change is done. A new appointment goes into the active folder.
class EditCoordinator : public QObject {
    Q_OBJECT

public:
    EditCoordinator(FolderStores& stores, AppointmentEditing& editing, HeartbeatPause& heartbeat,
                    EditQuestions& questions, QObject* parent = nullptr);

    // A new appointment, in the editor.
    void create(const ClassTermin& appointment);
    // The appointment picked on day, in the editor; a series' occurrence after the question.
    void change(const ClassTermin& appointment, const QDate& day);
    // An appointment dragged to another time or day, filed unless another user changed it
    // since it was shown.
    void move(const AppointmentDrag::Drop& drop);
    // A copy (a paste or duplicate) filed as the undo step act, in the folder of the file
    // besidePath (a duplicate's original) or the active one.
    void fileCopy(const ClassTermin& copy, UndoStep::Act act, const QString& besidePath = {});
    // Deletes it; an occurrence of a series after asking which ones, unless askSeries is off
    // and only it goes.
    void remove(const ClassTermin& appointment, const QDate& day, bool askSeries);
    // One undo or redo step at a time; a step whose files another user changed is asked about.
    void undo(bool redo);
    bool undoUnderWay() const { return m_undoUnderWay; }
    // At exit: edits still under way end unseen.
    void stop() { m_stopped = true; }

    // Drawn from the local index at start and not read from the share yet: partial, so
    // nothing is done with it until the share's answer replaces it (moments later).
    bool stillBeingRead(const ClassTermin& appointment) const;
    // Another user's private appointment, shown as "Busy", and one a subscription brings are not
    // changed here: says why, and true.
    bool refusedToChange(const ClassTermin& appointment);

    // What the user is told when a drop was not filed, or a deletion failed; empty when not.
    static QString movedMeanwhile(const DataAccess::FileChange& change);
    static QString deletionFailure(const SeriesFiling::Outcome& outcome);

private:
    using Hold = std::shared_ptr<HeartbeatPause::Holder>;
    using Service = std::shared_ptr<StoreService>;
    // The service of the folder the appointment's file lies in.
    Service serviceOf(const ClassTermin& appointment) const
    {
        return m_stores.of(appointment.filename());
    }
    Hold hold() { return std::make_shared<HeartbeatPause::Holder>(m_heartbeat.hold()); }
    void edit(const ClassTermin& appointment, bool showEditwindow, Hold held);
    void editDone(const QString& failure, const Hold& held);
    void editOccurrence(const ClassTermin& part, const QDate& occurrence, SeriesEdit::Scope scope);
    void moveOccurrence(const AppointmentDrag::Drop& drop, SeriesEdit::Scope scope);
    void removeOccurrence(const ClassTermin& part, const QDate& occurrence,
                          SeriesEdit::Scope scope);
    // The answer to a deletion of a series' or a span's files: the failure told, the change shown.
    StoreService::SeriesDone deletionAnswer(const Service& service);
    // A day of a span of days stands for the whole span: edited, moved or deleted, all its
    // days are, without a question (EditCoordinatorSpans.cpp).
    void editSpan(const ClassTermin& day);
    void moveSpan(const AppointmentDrag::Drop& drop);
    void removeSpan(const ClassTermin& day);
    void undoStep(bool redo, bool overwrite);
    void undoDone(bool redo, const StoreService::UndoOutcome& outcome, const Hold& held,
                  const Service& service);

    FolderStores& m_stores;
    AppointmentEditing& m_editing;
    HeartbeatPause& m_heartbeat;
    EditQuestions& m_questions;
    bool m_undoUnderWay = false;
    bool m_stopped = false;
};
