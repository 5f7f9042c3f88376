#pragma once

#include "store/ClassTermin.h"
#include "ui/AccessibleItem.h"
#include "views/FolderMarks.h"

#include <QDate>
#include <QList>
#include <QRect>
#include <QString>

// What a screen reader is told about the day and week grid: a list per day column, named by
// its date, with one item per appointment, named by its times and first line and described by
// the rest of its text, its owner, its reminder and how it repeats.
namespace GridAccessible {

struct Shown {
    TerminPtr appointment;
    QRect rect; // of its label on the grid; empty while it is not shown
};
struct Column {
    QDate day;
    QRect rect;
    QList<Shown> appointments; // in the column's order
    bool today = false;
};
struct Texts {
    QString langCode;
    QString timeFormat;
    QList<FolderMark> folders; // shown: another folder's appointment is named with it
};
// Where the keyboard is: an appointment of a column, or a free step of it with its rectangle.
struct Focus {
    int column = -1; // index into the columns; -1 while the grid has no focus
    int appointment = -1;
    QString step; // the free step's time, as written
    QRect stepRect;
};

QString appointmentName(const ClassTermin& appointment, const Texts& texts);
QString appointmentDescription(const ClassTermin& appointment, const Texts& texts);
AccessibleItem describe(const QList<Column>& columns, const Texts& texts, const Focus& focus);

} // namespace GridAccessible
