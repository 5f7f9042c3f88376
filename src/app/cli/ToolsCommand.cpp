#include "app/cli/ToolsCommand.h"

#include "app/cli/AgendaCommand.h"
#include "settings/Settings.h"
#include "store/DataAccess.h"
#include "tools/FolderSpeedTest.h"
#include "tools/HolidayFile.h"

#include <QCoreApplication>
#include <QDir>

#include <optional>
#include <variant>

namespace ToolsCommand {

namespace {

// A text that counts n things, with its English singular from translations/cli_en.ts.
QString counted(const char* text, int n)
{
    return QCoreApplication::translate("ToolsCommand", text, nullptr, n);
}

struct ImportRequest {
    QString file;
    QStringList sections;
    int color = 1;
    QString folder;
};

using Options::Problem;

std::variant<ImportRequest, Problem> parseImport(const QStringList& args)
{
    const auto options = Options::parse(args, {{QStringLiteral("--section"), Options::Text},
                                               AgendaCommand::colorOption(),
                                               {QStringLiteral("--folder"), Options::Text}});
    if (const auto* problem = std::get_if<Problem>(&options))
        return *problem;
    const Options::Parsed& parsed = std::get<Options::Parsed>(options);
    if (parsed.arguments.size() != 1 || parsed.arguments[0].isEmpty())
        return Problem(QStringLiteral("import-holidays takes one holiday list file."));
    ImportRequest request;
    request.file = parsed.arguments[0];
    request.sections = parsed.given.value(QStringLiteral("--section"));
    request.sections.removeDuplicates();
    request.color = parsed.number(QStringLiteral("--color")).value_or(1);
    request.folder = parsed.value(QStringLiteral("--folder"));
    return request;
}

// Sections of one name are taken together; the user may not know a name repeats.
void noteRepeated(const QStringList& names, QTextStream& err)
{
    constexpr qsizetype kNamed = 20;
    if (names.isEmpty())
        return;
    QStringList quoted;
    for (qsizetype i = 0; i < names.size() && i < kNamed; ++i)
        quoted << QLatin1Char('"') + names[i] + QLatin1Char('"');
    err << "norvane-cli: sections of one name repeat, their holidays are imported together: "
        << quoted.join(QStringLiteral(", "));
    if (names.size() > kNamed)
        err << " and " << names.size() - kNamed << " more";
    err << '\n';
    err.flush();
}

} // namespace

int importHolidays(const QStringList& args, QTextStream& out, QTextStream& err,
                   const QString& programDirectory)
{
    const auto parsed = parseImport(args);
    if (const auto* problem = std::get_if<Problem>(&parsed))
        return AgendaCommand::usageError(*problem, err);
    const ImportRequest& request = std::get<ImportRequest>(parsed);

    HolidayFile::Problem problem;
    const std::optional<HolidayFile> file =
        HolidayFile::read(ThreadFileAccess(), request.file, &problem);
    if (!file) {
        err << "norvane-cli: cannot read " << QDir::toNativeSeparators(request.file) << ": "
            << problem.reason << '\n';
        err.flush();
        return AgendaCommand::FolderError;
    }
    if (request.sections.isEmpty()) {
        for (const QString& section : file->sections())
            out << section << '\n';
        out.flush();
        noteRepeated(file->repeated(), err);
        return AgendaCommand::Ok;
    }
    QStringList repeated;
    for (const QString& section : request.sections) {
        if (!file->hasSection(section))
            return AgendaCommand::usageError(
                QStringLiteral("No section \"%1\" in %2").arg(section, request.file), err);
        if (file->repeated().contains(section))
            repeated << section;
    }
    noteRepeated(repeated, err);

    AgendaCommand::FolderSetup setup(request.folder, programDirectory, err);
    const QString& folder = setup.folder;
    if (folder.isEmpty())
        return AgendaCommand::FolderError;

    DataAccess store(setup.profiles, StoreSource::fixed(folder));
    const HolidayImportResult result =
        ImportHolidays(*file, request.sections, request.color, store, folder);
    // What landed: a holiday not saved is not counted as imported.
    if (result.failed > 0)
        out << counted("%1 of %n holidays imported.", result.count).arg(result.saved()) << '\n';
    else
        out << counted("%n holidays imported.", result.count) << '\n';
    if (result.outOfRange > 0)
        out << counted("%n holidays skipped: dated before 1900 or after 2200, where no view shows "
                       "them.",
                       result.outOfRange)
            << '\n';
    out.flush();
    if (result.failed > 0) {
        err << "norvane-cli: "
            << counted("%1 of %n holidays not saved: %2", result.count)
                   .arg(result.failed)
                   .arg(AgendaCommand::notSavedReason(result.firstFailure))
            << '\n';
        err.flush();
        return AgendaCommand::FolderError;
    }
    return AgendaCommand::Ok;
}

int testFolder(const QStringList& args, QTextStream& out, QTextStream& err)
{
    const auto parsed = Options::parse(args, {});
    if (const auto* problem = std::get_if<Problem>(&parsed))
        return AgendaCommand::usageError(*problem, err);
    const QStringList& dirs = std::get<Options::Parsed>(parsed).arguments;
    if (dirs.size() != 1 || dirs[0].isEmpty())
        return AgendaCommand::usageError(QStringLiteral("test-folder takes one directory."), err);
    FolderSpeedTest test;
    const FolderSpeedTest::Result result = test.run(QDir::toNativeSeparators(dirs[0]));
    switch (result.verdict) {
    case FolderSpeedTest::Verdict::Fast:
        out << "fast " << QString::number(result.seconds, 'f', 2) << '\n';
        out.flush();
        return AgendaCommand::Ok;
    case FolderSpeedTest::Verdict::Slow:
        out << "slow " << QString::number(result.seconds, 'f', 2) << '\n';
        out.flush();
        return Slow;
    case FolderSpeedTest::Verdict::Error:
        break;
    }
    out << "error: " << result.error << '\n';
    out.flush();
    return AgendaCommand::FolderError;
}

} // namespace ToolsCommand
