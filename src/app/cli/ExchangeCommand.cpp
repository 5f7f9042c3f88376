#include "app/cli/ExchangeCommand.h"

#include "app/cli/AgendaCommand.h"
#include "exchange/IcsExport.h"
#include "exchange/IcsImport.h"
#include "exchange/ImportRecord.h"
#include "settings/Settings.h"
#include "store/DataAccess.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <optional>
#include <variant>

namespace ExchangeCommand {

namespace {

// The years an appointment file holds.
const QDate kFirstDay(1900, 1, 1);
const QDate kLastDay(2200, 12, 31);

struct Request {
    QStringList positional;
    QString folder;
    int color = 1;
    bool allowLarge = false;
};

using Problem = QString;

// Options "--folder DIR" and, for an import, "--color N" and "--allow-large", the ones with a
// value also written "--name=VALUE".
std::variant<Request, Problem> parse(const QStringList& args, bool importing)
{
    Request request;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        const QString name = arg.section(u'=', 0, 0);
        if (importing && arg == QLatin1String("--allow-large")) {
            request.allowLarge = true;
        } else if (name == QLatin1String("--folder") ||
                   (importing && name == QLatin1String("--color"))) {
            const std::optional<QString> value = AgendaCommand::optionValue(args, i, name);
            if (!value)
                return Problem(QStringLiteral("%1 needs a value.").arg(name));
            if (name == QLatin1String("--folder")) {
                request.folder = *value;
                continue;
            }
            Problem problem;
            const std::optional<int> color = AgendaCommand::parseColor(*value, problem);
            if (!color)
                return problem;
            request.color = *color;
        } else if (arg.startsWith(u'-') && arg.size() > 1) {
            return Problem(QStringLiteral("Unknown option: %1").arg(arg));
        } else {
            request.positional << arg;
        }
    }
    return request;
}

// The data folder the request names, else the settings' active one; empty when it is none.
QString folderOf(const Request& request, Settings& settings, QTextStream& err)
{
    if (request.folder.isEmpty())
        AgendaCommand::loadSettings(settings, err);
    return AgendaCommand::dataFolder(request.folder, settings, err);
}

} // namespace

int exportIcs(const QStringList& args, QTextStream& out, QTextStream& err,
              const QString& programDirectory)
{
    const auto parsed = parse(args, false);
    if (const auto* problem = std::get_if<Problem>(&parsed))
        return AgendaCommand::usageError(*problem, err);
    const Request& request = std::get<Request>(parsed);
    if (request.positional.size() != 2)
        return AgendaCommand::usageError(
            QStringLiteral("export-ics takes FROM and TO as YYYY-MM-DD."), err);
    QList<QDate> dates;
    for (const QString& text : request.positional) {
        const std::optional<QDate> date = AgendaCommand::parseDate(text);
        if (!date)
            return AgendaCommand::usageError(
                QStringLiteral("Not a date (YYYY-MM-DD): %1").arg(text), err);
        if (*date < kFirstDay || *date > kLastDay)
            return AgendaCommand::usageError(
                QStringLiteral("Not a date from 1900 to 2200: %1").arg(text), err);
        dates << *date;
    }
    if (dates[0] > dates[1])
        return AgendaCommand::usageError(QStringLiteral("FROM lies after TO."), err);

    ProfileCache profiles(ThreadFileAccess());
    Settings settings(profiles, programDirectory);
    const QString folder = folderOf(request, settings, err);
    if (folder.isEmpty())
        return AgendaCommand::FolderError;
    DataAccess store(profiles, StoreSource::fixed(folder));
    const QByteArray ics = ExportIcs(store, dates[0], dates[1], folder);
    // Converted a slice at a time, each cut after a line end (never inside a character): the
    // whole calendar as one text would take twice its size again.
    constexpr qsizetype kSlice = 1 << 20;
    for (qsizetype at = 0; at < ics.size();) {
        const qsizetype lineEnd = ics.indexOf('\n', std::min(at + kSlice, ics.size()) - 1);
        const qsizetype next = lineEnd < 0 ? ics.size() : lineEnd + 1;
        out << QString::fromUtf8(ics.constData() + at, next - at);
        at = next;
    }
    out.flush();
    return AgendaCommand::Ok;
}

