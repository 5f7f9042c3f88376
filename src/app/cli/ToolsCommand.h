#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

// norvane-cli import-holidays and test-folder: the holiday import and the folder speed test
// for scripts and administrators, with the exit codes of the other commands.
namespace ToolsCommand {

enum ExitCode { Slow = 3 };

// args after "import-holidays". Without --section it lists the file's sections and imports
// nothing; with sections it imports them and prints how many holidays were saved, and how many
// were skipped for their dates. A file that is no text is refused (1), as is an import of
// which anything was not saved.
int importHolidays(const QStringList& args, QTextStream& out, QTextStream& err,
                   const QString& programDirectory);

// args after "test-folder". Prints "fast SECONDS" (0), "slow SECONDS" (3) or "error: REASON" (1).
int testFolder(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace ToolsCommand
