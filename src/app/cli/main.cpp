#include "AgendaCommand.h"
#include "Settings.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Norvane"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    return AgendaCommand::run(app.arguments().mid(1), out, err, DefaultProgramDirectory());
}