int importIcs(const QStringList& args, QTextStream& out, QTextStream& err,
              const QString& programDirectory)
{
    const auto parsed = parse(args, true);
    if (const auto* problem = std::get_if<Problem>(&parsed))
        return AgendaCommand::usageError(*problem, err);
    const Request& request = std::get<Request>(parsed);
    if (request.positional.size() != 1 || request.positional[0].isEmpty())
        return AgendaCommand::usageError(QStringLiteral("import-ics takes one iCalendar file."),
                                         err);
    const QString file = QDir::toNativeSeparators(request.positional[0]);

    QString reason;
    const std::optional<QByteArray> bytes =
        ReadIcsFile(ThreadFileAccess(), request.positional[0], &reason);
    if (!bytes)
        return AgendaCommand::failure(QStringLiteral("cannot read %1: %2").arg(file, reason), err);

    ProfileCache profiles(ThreadFileAccess());
    Settings settings(profiles, programDirectory);
    const QString folder = folderOf(request, settings, err);
    if (folder.isEmpty())
        return AgendaCommand::FolderError;
    DataAccess store(profiles, StoreSource::fixed(folder));
    IcsImportOptions options;
    options.allowLarge = request.allowLarge;
    options.recordSource = QFileInfo(request.positional[0]).absoluteFilePath();
    const IcsImportResult result = ImportIcs(*bytes, store, folder, request.color, {}, options);
    if (!result.ok)
        return AgendaCommand::failure(
            QStringLiteral("%1: %2 Nothing was imported.").arg(file, result.error), err);
    if (result.tooLarge)
        return AgendaCommand::failure(
            QStringLiteral("%1 makes %2 appointments, more than %3 at once; nothing "
                           "was imported. Add --allow-large to import them.")
                .arg(file)
                .arg(result.appointments)
                .arg(kLargeImport),
            err);
    out << IcsImportSummary(result) << '\n';
    // Where a run killed half-way leaves it too.
    if (!result.record.isEmpty())
        out << "Import record: " << QDir::toNativeSeparators(result.record)
            << " (norvane-cli undo-import RECORD takes the import back)\n";
    out.flush();
    if (result.failed > 0)
        return AgendaCommand::failure(QStringLiteral("%1 of %2 appointments not saved: %3")
                                          .arg(result.failed)
                                          .arg(result.appointments)
                                          .arg(IcsNotSavedReason(result.firstFailure)),
                                      err);
    return AgendaCommand::Ok;
}

int undoImport(const QStringList& args, QTextStream& out, QTextStream& err)
{
    const auto parsed = parse(args, false);
    if (const auto* problem = std::get_if<Problem>(&parsed))
        return AgendaCommand::usageError(*problem, err);
    const Request& request = std::get<Request>(parsed);
    if (request.positional.size() != 1 || request.positional[0].isEmpty() ||
        !request.folder.isEmpty())
        return AgendaCommand::usageError(QStringLiteral("undo-import takes one import record."),
                                         err);
    const QString record = request.positional[0];
    const UndoOutcome outcome = UndoImport(record, ThreadFileAccess());
    if (!outcome.record.ok)
        return AgendaCommand::failure(
            QStringLiteral("cannot read %1: %2")
                .arg(QDir::toNativeSeparators(record), outcome.record.error),
            err);
    out << UndoSummary(outcome) << '\n';
    out.flush();
    if (outcome.failed > 0)
        return AgendaCommand::failure(
            QStringLiteral("%1 appointments could not be removed; run it again.")
                .arg(outcome.failed),
            err);
    return AgendaCommand::Ok;
}

} // namespace ExchangeCommand
