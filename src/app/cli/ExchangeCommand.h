#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

// norvane-cli export-ics and import-ics: the iCalendar exchange for scripts, with the exit
// codes of the other commands.
namespace ExchangeCommand {

// args after "export-ics": FROM TO [--folder DIR]. Writes the calendar to out.
int exportIcs(const QStringList& args, QTextStream& out, QTextStream& err,
              const QString& programDirectory);

// args after "import-ics": FILE [--folder DIR] [--color N]. Prints the import's summary; a
// file that is not iCalendar writes nothing.
int importIcs(const QStringList& args, QTextStream& out, QTextStream& err,
              const QString& programDirectory);

} // namespace ExchangeCommand
