#include "app/cli/SearchCommand.h"

#include "app/cli/AgendaCommand.h"
#include "app/cli/Options.h"
#include "index/FolderCrawl.h"
#include "index/TextFolding.h"
#include "layout/SearchLayout.h"
#include "profile/ApiINI.h"
#include "profile/ProfileCache.h"
#include "settings/Settings.h"
#include "store/AppointmentFile.h"

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
    QString folder;
    bool noIndex = false;
};

std::variant<Request, Problem> parse(const QStringList& args, const QDate& today)
{
    const QString fromOption = QStringLiteral("--from");
    const QString toOption = QStringLiteral("--to");
    const auto options = Options::parse(args, {{fromOption, Options::Text},
                                               {toOption, Options::Text},
                                               {QStringLiteral("--folder"), Options::Text},
                                               {QStringLiteral("--no-index")}});
    if (const auto* problem = std::get_if<Problem>(&options))
        return *problem;
    const Options::Parsed& parsed = std::get<Options::Parsed>(options);
    Request request;
    request.words = parsed.arguments;
    // What the index could look for: a word of punctuation alone holds none.
    if (TextFolding::queryWords(request.words).isEmpty())
        return Problem(QStringLiteral("search takes at least one word of letters or digits."));
    request.folder = parsed.value(QStringLiteral("--folder"));
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

QString unlistable(const QString& folder)
{
    const QFileInfo info(folder);
    const QString why = info.isReadable() && info.isExecutable()
                            ? QStringLiteral("it cannot be listed")
                            : QStringLiteral("permission denied");
    return QStringLiteral("cannot read the data folder %1: %2")
        .arg(QDir::toNativeSeparators(folder), why);
}

} // namespace

QStringList linesOf(const QList<SearchLayout::Listed>& found, const QString& folder,
                    FileAccess& files, QStringList& unreadable)
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
        const TerminPtr appointment =
            AppointmentFile::read(IniFile(profiles, path, file), one.day, file.meta.modified, now);
        lines << AgendaCommand::jsonLine(one.day, folder, *appointment);
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
            return unlistable(folder);
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
    AgendaCommand::FolderSetup setup(request.folder, programDirectory, err);
    const QString& folder = setup.folder;
    if (folder.isEmpty())
        return AgendaCommand::FolderError;
    if (!files.isListableDir(folder))
        return AgendaCommand::failure(unlistable(folder), err);

    std::optional<AppointmentIndex::Found> found;
    if (!request.noIndex)
        found = fromIndex(files, folder, indexDirectory, request);
    if (!found) {
        // The folder's own answer, by the index's rule, in an index of its own that goes.
        const QTemporaryDir scratch;
        if (!scratch.isValid())
            return AgendaCommand::failure(
                QStringLiteral("cannot make a scratch index: ") + scratch.errorString(), err);
        auto searched =
            searchFolder(files, folder, scratch.path(), request.words, request.from, request.to);
        if (const auto* problem = std::get_if<QString>(&searched))
            return AgendaCommand::failure(*problem, err);
        found = std::move(std::get<AppointmentIndex::Found>(searched));
    }

    QList<TerminPtr> records;
    for (const AppointmentIndex::Hit& hit : std::as_const(found->hits))
        records << std::make_shared<const ClassTermin>(hit.record());
    QStringList unreadable;
    const QStringList lines =
        linesOf(SearchLayout::listed(records, {request.from, request.to}, today), folder, files,
                unreadable);
    for (const QString& line : lines)
        out << line << '\n';
    out.flush();
    for (const QString& file : std::as_const(unreadable))
        err << "norvane-cli: skipped a file that cannot be read: " << file << '\n';
    if (found->truncated)
        err << "norvane-cli: more than " << AppointmentIndex::kMaxHits
            << " appointments match; the first by day are printed. Narrow the words or the "
               "dates.\n";
    err.flush();
    return AgendaCommand::Ok;
}

} // namespace SearchCommand
