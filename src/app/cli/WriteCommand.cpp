#include "app/cli/WriteCommand.h"

#include "app/cli/AgendaCommand.h"
#include "app/cli/Options.h"
#include "app/cli/RepeatOptions.h"
#include "settings/Settings.h"
#include "settings/Team.h"
#include "store/ApiLoginName.h"
#include "store/AppointmentFile.h"
#include "store/AppointmentFiling.h"
#include "store/DataAccess.h"
#include "store/FolderClaim.h"
#include "store/Privacy.h"
#include "store/Recurrence.h"
#include "store/RuleSeries.h"
#include "store/RuleSeriesFiling.h"
#include "store/SeriesFiling.h"

#include <QDir>
#include <QFileInfo>

#include <array>
#include <optional>
#include <variant>

namespace WriteCommand {

namespace {

using Options::Problem;

// HH:MM of a day, 24:00 its end.
std::variant<TimeOfDay, Problem> timeOf(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char(':'));
    bool hourOk = false;
    bool minuteOk = false;
    const int hour = parts.value(0).toInt(&hourOk);
    const int minute = parts.value(1).toInt(&minuteOk);
    if (parts.size() != 2 || parts[1].size() != 2 || !hourOk || !minuteOk || hour < 0 ||
        minute < 0 || minute > 59 || hour > 24 || (hour == 24 && minute > 0))
        return Problem(QStringLiteral("Not a time of day as HH:MM: %1").arg(text));
    return TimeOfDay::fromMinutes(hour * 60 + minute);
}

// The text as a record holds it: line breaks as CR LF, cut where every copy can read it.
QString recordText(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return ClassTermin::cappedText(text.replace(QLatin1Char('\n'), QLatin1String("\r\n")));
}

// The fields an edit may change, as given.
struct Fields {
    std::optional<QDate> date;
    std::optional<TimeOfDay> start;
    std::optional<TimeOfDay> end;
    std::optional<QString> text;
    std::optional<int> color;
    std::optional<QStringList> forUsers;
    std::optional<bool> isPrivate;
    std::optional<QStringList> rooms;
    std::optional<QString> location;
    std::optional<QStringList> categories;
};

struct Target {
    Options::Parsed parsed; // for the series' rule
    QString path;           // as given
    std::optional<QDate> on;
    std::optional<SeriesEdit::Scope> scope;
    QString folder;
    Fields fields;
};

const QList<Options::Option> kTargetOptions = {
    {QStringLiteral("--on"), Options::Text},       {QStringLiteral("--scope"), Options::Text},
    {QStringLiteral("--folder"), Options::Text},   {QStringLiteral("--date"), Options::Text},
    {QStringLiteral("--start"), Options::Text},    {QStringLiteral("--end"), Options::Text},
    {QStringLiteral("--text"), Options::Text},     AgendaCommand::colorOption(),
    {QStringLiteral("--for"), Options::Text},      {QStringLiteral("--private"), Options::Flag},
    {QStringLiteral("--public"), Options::Flag},   {QStringLiteral("--room"), Options::Text},
    {QStringLiteral("--location"), Options::Text}, {QStringLiteral("--category"), Options::Text},
};

// --private or --public, one of them at most; --room as often as there are rooms, ";" for none;
// --location " " for none; --category as --room.
std::optional<Problem> readPrivacyAndRooms(const Options::Parsed& parsed, Fields& fields)
{
    const bool makePrivate = parsed.has(QStringLiteral("--private"));
    if (makePrivate && parsed.has(QStringLiteral("--public")))
        return QStringLiteral("--private and --public exclude each other.");
    if (makePrivate || parsed.has(QStringLiteral("--public")))
        fields.isPrivate = makePrivate;
    if (parsed.has(QStringLiteral("--room")))
        fields.rooms = AppointmentFile::roomsOf(
            parsed.given.value(QStringLiteral("--room")).join(QLatin1Char(';')));
    if (parsed.has(QStringLiteral("--location")))
        fields.location = AppointmentFile::locationOf(parsed.value(QStringLiteral("--location")));
    if (parsed.has(QStringLiteral("--category")))
        fields.categories = AppointmentFile::roomsOf(
            parsed.given.value(QStringLiteral("--category")).join(QLatin1Char(';')));
    return std::nullopt;
}

std::variant<Target, Problem> parseTarget(const QString& command, const QStringList& args,
                                          bool withFields)
{
    QList<Options::Option> options = kTargetOptions;
    if (!withFields)
        options = options.mid(0, 3); // --on, --scope and --folder: a deletion changes no field
    else
        options += RepeatOptions::options();
    const auto parsedOptions = Options::parse(args, options);
    if (const auto* problem = std::get_if<Problem>(&parsedOptions))
        return *problem;
    const Options::Parsed& parsed = std::get<Options::Parsed>(parsedOptions);
    if (parsed.arguments.size() != 1)
        return Problem(QStringLiteral("%1 takes one appointment file.").arg(command));
    Target target;
    target.parsed = parsed;
    target.path = parsed.arguments[0];
    target.folder = parsed.value(QStringLiteral("--folder"));
    if (parsed.has(QStringLiteral("--on")) != parsed.has(QStringLiteral("--scope")))
        return Problem(QStringLiteral("--on and --scope go together."));
    if (parsed.has(QStringLiteral("--on"))) {
        const auto on = Options::date(parsed.value(QStringLiteral("--on")));
        if (const auto* problem = std::get_if<Problem>(&on))
            return *problem;
        target.on = std::get<QDate>(on);
        const QString scope = parsed.value(QStringLiteral("--scope"));
        if (scope == QLatin1String("this"))
            target.scope = SeriesEdit::Scope::This;
        else if (scope == QLatin1String("following"))
            target.scope = SeriesEdit::Scope::Following;
        else if (scope == QLatin1String("all"))
            target.scope = SeriesEdit::Scope::All;
        else
            return Problem(QStringLiteral("--scope is this, following or all: %1").arg(scope));
    }
    Fields& fields = target.fields;
    if (parsed.has(QStringLiteral("--date"))) {
        const auto date = Options::date(parsed.value(QStringLiteral("--date")));
        if (const auto* problem = std::get_if<Problem>(&date))
            return *problem;
        fields.date = std::get<QDate>(date);
    }
    for (const auto& [name, field] : {std::pair{QStringLiteral("--start"), &fields.start},
                                      std::pair{QStringLiteral("--end"), &fields.end}}) {
        if (!parsed.has(name))
            continue;
        const auto time = timeOf(parsed.value(name));
        if (const auto* problem = std::get_if<Problem>(&time))
            return *problem;
        *field = std::get<TimeOfDay>(time);
    }
    if (parsed.has(QStringLiteral("--text")))
        fields.text = recordText(parsed.value(QStringLiteral("--text")));
    fields.color = parsed.number(QStringLiteral("--color"));
    if (parsed.has(QStringLiteral("--for"))) // "--for ," names nobody
        fields.forUsers = AppointmentFile::loginsOf(parsed.value(QStringLiteral("--for")));
    if (const std::optional<Problem> problem = readPrivacyAndRooms(parsed, fields))
        return *problem;
    return target;
}

// The store of one data folder, as the window's store service has it.
struct Folder {
    // team: whose names a refusal gives the owners of other appointments.
    explicit Folder(const QString& path, const QList<TeamMember>& team = {})
        : store(profiles, sourceOf(path, team))
    {
    }
    static StoreSource sourceOf(const QString& path, const QList<TeamMember>& team)
    {
        StoreSource source = StoreSource::fixed(path, 60, GetLoginName());
        source.shownName = [team](const QString& login) { return Team::shownName(team, login); };
        return source;
    }
    ProfileCache profiles{ThreadFileAccess()};
    DataAccess store;
    AppointmentFiling filing{store};
    SeriesFiling series{store, filing};
};

// The data folder, and the team as the settings list it when they were read for it.
struct Opened {
    QString folder;
    QList<TeamMember> team;
};

Opened openFolder(const QString& given, const QString& programDirectory, QTextStream& err)
{
    const AgendaCommand::FolderSetup setup(given, programDirectory, err);
    return {setup.folder, setup.settings.TeamMembers()};
}

// A path the day and range commands print, or the same path whole inside the folder; empty
// for anything else.
QString fileInFolder(const QString& folder, const QString& given)
{
    QString relative = QDir::fromNativeSeparators(given);
    const QString root = QDir::fromNativeSeparators(folder);
    if (QFileInfo(given).isAbsolute()) {
        if (!relative.startsWith(root))
            return {};
        relative = relative.mid(root.size());
    }
    return Recurrence::isAppointmentPath(relative) ? folder + relative : QString();
}

void printChanges(const QString& folder, const QStringList& written, const QStringList& removed,
                  QTextStream& out)
{
    for (const QString& path : written)
        out << "{\"written\":"
            << AgendaCommand::jsonString(AgendaCommand::relativePath(folder, path)) << "}\n";
    for (const QString& path : removed)
        out << "{\"removed\":"
            << AgendaCommand::jsonString(AgendaCommand::relativePath(folder, path)) << "}\n";
    out.flush();
}

int finish(const QString& folder, const SeriesFiling::Outcome& outcome, QTextStream& out,
           QTextStream& err)
{
    printChanges(folder, outcome.written, outcome.removed, out);
    if (outcome.conflict.kind != DataAccess::FileChange::Kind::None)
        return AgendaCommand::failure(
            QStringLiteral("%1 was changed meanwhile; nothing was written")
                .arg(QDir::toNativeSeparators(outcome.conflictPath)),
            err);
    if (!outcome.outcome.ok)
        return AgendaCommand::failure(
            QStringLiteral("not saved: %1").arg(AgendaCommand::notSavedReason(outcome.outcome)),
            err);
    return AgendaCommand::Ok;
}

void applyFields(ClassTermin& a, const Fields& fields)
{
    if (fields.start)
        a.setStartTime(*fields.start);
    if (fields.end)
        a.setEndTime(*fields.end);
    if (fields.text)
        a.setText(*fields.text);
    if (fields.color)
        a.setColorCode(qint16(*fields.color));
    if (fields.forUsers)
        a.setForUsers(*fields.forUsers);
    if (fields.isPrivate)
        a.setIsPrivate(*fields.isPrivate);
    if (fields.rooms)
        a.setRooms(*fields.rooms);
    if (fields.location)
        a.setLocation(*fields.location);
    if (fields.categories)
        a.setCategories(*fields.categories);
}

// The one-time files of a series whose parts do not note their days yet (written before they
// did), from the days its parts span (at most three years); the others are found by the days
// noted.
QList<ClassTermin> exceptionsOf(Folder& data, const ClassTermin& part)
{
    QList<ClassTermin> found;
    if (part.SeriesId().isEmpty() || data.series.notesItsDays(part))
        return found;
    QDate from = part.RecurringStartDate();
    QDate until = part.RecurringEndDate();
    for (const ClassTermin& other : data.series.otherPartsOf(part, {})) {
        from = std::min(from, other.RecurringStartDate());
        until = std::max(until, other.RecurringEndDate());
    }
    until = std::min(until, from.addYears(3));
    const DataAccess::Pass pass(data.store);
    for (QDate day = from; day <= until; day = day.addDays(1)) {
        for (const TerminPtr& a : data.store.GetAppointmentsOfDay(day)) {
            if (!a->repeats() && a->SeriesId() == part.SeriesId())
                found.append(*a);
        }
    }
    return found;
}

// Edits (changed given) or deletes the file target names.
int change(const QString& command, const QStringList& args, bool editing, QTextStream& out,
           QTextStream& err, const QString& programDirectory)
{
    const auto parsed = parseTarget(command, args, editing);
    if (const auto* problem = std::get_if<Problem>(&parsed))
        return AgendaCommand::usageError(*problem, err);
    const Target& target = std::get<Target>(parsed);
    const Opened opened = openFolder(target.folder, programDirectory, err);
    const QString& folder = opened.folder;
    if (folder.isEmpty())
        return AgendaCommand::FolderError;
    const QString path = fileInFolder(folder, target.path);
    if (path.isEmpty())
        return AgendaCommand::usageError(
            QStringLiteral("Not an appointment file of the data folder: %1").arg(target.path), err);
    Folder data(folder, opened.team);
    if (!data.store.FileExists(path))
        return AgendaCommand::failure(
            QStringLiteral("no such appointment: %1").arg(QDir::toNativeSeparators(path)), err);
    ClassTermin loaded = *data.store.LoadAppointment(path, QDate::currentDate());
    // Any part of a split series names the series: the one holding the day is meant. Another
    // copy changing the series may hold it in a file not written yet: refused as any change
    // meanwhile, or, once that copy is done, looked for again.
    for (int look = 0; target.on && loaded.IsRecurring() && !loaded.SeriesId().isEmpty() &&
                       !SeriesEdit::occursOn(loaded, *target.on) && look < 3;
         ++look) {
        if (look > 0)
            loaded = *data.store.LoadAppointment(path, QDate::currentDate());
        for (const ClassTermin& part : data.series.otherPartsOf(loaded, {})) {
            if (SeriesEdit::occursOn(part, *target.on))
                loaded = part;
        }
        if (!SeriesEdit::occursOn(loaded, *target.on) &&
            data.store.files().exists(FolderClaim::seriesPath(folder, loaded.SeriesId()))) {
            SeriesFiling::Outcome changing;
            changing.conflict.kind = DataAccess::FileChange::Kind::Changed;
            changing.conflictPath = path;
            return finish(folder, changing, out, err);
        }
    }
    if (const QString why = Privacy::whyUnchangeable(loaded); !why.isEmpty())
        return AgendaCommand::failure(why, err);
    if (target.on && !loaded.repeats())
        return AgendaCommand::failure(
            QStringLiteral("%1 does not repeat; --on is for a series").arg(target.path), err);
    if (target.on && !SeriesEdit::occursOn(loaded, *target.on))
        return AgendaCommand::failure(QStringLiteral("%1 does not take place on %2")
                                          .arg(target.path, target.on->toString(Qt::ISODate)),
                                      err);
    const SeriesEdit::Scope scope = target.scope.value_or(SeriesEdit::Scope::All);
    const QDate occurrence = target.on.value_or(loaded.datum());
    std::optional<ClassTermin> changed;
    if (editing) {
        ClassTermin record =
            loaded.repeats() ? SeriesEdit::recordFor(loaded, occurrence, scope) : loaded;
        if (const auto& date = target.fields.date) {
            const qint64 days = occurrence.daysTo(*date);
            record.setDatum(record.datum().addDays(days));
            if (record.IsRecurring()) {
                record.setRecurringStartDate(record.RecurringStartDate().addDays(days));
                record.setRecurringEndDate(record.RecurringEndDate().addDays(days));
            }
            if (record.Rule() && record.repeats())
                record.setRule(record.Rule()->shifted(days));
        }
        applyFields(record, target.fields);
        if (RepeatOptions::given(target.parsed)) {
            if (!record.repeats())
                return AgendaCommand::usageError(
                    QStringLiteral("Only a series' rule changes: --scope all or following."), err);
            const std::optional<RepeatRule> base = RuleSeries::ruleOfSeries(record);
            const auto rule = RepeatOptions::rule(target.parsed, record.RecurringStartDate(), base);
            if (const auto* problem = std::get_if<Problem>(&rule))
                return AgendaCommand::usageError(*problem, err);
            RuleSeries::repeatBy(record, std::get<RepeatRule>(rule));
        }
        if (record.EndTime() < record.StartTime())
            return AgendaCommand::usageError(QStringLiteral("The end lies before the start."), err);
        changed = record;
    }
    if (!loaded.repeats()) {
        SeriesFiling::Outcome outcome;
        if (changed) {
            ClassTermin filed = *changed;
            outcome.outcome = data.filing.File(filed);
            if (outcome.outcome.ok) {
                outcome.written << filed.filename();
                if (filed.filename() != path)
                    outcome.removed << path;
            }
        } else {
            data.store.DeleteAppointmentFile(path);
            if (data.store.FileExists(path))
                outcome.outcome = WriteOutcome::failed(WriteOutcome::Cause::System, path);
            else
                outcome.removed << path;
        }
        return finish(folder, outcome, out, err);
    }
    const QList<ClassTermin> exceptions = exceptionsOf(data, loaded);
    return finish(folder, data.series.apply({loaded, occurrence, scope, changed, exceptions}), out,
                  err);
}

} // namespace

