#pragma once

#include "profile/DateParts.h"
#include "ui/HeartbeatPause.h"

#include <QDate>
#include <QString>

class QLabel;

// What a day column needs of the window that shows it: labels from the window's pool, the
// week view's today tint, the window's heartbeat while the user drags out a time range, and
// someone to hand the range to.
class DayColumnHost {
public:
    virtual ~DayColumnHost() = default;

    // A label of the pool, a child of the view picture, hidden, untagged.
    virtual QLabel* CreateLabelResource() = 0;
    // Gives a label back; labels the pool does not know are ignored.
    virtual void ReleaseLabelResource(QLabel* label) = 0;
    // True while the week view is shown: today's column is tinted.
    virtual bool HighlightToday() const = 0;
    // The one-second heartbeat: paused while a selection is dragged.
    virtual HeartbeatPause& heartbeat() = 0;
    // The user dragged out this time range on this day, for a new appointment. Called last:
    // the column is done with the drag.
    virtual void RangeSelected(const QDate& day, TimeOfDay from, TimeOfDay to) = 0;
    // The user clicked this time on this day without dragging: where a paste goes.
    virtual void TimePicked(const QDate& day, TimeOfDay at)
    {
        Q_UNUSED(day);
        Q_UNUSED(at);
    }
};
