// norvane-cli search on a generated data folder of 20,000 appointments, on the local disk and on
// a real slow share (tests/support/slow_share.py) as a LAN (1 ms per request) and a VPN (25 ms)
// serve it: how long until the hits are known, with the file access calls, reads and share
// requests that takes,
// (a) from a complete local index, and then the printing of the hits, which reads their files;
// (b) without one, as --no-index does it: the folder crawled into a fresh index, then searched;
// (c) a second crawl of the unchanged folder, which should ask for metadata alone;
// (d) the whole command twice where no window keeps an index: it keeps its own.
// A crawl costs every file a few round trips: a whole 20,000 would keep the LAN share busy for
// about 12 minutes and the VPN one for hours, so by default they get fewer files, laid out as
// the 20,000 are (as many a day), and the output says how many and what 20,000 would take at
// the same cost per file.
//
//   norvane_search_bench [--count N] [--lan-count N] [--vpn-count N]
//   (or NORVANE_SEARCH_BENCH_LAN_COUNT, NORVANE_SEARCH_BENCH_VPN_COUNT)
//
// Runs by hand and prints a table; where no slow share can be mounted it says why.
#include "DataFolderGenerator.h"
#include "SlowShare.h"
#include "app/cli/SearchCommand.h"
#include "index/AppointmentIndex.h"
#include "index/FolderCrawl.h"
#include "layout/SearchLayout.h"
#include "profile/FileAccess.h"
#include "settings/Settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <optional>
#include <tuple>

