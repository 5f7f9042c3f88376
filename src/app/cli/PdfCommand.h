#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

// norvane-cli pdf: a printout of the data folder as an A4 PDF (one page, the appointment list
// as many as it takes), for scripts (a weekly plan on the office wall, printed by a timer). Needs a
// QGuiApplication, which main creates on the offscreen platform for this command only.
namespace PdfCommand {

// args after "pdf". Exit codes as the other commands: 2 with the usage for bad arguments, 1
// with the reason for a folder that cannot be read or a file that cannot be written.
int run(const QStringList& args, QTextStream& out, QTextStream& err,
        const QString& programDirectory);

} // namespace PdfCommand
