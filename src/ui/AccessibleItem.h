#pragma once

#include <QAccessible>
#include <QList>
#include <QRect>
#include <QString>

// What assistive technology is told about a drawn widget or one part of it: a day column and
// its appointments, a calendar's day cells, a picker's value. A drawn widget describes itself
// as a tree of these; the tree is data, so it can be checked without a screen reader.
struct AccessibleItem {
    QAccessible::Role role = QAccessible::StaticText;
    QString name;
    QString description;
    QString value;
    QRect rect; // in the drawing widget's pixels
    QAccessible::State state;
    // A table cell's place; -1 outside a table.
    int row = -1;
    int column = -1;
    QList<AccessibleItem> children;

    // A part the keyboard can go to and choose: a day cell, a tab, a list entry.
    static AccessibleItem choice(QAccessible::Role role, const QString& name, const QRect& rect,
                                 bool selected, bool focused)
    {
        AccessibleItem item;
        item.role = role;
        item.name = name;
        item.rect = rect;
        item.state.selectable = true;
        item.state.focusable = true;
        item.state.selected = selected;
        item.state.focused = focused;
        return item;
    }

    // The item at path below this one (child indices, outermost first); null when there is none.
    const AccessibleItem* at(const QList<int>& path) const
    {
        const AccessibleItem* item = this;
        for (const int index : path) {
            if (index < 0 || index >= item->children.size())
                return nullptr;
            item = &item->children[index];
        }
        return item;
    }
};