namespace {

// A search a person types: a subject and whose it is.
const QStringList kWords{QStringLiteral("dentist"), QStringLiteral("anna")};
const QDate kFrom(1900, 1, 1);
const QDate kTo(2999, 12, 31);

struct Measured {
    qint64 ms = 0;
    int calls = 0;     // file access calls
    int reads = 0;     // of them, files read
    int requests = -1; // share requests; none on the local disk
};

// Runs what and measures its time, its file access calls and what the share saw.
Measured measure(CountingFileAccess& files, SlowShare* share, const std::function<void()>& what)
{
    files.resetCounts();
    if (share)
        share->restartLog();
    QElapsedTimer clock;
    clock.start();
    what();
    Measured m;
    m.ms = clock.elapsed();
    m.calls = files.counts().total();
    m.reads = files.counts().reads;
    if (share)
        m.requests = int(share->requests().size());
    return m;
}

int filesIn(const QString& dir)
{
    int n = 0;
    for (QDirIterator it(dir, {QStringLiteral("*.nv3")}, QDir::Files, QDirIterator::Subdirectories);
         it.hasNext(); it.next())
        ++n;
    return n;
}

// A folder of count appointment files in folder, laid out as one of fullCount is: the working
// days of a few years with as many appointments a day, cut short after its last full day, and a
// recurring tree. The number of files.
int generate(const QString& folder, int count, int fullCount)
{
    constexpr double kWorkingDays = 246; // a year's
    constexpr int kFullYears = 4;
    DataFolderGenerator::Options options;
    options.recurringFiles = std::max(4, count / 250);
    const int fullRecurring = std::max(4, fullCount / 250);
    options.appointmentsPerDay =
        std::max(1, int(std::lround((fullCount - fullRecurring) / (kFullYears * kWorkingDays))));
    const double yearsNeeded =
        (count - options.recurringFiles) / (options.appointmentsPerDay * kWorkingDays);
    options.years = std::clamp(int(std::ceil(yearsNeeded)), 1, kFullYears);
    const DataFolderGenerator::Summary generated = DataFolderGenerator(options).write(folder);
    if (!generated.ok)
        qFatal("%s", qPrintable(generated.error));
    int files = generated.totalFiles();
    for (QDate day = generated.lastDay; files > count && day >= generated.firstDay;
         day = day.addDays(-1)) {
        QDir month(folder + day.toString(QStringLiteral("/'y'yyyy/'m'M")));
        QDir dir(month.filePath(QStringLiteral("d%1").arg(day.day())));
        if (!dir.exists())
            continue;
        files -= filesIn(dir.path());
        dir.removeRecursively();
        if (month.isEmpty())
            month.removeRecursively();
    }
    return files;
}

void printRow(const char* what, const Measured& m, const QString& note = {})
{
    const QString requests = m.requests < 0 ? QStringLiteral("-") : QString::number(m.requests);
    std::printf("  %-36s %9lld ms %7d %7d %9s  %s\n", what, static_cast<long long>(m.ms), m.calls,
                m.reads, qPrintable(requests), qPrintable(note));
}

// One table: a folder of count files at folderPath, generated into backingPath.
void run(const QString& where, int count, int fullCount, const QString& backingPath,
         const QString& folderPath, SlowShare* share)
{
    const int generated = generate(backingPath, count, fullCount);
    const QString folder = WithTrailingSeparator(folderPath);
    RealFileAccess real;
    CountingFileAccess files(real);
    QTemporaryDir indexes;

    std::optional<AppointmentIndex::Found> crawled;
    const Measured withoutIndex = measure(files, share, [&] {
        auto searched =
            SearchCommand::searchFolder(files, folder, indexes.path(), kWords, kFrom, kTo);
        if (const auto* problem = std::get_if<QString>(&searched))
            qFatal("%s", qPrintable(*problem));
        crawled = std::get<AppointmentIndex::Found>(searched);
    });
    const Measured secondCrawl = measure(files, share, [&] {
        ProfileCache profiles(files);
        AppointmentIndex index(indexes.path());
        if (!index.open(folder))
            qFatal("cannot open the index in %s", qPrintable(indexes.path()));
        FolderCrawl crawl(files, profiles, index);
        while (crawl.step() == FolderCrawl::Step::More) {
        }
        if (!index.complete())
            qFatal("the second crawl did not end complete");
    });
    AppointmentIndex::Answer answer;
    const Measured fromIndex = measure(files, share, [&] {
        answer = AppointmentIndex::lookUp(indexes.path(), folder, kWords, kFrom, kTo);
    });
    if (!answer.usable || !answer.complete || answer.found.hits.size() != crawled->hits.size())
        qFatal("the index does not answer as the crawl found");
    const Measured printed = measure(files, share, [&] {
        QList<TerminPtr> records;
        for (const AppointmentIndex::Hit& hit : std::as_const(answer.found.hits))
            records << std::make_shared<const ClassTermin>(hit.record());
        QStringList unreadable;
        SearchCommand::linesOf(SearchLayout::listed(records, {kFrom, kTo}, QDate::currentDate()),
                               folder, files, unreadable);
    });

    // The whole command as a script runs it, where no window keeps an index of the folder: the
    // first time it crawls into its own, again it only checks the directories' times.
    QTemporaryDir noWindow;
    const auto command = [&] {
        QString out;
        QString err;
        QTextStream outStream(&out);
        QTextStream errStream(&err);
        const QStringList args{kWords[0],
                               kWords[1],
                               QStringLiteral("--from"),
                               kFrom.toString(Qt::ISODate),
                               QStringLiteral("--to"),
                               kTo.toString(Qt::ISODate),
                               QStringLiteral("--folder"),
                               folder};
        if (SearchCommand::run(args, outStream, errStream, noWindow.path(), noWindow.path()) != 0)
            qFatal("norvane-cli search failed: %s", qPrintable(err));
    };
    const Measured firstCommand = measure(files, share, command);
    const Measured againCommand = measure(files, share, command);

    const bool scaled = generated < fullCount;
    const QString scaling =
        scaled ? QStringLiteral(", scaled down from %1").arg(fullCount) : QString();
    std::printf("\n%s: %d appointment files%s; \"%s\" finds %lld\n", qPrintable(where), generated,
                qPrintable(scaling), qPrintable(kWords.join(u' ')),
                static_cast<long long>(answer.found.hits.size()));
    std::printf("  %-36s %12s %7s %7s %9s\n", "", "time", "calls", "reads", "requests");
    printRow("(a) hits from the complete index", fromIndex);
    printRow("    their lines printed", printed, QStringLiteral("reads the hits' files"));
    printRow("(b) no index: crawl, then search", withoutIndex);
    printRow("(c) second crawl, folder unchanged", secondCrawl,
             secondCrawl.reads > 0 ? QStringLiteral("files read again!")
                                   : QStringLiteral("metadata only"));
    printRow("(d) norvane-cli search, no window", firstCommand,
             QStringLiteral("crawls into its own index, prints"));
    printRow("    the same search again", againCommand,
             QStringLiteral("checks the directories' times, prints"));
    if (scaled) {
        const double factor = double(fullCount) / generated;
        std::printf("  %d files at the same cost per file: (b) about %.0f s, (c) about %.0f s\n",
                    fullCount, withoutIndex.ms * factor / 1000, secondCrawl.ms * factor / 1000);
    }
}

int countOf(const QStringList& args, const QString& option, const char* variable, int fallback)
{
    const qsizetype at = args.indexOf(option);
    bool ok = false;
    const int given =
        at >= 0 ? args.value(at + 1).toInt(&ok) : qEnvironmentVariableIntValue(variable, &ok);
    return ok && given > 0 ? given : fallback;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const int count = countOf(args, QStringLiteral("--count"), "", 20000);
    const int lanCount = countOf(args, QStringLiteral("--lan-count"),
                                 "NORVANE_SEARCH_BENCH_LAN_COUNT", std::min(count, 2000));
    const int vpnCount = countOf(args, QStringLiteral("--vpn-count"),
                                 "NORVANE_SEARCH_BENCH_VPN_COUNT", std::min(count, 100));

    {
        QTemporaryDir local;
        run(QStringLiteral("local disk"), count, count, local.path(), local.path(), nullptr);
    }
    if (const QString why = SlowShare::unavailable(); !why.isEmpty()) {
        std::printf("\nshare rows skipped: %s\n", qPrintable(why));
        return 0;
    }
    const std::tuple<double, int, const char*> shares[] = {{1.0, lanCount, "--lan-count"},
                                                           {25.0, vpnCount, "--vpn-count"}};
    for (const auto& [delayMs, used, option] : shares) {
        SlowShare share(delayMs);
        if (!share.error().isEmpty()) {
            std::printf("\n%g ms share: %s\n", delayMs, qPrintable(share.error()));
            continue;
        }
        run(QStringLiteral("%1 ms share (%2 N sets the files)").arg(delayMs).arg(option), used,
            count, share.backingPath(), share.mountPath(), &share);
    }
    return 0;
}
