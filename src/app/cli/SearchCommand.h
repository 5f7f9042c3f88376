#pragma once

#include "index/AppointmentIndex.h"
#include "layout/SearchLayout.h"
#include "profile/FileAccess.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <variant>

// norvane-cli search: the appointments whose text or owner holds every word, found by the
// local index's rule and listed as the window lists them. It answers from the user's index of
// the folder when that vouches for the folder as it is now (see FolderCrawl::vouchesForFolder),
// else from an index of its own beside it, brought up to the folder as the window's is, so
// all ways match alike. The user's index is opened for searching alone, never written: the
// window keeps it.
namespace SearchCommand {

// The command line's own indexes, inside the directory of the user's.
inline const QString kOwnIndex = QStringLiteral("/command-line");

// Crawls folder over files into the index in indexDirectory (a fresh one, for the folder's
// own answer) until the round is done, then searches it for words on the days from..to. The
// hits, or why the folder or the index could not be had.
std::variant<AppointmentIndex::Found, QString>
searchFolder(FileAccess& files, const QString& folder, const QString& indexDirectory,
             const QStringList& words, const QDate& from, const QDate& to);

// The lines of what was found as range prints them: each file read whole, as range reads it,
// on the day it is listed on. A file gone since the index saw it is left out; one that cannot
// be read is added to unreadable, with the reason. folderAsGiven, when named, goes with each.
QStringList linesOf(const QList<SearchLayout::Listed>& found, const QString& folder,
                    FileAccess& files, QStringList& unreadable, const QString& folderAsGiven = {});

// args after "search": WORDS... [--from DATE] [--to DATE] [--no-index] [--folder DIR]...
// [--person LOGIN]....
// Prints one JSON line per appointment, as range prints it, once the search has succeeded;
// programDirectory holds the settings used without --folder, indexDirectory the local indexes;
// the default dates count from today (invalid: the machine's today).
int run(const QStringList& args, QTextStream& out, QTextStream& err,
        const QString& programDirectory,
        const QString& indexDirectory = AppointmentIndex::defaultDirectory(), QDate today = {});

} // namespace SearchCommand
