#pragma once

#include "app/cli/Options.h"
#include "profile/FileAccess.h"
#include "profile/ProfileCache.h"
#include "settings/Settings.h"
#include "store/ClassTermin.h"
#include "store/DataAccess.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

// norvane-cli: the agenda of a data folder as JSON Lines. It only reads, never writes.
namespace AgendaCommand {

enum ExitCode { Ok = 0, FolderError = 1, UsageError = 2 };

QString usage();
// Tells problem on err in one line, and where the usage is: the exit code of bad arguments.
int usageError(const QString& problem, QTextStream& err);
// Tells problem on err: the exit code of an unusable file, folder or server.
int failure(const QString& problem, QTextStream& err);

// A JSON string of text.
QString jsonString(const QString& text);
// path inside dataFolder as the commands print it: relative, '/' between the names.
QString relativePath(const QString& dataFolder, const QString& path);
// The JSON object of appointment a on day, as day and range print it (one line, no line end);
// its path relative to dataFolder. With a folder named, it carries it (several folders read).
QString jsonLine(const QDate& day, const QString& dataFolder, const ClassTermin& a,
                 const QString& folderAsGiven = {});

// Why a file was not saved, in a few words for the one line of a failure.
QString notSavedReason(const WriteOutcome& failure);

// --color N of the imports: a colour code 1 to 14.
Options::Option colorOption();
// Loads the pointer file and the settings; a problem with them is told on err.
void loadSettings(Settings& settings, QTextStream& err);
// The data folder to read: the one given, else the active folder of the loaded settings.
// Empty, with the reason told on err, when it is no directory.
QString dataFolder(const QString& given, const Settings& settings, QTextStream& err);

// What a command that works on a data folder starts with: the settings of programDirectory and
// the folder given, else the settings' active one. The settings are loaded when no folder is
// given, or always when the command lays out by them; folder is empty, with the reason told
// on err, when it is no directory.
struct FolderSetup {
    enum class Load { WhenNoFolderGiven, Always };
    FolderSetup(const QString& given, const QString& programDirectory, QTextStream& err,
                Load load = Load::WhenNoFolderGiven);

    ProfileCache profiles;
    Settings settings;
    QString folder;
};

// The data folders of --folder given any number of times (all of them must be directories),
// else the settings' active one: each with the name it was given. The settings are loaded as
// for FolderSetup.
struct FoldersSetup {
    FoldersSetup(const QStringList& given, const QString& programDirectory, QTextStream& err,
                 FolderSetup::Load load = FolderSetup::Load::WhenNoFolderGiven);

    struct Folder {
        QString path;    // read; ends in a separator
        QString asGiven; // printed when more than one is read
    };
    ProfileCache profiles;
    Settings settings;
    QList<Folder> folders; // empty, with the reason told on err, when one is no directory
    // The name printed with each line: none for a single folder, as before.
    QString printed(const Folder& folder) const
    {
        return folders.size() > 1 ? folder.asGiven : QString();
    }
};

// Why folder, a directory, cannot be read: for the one line of a failure.
QString unlistable(const QString& folder);
// Tells on err the files store passed over since it was last asked: names that are no valid
// text, files that cannot be read.
void tellSkippedFiles(DataAccess& store, QTextStream& err);

// args without the program name. programDirectory holds the settings used when no --folder
// is given.
int run(const QStringList& args, QTextStream& out, QTextStream& err,
        const QString& programDirectory);

} // namespace AgendaCommand
