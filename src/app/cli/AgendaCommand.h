#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

// norvane-cli: the agenda of a data folder as JSON Lines. It only reads, never writes.
namespace AgendaCommand {

enum ExitCode { Ok = 0, FolderError = 1, UsageError = 2 };

QString usage();

// args without the program name. programDirectory holds the settings used when no --folder
// is given.
int run(const QStringList& args, QTextStream& out, QTextStream& err,
        const QString& programDirectory);

} // namespace AgendaCommand
