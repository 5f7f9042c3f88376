// norvane-cli-sync: norvane-cli sync, calendars, subscribe, refresh and unsubscribe, with the HTTP
// client and the secret store.
#include "app/cli/CliProgram.h"
#include "app/cli/SubscribeCommand.h"
#include "app/cli/SyncCommand.h"
#include "settings/Settings.h"

#include <QCoreApplication>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    return CliProgram::run([](const QStringList& args, QTextStream& out, QTextStream& err) {
        const QString command = args.value(0);
        const QString programDirectory = DefaultProgramDirectory();
        if (command == QLatin1String("sync"))
            return SyncCommand::run(args.mid(1), out, err, programDirectory);
        if (command == QLatin1String("calendars"))
            return SyncCommand::calendars(args.mid(1), out, err, programDirectory);
        if (command == QLatin1String("subscribe"))
            return SubscribeCommand::subscribe(args.mid(1), out, err, programDirectory);
        if (command == QLatin1String("refresh"))
            return SubscribeCommand::refresh(args.mid(1), out, err, programDirectory);
        if (command == QLatin1String("unsubscribe"))
            return SubscribeCommand::unsubscribe(args.mid(1), out, err, programDirectory);
        return CliProgram::notMine("norvane-cli-sync", err);
    });
}
