#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

// norvane-cli sync: the data folder and a calendar on a CalDAV server, both ways.
namespace SyncCommand {

// Stopped by the guard against deleting most appointments or events at once.
inline constexpr int kMassDelete = 3;

// args after "sync": [--folder DIR] [--url URL] [--user NAME] [--password-file FILE]
// [--past DAYS] [--future DAYS] [--zone ZONE] [--deadline SECONDS]
// [--allow-mass-delete | --restore-deleted].
// Without --url the account of the settings file. The password comes from the file, else from
// NORVANE_SYNC_PASSWORD. Without --url and --folder every calendar the settings pair with a
// data folder, in turn, a summary line each; the exit code the worst of them.
int run(const QStringList& args, QTextStream& out, QTextStream& err,
        const QString& programDirectory);

// args after "calendars": [--url URL] [--user NAME] [--password-file FILE]. The account's
// calendars, one JSON object a line: url, name, color and readOnly.
int calendars(const QStringList& args, QTextStream& out, QTextStream& err,
              const QString& programDirectory);

} // namespace SyncCommand
