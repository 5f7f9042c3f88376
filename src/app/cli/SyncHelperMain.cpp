// norvane-cli-sync: norvane-cli sync, with the HTTP client and the secret store.
#include "app/cli/CliProgram.h"
#include "app/cli/SyncCommand.h"
#include "settings/Settings.h"

#include <QCoreApplication>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    return CliProgram::run([](const QStringList& args, QTextStream& out, QTextStream& err) {
        if (args.value(0) == QLatin1String("sync"))
            return SyncCommand::run(args.mid(1), out, err, DefaultProgramDirectory());
        return CliProgram::notMine("norvane-cli-sync", err);
    });
}
