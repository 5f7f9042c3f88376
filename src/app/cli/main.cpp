#include "app/cli/AgendaCommand.h"
#include "app/cli/ExchangeCommand.h"
#include "app/cli/PdfCommand.h"
#include "app/cli/SearchCommand.h"
#include "app/cli/SyncCommand.h"
#include "app/cli/ToolsCommand.h"
#include "app/cli/WriteCommand.h"
#include "settings/Language.h"
#include "settings/Settings.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <cstdio>
#include <memory>

namespace {

// Qt's own notes ("XDG_RUNTIME_DIR not set") are noise in a script's error output; the
// commands tell their problems themselves.
void onlySeriousMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc == 2 && qstrcmp(argv[1], "--version") == 0) {
        std::printf("norvane-cli %s\n", NORVANE_VERSION);
        return 0;
    }
    // Only a printout needs fonts and painting; it draws offscreen, so it runs without a
    // display, and the other commands stay as light as a core application.
    const bool pdf = argc > 1 && qstrcmp(argv[1], "pdf") == 0;
    std::unique_ptr<QCoreApplication> app;
    if (pdf) {
        qInstallMessageHandler(onlySeriousMessages);
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(QStringLiteral("Norvane"));
    // The command line speaks English, its counts in the singular where they are one.
    Language::apply(QStringLiteral("en"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (pdf)
        return PdfCommand::run(args.mid(1), out, err, DefaultProgramDirectory());
    if (args.value(0) == QLatin1String("import-holidays"))
        return ToolsCommand::importHolidays(args.mid(1), out, err, DefaultProgramDirectory());
    if (args.value(0) == QLatin1String("test-folder"))
        return ToolsCommand::testFolder(args.mid(1), out, err);
    if (args.value(0) == QLatin1String("export-ics"))
        return ExchangeCommand::exportIcs(args.mid(1), out, err, DefaultProgramDirectory());
    if (args.value(0) == QLatin1String("import-ics"))
        return ExchangeCommand::importIcs(args.mid(1), out, err, DefaultProgramDirectory());
    if (args.value(0) == QLatin1String("sync"))
        return SyncCommand::run(args.mid(1), out, err, DefaultProgramDirectory());
    if (args.value(0) == QLatin1String("new"))
        return WriteCommand::create(args.mid(1), out, err, DefaultProgramDirectory());
    if (args.value(0) == QLatin1String("edit"))
        return WriteCommand::edit(args.mid(1), out, err, DefaultProgramDirectory());
    if (args.value(0) == QLatin1String("delete"))
        return WriteCommand::remove(args.mid(1), out, err, DefaultProgramDirectory());
    if (args.value(0) == QLatin1String("search"))
        return SearchCommand::run(args.mid(1), out, err, DefaultProgramDirectory());
    if (args.value(0) == QLatin1String("undo-import"))
        return ExchangeCommand::undoImport(args.mid(1), out, err);
    return AgendaCommand::run(args, out, err, DefaultProgramDirectory());
}
