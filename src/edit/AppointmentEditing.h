#pragma once

#include "profile/FileAccess.h"
#include "store/ClassTermin.h"
#include "store/DataAccess.h"

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class Filer;
class QWidget;

// What the editor's "Find a time..." asks of the window that opened it: the appointment as the
// controls hold it now, and where the time found goes; the editor keeps the rest of its controls.
struct FindTimeAsk {
    ClassTermin draft;
    QWidget* editor = nullptr; // what the window's dialog lies over
    // Does nothing once the editor has closed.
    std::function<void(const QDate& day, TimeOfDay start, TimeOfDay end,
                       const QStringList& forUsers, const QStringList& rooms)>
        take;
};
using FindTime = std::function<void(const FindTimeAsk& ask)>;

// What EditMe and the editor hand each other while one appointment is being edited.
struct EditHandOver {
    // The editor's own copy: OK copies the controls into it, and a save that went leaves it
    // as filed.
    ClassTermin appointment;
    bool EditIsNew = false; // the appointment has no file yet
    // Where OK asks about other users' changes and files; null when the editor only edits.
    Filer* filer = nullptr;
    // The editor calls it once, as it closes: saved, or cancelled (Cancel, the close box).
    std::function<void(bool saved)> finished;
    // The data folders a new appointment may go into (the "Calendar" choice), the one of filer
    // first; none when there is no choice. The editor files through the one chosen.
    struct Calendar {
        QString name;
        std::shared_ptr<Filer> filer; // kept while the editor is open
    };
    QList<Calendar> calendars;
    // The window's answer to "Find a time..."; none hides the button.
    FindTime findTime;
};

// Editing one appointment from a window: the editor opens without waiting and files on OK,
// or the appointment is filed at once; either way the answer comes back by callback.
class AppointmentEditing {
    Q_DECLARE_TR_FUNCTIONS(AppointmentEditing)

public:
    // Opens the editor on handOver and returns; the editor keeps handOver while it is open.
    using Editor = std::function<void(std::shared_ptr<EditHandOver> handOver)>;

    explicit AppointmentEditing(Filer& filing, Editor editor = {});

    void setEditor(Editor editor) { m_editor = std::move(editor); }
    // What answers the editor's "Find a time..." from now on; none hides the button.
    void setFindTime(FindTime findTime) { m_findTime = std::move(findTime); }

    struct Result {
        bool cancelled = false;
        bool saved = false;
        // The message for the user when a save without the editor failed, else empty: the
        // editor tells its own failures and stays open.
        QString failure;
        ClassTermin appointment; // as filed when saved, else as it was handed in
    };
    using Done = std::function<void(const Result& result)>;
    // Opens the editor on a copy of appointment, or without showEditwindow (or an editor)
    // files it as it is; done runs once, on the caller's thread, when that is over.
    void EditMe(const ClassTermin& appointment, bool showEditwindow, Done done);
    // The same, filed through filing (which must outlive done): a change of a series'
    // occurrence, say; a new appointment in the editor may go into one of calendars instead.
    void EditMe(const ClassTermin& appointment, bool showEditwindow, Done done, Filer& filing,
                QList<EditHandOver::Calendar> calendars = {});

    // What the user is told when saving an appointment failed, in the installed language.
    static QString failureMessage(const WriteOutcome& outcome);

private:
    Filer& m_filing;
    Editor m_editor;
    FindTime m_findTime;
};
