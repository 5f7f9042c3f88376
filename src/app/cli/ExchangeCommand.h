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

// args after "import-ics": FILE [--folder DIR] [--color N] [--allow-large]. Prints the
// import's summary and its record; a file that is not iCalendar writes nothing, nor does one of
// more than kLargeImport appointments without --allow-large.
int importIcs(const QStringList& args, QTextStream& out, QTextStream& err,
              const QString& programDirectory);

// args after "undo-import": RECORD. Removes the appointments the import of the record created.
int undoImport(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace ExchangeCommand
