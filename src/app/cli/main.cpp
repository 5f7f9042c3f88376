#include "app/cli/AgendaCommand.h"
#include "app/cli/CliProgram.h"
#include "app/cli/FreeCommand.h"
#include "app/cli/HelperProgram.h"
#include "app/cli/OfflineCommand.h"
#include "app/cli/SearchCommand.h"
#include "app/cli/ToolsCommand.h"
#include "app/cli/WriteCommand.h"
#include "app/cli/ZoneCommand.h"
#include "settings/Settings.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstring>

int main(int argc, char* argv[])
{
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("norvane-cli %s\n", NORVANE_VERSION);
        return 0;
    }
    // The commands that need more than Qt Core run in helper programs, so these start fast.
    if (const char* helper = argc > 1 ? HelperProgram::forCommand(argv[1]) : nullptr)
        return HelperProgram::runInstead(helper, argv);

    QCoreApplication app(argc, argv);
    return CliProgram::run([](const QStringList& args, QTextStream& out, QTextStream& err) {
        const QString command = args.value(0);
        if (command == QLatin1String("import-holidays"))
            return ToolsCommand::importHolidays(args.mid(1), out, err, DefaultProgramDirectory());
        if (command == QLatin1String("test-folder"))
            return ToolsCommand::testFolder(args.mid(1), out, err);
        if (command == QLatin1String("new"))
            return WriteCommand::create(args.mid(1), out, err, DefaultProgramDirectory());
        if (command == QLatin1String("edit"))
            return WriteCommand::edit(args.mid(1), out, err, DefaultProgramDirectory());
        if (command == QLatin1String("delete"))
            return WriteCommand::remove(args.mid(1), out, err, DefaultProgramDirectory());
        if (command == QLatin1String("extend"))
            return WriteCommand::extend(args.mid(1), out, err, DefaultProgramDirectory());
        if (command == QLatin1String("free"))
            return FreeCommand::run(args.mid(1), out, err, DefaultProgramDirectory());
        if (command == QLatin1String("rezone"))
            return ZoneCommand::rezone(args.mid(1), out, err, DefaultProgramDirectory());
        if (command == QLatin1String("offline"))
            return OfflineCommand::run(args.mid(1), out, err, DefaultProgramDirectory());
        if (command == QLatin1String("search"))
            return SearchCommand::run(args.mid(1), out, err, DefaultProgramDirectory());
        return AgendaCommand::run(args, out, err, DefaultProgramDirectory());
    });
}
