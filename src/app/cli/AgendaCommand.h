#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <optional>

class Settings;

// norvane-cli: the agenda of a data folder as JSON Lines. It only reads, never writes.
namespace AgendaCommand {

enum ExitCode { Ok = 0, FolderError = 1, UsageError = 2 };

QString usage();
// Tells problem and the usage on err: the exit code of bad arguments.
int usageError(const QString& problem, QTextStream& err);
// Tells problem on err: the exit code of an unusable file, folder or server.
int failure(const QString& problem, QTextStream& err);

// A date written YYYY-MM-DD that exists in the calendar.
std::optional<QDate> parseDate(const QString& text);
// The value of the option at args[i], written "--name VALUE" (i moves on) or "--name=VALUE";
// nothing when it is missing.
std::optional<QString> optionValue(const QStringList& args, qsizetype& i, const QString& name);
// A colour code 1 to 14, or the one-line problem with what was given.
std::optional<int> parseColor(const QString& text, QString& problem);
// Loads the pointer file and the settings; a problem with them is told on err.
void loadSettings(Settings& settings, QTextStream& err);
// The data folder to read: the one given, else the active folder of the loaded settings.
// Empty, with the reason told on err, when it is no directory.
QString dataFolder(const QString& given, const Settings& settings, QTextStream& err);

// args without the program name. programDirectory holds the settings used when no --folder
// is given.
int run(const QStringList& args, QTextStream& out, QTextStream& err,
        const QString& programDirectory);

} // namespace AgendaCommand
