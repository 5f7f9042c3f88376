#pragma once

#include <QString>

class QLabel;
class QTimer;

// What a day column needs of the window that shows it: labels from the window's pool, the
// week view's today tint, and the window's timers while the user drags out a new appointment.
class DayColumnHost {
public:
    virtual ~DayColumnHost() = default;

    // A label of the pool, a child of the view picture, hidden, untagged.
    virtual QLabel* CreateLabelResource() = 0;
    // Gives a label back; labels the pool does not know are ignored.
    virtual void ReleaseLabelResource(QLabel* label) = 0;
    // True while the week view is shown: today's column is tinted.
    virtual bool HighlightToday() const = 0;
    // The one-second heartbeat: paused while a selection is dragged and while the editor is
    // open.
    virtual QTimer* heartbeat() = 0;
    // Rebuilds the view once, shortly (after the column created an appointment).
    virtual void StartRefreshTimer() = 0;
    // Tells the user that something failed (a save), in a message box of the window.
    virtual void ShowFailure(const QString& message) = 0;
};
