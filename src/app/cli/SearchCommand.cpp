#include "app/cli/SearchCommand.h"

#include "app/cli/AgendaCommand.h"
#include "app/cli/Options.h"
#include "index/FolderCrawl.h"
#include "index/TextFolding.h"
#include "layout/PersonLanes.h"
#include "layout/SearchLayout.h"
#include "profile/ApiINI.h"
#include "profile/ProfileCache.h"
#include "settings/Settings.h"
#include "store/ApiLoginName.h"
#include "store/AppointmentFile.h"
#include "store/Privacy.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <optional>
#include <utility>

namespace SearchCommand {

namespace {

using Options::Problem;

struct Request {
    QStringList words;
    QDate from;
    QDate to;
    QStringList folders;
    QStringList persons;
    bool noIndex = false;
};

std::variant<Request, Problem> parse(const QStringList& args, const QDate& today)
{
    const QString fromOption = QStringLiteral("--from");
    const QString toOption = QStringLiteral("--to");
    const auto options = Options::parse(args, {{fromOption, Options::Text},
                                               {toOption, Options::Text},
                                               {QStringLiteral("--folder"), Options::Text},
                                               {QStringLiteral("--person"), Options::Text},
                                               {QStringLiteral("--no-index")}});
    if (const auto* problem = std::get_if<Problem>(&options))
        return *problem;
    const Options::Parsed& parsed = std::get<Options::Parsed>(options);
    Request request;
    request.words = parsed.arguments;
    // What the index could look for: a word of punctuation alone holds none.
    if (TextFolding::queryWords(request.words).isEmpty())
        return Problem(QStringLiteral("search takes at least one word of letters or digits."));
    request.folders = parsed.given.value(QStringLiteral("--folder"));
    request.persons = parsed.given.value(QStringLiteral("--person"));
    request.noIndex = parsed.has(QStringLiteral("--no-index"));
    // The days searched unless --from or --to say otherwise: the window's default.
    const SearchLayout::Range days = SearchLayout::rangeOf(SearchLayout::Span::Default, today);
    request.from = days.from;
    request.to = days.to;
    const std::pair<QString, QDate*> bounds[] = {{fromOption, &request.from},
                                                 {toOption, &request.to}};
    for (const auto& [name, day] : bounds) {
        if (!parsed.has(name))
            continue;
        const auto date = Options::date(parsed.value(name));
        if (const auto* problem = std::get_if<Problem>(&date))
            return *problem;
        *day = std::get<QDate>(date);
    }
    if (request.from > request.to)
        return Problem(QStringLiteral("--from lies after --to."));
    return request;
}

} // namespace

QStringList linesOf(const QList<SearchLayout::Listed>& found, const QString& folder,
                    FileAccess& files, QStringList& unreadable, const QString& folderAsGiven)
{
    ProfileCache profiles(files);
    const QTime now = QTime::currentTime();
    QStringList lines;
    for (const SearchLayout::Listed& one : found) {
        const QString& path = one.appointment->filename();
        const ProfileCache::Lookup file = profiles.read(path, folder);
        if (file.state == ProfileCache::State::Unreadable)
            unreadable << QDir::toNativeSeparators(path) + QStringLiteral(": ") + file.error;
        if (file.state != ProfileCache::State::Read)
            continue;
        const TerminPtr appointment = Privacy::seenBy(
            AppointmentFile::read(IniFile(profiles, path, file), one.day, file.meta.modified, now),
            GetLoginName());
        lines << AgendaCommand::jsonLine(one.day, folder, *appointment, folderAsGiven);
    }
    return lines;
}

std::variant<AppointmentIndex::Found, QString>
searchFolder(FileAccess& files, const QString& folder, const QString& indexDirectory,
             const QStringList& words, const QDate& from, const QDate& to)
{
    AppointmentIndex index(indexDirectory);
    if (!index.open(folder))
        return QStringLiteral("cannot make an index in %1")
            .arg(QDir::toNativeSeparators(indexDirectory));
    ProfileCache profiles(files);
    FolderCrawl crawl(files, profiles, index);
    for (;;) {
        const FolderCrawl::Step step = crawl.step();
        if (step == FolderCrawl::Step::Done)
            break;
        if (step == FolderCrawl::Step::Unreachable)
            return AgendaCommand::unlistable(folder);
    }
    return index.search(words, from, to);
}

namespace {

// The user's index's answer, when it vouches for the folder as it is now.
std::optional<AppointmentIndex::Found> fromIndex(FileAccess& files, const QString& folder,
                                                 const QString& indexDirectory,
                                                 const Request& request)
{
    AppointmentIndex index(indexDirectory);
    if (!index.openToSearch(folder) || !FolderCrawl::vouchesForFolder(files, index))
        return std::nullopt;
    return index.search(request.words, request.from, request.to);
}

// The folder's hits from the command line's own index, brought up to the folder first unless
// it vouches for it: a repeated search of an unchanged folder lists nothing, and a changed one
// reads only the files that changed. None when that index cannot be had (another search holds
// it, say); the caller crawls afresh then.
std::optional<AppointmentIndex::Found> fromOwnIndex(FileAccess& files, const QString& folder,
                                                    const QString& indexDirectory,
                                                    const Request& request)
{
    AppointmentIndex index(indexDirectory + kOwnIndex);
    if (!index.open(folder))
        return std::nullopt;
    if (!FolderCrawl::vouchesForFolder(files, index)) {
        ProfileCache profiles(files);
        FolderCrawl crawl(files, profiles, index);
        for (FolderCrawl::Step step = crawl.step(); step != FolderCrawl::Step::Done;
             step = crawl.step())
            if (step == FolderCrawl::Step::Unreachable || index.damaged())
                return std::nullopt;
    }
    return index.search(request.words, request.from, request.to);
}

// The folder's hits: from the user's index when it vouches for the folder, else from the
// command line's own, else (and with --no-index) from a scratch index of the folder's own, by
// the same rule, that goes afterwards.
std::variant<AppointmentIndex::Found, QString> searchIn(FileAccess& files, const QString& folder,
                                                        const QString& indexDirectory,
                                                        const Request& request)
{
    if (!request.noIndex) {
        if (std::optional<AppointmentIndex::Found> found =
                fromIndex(files, folder, indexDirectory, request))
            return std::move(*found);
        if (std::optional<AppointmentIndex::Found> found =
                fromOwnIndex(files, folder, indexDirectory, request))
            return std::move(*found);
    }
    const QTemporaryDir scratch;
    if (!scratch.isValid())
        return QStringLiteral("cannot make a scratch index: ") + scratch.errorString();
    return searchFolder(files, folder, scratch.path(), request.words, request.from, request.to);
}

} // namespace

int run(const QStringList& args, QTextStream& out, QTextStream& err,
        const QString& programDirectory, const QString& indexDirectory, QDate today)
{
    if (!today.isValid())
        today = QDate::currentDate();
    const auto parsed = parse(args, today);
    if (const auto* problem = std::get_if<Problem>(&parsed))
        return AgendaCommand::usageError(*problem, err);
    const Request& request = std::get<Request>(parsed);

    FileAccess& files = ThreadFileAccess();
    const AgendaCommand::FoldersSetup setup(request.folders, programDirectory, err);
    if (setup.folders.isEmpty())
        return AgendaCommand::FolderError;
    for (const AgendaCommand::FoldersSetup::Folder& folder : setup.folders)
        if (!files.isListableDir(folder.path))
            return AgendaCommand::failure(AgendaCommand::unlistable(folder.path), err);

    // Each folder's hits, listed by the one rule and merged by day: a folder's own order
    // stays for the same day.
    struct Hit {
        SearchLayout::Listed listed;
        const AgendaCommand::FoldersSetup::Folder* folder;
    };
    QList<Hit> hits;
    bool truncated = false;
    for (const AgendaCommand::FoldersSetup::Folder& folder : setup.folders) {
        auto found = searchIn(files, folder.path, indexDirectory, request);
        if (const auto* problem = std::get_if<QString>(&found))
            return AgendaCommand::failure(*problem, err);
        const AppointmentIndex::Found& answer = std::get<AppointmentIndex::Found>(found);
        truncated = truncated || answer.truncated;
        QList<TerminPtr> records;
        for (const AppointmentIndex::Hit& hit : answer.hits)
            records << std::make_shared<const ClassTermin>(hit.record());
        for (const SearchLayout::Listed& listed : SearchLayout::listed(
                 PersonLanes::kept(records, request.persons), {request.from, request.to}, today))
            hits.append({listed, &folder});
    }
    std::stable_sort(hits.begin(), hits.end(),
                     [](const Hit& a, const Hit& b) { return a.listed.day < b.listed.day; });
    QStringList unreadable;
    QStringList lines;
    for (const Hit& hit : std::as_const(hits))
        lines << linesOf({hit.listed}, hit.folder->path, files, unreadable,
                         setup.printed(*hit.folder));
    for (const QString& line : lines)
        out << line << '\n';
    out.flush();
    for (const QString& file : std::as_const(unreadable))
        err << "norvane-cli: skipped a file that cannot be read: " << file << '\n';
    if (truncated)
        err << "norvane-cli: more than " << AppointmentIndex::kMaxHits
            << " appointments match; the first by day are printed. Narrow the words or the "
               "dates.\n";
    err.flush();
    return AgendaCommand::Ok;
}

} // namespace SearchCommand
