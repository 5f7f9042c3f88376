#include "app/cli/PdfCommand.h"

#include "app/cli/AgendaCommand.h"
#include "print/PrintJob.h"
#include "settings/Settings.h"
#include "store/DataAccess.h"

#include <QDir>

#include <optional>
#include <variant>

namespace PdfCommand {

namespace {

struct Request {
    PrintJob job;
    QString file;
    QString folder;
};

using Problem = QString;

std::optional<int> number(const QString& text, int lowest, int highest)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok && value >= lowest && value <= highest ? std::optional(value) : std::nullopt;
}

std::variant<Request, Problem> parse(const QStringList& args)
{
    Request request;
    QStringList positional;
    bool twoMonths = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == QLatin1String("--folder")) {
            if (i + 1 >= args.size())
                return Problem(QStringLiteral("--folder needs a directory."));
            request.folder = args[++i];
        } else if (arg.startsWith(QLatin1String("--folder="))) {
            request.folder = arg.mid(9);
        } else if (arg == QLatin1String("--two-months")) {
            twoMonths = true;
        } else if (arg.startsWith(QLatin1Char('-')) && arg.size() > 1) {
            return Problem(QStringLiteral("Unknown option: %1").arg(arg));
        } else {
            positional.append(arg);
        }
    }
    const QString kind = positional.value(0);
    if (kind == QLatin1String("day") || kind == QLatin1String("week")) {
        if (positional.size() != 3 || twoMonths)
            return Problem(
                QStringLiteral("pdf %1 takes a date (YYYY-MM-DD) and a file.").arg(kind));
        const std::optional<QDate> date = AgendaCommand::parseDate(positional[1]);
        if (!date)
            return Problem(QStringLiteral("Not a date (YYYY-MM-DD): %1").arg(positional[1]));
        request.job = kind == QLatin1String("day") ? PrintJob::day(*date) : PrintJob::week(*date);
    } else if (kind == QLatin1String("planner")) {
        if (positional.size() != 4)
            return Problem(QStringLiteral("pdf planner takes a year, a month and a file."));
        const std::optional<int> year = number(positional[1], 1900, 2200);
        if (!year)
            return Problem(QStringLiteral("Not a year from 1900 to 2200: %1").arg(positional[1]));
        const std::optional<int> month = number(positional[2], 1, 12);
        if (!month)
            return Problem(QStringLiteral("Not a month from 1 to 12: %1").arg(positional[2]));
        request.job = PrintJob::planner(*month, *year, twoMonths);
    } else {
        return Problem(kind.isEmpty() ? QStringLiteral("pdf needs day, week or planner.")
                                      : QStringLiteral("Unknown printout: %1").arg(kind));
    }
    request.file = positional.last();
    if (request.file.isEmpty())
        return Problem(QStringLiteral("No file given."));
    return request;
}

} // namespace

int run(const QStringList& args, QTextStream& out, QTextStream& err,
        const QString& programDirectory)
{
    const auto parsed = parse(args);
    if (const auto* problem = std::get_if<Problem>(&parsed)) {
        err << "norvane-cli: " << *problem << '\n' << AgendaCommand::usage();
        err.flush();
        return AgendaCommand::UsageError;
    }
    const Request& request = std::get<Request>(parsed);

    ProfileCache profiles(ThreadFileAccess());
    Settings settings(profiles, programDirectory); // the layout: grid hours, week, language
    AgendaCommand::loadSettings(settings, err);
    const QString folder = AgendaCommand::dataFolder(request.folder, settings, err);
    if (folder.isEmpty())
        return AgendaCommand::FolderError;
    settings.setActiveFolder(folder); // the week print names the folder it shows

    DataAccess store(profiles, StoreSource::fixed(folder, settings.MonthInterval()));
    const PdfOutcome outcome = ExportPdf(request.job, request.file, DaysOf(store), settings);
    if (!outcome.ok) {
        err << "norvane-cli: " << outcome.reason << '\n';
        err.flush();
        return AgendaCommand::FolderError;
    }
    out.flush();
    return AgendaCommand::Ok;
}

} // namespace PdfCommand
