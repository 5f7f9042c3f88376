#include "app/cli/AgendaCommand.h"

#include "calendar/Formats.h"
#include "layout/CategoryFilter.h"
#include "layout/PersonLanes.h"
#include "profile/FileAccess.h"
#include "settings/Settings.h"
#include "store/ApiLoginName.h"
#include "store/DataAccess.h"
#include "store/PeopleText.h"
#include "store/RuleSeries.h"
#include "store/TimeRangeText.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

#include <algorithm>
#include <memory>
#include <variant>
#include <vector>

namespace AgendaCommand {

QString jsonString(const QString& text)
{
    // Escaped by the JSON writer the sync record uses too; the array around it is cut off.
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

QString relativePath(const QString& dataFolder, const QString& path)
{
    QString relative = path.startsWith(dataFolder) ? path.mid(dataFolder.size()) : path;
    return relative.replace(QLatin1Char('\\'), QLatin1Char('/'));
}

QString notSavedReason(const WriteOutcome& failure)
{
    const QString where = QDir::toNativeSeparators(failure.path);
    switch (failure.cause) {
    case WriteOutcome::Cause::FolderUnreachable:
        return QStringLiteral("the data folder cannot be reached: %1").arg(where);
    case WriteOutcome::Cause::Unreadable:
        return QStringLiteral("%1 is there but could not be read").arg(where);
    case WriteOutcome::Cause::OutsideFolder:
        return QStringLiteral("%1 leads out of the data folder").arg(where);
    case WriteOutcome::Cause::Refused:
        return failure.error;
    case WriteOutcome::Cause::System:
    case WriteOutcome::Cause::NameTaken:
    case WriteOutcome::Cause::Locked:
    case WriteOutcome::Cause::NotAnswering:
        break;
    }
    return failure.error.isEmpty() ? where : where + QStringLiteral(": ") + failure.error;
}

namespace {

constexpr int kMaxRangeDays = 366;

struct Request {
    QString command;
    QList<QDate> dates;
    QStringList folders;
    QStringList persons;
    QStringList categories;
    bool help = false;
};

// Parses the words after the program name; a problem comes back as its one-line message.
std::variant<Request, Options::Problem> parse(const QStringList& args)
{
    const auto options = Options::parse(args, {{QStringLiteral("--folder"), Options::Text},
                                               {QStringLiteral("--person"), Options::Text},
                                               {QStringLiteral("--category"), Options::Text},
                                               {QStringLiteral("--help")},
                                               {QStringLiteral("-h")}});
    if (const auto* problem = std::get_if<Options::Problem>(&options))
        return *problem;
    const Options::Parsed& parsed = std::get<Options::Parsed>(options);
    Request request;
    request.folders = parsed.given.value(QStringLiteral("--folder"));
    request.persons = parsed.given.value(QStringLiteral("--person"));
    request.categories = parsed.given.value(QStringLiteral("--category"));
    request.help = parsed.has(QStringLiteral("--help")) || parsed.has(QStringLiteral("-h"));
    QStringList positional = parsed.arguments;
    if (request.help)
        return request;
    if (positional.isEmpty())
        return Options::Problem(QStringLiteral("No command given."));

    request.command = positional.takeFirst();
    const int wanted =
        request.command == QLatin1String("range")                                            ? 2
        : request.command == QLatin1String("day") || request.command == QLatin1String("has") ? 1
                                                                                             : -1;
    if (wanted < 0)
        return Options::Problem(QStringLiteral("Unknown command: %1").arg(request.command));
    if (positional.size() != wanted)
        return Options::Problem(
            QStringLiteral("%1 takes %2 date(s) as YYYY-MM-DD.").arg(request.command).arg(wanted));
    for (const QString& text : positional) {
        const auto date = Options::date(text);
        if (const auto* problem = std::get_if<Options::Problem>(&date))
            return *problem;
        request.dates.append(std::get<QDate>(date));
    }
    if (wanted == 2) {
        const QDate from = request.dates[0];
        const QDate to = request.dates[1];
        if (from > to)
            return Options::Problem(QStringLiteral("FROM lies after TO."));
        if (from.daysTo(to) + 1 > kMaxRangeDays)
            return Options::Problem(
                QStringLiteral("A range spans at most %1 days.").arg(kMaxRangeDays));
    }
    return request;
}

// What the person and the category filter keep of a day.
QList<TerminPtr> shownOf(const QList<TerminPtr>& day, const Request& request)
{
    return CategoryFilter::kept(PersonLanes::kept(day, request.persons), request.categories);
}

QString jsonBool(bool on)
{
    return on ? QStringLiteral("true") : QStringLiteral("false");
}

QString isoDate(const QDate& date)
{
    return jsonString(date.toString(Qt::ISODate));
}

// An imported or synced event's organizer and attendees, only when it names any: as the user
// reads their names, each attendee's answer as a word for scripts ("" without one).
QString peopleFields(const ClassTermin& a)
{
    QString fields;
    if (!a.Organizer().isEmpty())
        fields += QStringLiteral(",\"organizer\":") +
                  jsonString(PeopleText::personOf(a.Organizer()).name);
    QStringList attendees;
    for (const QString& line : a.Attendees()) {
        const PeopleText::Person person = PeopleText::personOf(line);
        attendees << QStringLiteral("{\"name\":") + jsonString(person.name) +
                         QStringLiteral(",\"status\":") +
                         jsonString(PeopleText::answerKey(person.answer)) + QLatin1Char('}');
    }
    if (!attendees.isEmpty())
        fields += QStringLiteral(",\"attendees\":[") + attendees.join(QLatin1Char(',')) +
                  QLatin1Char(']');
    return fields;
}

} // namespace

QString jsonLine(const QDate& day, const QString& dataFolder, const ClassTermin& a,
                 const QString& folderAsGiven)
{
    const auto jsonList = [](const QStringList& words) -> QString {
        QStringList quoted;
        for (const QString& word : words)
            quoted << jsonString(word);
        return QLatin1Char('[') + quoted.join(QLatin1Char(',')) + QLatin1Char(']');
    };
    const QStringList fields = {
        QStringLiteral("\"day\":") + isoDate(day),
        QStringLiteral("\"path\":") + jsonString(relativePath(dataFolder, a.filename())),
        QStringLiteral("\"date\":") + isoDate(a.datum()),
        QStringLiteral("\"start\":") + jsonString(FormatTime(a.StartTime(), QStringLiteral("24h"))),
        QStringLiteral("\"end\":") + jsonString(FormatTime(a.EndTime(), QStringLiteral("24h"))),
        // As a person reads it: "all day" for the whole day.
        QStringLiteral("\"time\":") +
            jsonString(TimeRangeText(a, QStringLiteral("24h"), QStringLiteral("en"))),
        QStringLiteral("\"color\":") + QString::number(a.ColorCode()),
        QStringLiteral("\"text\":") + jsonString(a.Text()),
        QStringLiteral("\"producer\":") + jsonString(a.Producer()),
        QStringLiteral("\"for\":") + jsonList(a.ForUsers()),
        QStringLiteral("\"private\":") + jsonBool(a.IsPrivate()),
        QStringLiteral("\"room\":") + jsonList(a.Rooms()),
        QStringLiteral("\"location\":") + jsonString(a.Location()),
        QStringLiteral("\"category\":") + jsonList(a.Categories()),
        QStringLiteral("\"reminder\":") + jsonBool(a.IsReminder()),
        QStringLiteral("\"remindMinutes\":") + QString::number(a.RemindMinutes()),
        QStringLiteral("\"remindAll\":") + jsonBool(a.ReminderAll()),
        QStringLiteral("\"email\":") + jsonBool(a.EmailEnable()),
        QStringLiteral("\"recurring\":") + jsonBool(a.repeats()),
        QStringLiteral("\"recurFrom\":") + isoDate(a.RecurringStartDate()),
        QStringLiteral("\"recurUntil\":") + isoDate(a.RecurringEndDate()),
    };
    QString line = QLatin1Char('{') + fields.join(QLatin1Char(','));
    if (!folderAsGiven.isEmpty())
        line += QStringLiteral(",\"folder\":") + jsonString(folderAsGiven);
    if (!a.SeriesId().isEmpty()) // the files of one series with exceptions
        line += QStringLiteral(",\"seriesId\":") + jsonString(a.SeriesId());
    if (const std::optional<RepeatRule> rule = RuleSeries::ruleOfSeries(a))
        line += QStringLiteral(",\"rule\":") + jsonString(rule->rrule());
    line += peopleFields(a);
    if (a.hasOwnZone()) // made in a zone of its own: the zone and its wall clock there
        line += QStringLiteral(",\"zone\":") + jsonString(a.TimeZoneId()) +
                QStringLiteral(",\"zoneStart\":") +
                jsonString(a.ZoneStart().toString(QStringLiteral("yyyy-MM-ddTHH:mm"))) +
                QStringLiteral(",\"zoneEnd\":") +
                jsonString(a.ZoneEnd().toString(QStringLiteral("yyyy-MM-ddTHH:mm")));
    return line + QLatin1Char('}');
}

bool forPersons(const ClassTermin& a, const QStringList& persons)
{
    return persons.isEmpty() || std::any_of(persons.begin(), persons.end(),
                                            [&](const QString& p) { return a.Concerns(p); });
}

Options::Option colorOption()
{
    return {QStringLiteral("--color"), 1, Settings::kColorCount, QStringLiteral("colour")};
}

void loadSettings(Settings& settings, QTextStream& err)
{
    settings.LoadActiveFolder();
    const QString message = settings.LoadSettings().message();
    if (!message.isEmpty())
        err << "norvane-cli: "
            << QString(message).replace(QLatin1String("\r\n"), QLatin1String(" ")) << '\n';
}

QString dataFolder(const QString& given, const Settings& settings, QTextStream& err)
{
    // A folder given is read as it is; only without one do the settings say which.
    const QString folder =
        given.isEmpty()
            ? settings.GetDataFolder()
            : WithTrailingSeparator(QDir::toNativeSeparators(QFileInfo(given).absoluteFilePath()));
    if (!QFileInfo(folder).isDir()) {
        err << "norvane-cli: not a directory: " << QDir::toNativeSeparators(folder) << '\n';
        err.flush();
        return {};
    }
    return folder;
}

FolderSetup::FolderSetup(const QString& given, const QString& programDirectory, QTextStream& err,
                         Load load)
    : profiles(ThreadFileAccess())
    , settings(profiles, programDirectory)
{
    if (given.isEmpty() || load == Load::Always)
        loadSettings(settings, err);
    folder = dataFolder(given, settings, err);
}

FoldersSetup::FoldersSetup(const QStringList& given, const QString& programDirectory,
                           QTextStream& err, FolderSetup::Load load)
    : profiles(ThreadFileAccess())
    , settings(profiles, programDirectory)
{
    if (given.isEmpty() || load == FolderSetup::Load::Always)
        loadSettings(settings, err);
    if (given.isEmpty()) {
        if (const QString folder = dataFolder({}, settings, err); !folder.isEmpty())
            folders.append({folder, folder});
        return;
    }
    for (const QString& name : given) {
        const QString folder = dataFolder(name, settings, err);
        if (folder.isEmpty()) {
            folders.clear(); // nothing is printed of the others either
            return;
        }
        folders.append({folder, name});
    }
}

QString usage()
{
    return QStringLiteral(
        "Usage:\n"
        "  norvane-cli day DATE                     appointments of one day\n"
        "  norvane-cli range FROM TO                appointments of FROM to TO (at most 366 days)\n"
        "  norvane-cli has DATE                     true when DATE has an appointment\n"
        "        day, range, has and search take [--folder DIR]... (each folder given is\n"
        "        read; every line then names its folder) and [--person LOGIN]... (only\n"
        "        appointments owned by or for one of them); day, range and has take\n"
        "        [--category NAME]... (only appointments in one of them)\n"
        "  norvane-cli search WORDS... [--from DATE] [--to DATE] [--no-index]\n"
        "                                           the appointments whose text, owner or\n"
        "                                           those it is for have\n"
        "                                           a word starting with each WORD, case and\n"
        "                                           accents ignored, from a year back to two\n"
        "                                           years ahead unless told; --no-index reads\n"
        "                                           the folder afresh instead of an index\n"
        "  norvane-cli free --from DATE --to DATE --length MINUTES [--person LOGIN]...\n"
        "                   [--room NAME]... [--hours HH:MM-HH:MM] [--folder DIR]... [--all]\n"
        "                                           the first times of MINUTES (5 to 1440) at\n"
        "                                           which every LOGIN and NAME given (one at\n"
        "                                           least) is free, within the hours\n"
        "                                           (08:00-17:00; 22:00-06:00 runs into the\n"
        "                                           next morning) of the weekdays the settings\n"
        "                                           show, at most 20 unless --all\n"
        "  norvane-cli pdf day DATE FILE [--folder DIR]\n"
        "  norvane-cli pdf week DATE FILE [--folder DIR]\n"
        "  norvane-cli pdf day-by-person DATE FILE [--folder DIR] [--person LOGIN]...\n"
        "  norvane-cli pdf week-by-person DATE FILE [--folder DIR] [--person LOGIN]...\n"
        "  norvane-cli pdf planner YEAR MONTH [--two-months] FILE [--folder DIR]\n"
        "  norvane-cli pdf month YEAR MONTH FILE [--folder DIR]\n"
        "                                           the printout as a one-page A4 PDF; by\n"
        "                                           person: a lane or row per person of the\n"
        "                                           team and owner, of each LOGIN alone if any\n"
        "  norvane-cli pdf list FROM TO FILE [--folder DIR]\n"
        "                                           the appointments of FROM to TO (at most\n"
        "                                           366 days) as a list, as many pages as needed\n"
        "  norvane-cli import-holidays FILE [--section NAME]... [--color N] [--folder DIR]\n"
        "                                           the sections of a holiday list; with\n"
        "                                           --section, import them in colour N (1-14)\n"
        "  norvane-cli test-folder DIR              how fast DIR answers: fast or slow and the\n"
        "                                           seconds (exit 0 or 3), or the error (exit 1)\n"
        "  norvane-cli rezone [--zone ZONE] [--folder DIR]\n"
        "                                           files the appointments of a zone of their\n"
        "                                           own again whose team times older zone rules\n"
        "                                           gave; ZONE: the team's (the settings' or\n"
        "                                           the system's)\n"
        "  norvane-cli export-ics FROM TO [--folder DIR]\n"
        "                                           the appointments of FROM to TO as iCalendar\n"
        "  norvane-cli import-ics FILE [--color N] [--folder DIR] [--allow-large]\n"
        "                                           the events of an iCalendar file as\n"
        "                                           appointments in colour N (1-14); more\n"
        "                                           than 5000 only with --allow-large\n"
        "  norvane-cli new DATE START END TEXT [--every day|week|month|year|Ndays|Nweeks|...]\n"
        "                  [--weekdays mon,thu|mon-fri] [--nth 1mon..4sun|last-mon..last-sun]\n"
        "                  [--until DATE | --count N] [--color N] [--remind MIN] [--for LOGINS]\n"
        "                  [--private | --public] [--room NAME ...] [--location TEXT]\n"
        "                  [--category NAME ...] [--folder DIR]\n"
        "                                           a new appointment; times as HH:MM; a\n"
        "                                           series has no end unless given one;\n"
        "                                           LOGINS: whom it is for, as anna,ben;\n"
        "                                           --private: others see it as \"Busy\";\n"
        "                                           --room: a room or equipment it books;\n"
        "                                           --location: where it takes place, \" \"\n"
        "                                           for none; --category: a category it\n"
        "                                           belongs to, \";\" for none\n"
        "  norvane-cli edit PATH [--on DATE --scope this|following|all] [--date DATE]\n"
        "                   [--start HH:MM] [--end HH:MM] [--text TEXT] [--color N] [--for "
        "LOGINS]\n"
        "                   [--every ... --weekdays ... --nth ... --until ... --count ...]\n"
        "                   [--private | --public] [--room NAME ...] [--location TEXT]\n"
        "                   [--category NAME ...]\n"
        "                   [--folder DIR]          changes the appointment that day or range\n"
        "                                           prints as PATH; of a series the occurrence\n"
        "                                           on DATE alone, it and all after, or all\n"
        "  norvane-cli delete PATH [--on DATE --scope this|following|all] [--folder DIR]\n"
        "                                           deletes it, or occurrences of a series\n"
        "                                           new, edit and delete print one JSON line\n"
        "                                           per file written or removed\n"
        "  norvane-cli extend [--folder DIR]        writes ahead the series kept as one-time\n"
        "                                           files, as the window does once a day\n"
        "  norvane-cli undo-import RECORD           takes back the import of the record\n"
        "                                           that import-ics names\n"
        "  norvane-cli sync [--url URL] [--user NAME] [--password-file FILE] [--past DAYS]\n"
        "                   [--future DAYS] [--zone ZONE] [--folder DIR]\n"
        "                   [--deadline SECONDS] [--allow-mass-delete | --restore-deleted]\n"
        "                                           the data folder and a CalDAV calendar both\n"
        "                                           ways, stopped after SECONDS (600); exit 3\n"
        "                                           when it would delete most appointments or\n"
        "                                           events, unless told to delete them or\n"
        "                                           bring them back once; without --url\n"
        "                                           and --folder every calendar the settings\n"
        "                                           pair with a data folder, one after another\n"
        "  norvane-cli calendars [--url URL] [--user NAME] [--password-file FILE]\n"
        "                                           the account's calendars, one JSON object\n"
        "                                           per line: url, name, color, readOnly\n"
        "  norvane-cli offline take|return|status [--days-back N] [--days-ahead N]\n"
        "                      [--allow-mass-delete] [--folder DIR]\n"
        "                                           take: a copy of the folder's days from N\n"
        "                                           back (30) to N ahead (365) on this\n"
        "                                           machine; return: its changes back to the\n"
        "                                           folder; both bring each side's changes to\n"
        "                                           the other; status: one JSON line\n"
        "  norvane-cli subscribe URL --name NAME [--color N] [--folder DIR]\n"
        "                                           brings the iCalendar feed at URL (http,\n"
        "                                           https or webcal) into the data folder,\n"
        "                                           where every copy shows it\n"
        "  norvane-cli refresh [NAME] [--folder DIR]\n"
        "                                           brings what the subscriptions' feeds\n"
        "                                           changed; an unchanged feed writes nothing\n"
        "  norvane-cli unsubscribe NAME [--folder DIR]\n"
        "                                           ends it, and its appointments go\n"
        "  norvane-cli --version                    the version\n"
        "  norvane-cli --help                       this text\n"
        "Dates are YYYY-MM-DD. Without --folder, the active data folder of the settings.\n"
        "day, range and search print one JSON object per appointment and line, free one\n"
        "per free time: its day, start and end.\n");
}

int usageError(const QString& problem, QTextStream& err)
{
    // The whole usage would bury the one line that says what is wrong.
    err << "norvane-cli: " << problem << "\nTry 'norvane-cli --help'.\n";
    err.flush();
    return UsageError;
}

int failure(const QString& problem, QTextStream& err)
{
    err << "norvane-cli: " << problem << '\n';
    err.flush();
    return FolderError;
}

int run(const QStringList& args, QTextStream& out, QTextStream& err,
        const QString& programDirectory)
{
    const auto parsed = parse(args);
    if (const auto* problem = std::get_if<Options::Problem>(&parsed))
        return usageError(*problem, err);
    const Request& request = std::get<Request>(parsed);
    if (request.help) {
        out << usage();
        out.flush();
        return Ok;
    }

    FoldersSetup setup(request.folders, programDirectory, err);
    if (setup.folders.isEmpty())
        return FolderError;

    std::vector<std::unique_ptr<DataAccess>> stores;
    std::vector<std::unique_ptr<DataAccess::Pass>> passes;
    for (const FoldersSetup::Folder& folder : setup.folders) {
        stores.push_back(std::make_unique<DataAccess>(
            setup.profiles, StoreSource::fixed(folder.path, 60, GetLoginName())));
        passes.push_back(std::make_unique<DataAccess::Pass>(*stores.back()));
    }
    const QDate from = request.dates[0];
    const QDate to = request.dates.value(1, from);
    for (QDate day = from; day <= to; day = day.addDays(1)) {
        if (request.command == QLatin1String("has")) {
            // Without persons or categories the day marks answer without reading the day.
            const bool has = std::any_of(stores.begin(), stores.end(), [&](const auto& store) {
                return request.persons.isEmpty() && request.categories.isEmpty()
                           ? store->HasAppointments(day)
                           : !shownOf(store->GetAppointmentsOfDay(day), request).isEmpty();
            });
            out << jsonBool(has) << '\n';
            continue;
        }
        for (size_t n = 0; n < stores.size(); ++n) {
            const FoldersSetup::Folder& folder = setup.folders[qsizetype(n)];
            for (const TerminPtr& a : shownOf(stores[n]->GetAppointmentsOfDay(day), request))
                out << jsonLine(day, folder.path, *a, setup.printed(folder)) << '\n';
        }
    }
    out.flush();
    for (const std::unique_ptr<DataAccess>& store : stores)
        tellSkippedFiles(*store, err);
    return Ok;
}

QString unlistable(const QString& folder)
{
    const QFileInfo info(folder);
    const QString why = info.isReadable() && info.isExecutable()
                            ? QStringLiteral("it cannot be listed")
                            : QStringLiteral("permission denied");
    return QStringLiteral("cannot read the data folder %1: %2")
        .arg(QDir::toNativeSeparators(folder), why);
}

void tellSkippedFiles(DataAccess& store, QTextStream& err)
{
    // Both commands pass over the same names; each is named once.
    for (const QString& path : store.takeSkippedNames())
        err << "norvane-cli: skipped a file whose name is not valid text: "
            << QDir::toNativeSeparators(path) << '\n';
    for (const DataAccess::UnreadableFile& file : store.takeUnreadableFiles())
        err << "norvane-cli: skipped a file that cannot be read: "
            << QDir::toNativeSeparators(file.path) << ": " << file.reason << '\n';
    err.flush();
}

} // namespace AgendaCommand