int create(const QStringList& args, QTextStream& out, QTextStream& err,
           const QString& programDirectory)
{
    QList<Options::Option> options = RepeatOptions::options();
    options << AgendaCommand::colorOption()
            << Options::Option(QStringLiteral("--remind"), 0, ClassTermin::kMaxRemindMinutes,
                               QStringLiteral("number of minutes"))
            << Options::Option(QStringLiteral("--folder"), Options::Text)
            << Options::Option(QStringLiteral("--for"), Options::Text)
            << Options::Option(QStringLiteral("--private"), Options::Flag)
            << Options::Option(QStringLiteral("--public"), Options::Flag)
            << Options::Option(QStringLiteral("--room"), Options::Text)
            << Options::Option(QStringLiteral("--location"), Options::Text)
            << Options::Option(QStringLiteral("--category"), Options::Text);
    const auto parsedOptions = Options::parse(args, options);
    if (const auto* problem = std::get_if<Problem>(&parsedOptions))
        return AgendaCommand::usageError(*problem, err);
    const Options::Parsed& parsed = std::get<Options::Parsed>(parsedOptions);
    if (parsed.arguments.size() != 4)
        return AgendaCommand::usageError(QStringLiteral("new takes DATE START END TEXT."), err);
    const auto date = Options::date(parsed.arguments[0]);
    const auto start = timeOf(parsed.arguments[1]);
    const auto end = timeOf(parsed.arguments[2]);
    for (const auto* problem :
         {std::get_if<Problem>(&date), std::get_if<Problem>(&start), std::get_if<Problem>(&end)}) {
        if (problem)
            return AgendaCommand::usageError(*problem, err);
    }
    ClassTermin a;
    a.setDatum(std::get<QDate>(date));
    a.setStartTime(std::get<TimeOfDay>(start));
    a.setEndTime(std::get<TimeOfDay>(end));
    if (a.EndTime() < a.StartTime())
        return AgendaCommand::usageError(QStringLiteral("END lies before START."), err);
    a.setText(recordText(parsed.arguments[3]));
    a.setProducer(GetLoginName());
    a.setForUsers(AppointmentFile::loginsOf(parsed.value(QStringLiteral("--for"))));
    Fields privacyAndRooms;
    if (const std::optional<Problem> problem = readPrivacyAndRooms(parsed, privacyAndRooms))
        return AgendaCommand::usageError(*problem, err);
    applyFields(a, privacyAndRooms);
    a.setColorCode(qint16(parsed.number(QStringLiteral("--color")).value_or(1)));
    const int remind = parsed.number(QStringLiteral("--remind")).value_or(0);
    a.setIsReminder(remind > 0);
    a.setRemindMinutes(qint16(remind));
    a.setRecurringStartDate(a.datum());
    a.setRecurringEndDate(a.datum());
    if (RepeatOptions::given(parsed)) {
        const auto rule = RepeatOptions::rule(parsed, a.datum(), std::nullopt);
        if (const auto* problem = std::get_if<Problem>(&rule))
            return AgendaCommand::usageError(*problem, err);
        RuleSeries::repeatBy(a, std::get<RepeatRule>(rule));
    }
    const Opened opened =
        openFolder(parsed.value(QStringLiteral("--folder")), programDirectory, err);
    const QString& folder = opened.folder;
    if (folder.isEmpty())
        return AgendaCommand::FolderError;
    Folder data(folder, opened.team);
    SeriesFiling::Outcome outcome;
    outcome.outcome = data.filing.File(a);
    if (outcome.outcome.ok)
        outcome.written << a.filename();
    return finish(folder, outcome, out, err);
}

