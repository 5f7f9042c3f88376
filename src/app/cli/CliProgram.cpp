#include "app/cli/CliProgram.h"

#include "app/cli/AgendaCommand.h"
#include "settings/Language.h"

#include <QCoreApplication>

namespace CliProgram {

int run(const Command& command)
{
    QCoreApplication::setApplicationName(QStringLiteral("Norvane"));
    // The command line speaks English, its counts in the singular where they are one.
    Language::apply(QStringLiteral("en"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    return command(QCoreApplication::arguments().mid(1), out, err);
}

int notMine(const char* helper, QTextStream& err)
{
    return AgendaCommand::usageError(
        QStringLiteral("%1 runs only the commands norvane-cli gives it.")
            .arg(QLatin1String(helper)),
        err);
}

} // namespace CliProgram
