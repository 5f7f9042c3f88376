#include "app/cli/FreeCommand.h"

#include "app/cli/AgendaCommand.h"
#include "app/cli/Options.h"
#include "calendar/Formats.h"
#include "layout/FreeSlots.h"
#include "store/ApiLoginName.h"
#include "store/DataAccess.h"

#include <memory>
#include <variant>
#include <vector>

namespace FreeCommand {

namespace {

using Options::Problem;

constexpr int kMaxDays = 366;

struct Request {
    FreeSlots::Request wanted;
    QStringList folders;
};

std::variant<Request, Problem> parse(const QStringList& args)
{
    const QString length = QStringLiteral("--length");
    const auto options = Options::parse(args, {{QStringLiteral("--person"), Options::Text},
                                               {QStringLiteral("--room"), Options::Text},
                                               {QStringLiteral("--from"), Options::Text},
                                               {QStringLiteral("--to"), Options::Text},
                                               {length, FreeSlots::kShortest, FreeSlots::kLongest,
                                                QStringLiteral("length in minutes")},
                                               {QStringLiteral("--hours"), Options::Text},
                                               {QStringLiteral("--folder"), Options::Text},
                                               {QStringLiteral("--all")}});
    if (const auto* problem = std::get_if<Problem>(&options))
        return *problem;
    const Options::Parsed& parsed = std::get<Options::Parsed>(options);
    if (!parsed.arguments.isEmpty())
        return Problem(QStringLiteral("free takes no arguments, only options: %1")
                           .arg(parsed.arguments.first()));
    Request request;
    FreeSlots::Request& wanted = request.wanted;
    wanted.persons = parsed.given.value(QStringLiteral("--person"));
    wanted.rooms = parsed.given.value(QStringLiteral("--room"));
    if (wanted.persons.isEmpty() && wanted.rooms.isEmpty())
        return Problem(QStringLiteral("free needs a --person or a --room."));
    if (!parsed.has(QStringLiteral("--from")) || !parsed.has(QStringLiteral("--to")) ||
        !parsed.has(length))
        return Problem(QStringLiteral("free needs --from, --to and --length."));
    for (const auto& [name, day] : {std::pair{QStringLiteral("--from"), &wanted.from},
                                    std::pair{QStringLiteral("--to"), &wanted.to}}) {
        const auto date = Options::date(parsed.value(name));
        if (const auto* problem = std::get_if<Problem>(&date))
            return *problem;
        *day = std::get<QDate>(date);
    }
    if (wanted.from > wanted.to)
        return Problem(QStringLiteral("--from lies after --to."));
    if (wanted.from.daysTo(wanted.to) + 1 > kMaxDays)
        return Problem(QStringLiteral("free looks at %1 days at most.").arg(kMaxDays));
    wanted.minutes = *parsed.number(length);
    if (parsed.has(QStringLiteral("--hours"))) {
        const auto hours = FreeSlots::Hours::parse(parsed.value(QStringLiteral("--hours")));
        if (!hours)
            return Problem(QStringLiteral("Not hours as HH:MM-HH:MM: %1")
                               .arg(parsed.value(QStringLiteral("--hours"))));
        wanted.hours = *hours;
    }
    wanted.most = parsed.has(QStringLiteral("--all")) ? 0 : FreeSlots::kDefaultMost;
    request.folders = parsed.given.value(QStringLiteral("--folder"));
    return request;
}

QString jsonLine(const FreeSlots::Slot& slot)
{
    const QString format = QStringLiteral("24h");
    return QStringLiteral("{\"day\":%1,\"start\":%2,\"end\":%3}")
        .arg(AgendaCommand::jsonString(slot.day.toString(Qt::ISODate)),
             AgendaCommand::jsonString(FormatTime(slot.start, format)),
             AgendaCommand::jsonString(FormatTime(slot.end, format)));
}

} // namespace

int run(const QStringList& args, QTextStream& out, QTextStream& err,
        const QString& programDirectory)
{
    const auto parsed = parse(args);
    if (const auto* problem = std::get_if<Problem>(&parsed))
        return AgendaCommand::usageError(*problem, err);
    Request request = std::get<Request>(parsed);

    // The settings say which weekdays count, whichever folders are read.
    AgendaCommand::FoldersSetup setup(request.folders, programDirectory, err,
                                      AgendaCommand::FolderSetup::Load::Always);
    if (setup.folders.isEmpty())
        return AgendaCommand::FolderError;
    // A folder that cannot be listed would read as free all along.
    for (const AgendaCommand::FoldersSetup::Folder& folder : setup.folders)
        if (!ThreadFileAccess().isListableDir(folder.path))
            return AgendaCommand::failure(AgendaCommand::unlistable(folder.path), err);
    request.wanted.weekdays = FreeSlots::shownWeekdays(setup.settings);

    std::vector<std::unique_ptr<DataAccess>> stores;
    std::vector<std::unique_ptr<DataAccess::Pass>> passes;
    for (const AgendaCommand::FoldersSetup::Folder& folder : setup.folders) {
        stores.push_back(std::make_unique<DataAccess>(
            setup.profiles, StoreSource::fixed(folder.path, 60, GetLoginName())));
        passes.push_back(std::make_unique<DataAccess::Pass>(*stores.back()));
    }
    const QList<FreeSlots::Slot> found =
        FreeSlots::find(request.wanted, [&stores](const QDate& day) {
            QList<TerminPtr> appointments;
            for (const std::unique_ptr<DataAccess>& store : stores)
                appointments << store->GetAppointmentsOfDay(day);
            return appointments;
        });
    for (const std::unique_ptr<DataAccess>& store : stores)
        AgendaCommand::tellSkippedFiles(*store, err);
    for (const FreeSlots::Slot& slot : found)
        out << jsonLine(slot) << '\n';
    out.flush();
    return AgendaCommand::Ok;
}

} // namespace FreeCommand
