#pragma once

#include <QHash>
#include <QList>
#include <QPointer>

#include <set>

class QLabel;
class QObject;
class QWidget;

// The appointment labels (label_appointment) that the day columns borrow while they show: a
// label is created when a column asks for one and deleted when it comes back, and free
// element numbers are reused, lowest first, before the pool grows.
class LabelPool {
public:
    // Labels are children of parent; mouseHandler filters their events.
    LabelPool(QWidget* parent, QObject* mouseHandler);

    // A new label of the pool: hidden, untagged.
    QLabel* CreateLabelResource();
    // Gives a label back; labels the pool did not hand out are ignored.
    void ReleaseLabelResource(QLabel* label);

private:
    QWidget* m_parent;
    QObject* m_mouseHandler;
    QList<QPointer<QLabel>> m_labels; // index + 1 is the element number
    QList<bool> m_inUse;
    std::set<int> m_free;              // indices of free elements, lowest first
    QHash<const QLabel*, int> m_index; // the element of each label handed out
};
