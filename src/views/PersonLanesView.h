#pragma once

#include "layout/PersonLanes.h"
#include "store/DaySource.h"
#include "ui/PictureBox.h"

#include <QDate>
#include <QList>
#include <QRect>
#include <QStringList>

class Settings;

// One day as lanes side by side, one per person (PersonLanes): a header with the person's name
// in their colour, the day's hours as in the day view, and in each lane that person's
// appointments, overlapping ones side by side. The layout is computed once per change, in
// pixels, and both the drawing and the mouse use it; a screen reader reads each lane as a list
// named by the person and the day. A click or a double click on an appointment tells by signal.
class PersonLanesView : public PictureBox {
    Q_OBJECT

public:
    struct Box {
        TerminPtr appointment;
        QRect rect; // in the view's pixels; empty when it lies outside the hours shown
    };
    struct Lane {
        PersonLanes::Person person;
        QString accessibleName; // "Anna Meier, Tuesday 8 December 2026"
        QRect header;
        QRect area; // below the header: the all-day strip and the hours
        QList<Box> boxes;
    };

    // The team and the hours come from settings, the appointments from days.
    PersonLanesView(DaySource days, Settings& settings, QWidget* parent = nullptr);

    const QDate& date() const { return m_date; }
    void setDate(const QDate& date);
    // The logins of the people shown; everyone when empty.
    void setPersonFilter(const QStringList& logins);
    const QStringList& personFilter() const { return m_shown; }
    // Reads the day again (after a change of the data or the team) and draws it.
    void reload();

    const QList<Lane>& lanes() const { return m_lanes; }
    // The appointment drawn at pos (pixels); none there.
    TerminPtr appointmentAt(const QPoint& pos) const;

signals:
    void appointmentClicked(const TerminPtr& appointment);
    void appointmentDoubleClicked(const TerminPtr& appointment);

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void layOut();
    void paint();
    AccessibleItem describe() const;

    DaySource m_days;
    Settings& m_settings;
    QDate m_date;
    QStringList m_shown;
    QList<TerminPtr> m_day;
    QList<Lane> m_lanes;
    // The hours shown and where their lines lie.
    TimeOfDay m_start;
    TimeOfDay m_end;
    int m_gridTop = 0;
    double m_slot = 0;
    int m_labelStrip = 0;
};
