// norvane-cli-exchange: norvane-cli export-ics, import-ics and undo-import, with libical.
#include "app/cli/CliProgram.h"
#include "app/cli/ExchangeCommand.h"
#include "settings/Settings.h"

#include <QCoreApplication>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    return CliProgram::run([](const QStringList& args, QTextStream& out, QTextStream& err) {
        const QString command = args.value(0);
        if (command == QLatin1String("export-ics"))
            return ExchangeCommand::exportIcs(args.mid(1), out, err, DefaultProgramDirectory());
        if (command == QLatin1String("import-ics"))
            return ExchangeCommand::importIcs(args.mid(1), out, err, DefaultProgramDirectory());
        if (command == QLatin1String("undo-import"))
            return ExchangeCommand::undoImport(args.mid(1), out, err);
        return CliProgram::notMine("norvane-cli-exchange", err);
    });
}
