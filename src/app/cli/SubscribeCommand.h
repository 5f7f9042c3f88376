#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

// norvane-cli subscribe, refresh and unsubscribe: calendars on the web that the data folder
// holds a copy of for every copy of the team.
namespace SubscribeCommand {

// args after "subscribe": URL --name NAME [--color N] [--folder DIR]. Brings the feed at once;
// a feed that cannot be had leaves no subscription behind.
int subscribe(const QStringList& args, QTextStream& out, QTextStream& err,
              const QString& programDirectory);
// args after "refresh": [NAME] [--folder DIR]: the one named, else every subscription.
int refresh(const QStringList& args, QTextStream& out, QTextStream& err,
            const QString& programDirectory);
// args after "unsubscribe": NAME [--folder DIR]: its appointments and the subscription go.
int unsubscribe(const QStringList& args, QTextStream& out, QTextStream& err,
                const QString& programDirectory);

} // namespace SubscribeCommand
