#include "app/cli/OfflineCommand.h"

#include "app/cli/AgendaCommand.h"
#include "offline/FolderListing.h"
#include "offline/OfflineRecord.h"
#include "offline/Reconcile.h"
#include "store/ApiLoginName.h"

#include <QDir>
#include <QFileInfo>

#include <variant>

namespace OfflineCommand {

namespace {

constexpr int kMaxDays = 100 * 366;

// The folder as given, else the settings' active one: also when it cannot be reached now.
QString folderOf(const QString& given, const QString& programDirectory, QTextStream& err,
                 QString* langCode)
{
    ProfileCache profiles(ThreadFileAccess());
    Settings settings(profiles, programDirectory);
    if (given.isEmpty())
        AgendaCommand::loadSettings(settings, err);
    *langCode = settings.LangCode();
    return WithTrailingSeparator(given.isEmpty() ? settings.GetDataFolder()
                                                 : QFileInfo(given).absoluteFilePath());
}

// The copy's files that differ from the record: what a return would bring back.
int changedInCopy(FileAccess& files, const QString& copy, const OfflineRecord::Record& record)
{
    QString error;
    const auto listed = FolderListing::list(files, copy, std::nullopt, &error);
    if (!listed)
        return 0;
    int changed = 0;
    for (auto it = listed->cbegin(); it != listed->cend(); ++it) {
        const auto known = record.entries.constFind(it.key());
        changed += known == record.entries.cend() || known->size != it->size ||
                           known->copyModified != it->modified.toMSecsSinceEpoch()
                       ? 1
                       : 0;
    }
    for (auto it = record.entries.cbegin(); it != record.entries.cend(); ++it)
        changed += listed->contains(it.key()) ? 0 : 1;
    return changed;
}

int status(const QString& folder, const QString& copy, QTextStream& out, QTextStream& err)
{
    FileAccess& files = ThreadFileAccess();
    QString error;
    const bool taken = files.isListableDir(copy);
    const auto record =
        taken ? OfflineRecord::load(files, copy, &error) : std::optional(OfflineRecord::Record{});
    if (!record)
        return AgendaCommand::failure(error, err);
    out << "{\"folder\":" << AgendaCommand::jsonString(folder)
        << ",\"copy\":" << AgendaCommand::jsonString(copy)
        << ",\"taken\":" << (taken ? "true" : "false") << ",\"files\":" << record->entries.size()
        << ",\"changed\":" << (taken ? changedInCopy(files, copy, *record) : 0)
        << ",\"reconciled\":"
        << (record->reconciled.isValid()
                ? AgendaCommand::jsonString(record->reconciled.toString(Qt::ISODate))
                : QStringLiteral("null"))
        << "}\n";
    out.flush();
    return AgendaCommand::Ok;
}

} // namespace

int run(const QStringList& args, QTextStream& out, QTextStream& err,
        const QString& programDirectory)
{
    const auto parsed = Options::parse(
        args, {{QStringLiteral("--folder"), Options::Text},
               {QStringLiteral("--days-back"), 0, kMaxDays, QStringLiteral("number of days")},
               {QStringLiteral("--days-ahead"), 0, kMaxDays, QStringLiteral("number of days")},
               {QStringLiteral("--allow-mass-delete")}});
    if (const auto* problem = std::get_if<Options::Problem>(&parsed))
        return AgendaCommand::usageError(*problem, err);
    const Options::Parsed& request = std::get<Options::Parsed>(parsed);
    const QString verb = request.arguments.value(0);
    if (request.arguments.size() != 1 ||
        !QStringList{QStringLiteral("take"), QStringLiteral("return"), QStringLiteral("status")}
             .contains(verb))
        return AgendaCommand::usageError(
            QStringLiteral("offline takes one of take, return and status"), err);

    Offline::Options options;
    const QString folder = folderOf(request.value(QStringLiteral("--folder")), programDirectory,
                                    err, &options.langCode);
    const QString copy = Offline::copyFolderOf(programDirectory, folder);
    if (verb == QLatin1String("status"))
        return status(folder, copy, out, err);
    if (verb == QLatin1String("return") && !ThreadFileAccess().isListableDir(copy))
        return AgendaCommand::failure(
            QStringLiteral("%1 has no offline copy to return; take one first")
                .arg(QDir::toNativeSeparators(folder)),
            err);
    options.today = QDate::currentDate();
    options.daysBack = request.number(QStringLiteral("--days-back")).value_or(options.daysBack);
    options.daysAhead = request.number(QStringLiteral("--days-ahead")).value_or(options.daysAhead);
    options.who = GetLoginName();
    options.allowMassDelete = request.has(QStringLiteral("--allow-mass-delete"));
    const auto share = MakeFileAccess();
    const Offline::Result result =
        Offline::reconcile(*share, ThreadFileAccess(), folder, copy, options);
    if (result.status == Offline::Result::Status::Done) {
        out << QStringLiteral("To the share %1, to the copy %2, deleted on the share %3, in the "
                              "copy %4, conflicts kept as copies %5, left for later %6.\n")
                   .arg(result.toShare)
                   .arg(result.toCopy)
                   .arg(result.deletedOnShare)
                   .arg(result.deletedOnCopy)
                   .arg(result.conflicts)
                   .arg(result.left);
        out.flush();
        return AgendaCommand::Ok;
    }
    AgendaCommand::failure(result.error, err);
    if (result.status == Offline::Result::Status::TooManyDeletions) {
        err << "norvane-cli: check the share, or allow it once with --allow-mass-delete.\n";
        err.flush();
        return kMassDelete;
    }
    return AgendaCommand::FolderError;
}

} // namespace OfflineCommand
