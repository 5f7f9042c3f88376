#pragma once

#include "store/DaySource.h"

#include <QByteArray>
#include <QDate>
#include <QHash>
#include <QList>
#include <QPageLayout>
#include <QString>
#include <QStringList>

#include <optional>

class DataAccess;
class FileAccess;
class PrintCanvas;
class Settings;

// One printout to make: what the print window, the PDF export and the command line agree on.
// The most days an appointment list covers.
constexpr int kMaxListDays = 366;

struct PrintJob {
    enum Kind { Day, Week, MonthPlanner, MonthSheet, List, DayByPerson, WeekByPerson };

    Kind kind = Day;
    QDate date;             // day and week; the list's first day
    QDate lastDate;         // the list's last day
    int month = 1;          // planner and month sheet, 1..12
    int year = 2000;        // planner and month sheet
    bool twoMonths = false; // planner
    QStringList persons;    // by person: the logins shown, everyone when empty

    static PrintJob day(const QDate& date);
    static PrintJob week(const QDate& date);
    static PrintJob planner(int month, int year, bool twoMonths);
    // The month with its appointments.
    static PrintJob monthSheet(int month, int year);
    // The appointment list from from to to, both included.
    static PrintJob list(const QDate& from, const QDate& to);
    // The day as lanes per person, the week as a row per person; of persons alone when given.
    static PrintJob dayByPerson(const QDate& date, const QStringList& persons = {});
    static PrintJob weekByPerson(const QDate& date, const QStringList& persons = {});

    // Portrait for the day and the list, landscape for the others.
    QPageLayout::Orientation orientation() const;
};

// The days whose appointments the job prints: its day, the seven days of its week (the week
// prints show some of them), the whole weeks of the month sheet, the list's days, none for
// the planner.
QList<QDate> PrintedDays(const PrintJob& job, const Settings& settings);

// Copies of the appointments of some days, read ahead (on a thread of their own) so that a
// printout drawn from them never waits for the data folder.
using DaySnapshot = QHash<QDate, QList<TerminPtr>>;
DaySnapshot ReadDays(DataAccess& store, const QList<QDate>& days);
// The days of a snapshot; a day it does not hold has no appointments.
DaySource DaysFrom(DaySnapshot snapshot);

// Draws the job on the canvas and ends it; false when the page could not be completed.
bool RunPrintJob(const PrintJob& job, PrintCanvas& canvas, const DaySource& days,
                 Settings& settings);

struct PdfOutcome {
    bool ok = false;
    QString reason; // for the user, when it failed: "cannot write /x/y.pdf: ..."
};

// Writes the job as an A4 PDF (one page, the list as many as it takes) at path, replacing what is
// there only once the new file is complete: a failure leaves no partial file behind. Needs a
// QGuiApplication (for the fonts), which may run on the offscreen platform; no printer is needed.
// Reasons are in the installed language. RenderPdf and then WritePdf.
PdfOutcome ExportPdf(const PrintJob& job, const QString& path, const DaySource& days,
                     Settings& settings, FileAccess& files);

// The job as the bytes of a one-page A4 PDF titled title, drawn on the calling thread through
// a temporary file of the local temporary directory, never beside a target that may lie on a
// share. nullopt, with the reason, when it could not be drawn. Needs a QGuiApplication.
std::optional<QByteArray> RenderPdf(const PrintJob& job, const QString& title,
                                    const DaySource& days, Settings& settings, QString* reason);
// Writes pdf at path through files, whole or not at all: what was there stays until the new
// file is complete, and keeps its permissions.
PdfOutcome WritePdf(const QByteArray& pdf, const QString& path, FileAccess& files);
