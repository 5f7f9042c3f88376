#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

#include <functional>

// What norvane-cli and each of its helper programs do around their commands, alike.
namespace CliProgram {

using Command = std::function<int(const QStringList& args, QTextStream& out, QTextStream& err)>;

// Runs command on the arguments after the program's name, on stdout and stderr, once the
// application exists and is set up: its name (where the settings live) and the English texts.
int run(const Command& command);

// What helper answers to a command it does not run: the exit code of bad arguments.
int notMine(const char* helper, QTextStream& err);

} // namespace CliProgram
