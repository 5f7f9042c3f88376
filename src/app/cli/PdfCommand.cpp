#include "app/cli/PdfCommand.h"

#include "app/cli/AgendaCommand.h"
#include "print/PrintJob.h"
#include "settings/Settings.h"
#include "store/ApiLoginName.h"
#include "store/DataAccess.h"

#include <QDir>

#include <variant>

namespace PdfCommand {

namespace {

struct Request {
    PrintJob job;
    QString file;
    QString folder;
};

using Options::Problem;

std::variant<Request, Problem> parse(const QStringList& args)
{
    const auto options = Options::parse(args, {{QStringLiteral("--folder"), Options::Text},
                                               {QStringLiteral("--two-months"), Options::Flag},
                                               {QStringLiteral("--person"), Options::Text}});
    if (const auto* problem = std::get_if<Problem>(&options))
        return *problem;
    const Options::Parsed& parsed = std::get<Options::Parsed>(options);
    Request request;
    request.folder = parsed.value(QStringLiteral("--folder"));
    const QStringList& positional = parsed.arguments;
    const bool twoMonths = parsed.has(QStringLiteral("--two-months"));
    // Each --person adds one to the people shown.
    const QStringList persons = parsed.given.value(QStringLiteral("--person"));
    const QString kind = positional.value(0);
    const QStringList ofADate = {QStringLiteral("day"), QStringLiteral("week"),
                                 QStringLiteral("day-by-person"), QStringLiteral("week-by-person")};
    if (!persons.isEmpty() && ofADate.indexOf(kind) < 2)
        return Problem(QStringLiteral("--person is for day-by-person and week-by-person."));
    if (ofADate.contains(kind)) {
        if (positional.size() != 3 || twoMonths)
            return Problem(
                QStringLiteral("pdf %1 takes a date (YYYY-MM-DD) and a file.").arg(kind));
        const auto date = Options::date(positional[1]);
        if (const auto* problem = std::get_if<Problem>(&date))
            return *problem;
        const QDate day = std::get<QDate>(date);
        const PrintJob jobs[] = {PrintJob::day(day), PrintJob::week(day),
                                 PrintJob::dayByPerson(day, persons),
                                 PrintJob::weekByPerson(day, persons)};
        request.job = jobs[ofADate.indexOf(kind)];
    } else if (kind == QLatin1String("planner") || kind == QLatin1String("month")) {
        const bool sheet = kind == QLatin1String("month");
        if (positional.size() != 4 || (sheet && twoMonths))
            return Problem(QStringLiteral("pdf %1 takes a year, a month and a file.").arg(kind));
        const auto year = Options::number(positional[1], 1900, 2200, QStringLiteral("year"));
        if (const auto* problem = std::get_if<Problem>(&year))
            return *problem;
        const auto month = Options::number(positional[2], 1, 12, QStringLiteral("month"));
        if (const auto* problem = std::get_if<Problem>(&month))
            return *problem;
        request.job = sheet
                          ? PrintJob::monthSheet(std::get<int>(month), std::get<int>(year))
                          : PrintJob::planner(std::get<int>(month), std::get<int>(year), twoMonths);
    } else if (kind == QLatin1String("list")) {
        if (positional.size() != 4 || twoMonths)
            return Problem(QStringLiteral("pdf list takes two dates (YYYY-MM-DD) and a file."));
        const auto from = Options::date(positional[1]);
        if (const auto* problem = std::get_if<Problem>(&from))
            return *problem;
        const auto to = Options::date(positional[2]);
        if (const auto* problem = std::get_if<Problem>(&to))
            return *problem;
        const QDate first = std::get<QDate>(from);
        const QDate last = std::get<QDate>(to);
        if (last < first)
            return Problem(QStringLiteral("pdf list: the first date lies after the last."));
        if (first.daysTo(last) >= kMaxListDays)
            return Problem(QStringLiteral("pdf list covers at most %1 days.").arg(kMaxListDays));
        request.job = PrintJob::list(first, last);
    } else {
        return Problem(kind.isEmpty()
                           ? QStringLiteral("pdf needs day, week, day-by-person, week-by-person, "
                                            "planner, month or list.")
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
    if (const auto* problem = std::get_if<Problem>(&parsed))
        return AgendaCommand::usageError(*problem, err);
    const Request& request = std::get<Request>(parsed);

    // The settings lay out the pages: grid hours, week, language.
    AgendaCommand::FolderSetup setup(request.folder, programDirectory, err,
                                     AgendaCommand::FolderSetup::Load::Always);
    const QString& folder = setup.folder;
    Settings& settings = setup.settings;
    ProfileCache& profiles = setup.profiles;
    if (folder.isEmpty())
        return AgendaCommand::FolderError;
    settings.setActiveFolder(folder); // the week print names the folder it shows

    DataAccess store(profiles,
                     StoreSource::fixed(folder, settings.MonthInterval(), GetLoginName()));
    const PdfOutcome outcome =
        ExportPdf(request.job, request.file, DaysOf(store), settings, profiles.files());
    if (!outcome.ok) {
        err << "norvane-cli: " << outcome.reason << '\n';
        err.flush();
        return AgendaCommand::FolderError;
    }
    out.flush();
    return AgendaCommand::Ok;
}

} // namespace PdfCommand
