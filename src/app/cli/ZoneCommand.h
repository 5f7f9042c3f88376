#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

// norvane-cli rezone: the appointments of a zone of their own whose files hold the team's
// times of older zone rules, filed again with the times today's rules give, all at once rather
// than one by one as they are saved.
namespace ZoneCommand {

// args after "rezone": [--zone ZONE] [--folder DIR]. Prints how many were filed again (0); a
// file that could not be saved is told (1), as is an unusable folder.
int rezone(const QStringList& args, QTextStream& out, QTextStream& err,
           const QString& programDirectory);

} // namespace ZoneCommand
