#include "app/cli/ExchangeCommand.h"

#include "app/cli/AgendaCommand.h"
#include "exchange/IcsExport.h"
#include "exchange/IcsImport.h"
#include "exchange/ImportRecord.h"
#include "settings/Settings.h"
#include "store/ApiLoginName.h"
#include "store/DataAccess.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <optional>
#include <variant>

namespace ExchangeCommand {

namespace {

// A text that counts n things, with its English singular from translations/cli_en.ts.
QString counted(const char* text, int n)
{
    return QCoreApplication::translate("ExchangeCommand", text, nullptr, n);
}

// The years an appointment file holds.
const QDate kFirstDay(1900, 1, 1);
const QDate kLastDay(2200, 12, 31);

using Options::Problem;

} // namespace

int exportIcs(const QStringList& args, QTextStream& out, QTextStream& err,
              const QString& programDirectory)
{
    const auto parsed = Options::parse(args, {{QStringLiteral("--folder"), Options::Text}});
    if (const auto* problem = std::get_if<Problem>(&parsed))
        return AgendaCommand::usageError(*problem, err);
    const Options::Parsed& request = std::get<Options::Parsed>(parsed);
    if (request.arguments.size() != 2)
        return AgendaCommand::usageError(
            QStringLiteral("export-ics takes FROM and TO as YYYY-MM-DD."), err);
    QList<QDate> dates;
    for (const QString& text : request.arguments) {
        const auto date = Options::date(text);
        if (const auto* problem = std::get_if<Problem>(&date))
            return AgendaCommand::usageError(*problem, err);
        const QDate day = std::get<QDate>(date);
        if (day < kFirstDay || day > kLastDay)
            return AgendaCommand::usageError(
                QStringLiteral("Not a date from 1900 to 2200: %1").arg(text), err);
        dates << day;
    }
    if (dates[0] > dates[1])
        return AgendaCommand::usageError(QStringLiteral("FROM lies after TO."), err);

    AgendaCommand::FolderSetup setup(request.value(QStringLiteral("--folder")), programDirectory,
                                     err);
    const QString& folder = setup.folder;
    if (folder.isEmpty())
        return AgendaCommand::FolderError;
    DataAccess store(setup.profiles, StoreSource::fixed(folder, 60, GetLoginName()));
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
    const auto parsed = Options::parse(args, {{QStringLiteral("--folder"), Options::Text},
                                              AgendaCommand::colorOption(),
                                              {QStringLiteral("--allow-large")}});
    if (const auto* problem = std::get_if<Problem>(&parsed))
        return AgendaCommand::usageError(*problem, err);
    const Options::Parsed& request = std::get<Options::Parsed>(parsed);
    if (request.arguments.size() != 1 || request.arguments[0].isEmpty())
        return AgendaCommand::usageError(QStringLiteral("import-ics takes one iCalendar file."),
                                         err);
    const QString file = QDir::toNativeSeparators(request.arguments[0]);

    QString reason;
    const std::optional<QByteArray> bytes =
        ReadIcsFile(ThreadFileAccess(), request.arguments[0], &reason);
    if (!bytes)
        return AgendaCommand::failure(QStringLiteral("cannot read %1: %2").arg(file, reason), err);

    AgendaCommand::FolderSetup setup(request.value(QStringLiteral("--folder")), programDirectory,
                                     err);
    const QString& folder = setup.folder;
    if (folder.isEmpty())
        return AgendaCommand::FolderError;
    DataAccess store(setup.profiles, StoreSource::fixed(folder));
    IcsImportOptions options;
    options.allowLarge = request.has(QStringLiteral("--allow-large"));
    options.recordSource = QFileInfo(request.arguments[0]).absoluteFilePath();
    const IcsImportResult result = ImportIcs(
        *bytes, store, folder, request.number(QStringLiteral("--color")).value_or(1), {}, options);
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
        return AgendaCommand::failure(
            counted("%1 of %n appointments not saved: %2", result.appointments)
                .arg(result.failed)
                .arg(IcsNotSavedReason(result.firstFailure)),
            err);
    return AgendaCommand::Ok;
}

int undoImport(const QStringList& args, QTextStream& out, QTextStream& err)
{
    // The record names its folder: undo-import takes no --folder.
    const auto parsed = Options::parse(args, {});
    if (const auto* problem = std::get_if<Problem>(&parsed))
        return AgendaCommand::usageError(*problem, err);
    const QStringList& records = std::get<Options::Parsed>(parsed).arguments;
    if (records.size() != 1 || records[0].isEmpty())
        return AgendaCommand::usageError(QStringLiteral("undo-import takes one import record."),
                                         err);
    const QString record = records[0];
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
            counted("%n appointments could not be removed; run it again.", outcome.failed), err);
    return AgendaCommand::Ok;
}

} // namespace ExchangeCommand
