#pragma once

#include "DaySource.h"

#include <QDate>
#include <QPageLayout>
#include <QString>

class PrintCanvas;
class Settings;

// One printout to make: what the print window, the PDF export and the command line agree on.
struct PrintJob {
    enum Kind { Day, Week, MonthPlanner };

    Kind kind = Day;
    QDate date;             // day and week
    int month = 1;          // planner, 1..12
    int year = 2000;        // planner
    bool twoMonths = false; // planner

    static PrintJob day(const QDate& date);
    static PrintJob week(const QDate& date);
    static PrintJob planner(int month, int year, bool twoMonths);

    // Portrait for the day, landscape for the week and the planner.
    QPageLayout::Orientation orientation() const;
};

// Draws the job on the canvas and ends it; false when the page could not be completed.
bool RunPrintJob(const PrintJob& job, PrintCanvas& canvas, const DaySource& days,
                 Settings& settings);

struct PdfOutcome {
    bool ok = false;
    QString reason; // for the user, when it failed: "cannot write /x/y.pdf: ..."
};

// Writes the job as a one-page A4 PDF at path, replacing what is there only once the new file
// is complete: a failure leaves no partial file behind. Needs a QGuiApplication (for the
// fonts), which may run on the offscreen platform; no printer is needed. Reasons are in the
// installed language.
PdfOutcome ExportPdf(const PrintJob& job, const QString& path, const DaySource& days,
                     Settings& settings);
