#include "PrintJob.h"

#include "Druck.h"
#include "PainterCanvas.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPrinter>
#include <QTemporaryFile>

#include <filesystem>
#include <system_error>

namespace {

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

QPageLayout::Orientation PrintJob::orientation() const
{
    return kind == Day ? QPageLayout::Portrait : QPageLayout::Landscape;
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
    }
    return false;
}

PdfOutcome ExportPdf(const PrintJob& job, const QString& path, const DaySource& days,
                     Settings& settings)
{
    // Fonts need the GUI side of Qt; without it QPrinter would abort the program.
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return failed(cannotWrite(path, QCoreApplication::translate(
                                            "PrintJob", "no graphical application to draw with")));

    // Written beside the target, so the final rename stays on one file system.
    const QFileInfo target(path);
    QTemporaryFile temp(target.absolutePath() + QStringLiteral("/.") + target.fileName() +
                        QStringLiteral(".XXXXXX.pdf"));
    if (!temp.open())
        return failed(cannotWrite(path, temp.errorString()));
    temp.close();

    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(temp.fileName());
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setPageOrientation(job.orientation());
        // The printouts keep their own margins; a PDF has no unprintable edge.
        printer.setFullPage(true);
        printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
        printer.setCreator(QStringLiteral("Norvane"));
        printer.setDocName(target.completeBaseName());

        PainterCanvas canvas(printer);
        if (!canvas.isActive())
            return failed(cannotWrite(
                path, QCoreApplication::translate("PrintJob", "the PDF could not be started")));
        if (!RunPrintJob(job, canvas, days, settings))
            return failed(cannotWrite(
                path, QCoreApplication::translate("PrintJob", "the PDF could not be completed")));
    }

    // A new file gets the usual permissions (the temporary one is private); a replaced one
    // keeps its own.
    temp.setPermissions(target.exists() ? QFile::permissions(path)
                                        : QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                              QFile::ReadOther);
    std::error_code error;
    std::filesystem::rename(std::filesystem::path(temp.fileName().toStdU16String()),
                            std::filesystem::path(path.toStdU16String()), error);
    if (error)
        return failed(cannotWrite(path, QString::fromStdString(error.message())));
    temp.setAutoRemove(false);
    return {true, QString()};
}
