#include "app/cli/SyncCommand.h"

#include "app/cli/AgendaCommand.h"
#include "settings/Settings.h"
#include "sync/PasswordStore.h"
#include "sync/Sync.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimeZone>

#include <optional>
#include <variant>

namespace SyncCommand {

// How far a sync looks back or ahead at most: a hundred years.
constexpr int kMaxDays = 100 * 366;
// The longest a sync may be given: a day.
constexpr int kMaxSeconds = 24 * 3600;

namespace {

// The account the command names, else the settings': URL, user and password; nullopt after
// telling why, *exit the code.
std::optional<SyncAccount> accountOf(const Options::Parsed& request, const SyncSettings& saved,
                                     const Settings& settings, QTextStream& err, int* exit)
{
    const QString url = request.value(QStringLiteral("--url"));
    const QString user = request.value(QStringLiteral("--user"));
    const QString passwordFile = request.value(QStringLiteral("--password-file"));
    SyncAccount account{
        url.isEmpty() ? saved.url : url, user.isEmpty() && url.isEmpty() ? saved.user : user, {}};
    if (account.url.isEmpty()) {
        *exit = AgendaCommand::usageError(
            QStringLiteral("No server: give --url, or set up the account in the "
                           "settings."),
            err);
        return std::nullopt;
    }
    if (!passwordFile.isEmpty()) {
        QFile file(passwordFile);
        if (!file.open(QIODevice::ReadOnly)) {
            *exit = AgendaCommand::failure(
                QStringLiteral("cannot read %1: %2").arg(passwordFile, file.errorString()), err);
            return std::nullopt;
        }
        account.password = QString::fromUtf8(file.readLine()).trimmed();
    } else {
        account.password = qEnvironmentVariable("NORVANE_SYNC_PASSWORD");
        // Else what the desktop program's settings window stored for the account.
        if (account.password.isEmpty())
            account.password =
                PasswordStore(settings.programDirectory()).lookup(account.url, account.user);
    }
    return account;
}

// Tells how one sync ended; its exit code.
int told(const SyncResult& result, const QString& label, QTextStream& out, QTextStream& err)
{
    const QString prefix = label.isEmpty() ? QString() : label + QStringLiteral(": ");
    if (result.exit == SyncResult::Exit::Done) {
        out << prefix << result.summary() << '\n';
        out.flush();
        return AgendaCommand::Ok;
    }
    err << "norvane-cli: " << prefix << result.error;
    if (result.exit == SyncResult::Exit::MassDelete)
        err << " Check the server, or allow it once with --allow-mass-delete, or bring them "
               "back once with --restore-deleted.";
    err << '\n';
    for (const QString& candidate : result.candidates)
        err << "  " << candidate << '\n';
    err.flush();
    return result.exit == SyncResult::Exit::MassDelete ? kMassDelete : AgendaCommand::FolderError;
}

const QList<Options::Option> kAccountOptions = {{QStringLiteral("--url"), Options::Text},
                                                {QStringLiteral("--user"), Options::Text},
                                                {QStringLiteral("--password-file"), Options::Text}};

} // namespace

int run(const QStringList& args, QTextStream& out, QTextStream& err,
        const QString& programDirectory)
{
    const auto parsed = Options::parse(
        args,
        kAccountOptions +
            QList<Options::Option>{
                {QStringLiteral("--folder"), Options::Text},
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
    const QString zone = request.value(QStringLiteral("--zone"));
    if (request.has(QStringLiteral("--zone")) && !QTimeZone(zone.toUtf8()).isValid())
        return AgendaCommand::usageError(QStringLiteral("unknown time zone: %1").arg(zone), err);

    ProfileCache profiles(ThreadFileAccess());
    Settings settings(profiles, programDirectory);
    const bool folderGiven = request.has(QStringLiteral("--folder"));
    if (!folderGiven || url.isEmpty())
        AgendaCommand::loadSettings(settings, err);
    const SyncSettings saved = readSyncSettings(profiles, settings.Path());
    int exit = AgendaCommand::Ok;
    const std::optional<SyncAccount> account = accountOf(request, saved, settings, err, &exit);
    if (!account)
        return exit;

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

    // A calendar or folder named here is synced alone; else every pair of the settings, one
    // after another, each in its own folder with its own record and lock.
    QList<SyncPair> pairs = saved.pairs;
    if (!url.isEmpty() || folderGiven || pairs.isEmpty())
        pairs = {SyncPair{account->url, request.value(QStringLiteral("--folder")), false, {}}};
    for (const SyncPair& pair : std::as_const(pairs)) {
        const QString label = pairs.size() == 1     ? QString()
                              : pair.name.isEmpty() ? pair.url
                                                    : pair.name;
        const QString folder = AgendaCommand::dataFolder(pair.folder, settings, err);
        if (folder.isEmpty()) {
            exit = qMax(exit, int(AgendaCommand::FolderError));
            continue;
        }
        SyncOptions own = options;
        own.readOnly = pair.readOnly;
        const SyncResult result =
            runSync(folder, {pair.url, account->user, account->password}, own);
        exit = qMax(exit, told(result, label, out, err));
    }
    return exit;
}

int calendars(const QStringList& args, QTextStream& out, QTextStream& err,
              const QString& programDirectory)
{
    const auto parsed = Options::parse(args, kAccountOptions);
    if (const auto* problem = std::get_if<Options::Problem>(&parsed))
        return AgendaCommand::usageError(*problem, err);
    const Options::Parsed& request = std::get<Options::Parsed>(parsed);
    if (!request.arguments.isEmpty())
        return AgendaCommand::usageError(
            QStringLiteral("calendars takes options only: %1").arg(request.arguments[0]), err);
    ProfileCache profiles(ThreadFileAccess());
    Settings settings(profiles, programDirectory);
    if (request.value(QStringLiteral("--url")).isEmpty())
        AgendaCommand::loadSettings(settings, err);
    int exit = AgendaCommand::Ok;
    const std::optional<SyncAccount> account =
        accountOf(request, readSyncSettings(profiles, settings.Path()), settings, err, &exit);
    if (!account)
        return exit;
    const CalendarListing listing = listCalendars(*account);
    if (!listing.ok)
        return AgendaCommand::failure(listing.error, err);
    for (const ServerCalendar& calendar : listing.calendars) {
        const QJsonObject line{{QStringLiteral("url"), calendar.url},
                               {QStringLiteral("name"), calendar.name},
                               {QStringLiteral("color"), calendar.color},
                               {QStringLiteral("readOnly"), calendar.readOnly}};
        out << QJsonDocument(line).toJson(QJsonDocument::Compact) << '\n';
    }
    out.flush();
    return AgendaCommand::Ok;
}

} // namespace SyncCommand
