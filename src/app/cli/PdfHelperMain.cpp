// norvane-cli-pdf: norvane-cli pdf, the one command that needs fonts and painting (Qt Gui).
#include "app/cli/CliProgram.h"
#include "app/cli/PdfCommand.h"
#include "settings/Settings.h"

#include <QGuiApplication>

#include <cstdio>

namespace {

// Qt's own notes ("XDG_RUNTIME_DIR not set") are noise in a script's error output; the
// command tells its problems itself.
void onlySeriousMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

int main(int argc, char* argv[])
{
    // It draws offscreen, so it runs without a display.
    qInstallMessageHandler(onlySeriousMessages);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    return CliProgram::run([](const QStringList& args, QTextStream& out, QTextStream& err) {
        if (args.value(0) == QLatin1String("pdf"))
            return PdfCommand::run(args.mid(1), out, err, DefaultProgramDirectory());
        return CliProgram::notMine("norvane-cli-pdf", err);
    });
}
