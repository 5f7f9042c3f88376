#include "app/cli/SubscribeCommand.h"

#include "app/cli/AgendaCommand.h"
#include "app/cli/Options.h"
#include "store/DataAccess.h"
#include "sync/Subscription.h"
#include "sync/SyncRecord.h"

#include <variant>

namespace SubscribeCommand {

namespace {

using Parsed = Options::Parsed;

std::variant<Parsed, int> parse(const QStringList& args, QList<Options::Option> options,
                                qsizetype arguments, QTextStream& err, const char* command)
{
    options.append({QStringLiteral("--folder"), Options::Text});
    const auto parsed = Options::parse(args, options);
    if (const auto* problem = std::get_if<Options::Problem>(&parsed))
        return AgendaCommand::usageError(*problem, err);
    const Parsed& request = std::get<Parsed>(parsed);
    if (request.arguments.size() > arguments)
        return AgendaCommand::usageError(QStringLiteral("%1 takes %2 argument(s): %3")
                                             .arg(QLatin1String(command))
                                             .arg(arguments)
                                             .arg(request.arguments.join(u' ')),
                                         err);
    return request;
}

// The folder of --folder, else the settings' active one; empty when there is none to use.
QString folderOf(const Parsed& request, const QString& programDirectory, QTextStream& err)
{
    AgendaCommand::FolderSetup setup(request.value(QStringLiteral("--folder")), programDirectory,
                                     err);
    return setup.folder;
}

int told(const Subscriptions::RefreshResult& result, QTextStream& out, QTextStream& err)
{
    using Exit = Subscriptions::RefreshResult::Exit;
    const bool ok = result.exit == Exit::Updated || result.exit == Exit::Unchanged;
    QTextStream& to = ok ? out : err;
    to << (ok ? "" : "norvane-cli: ") << result.message << '\n';
    to.flush();
    return ok ? AgendaCommand::Ok : AgendaCommand::FolderError;
}

} // namespace

int subscribe(const QStringList& args, QTextStream& out, QTextStream& err,
              const QString& programDirectory)
{
    const auto parsed =
        parse(args, {{QStringLiteral("--name"), Options::Text}, AgendaCommand::colorOption()}, 1,
              err, "subscribe");
    if (const int* code = std::get_if<int>(&parsed))
        return *code;
    const Parsed& request = std::get<Parsed>(parsed);
    QString why;
    Subscription s;
    s.url = Subscriptions::feedUrl(request.arguments.value(0), &why);
    s.name = request.value(QStringLiteral("--name")).simplified();
    s.id = Subscriptions::idOf(s.name);
    s.colorCode = request.number(QStringLiteral("--color")).value_or(1);
    if (request.arguments.isEmpty())
        return AgendaCommand::usageError(QStringLiteral("subscribe takes the feed's address"), err);
    if (s.url.isEmpty())
        return AgendaCommand::usageError(why, err);
    if (s.id.isEmpty())
        return AgendaCommand::usageError(
            QStringLiteral("--name takes a name with letters or digits"), err);
    const QString folder = folderOf(request, programDirectory, err);
    if (folder.isEmpty())
        return AgendaCommand::FolderError;
    if (Subscriptions::find(folder, ThreadFileAccess(), s.id))
        return AgendaCommand::failure(
            QStringLiteral("%1 already has a subscription named %2").arg(folder, s.name), err);
    return told(Subscriptions::refresh(folder, s), out, err);
}

int refresh(const QStringList& args, QTextStream& out, QTextStream& err,
            const QString& programDirectory)
{
    const auto parsed = parse(args, {}, 1, err, "refresh");
    if (const int* code = std::get_if<int>(&parsed))
        return *code;
    const Parsed& request = std::get<Parsed>(parsed);
    const QString folder = folderOf(request, programDirectory, err);
    if (folder.isEmpty())
        return AgendaCommand::FolderError;
    QList<Subscription> subscriptions;
    if (request.arguments.isEmpty()) {
        subscriptions = Subscriptions::list(folder, ThreadFileAccess());
    } else if (auto one = Subscriptions::find(folder, ThreadFileAccess(), request.arguments[0])) {
        subscriptions << *one;
    } else {
        return AgendaCommand::failure(
            QStringLiteral("%1 has no subscription named %2").arg(folder, request.arguments[0]),
            err);
    }
    int code = AgendaCommand::Ok;
    for (const Subscription& s : std::as_const(subscriptions))
        code = std::max(code, told(Subscriptions::refresh(folder, s), out, err));
    return code;
}

int unsubscribe(const QStringList& args, QTextStream& out, QTextStream& err,
                const QString& programDirectory)
{
    const auto parsed = parse(args, {}, 1, err, "unsubscribe");
    if (const int* code = std::get_if<int>(&parsed))
        return *code;
    const Parsed& request = std::get<Parsed>(parsed);
    if (request.arguments.isEmpty())
        return AgendaCommand::usageError(QStringLiteral("unsubscribe takes a name"), err);
    const QString folder = folderOf(request, programDirectory, err);
    if (folder.isEmpty())
        return AgendaCommand::FolderError;
    const Subscriptions::Removed removed =
        Subscriptions::remove(folder, request.arguments[0], ThreadFileAccess());
    if (!removed.error.isEmpty())
        return AgendaCommand::failure(removed.error, err);
    out << removed.message << '\n';
    out.flush();
    return AgendaCommand::Ok;
}

} // namespace SubscribeCommand
