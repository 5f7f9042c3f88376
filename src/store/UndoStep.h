#pragma once

#include "store/ClassTermin.h"
#include "store/DataAccess.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include <optional>

// One file as a change of the window found it and left it: its bytes, or none where there
// was no file.
struct FileVersions {
    QString path;
    std::optional<QByteArray> before;
    std::optional<QByteArray> after;
    friend bool operator==(const FileVersions&, const FileVersions&) = default;
};

// A change the user can take back: the files it wrote, as they were before and after, so an
// undo puts the same files back under their own names and other copies see the appointment
// return rather than a new one.
struct UndoStep {
    enum class Act { New, Change, Move, Resize, Delete, Paste, Duplicate, Series };
    Act act = Act::Change;
    QString title; // the appointment's first line
    QList<FileVersions> files;

    // What the step holds in memory, about.
    qint64 bytes() const;
    // What a change of one appointment was, from its record before and after (none: no file).
    static Act actOf(const ClassTermin* before, const ClassTermin* after);
    // The first line of an appointment's text, as a step names it.
    static QString titleOf(const ClassTermin& appointment);
};

// Whether an undo (or redo) of a step can be done as the folder is now, and what it writes.
namespace UndoPlan {

// A file of the step as the folder holds it now.
struct Found {
    enum class State { Missing, Present, Unreadable };
    State state = State::Missing;
    QByteArray bytes;
};

// Write content to path, or remove path when there is none.
struct Action {
    QString path;
    std::optional<QByteArray> content;
    friend bool operator==(const Action&, const Action&) = default;
};

struct Plan {
    QList<Action> actions;
    // A file that could not be read now: it is never written over, so nothing is done.
    QString unreadable;
    // A file another user changed or removed since the step: nothing is done unless the
    // user chose to overwrite it.
    QString conflictPath;
    DataAccess::FileChange::Kind conflict = DataAccess::FileChange::Kind::None;
    QByteArray conflictBytes; // their version, to tell who saved it
};

// undo: from after back to before; else (redo) from before to after. With overwrite a file
// another user changed is written over all the same.
Plan plan(const UndoStep& step, bool undo, const QHash<QString, Found>& now, bool overwrite);

} // namespace UndoPlan
