#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

// norvane-cli offline: the laptop's copy of a data folder, for working while the share is gone.
namespace OfflineCommand {

// Stopped by the guard against deleting most files of one side at once.
inline constexpr int kMassDelete = 3;

// args after "offline": take|return|status [--folder DIR] [--days-back N] [--days-ahead N]
// [--allow-mass-delete]. take makes or refreshes the copy, return brings its changes back (both
// reconcile both ways), status prints one JSON line and never asks the share.
int run(const QStringList& args, QTextStream& out, QTextStream& err,
        const QString& programDirectory);

} // namespace OfflineCommand
