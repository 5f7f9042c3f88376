#include "app/cli/SyncCommand.h"

#include "app/cli/AgendaCommand.h"
#include "settings/Settings.h"
#include "sync/PasswordStore.h"
#include "sync/Sync.h"

#include <QFile>

#include <optional>
#include <variant>

namespace SyncCommand {

namespace {

constexpr int kMaxDays = 100 * 366;

struct Request {
    QString folder;
    QString url;
    QString user;
    QString passwordFile;
    std::optional<int> past;
    std::optional<int> future;
    bool allowMassDelete = false;
};

using Problem = QString;

std::variant<Request, Problem> parse(const QStringList& args)
{
    Request r;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        const QString name = arg.section(u'=', 0, 0);
        if (arg == QLatin1String("--allow-mass-delete")) {
            r.allowMassDelete = true;
            continue;
        }
        static const QStringList valued = {"--folder",        "--url",  "--user",
                                           "--password-file", "--past", "--future"};
        if (!valued.contains(name))
            return Problem(QStringLiteral("Unknown option: %1").arg(arg));
        const std::optional<QString> value = AgendaCommand::optionValue(args, i, name);
        if (!value || value->isEmpty())
            return Problem(QStringLiteral("%1 needs a value.").arg(name));
        if (name == QLatin1String("--past") || name == QLatin1String("--future")) {
            bool ok = false;
            const int days = value->toInt(&ok);
            if (!ok || days < 0 || days > kMaxDays)
                return Problem(QStringLiteral("%1 takes a number of days from 0 to %2.")
                                   .arg(name)
                                   .arg(kMaxDays));
            (name == QLatin1String("--past") ? r.past : r.future) = days;
        } else if (name == QLatin1String("--folder")) {
            r.folder = *value;
        } else if (name == QLatin1String("--url")) {
            r.url = *value;
        } else if (name == QLatin1String("--user")) {
            r.user = *value;
        } else {
            r.passwordFile = *value;
        }
    }
    return r;
}

} // namespace

int run(const QStringList& args, QTextStream& out, QTextStream& err,
        const QString& programDirectory)
{
    const auto parsed = parse(args);
    if (const auto* problem = std::get_if<Problem>(&parsed))
        return AgendaCommand::usageError(*problem, err);
    const Request& request = std::get<Request>(parsed);

    ProfileCache profiles(ThreadFileAccess());
    Settings settings(profiles, programDirectory);
    if (request.folder.isEmpty() || request.url.isEmpty())
        AgendaCommand::loadSettings(settings, err);
    const SyncSettings saved = readSyncSettings(profiles, settings.Path());
    SyncAccount account{request.url.isEmpty() ? saved.url : request.url,
                        request.user.isEmpty() && request.url.isEmpty() ? saved.user : request.user,
                        {}};
    if (account.url.isEmpty())
        return AgendaCommand::usageError(
            QStringLiteral("No server: give --url, or set up the account in the "
                           "settings."),
            err);
    if (!request.passwordFile.isEmpty()) {
        QFile file(request.passwordFile);
        if (!file.open(QIODevice::ReadOnly))
            return AgendaCommand::failure(
                QStringLiteral("cannot read %1: %2").arg(request.passwordFile, file.errorString()),
                err);
        account.password = QString::fromUtf8(file.readLine()).trimmed();
    } else {
        account.password = qEnvironmentVariable("NORVANE_SYNC_PASSWORD");
        // Else what the desktop program's settings window stored for the account.
        if (account.password.isEmpty())
            account.password =
                PasswordStore(settings.programDirectory()).lookup(account.url, account.user);
    }
    const QString folder = AgendaCommand::dataFolder(request.folder, settings, err);
    if (folder.isEmpty())
        return AgendaCommand::FolderError;

    SyncOptions options;
    options.pastDays = request.past.value_or(saved.pastDays);
    options.futureDays = request.future.value_or(saved.futureDays);
    options.allowMassDelete = request.allowMassDelete;
    options.langCode = settings.LangCode();
    const SyncResult result = runSync(folder, account, options);
    if (result.exit == SyncResult::Exit::Done) {
        out << result.summary() << '\n';
        out.flush();
        return AgendaCommand::Ok;
    }
    err << "norvane-cli: " << result.error << '\n';
    for (const QString& candidate : result.candidates)
        err << "  " << candidate << '\n';
    err.flush();
    return result.exit == SyncResult::Exit::MassDelete ? kMassDelete : AgendaCommand::FolderError;
}

} // namespace SyncCommand
