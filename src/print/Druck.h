#pragma once

#include "profile/DateParts.h"
#include "store/DaySource.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

class PrintCanvas;
class Settings;
namespace MonthLayout {
struct Cell;
}

// The printouts, each one page on a canvas in millimetres: a day with its appointments, a
// week in columns, an empty month planner, and a month's sheet with its appointments. Appointments
// sit side by side as in the day column on screen. Each printout ends the page and the job; the
// result says whether that worked.
class Druck {
public:
    Druck(PrintCanvas& canvas, DaySource days, Settings& settings);

    bool PrintDay(const QDate& date);
    // The week that holds date, from its first day (WeekStart) on.
    bool PrintWeek(const QDate& date);
    // The day as lanes side by side, one per person of the team and owner of its appointments
    // (PersonLanes), those of shown alone when any are given (DruckPersons.cpp).
    bool PrintDayByPerson(const QDate& date, const QStringList& shown);
    // The week that holds date as a table: a row per person, a column per weekday shown, in each
    // cell as many of the person's appointments as fit (DruckPersons.cpp).
    bool PrintWeekByPerson(const QDate& date, const QStringList& shown);
    // month 1..12 (others carry over into the next or previous year); with twoMonths the
    // following month too.
    bool PrintMonthPlanner(int month, int year, bool twoMonths);
    // The weeks of month 1..12 of year, the weekdays the settings show, in each day as many of
    // its appointments as fit (DruckMonth.cpp).
    bool PrintMonth(int month, int year);
    // The appointments from from to to (both included) as the agenda list groups them, on as
    // many pages as they take (DruckList.cpp).
    bool PrintList(const QDate& from, const QDate& to);

    // The first day of the week print of date, by the settings' first weekday.
    static QDate WeekStart(const QDate& date, const Settings& settings);
    // "printed by Norvane4" in the language of langCode.
    static QString FooterText(const QString& langCode);
    // The week print's heading: "Week 50, 7–13 December 2026", in German
    // "KW 50, 7.–13. Dezember 2026", numbered by the settings' rule for the first week.
    // The week of first and the range of the days shown (the whole week when none is).
    static QString WeekTitle(const QDate& first, const QList<QDate>& shown,
                             const Settings& settings);

private:
    void PreparePrinter();
    // Day and week: the area inside 15 mm margins of the printable area.
    void SetAreaWithMargins();
    // Left of the frame: as wide as the widest time label needs, at least the usual strip.
    void FitLabelStrip();
    void DrawTitleBarAndFrame();
    static double TitleBarHeight();
    // A column's title in the title bar, in the font the title bar set.
    void DrawColumnTitle(double x, double w, const QString& title);
    // The time of each grid line from the first to the last; none when the hours shown leave
    // no row to divide the height into.
    QStringList GridLabels() const;
    // Rows of time across the day and week print; false when the settings give no rows.
    bool DrawTimeGrid();
    // Above the frame of the week and lane prints: which week or day, from which data folder.
    void DrawHeading(const QString& title);
    void DrawAppointments(const QDate& date, double cx, double cw);
    // In the column from cx, cw wide, each in the column DayLayout gave it.
    void DrawAppointments(const QList<TerminPtr>& appointments, const QList<int>& columns,
                          double cx, double cw);
    // The settings' hours, widened to show every appointment of the days printed, and the
    // rows of the all-day strip above them, as the busiest of the days needs.
    void FitHoursAndStripTo(const QList<QDate>& days);
    // The same for columns of appointments: the lanes of a day.
    void FitHoursAndStripTo(const QList<QList<TerminPtr>>& columns);
    // "Friday, 2003-07-04" and "Fr, 2003-07-04" in the settings' language and date format.
    QString DayTitle(const QDate& day) const;
    QString ShortDayTitle(const QDate& day) const;
    // The weekdays of the week of date that the settings show.
    QList<QDate> ShownDaysOfWeek(const QDate& date) const;
    // From the top of the frame to the first grid line: below the title bar and the strip.
    double GridTop() const;
    // One appointment's line in a cell of the month sheet or the week by person.
    static constexpr double kEntryLine = 4;
    // The entries of a month sheet's cell, one line each from y down, and how many more.
    void DrawCellEntries(const MonthLayout::Cell& cell, double x, double y, double width);
    bool FinishPage(double x, double y, double w);

    PrintCanvas& m_canvas;
    DaySource m_days;
    Settings& m_settings;

    // Page geometry in millimetres: the margins, and for day and week the width and height of
    // the drawing area, for the planner its right and bottom edges.
    double mX = 15;
    double mY = 15;
    double W = 0;
    double H = 0;
    double m_labelStrip = 0;
    int m_stripRows = 0;
    TimeOfDay m_start;
    TimeOfDay m_end;
};
