#pragma once

#include "store/DaySource.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

// What the agenda list and its printout show, as values: the days from a date on that have
// appointments, each under a heading of its weekday and date, each appointment as one line
// of its times, first line of text, colour, owner and whether it repeats. The screen and the
// paper only draw it.
namespace AgendaLayout {

struct Input {
    DaySource days; // none: no appointments
    QDate from;
    int count = 14; // days from from on
    QDate today;
    QString timeFormat; // "24h" or twelve hours
    QString dateFormat; // the settings' pattern, "dd.mm.yyyy"
    QString langCode;
};

struct Line {
    TerminPtr appointment;
    QString time;  // "09:00 - 10:30", or "all day"
    QString text;  // the first line
    QString owner; // the producer's login
    bool repeats = false;
    int colorCode = 0;
};

struct Group {
    QDate date;
    QString heading; // "Wednesday, 07/09/2003"
    bool today = false;
    QList<Line> lines;
};

// Days without appointments get no group.
QList<Group> layOut(const Input& input);

// One appointment's line, and a day's heading, as the list shows them.
Line lineOf(const TerminPtr& appointment, const QString& timeFormat, const QString& langCode);
QString headingOf(const QDate& date, const QString& dateFormat, const QString& langCode);

// "repeats", in German "wiederholt sich".
QString repeatsText(const QString& langCode);
// "No appointments", in German "Keine Termine".
QString emptyText(const QString& langCode);
// "today", in German "heute".
QString todayText(const QString& langCode);
// The names of a list's columns (time, text, owner, repeats), as a screen reader reads them.
QStringList columnNames(const QString& langCode);

} // namespace AgendaLayout
