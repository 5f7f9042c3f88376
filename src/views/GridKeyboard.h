#pragma once

#include "store/ClassTermin.h"
#include "ui/AccessibleItem.h"
#include "views/GridFocus.h"

#include <QDate>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>

#include <optional>

class DayWeekView;
class PictureBox;
class QScrollBar;
class QWidget;
class Settings;

// The keyboard in the day and week grid: a focus on an appointment or a free step, moved by
// the arrow keys and shown by a frame while the grid has the keyboard, and the grid as a
// screen reader sees it. What a key means for the appointments (edit, delete, new, move) is
// handed back to the window, which does it as it does for the mouse.
class GridKeyboard : public QObject {
    Q_OBJECT

public:
    struct Act {
        enum class Kind { Edit, Delete, New, Shift };
        Kind kind = Kind::Edit;
        TerminPtr appointment;    // Edit, Delete, Shift
        QDate day;                // of the focused column
        TimeOfDay time;           // New: the focused time
        GridFocus::Change change; // Shift
    };

    GridKeyboard(const DayWeekView& view, const Settings& settings, PictureBox* picture,
                 QScrollBar* scroll, QWidget* panel);
    ~GridKeyboard() override;

    // A key pressed while the grid has the keyboard: true when the grid took it; act then
    // holds what the window is to do, if anything.
    bool key(int key, Qt::KeyboardModifiers modifiers, std::optional<Act>& act);

    // The view laid out anew: the focus stays on its appointment (found again by its file)
    // or its time, the frame and the screen reader's picture follow.
    void viewChanged();
    // After a move by keys: the focus goes with the appointment to its new day.
    void follow(const ClassTermin& appointment, const QDate& day);
    // A click: the focus goes to the appointment at position (1-based) of column (1-based), or
    // to the step at time of day's column, so the keys act where the mouse was.
    void focusAppointment(int column, int position);
    void focusStep(const QDate& day, TimeOfDay time);

    TerminPtr focusedAppointment() const;
    QDate focusedDay() const;
    const GridFocus::Focus& focus() const { return m_focus; }

    AccessibleItem describe() const;

signals:
    // The focus moved to an appointment (null for a free step).
    void focusedOn(const TerminPtr& appointment, const QDate& day);

private:
    GridFocus::Grid grid() const;
    QRect focusRect() const;
    void setFocus(const GridFocus::Focus& focus);
    void showFrame();

    const DayWeekView& m_view;
    const Settings& m_settings;
    QPointer<PictureBox> m_grid;
    QPointer<QScrollBar> m_scroll;
    QPointer<QWidget> m_panel;
    QPointer<QWidget> m_frame;
    GridFocus::Focus m_focus;
    // The focused appointment's file and id, to find it after a rebuild or a move.
    QString m_focusFile;
    QString m_focusUid;
    QDate m_focusDay;
    bool m_placed = false; // until the grid first has the keyboard
};
