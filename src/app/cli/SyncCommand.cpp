#include "app/cli/SyncCommand.h"

#include "app/cli/AgendaCommand.h"
#include "settings/Settings.h"
#include "sync/PasswordStore.h"
#include "sync/Sync.h"

#include <QFile>
#include <QTimeZone>

#include <optional>
#include <variant>

namespace SyncCommand {

// How far a sync looks back or ahead at most: a hundred years.
constexpr int kMaxDays = 100 * 366;
// The longest a sync may be given: a day.
constexpr int kMaxSeconds = 24 * 3600;

int run(const QStringList& args, QTextStream& out, QTextStream& err,
        const QString& programDirectory)
{
    const auto parsed = Options::parse(
        args, {{QStringLiteral("--folder"), Options::Text},
               {QStringLiteral("--url"), Options::Text},
               {QStringLiteral("--user"), Options::Text},
               {QStringLiteral("--password-file"), Options::Text},
               {QStringLiteral("--zone"), Options::Text},
               {QStringLiteral("--past"), 0, kMaxDays, QStringLiteral("number of days")},
               {QStringLiteral("--future"), 0, kMaxDays, QStringLiteral("number of days")},
               {QStringLiteral("--deadline"), 1, kMaxSeconds, QStringLiteral("number of seconds")},
               {QStringLiteral("--allow-mass-delete")},
               {QStringLiteral("--restore-deleted")}});
    if (const auto* problem = std::get_if<Options::Problem>(&parsed))
        return AgendaCommand::usageError(*problem, err);
    const Options::Parsed& request = std::get<Options::Parsed>(parsed);
    if (!request.arguments.isEmpty())
        return AgendaCommand::usageError(
            QStringLiteral("sync takes options only: %1").arg(request.arguments[0]), err);
    if (request.has(QStringLiteral("--allow-mass-delete")) &&
        request.has(QStringLiteral("--restore-deleted")))
        return AgendaCommand::usageError(
            QStringLiteral("--allow-mass-delete and --restore-deleted exclude each other"), err);
    const QString url = request.value(QStringLiteral("--url"));
    const QString user = request.value(QStringLiteral("--user"));
    const QString passwordFile = request.value(QStringLiteral("--password-file"));
    const QString zone = request.value(QStringLiteral("--zone"));
    if (request.has(QStringLiteral("--zone")) && !QTimeZone(zone.toUtf8()).isValid())
        return AgendaCommand::usageError(QStringLiteral("unknown time zone: %1").arg(zone), err);

    ProfileCache profiles(ThreadFileAccess());
    Settings settings(profiles, programDirectory);
    if (!request.has(QStringLiteral("--folder")) || url.isEmpty())
        AgendaCommand::loadSettings(settings, err);
    const SyncSettings saved = readSyncSettings(profiles, settings.Path());
    SyncAccount account{
        url.isEmpty() ? saved.url : url, user.isEmpty() && url.isEmpty() ? saved.user : user, {}};
    if (account.url.isEmpty())
        return AgendaCommand::usageError(
            QStringLiteral("No server: give --url, or set up the account in the "
                           "settings."),
            err);
    if (!passwordFile.isEmpty()) {
        QFile file(passwordFile);
        if (!file.open(QIODevice::ReadOnly))
            return AgendaCommand::failure(
                QStringLiteral("cannot read %1: %2").arg(passwordFile, file.errorString()), err);
        account.password = QString::fromUtf8(file.readLine()).trimmed();
    } else {
        account.password = qEnvironmentVariable("NORVANE_SYNC_PASSWORD");
        // Else what the desktop program's settings window stored for the account.
        if (account.password.isEmpty())
            account.password =
                PasswordStore(settings.programDirectory()).lookup(account.url, account.user);
    }
    const QString folder =
        AgendaCommand::dataFolder(request.value(QStringLiteral("--folder")), settings, err);
    if (folder.isEmpty())
        return AgendaCommand::FolderError;

    SyncOptions options;
    options.pastDays = request.number(QStringLiteral("--past")).value_or(saved.pastDays);
    options.futureDays = request.number(QStringLiteral("--future")).value_or(saved.futureDays);
    if (const auto seconds = request.number(QStringLiteral("--deadline")))
        options.syncDeadline = std::chrono::seconds(*seconds);
    options.allowMassDelete = request.has(QStringLiteral("--allow-mass-delete"));
    options.restoreDeleted = request.has(QStringLiteral("--restore-deleted"));
    options.langCode = settings.LangCode();
    // The account's zone goes with its server: another server named here has none.
    options.timeZoneId = request.has(QStringLiteral("--zone")) ? zone
                         : url.isEmpty()                       ? saved.timeZone
                                                               : QString();
    const SyncResult result = runSync(folder, account, options);
    if (result.exit == SyncResult::Exit::Done) {
        out << result.summary() << '\n';
        out.flush();
        return AgendaCommand::Ok;
    }
    err << "norvane-cli: " << result.error;
    if (result.exit == SyncResult::Exit::MassDelete)
        err << " Check the server, or allow it once with --allow-mass-delete, or bring them "
               "back once with --restore-deleted.";
    err << '\n';
    for (const QString& candidate : result.candidates)
        err << "  " << candidate << '\n';
    err.flush();
    return result.exit == SyncResult::Exit::MassDelete ? kMassDelete : AgendaCommand::FolderError;
}

} // namespace SyncCommand
