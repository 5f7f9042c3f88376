#pragma once

#include "store/DaySource.h"

#include <QDate>
#include <QList>
#include <QString>

#include <functional>

// What the month view and the month printout show, as values: the weeks of a month's sheet,
// each with its number and the cells of the weekdays shown, and in each cell as many of the
// day's appointments as fit, each as its start time and first line, then how many more there
// are. The screen and the paper only draw it.
namespace MonthLayout {

struct Input {
    int year = 2000;
    int month = 1;
    int firstWeekday = 1; // 1 = Sunday … 7 = Saturday
    // Whether a weekday gets a column; every one when empty.
    std::function<bool(int weekday)> shownWeekday;
    int weekRule = 1; // the settings' rule for the first week of a year
    DaySource days;   // none: no appointments
    // Lines a cell has room for below its day number, the "+N more" line among them.
    int linesPerCell = 3;
    QString timeFormat; // "24h" or twelve hours
    QString langCode;
    QDate today;
    QDate selected;
};

struct Entry {
    QString tag; // "yyyy-MM-dd|position in the day's list": the entry's identity
    TerminPtr appointment;
    QString time; // the start, empty for an appointment of the whole day
    QString text; // the first line; of a span of days without its day mark
    int colorCode = 0;
    // A day of a span of days (see SpanDays) is drawn as one bar with the span's next days in
    // its week that show it on the same line: the bar's first entry covers `columns` cells from
    // its own on, and the entries it covers are `covered`, not drawn on their own.
    int columns = 1;
    bool covered = false;
};

struct Cell {
    QDate date;
    bool inMonth = false; // the month's own days; the others fill its first and last week
    bool today = false;
    bool selected = false;
    QList<Entry> entries;
    int moreCount = 0; // the day's appointments that did not fit
};

struct Week {
    int number = 0;
    QList<Cell> cells; // the weekdays shown, from the first weekday on
};

struct Month {
    QList<int> weekdays; // of the columns, 1 = Sunday … 7
    QList<Week> weeks;
};

// In each cell the days of spans first, earliest span first, so that a span keeps its line
// across its days where it can; then the bars of each week's spans (Entry::columns).
void joinSpans(Week& week);

// The days of the sheet's rows, whole weeks from the first weekday on, shown or not: the
// days to read for it.
QList<QDate> sheetDays(int year, int month, int firstWeekday);

Month layOut(const Input& input);
// The cell of one day as a sheet of input shows it: also for a table of other days.
Cell dayCell(const Input& input, const QDate& date);

// "+3 more", in German "+3 weitere".
QString moreText(int count, const QString& langCode);

// The cell that shows date; nullptr when the sheet has none.
const Cell* cellOf(const Month& month, const QDate& date);
// The entry of tag; nullptr when no cell has it.
const Entry* entryOf(const Month& month, const QString& tag);

} // namespace MonthLayout
