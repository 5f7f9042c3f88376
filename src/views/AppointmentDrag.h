#pragma once

#include "store/ClassTermin.h"
#include "ui/HeartbeatPause.h"
#include "views/ViewGeometry.h"

#include <QDate>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>

#include <optional>

class DayWeekView;
class QLabel;
class QTimer;
class QWidget;
class Settings;

// Moving an appointment label with the mouse to another time or day, or its lower edge to
// another end. The label follows the pointer on the grid's steps with a tooltip naming where
// it would go; Escape puts it back. What the drop means is handed to the window, which files
// it. The heartbeat pauses while a label is held, so no rebuild takes it away.
class AppointmentDrag : public QObject {
    Q_OBJECT

public:
    struct Drop {
        ClassTermin appointment; // as it was when pressed
        QDate fromDay;           // the column it was taken from
        QDate toDay;
        TimeOfDay start;
        TimeOfDay end;
        bool copy = false; // Ctrl held at the release: the original stays where it was
    };

    AppointmentDrag(const DayWeekView& view, const Settings& settings, HeartbeatPause& heartbeat,
                    QObject* parent = nullptr);
    ~AppointmentDrag() override;

    // A left press on the label of appointment, shown in column (1-based) of the view; at
    // is the pointer's global position.
    void press(QLabel* label, const ClassTermin& appointment, int column, const QPoint& at);
    // The pointer moved with the button held; false when no label is held.
    bool move(const QPoint& at);
    // The pointer moved over a label without a button: the edge shows its own cursor.
    void hover(QLabel* label, int yInLabel);
    // The button came up: the drop, when the appointment would go somewhere else. A moved
    // label stays where it fell until the view shows it filed; a copied one goes back.
    std::optional<Drop> release(const QPoint& at, Qt::KeyboardModifiers modifiers);
    // Puts the label back and forgets the press.
    void cancel();

    bool held() const { return !m_label.isNull(); }
    bool dragging() const { return m_dragging; }

signals:
    // The pointer went far enough for a drag.
    void started();
    // The label is let go, by a release or Escape.
    void ended();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void follow(const ViewGeometry::DragTarget& target);
    QString describe(const ViewGeometry::DragTarget& target) const;
    ViewGeometry::DragTarget targetAt(const QPoint& at) const;
    void finish();

    const DayWeekView& m_view;
    const Settings& m_settings;
    HeartbeatPause& m_heartbeat;

    QPointer<QLabel> m_label;
    ClassTermin m_appointment;
    ViewGeometry::TimeGrid m_grid;
    ViewGeometry::DragKind m_kind = ViewGeometry::DragKind::Move;
    int m_from = 0;   // index into m_grid.columns
    QPoint m_pressed; // global pixels
    QRect m_geometry; // the label's before the drag
    bool m_dragging = false;
    HeartbeatPause::Holder m_pause;
};
