#include "print/PrintJob.h"

#include "layout/MonthLayout.h"
#include "print/Druck.h"
#include "print/PainterCanvas.h"
#include "profile/FileAccess.h"
#include "settings/Settings.h"
#include "store/DataAccess.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPdfWriter>
#include <QTemporaryFile>

namespace {

// What a printer in high resolution draws a PDF with.
constexpr int kPdfDotsPerInch = 1200;

QString cannotWrite(const QString& path, const QString& why)
{
    return QCoreApplication::translate("PrintJob", "cannot write %1: %2")
        .arg(QDir::toNativeSeparators(path), why);
}

PdfOutcome failed(const QString& reason)
{
    return {false, reason};
}

} // namespace

PrintJob PrintJob::day(const QDate& date)
{
    PrintJob job;
    job.date = date;
    return job;
}

PrintJob PrintJob::week(const QDate& date)
{
    PrintJob job;
    job.kind = Week;
    job.date = date;
    return job;
}

PrintJob PrintJob::planner(int month, int year, bool twoMonths)
{
    PrintJob job;
    job.kind = MonthPlanner;
    job.month = month;
    job.year = year;
    job.twoMonths = twoMonths;
    return job;
}

PrintJob PrintJob::monthSheet(int month, int year)
{
    PrintJob job;
    job.kind = MonthSheet;
    job.month = month;
    job.year = year;
    return job;
}

PrintJob PrintJob::list(const QDate& from, const QDate& to)
{
    PrintJob job;
    job.kind = List;
    job.date = from;
    job.lastDate = to;
    return job;
}

PrintJob PrintJob::dayByPerson(const QDate& date, const QStringList& persons)
{
    PrintJob job;
    job.kind = DayByPerson;
    job.date = date;
    job.persons = persons;
    return job;
}

PrintJob PrintJob::weekByPerson(const QDate& date, const QStringList& persons)
{
    PrintJob job = dayByPerson(date, persons);
    job.kind = WeekByPerson;
    return job;
}

QPageLayout::Orientation PrintJob::orientation() const
{
    return kind == Day || kind == List ? QPageLayout::Portrait : QPageLayout::Landscape;
}

QList<QDate> PrintedDays(const PrintJob& job, const Settings& settings)
{
    QList<QDate> days;
    switch (job.kind) {
    case PrintJob::Day:
    case PrintJob::DayByPerson:
        days << job.date;
        break;
    case PrintJob::Week:
    case PrintJob::WeekByPerson:
        for (int d = 0; d < 7; ++d)
            days << Druck::WeekStart(job.date, settings).addDays(d);
        break;
    case PrintJob::MonthSheet:
        days = MonthLayout::sheetDays(job.year, job.month, settings.FirstWeekday());
        break;
    case PrintJob::List:
        for (QDate day = job.date; day <= job.lastDate; day = day.addDays(1))
            days << day;
        break;
    case PrintJob::MonthPlanner:
        break;
    }
    return days;
}

DaySnapshot ReadDays(DataAccess& store, const QList<QDate>& days)
{
    DataAccess::Pass pass(store);
    DaySnapshot snapshot;
    for (const QDate& day : days) {
        QList<TerminPtr>& copies = snapshot[day];
        // Copies: the store's own objects stay with the store's thread.
        for (const TerminPtr& appointment : store.GetAppointmentsOfDay(day))
            copies << std::make_shared<ClassTermin>(*appointment);
    }
    return snapshot;
}

DaySource DaysFrom(DaySnapshot snapshot)
{
    return [snapshot = std::move(snapshot)](const QDate& date) { return snapshot.value(date); };
}

bool RunPrintJob(const PrintJob& job, PrintCanvas& canvas, const DaySource& days,
                 Settings& settings)
{
    Druck druck(canvas, days, settings);
    switch (job.kind) {
    case PrintJob::Day:
        return druck.PrintDay(job.date);
    case PrintJob::Week:
        return druck.PrintWeek(job.date);
    case PrintJob::MonthPlanner:
        return druck.PrintMonthPlanner(job.month, job.year, job.twoMonths);
    case PrintJob::MonthSheet:
        return druck.PrintMonth(job.month, job.year);
    case PrintJob::List:
        return druck.PrintList(job.date, job.lastDate);
    case PrintJob::DayByPerson:
        return druck.PrintDayByPerson(job.date, job.persons);
    case PrintJob::WeekByPerson:
        return druck.PrintWeekByPerson(job.date, job.persons);
    }
    return false;
}

PdfOutcome ExportPdf(const PrintJob& job, const QString& path, const DaySource& days,
                     Settings& settings, FileAccess& files)
{
    QString reason;
    const std::optional<QByteArray> pdf =
        RenderPdf(job, QFileInfo(path).completeBaseName(), days, settings, &reason);
    if (!pdf)
        return failed(cannotWrite(path, reason));
    return WritePdf(*pdf, path, files);
}

std::optional<QByteArray> RenderPdf(const PrintJob& job, const QString& title,
                                    const DaySource& days, Settings& settings, QString* reason)
{
    auto fail = [reason](const QString& why) {
        if (reason)
            *reason = why;
        return std::nullopt;
    };
    // Fonts need the GUI side of Qt; without it the PDF writer would abort the program.
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return fail(
            QCoreApplication::translate("PrintJob", "no graphical application to draw with"));

    QTemporaryFile temp(QDir::tempPath() + QStringLiteral("/norvane-XXXXXX.pdf"));
    if (!temp.open())
        return fail(temp.errorString());
    temp.close();
    {
        QPdfWriter writer(temp.fileName());
        writer.setResolution(kPdfDotsPerInch);
        // The printouts keep their own margins; a PDF has no unprintable edge.
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), job.orientation(),
                                         QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
        writer.setCreator(QStringLiteral("Norvane"));
        writer.setTitle(title);

        PainterCanvas canvas(writer);
        if (!canvas.isActive())
            return fail(QCoreApplication::translate("PrintJob", "the PDF could not be started"));
        if (!RunPrintJob(job, canvas, days, settings))
            return fail(QCoreApplication::translate("PrintJob", "the PDF could not be completed"));
    }
    if (!temp.open())
        return fail(temp.errorString());
    return temp.readAll();
}

PdfOutcome WritePdf(const QByteArray& pdf, const QString& path, FileAccess& files)
{
    const WriteOutcome written = files.writeAtomically(path, pdf, QString());
    if (!written.ok)
        return failed(cannotWrite(path, written.error));
    return {true, QString()};
}
