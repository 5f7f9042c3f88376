#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

// norvane-cli free: the first times at which the people and rooms given are all free, read
// from the data folders as the views read them, found by the window's rule (FreeSlots). It
// only reads.
namespace FreeCommand {

// args after "free": --person LOGIN... --room NAME... --from DATE --to DATE --length MINUTES
// [--hours HH:MM-HH:MM] [--folder DIR]... [--all]. Prints one JSON line per slot, at most 20
// unless --all; programDirectory holds the settings (the weekdays shown, the active folder).
int run(const QStringList& args, QTextStream& out, QTextStream& err,
        const QString& programDirectory);

} // namespace FreeCommand
