#include "app/cli/ZoneCommand.h"

#include "app/cli/AgendaCommand.h"
#include "calendar/ZoneTimes.h"
#include "store/AppointmentFile.h"
#include "store/AppointmentFiling.h"
#include "store/DataAccess.h"
#include "store/ZoneCorrection.h"

#include <QDirIterator>

#include <variant>

namespace ZoneCommand {

namespace {

// The one-time appointment files of the folder whose team times today's rules move.
QStringList staleFiles(ProfileCache& profiles, const QString& folder, const QString& zone)
{
    QStringList stale;
    // Links are never followed out of the data folder; the recurring tree keeps no own zones.
    QDirIterator it(folder, {QStringLiteral("*.nv3")}, QDir::Files | QDir::NoSymLinks,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QDate day = DataAccess::DayOfOneTimeFile(path);
        if (!day.isValid())
            continue;
        const TerminPtr read = AppointmentFile::read(IniFile(profiles, path), day, {}, QTime(0, 0));
        if (ZoneCorrection::withTeamTimes(read, zone) != read)
            stale << path;
    }
    return stale;
}

} // namespace

int rezone(const QStringList& args, QTextStream& out, QTextStream& err,
           const QString& programDirectory)
{
    const auto options = Options::parse(args, {{QStringLiteral("--zone"), Options::Text},
                                               {QStringLiteral("--folder"), Options::Text}});
    if (const auto* problem = std::get_if<Options::Problem>(&options))
        return AgendaCommand::usageError(*problem, err);
    const Options::Parsed& parsed = std::get<Options::Parsed>(options);
    if (!parsed.arguments.isEmpty())
        return AgendaCommand::usageError(QStringLiteral("rezone takes no arguments."), err);
    const bool zoneGiven = parsed.given.contains(QStringLiteral("--zone"));
    const QString given = parsed.value(QStringLiteral("--zone"));
    if (zoneGiven && !ZoneTimes::zoneOf(given).isValid())
        return AgendaCommand::usageError(QStringLiteral("Unknown time zone: %1").arg(given), err);

    AgendaCommand::FolderSetup setup(parsed.value(QStringLiteral("--folder")), programDirectory,
                                     err);
    if (setup.folder.isEmpty())
        return AgendaCommand::FolderError;
    const QString zone = zoneGiven ? given : setup.settings.CalendarZone();
    StoreSource source = StoreSource::fixed(setup.folder);
    source.teamZone = [zone] { return zone; };
    DataAccess store(setup.profiles, source);
    AppointmentFiling filing(store);

    int filed = 0;
    for (const QString& path : staleFiles(setup.profiles, setup.folder, zone)) {
        ClassTermin a = *ZoneCorrection::withTeamTimes(
            store.LoadAppointment(path, DataAccess::DayOfOneTimeFile(path)), zone);
        const WriteOutcome outcome = filing.File(a);
        if (!outcome.ok) {
            out << "Filed again with today's zone rules: " << filed << '\n';
            out.flush();
            return AgendaCommand::failure(QStringLiteral("%1 not saved: %2")
                                              .arg(AgendaCommand::relativePath(setup.folder, path),
                                                   AgendaCommand::notSavedReason(outcome)),
                                          err);
        }
        ++filed;
    }
    out << "Filed again with today's zone rules: " << filed << '\n';
    out.flush();
    return AgendaCommand::Ok;
}

} // namespace ZoneCommand
