#pragma once

#include "ClassTermin.h"

#include <QString>

#include <functional>

class DataAccess;
class Settings;

// What EditMe and the editor hand each other while one appointment is being edited.
struct EditHandOver {
    ClassTermin* EditedAppointment = nullptr;
    bool EditIsNew = false;     // the appointment has no file yet
    bool EditCancelled = false; // set by the editor's Cancel (and its close box)
};

// Files an edited appointment into the directory its date and recurrence demand: a new one
// under a fresh name, a changed one under its old base name, moved when its directory changed.
class AppointmentFiling {
public:
    // Shows the editor modally on handOver.EditedAppointment.
    using Editor = std::function<void(EditHandOver& handOver)>;
    // Draws the number of a new file name.
    using RandomSource = std::function<quint32()>;

    AppointmentFiling(DataAccess& store, Settings& settings, RandomSource random = {});

    void setEditor(Editor editor) { m_editor = std::move(editor); }
    // The main window's heartbeat, switched off while an appointment is edited and written.
    // Until a main window exists there is nothing to switch.
    void setTimerHook(std::function<bool()> isEnabled, std::function<void(bool)> setEnabled);

    const EditHandOver& handOver() const { return m_handOver; }

    struct Result {
        bool cancelled = false;
        bool saved = false;
        QString failure; // the message for the user when the save failed, else empty
    };
    Result EditMe(ClassTermin& appointment, bool showEditwindow);

    // The directory inside dataFolder (which ends in a separator) that the appointment
    // belongs in.
    static QString TargetDirectory(const QString& dataFolder, const ClassTermin& appointment);

private:
    // The base name: the existing one when the appointment has a file, else a fresh one.
    QString BuildFileName(const ClassTermin& appointment, const QString& directory);

    DataAccess& m_store;
    Settings& m_settings;
    RandomSource m_random;
    Editor m_editor;
    std::function<bool()> m_timerEnabled;
    std::function<void(bool)> m_setTimerEnabled;
    EditHandOver m_handOver;
};