int edit(const QStringList& args, QTextStream& out, QTextStream& err,
         const QString& programDirectory)
{
    return change(QStringLiteral("edit"), args, true, out, err, programDirectory);
}

int remove(const QStringList& args, QTextStream& out, QTextStream& err,
           const QString& programDirectory)
{
    return change(QStringLiteral("delete"), args, false, out, err, programDirectory);
}

int extend(const QStringList& args, QTextStream& out, QTextStream& err,
           const QString& programDirectory)
{
    const auto parsedOptions = Options::parse(args, {{QStringLiteral("--folder"), Options::Text}});
    if (const auto* problem = std::get_if<Problem>(&parsedOptions))
        return AgendaCommand::usageError(*problem, err);
    const Options::Parsed& parsed = std::get<Options::Parsed>(parsedOptions);
    if (!parsed.arguments.isEmpty())
        return AgendaCommand::usageError(QStringLiteral("extend takes no arguments."), err);
    const Opened opened =
        openFolder(parsed.value(QStringLiteral("--folder")), programDirectory, err);
    const QString& folder = opened.folder;
    if (folder.isEmpty())
        return AgendaCommand::FolderError;
    Folder data(folder, opened.team);
    const RuleSeriesFiling::Done done = RuleSeriesFiling::extendAll(data.store, data.filing);
    SeriesFiling::Outcome outcome;
    outcome.outcome = done.outcome;
    outcome.written = done.written;
    return finish(folder, outcome, out, err);
}

} // namespace WriteCommand
