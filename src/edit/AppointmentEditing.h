#pragma once

#include "profile/FileAccess.h"
#include "store/ClassTermin.h"
#include "store/DataAccess.h"

#include <QCoreApplication>

#include <QString>

#include <functional>
#include <optional>

class Filer;
class QTimer;

// What EditMe and the editor hand each other while one appointment is being edited.
struct EditHandOver {
    ClassTermin* EditedAppointment = nullptr;
    bool EditIsNew = false;     // the appointment has no file yet
    bool EditCancelled = false; // set by the editor's Cancel (and its close box)
    // What became of the appointment's file since it was loaded, asked when OK is pressed;
    // empty where there is no file to ask about.
    std::function<DataAccess::FileChange()> changeOnDisk;
    // Files the appointment as the editor's OK left it; the editor shows that it is saving
    // meanwhile and closes once the store has answered.
    std::function<WriteOutcome()> save;
    std::optional<WriteOutcome> saved; // what save answered, when the editor saved
};

// Editing one appointment from a window: the heartbeat pauses, the editor shows, and on OK
// the appointment is filed where its date and recurrence demand.
class AppointmentEditing {
    Q_DECLARE_TR_FUNCTIONS(AppointmentEditing)

public:
    // Shows the editor modally on handOver.EditedAppointment.
    using Editor = std::function<void(EditHandOver& handOver)>;

    explicit AppointmentEditing(Filer& filing, Editor editor = {});

    void setEditor(Editor editor) { m_editor = std::move(editor); }
    const EditHandOver& handOver() const { return m_handOver; }

    struct Result {
        bool cancelled = false;
        bool saved = false;
        QString failure; // the message for the user when the save failed, else empty
    };
    // heartbeat: the calling window's timer, off while the editor is open and the file is
    // written.
    Result EditMe(ClassTermin& appointment, bool showEditwindow, QTimer* heartbeat = nullptr);

    // What the user is told when saving an appointment failed, in the installed language.
    static QString failureMessage(const WriteOutcome& outcome);

private:
    Filer& m_filing;
    Editor m_editor;
    EditHandOver m_handOver;
};
