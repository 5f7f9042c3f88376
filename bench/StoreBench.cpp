// How fast the store fills the week view and the month marks, and how many round trips to the
// disk it takes for it, on a data folder of three years and on one of thirty.
//
// "cold" builds the store objects afresh for every iteration, as at program start; "warm"
// reuses them, as when the view is redrawn. The operating system's own file cache is warm
// in both; set NORVANE_BENCH_DIR to generate the folders somewhere else, e.g. on a share.

#include "DataFolderGenerator.h"

#include "profile/FileAccess.h"
#include "profile/ProfileCache.h"
#include "settings/Settings.h"
#include "store/DataAccess.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>

namespace {

constexpr int kLastYear = 2023;
constexpr int kSmallYears = 3;
constexpr int kLargeYears = 30;
constexpr int kSweepDays = 61;

// A week in the last generated year: Monday 12 June 2023 to Sunday 18 June.
const QDate kWeekStart(kLastYear, 6, 12);
// Two months as a month view marks them: 1 May to 30 June.
const QDate kSweepStart(kLastYear, 5, 1);

enum class Variant { Small, Large };

struct Folder {
    const char* name = "";
    int years = 0;
    std::unique_ptr<QTemporaryDir> temp;
    QString programDir;
    QString dataFolder;
    DataFolderGenerator::Summary summary;
    qint64 generationMs = 0;

    bool ok() const { return temp && temp->isValid() && summary.ok; }
    QString error() const
    {
        if (!temp || !temp->isValid())
            return QStringLiteral("no temporary directory: ") + (temp ? temp->errorString() : "");
        return summary.error;
    }
};

std::unique_ptr<Folder> generate(const char* name, int years)
{
    auto folder = std::make_unique<Folder>();
    folder->name = name;
    folder->years = years;
    const QString parent = qEnvironmentVariable("NORVANE_BENCH_DIR");
    folder->temp =
        parent.isEmpty()
            ? std::make_unique<QTemporaryDir>()
            : std::make_unique<QTemporaryDir>(parent + QStringLiteral("/norvane-bench-XXXXXX"));
    if (!folder->temp->isValid())
        return folder;
    const QString root = QDir::toNativeSeparators(folder->temp->path()) + QDir::separator();
    folder->programDir = root + QStringLiteral("program") + QDir::separator();
    folder->dataFolder = root + QStringLiteral("data") + QDir::separator();
    QDir().mkpath(folder->programDir);
    QDir().mkpath(folder->dataFolder);

    DataFolderGenerator::Options options;
    options.years = years;
    options.lastYear = kLastYear;
    QElapsedTimer timer;
    timer.start();
    folder->summary = DataFolderGenerator(options).write(folder->dataFolder);
    folder->generationMs = timer.elapsed();
    return folder;
}

// Generated on first use and removed at exit.
std::unique_ptr<Folder> g_small;
std::unique_ptr<Folder> g_large;

const Folder& folder(Variant variant)
{
    std::unique_ptr<Folder>& slot = variant == Variant::Small ? g_small : g_large;
    if (!slot) {
        slot = variant == Variant::Small ? generate("small", kSmallYears)
                                         : generate("large", kLargeYears);
    }
    return *slot;
}

// The store objects as the program builds them at start, counting every file operation.
struct Store {
    explicit Store(const Folder& folder)
        : files(ThreadFileAccess())
        , profiles(files)
        , settings(profiles, folder.programDir)
        , data(profiles, settings)
    {
        settings.setActiveFolder(folder.dataFolder);
    }

    CountingFileAccess files;
    ProfileCache profiles;
    Settings settings;
    DataAccess data;
};

int readWeek(DataAccess& data)
{
    int found = 0;
    for (int i = 0; i < 7; ++i)
        found += int(data.GetAppointmentsOfDay(kWeekStart.addDays(i)).size());
    return found;
}

int markDays(DataAccess& data)
{
    int marked = 0;
    for (int i = 0; i < kSweepDays; ++i)
        marked += data.HasAppointments(kSweepStart.addDays(i)) ? 1 : 0;
    return marked;
}

// File operations and results summed over all iterations, reported per iteration.
struct Tally {
    double listings = 0;
    double metadata = 0;
    double reads = 0;
    double writes = 0; // anything that changes the disk: writes, removals, new directories
    double found = 0;

    void add(const CountingFileAccess::Counts& counts)
    {
        listings += counts.listings;
        metadata += counts.metadataQueries;
        reads += counts.reads;
        writes += counts.writes + counts.removals + counts.makePaths;
    }

    void report(benchmark::State& state, const char* foundName) const
    {
        constexpr auto perIteration = benchmark::Counter::kAvgIterations;
        state.counters["listings"] = benchmark::Counter(listings, perIteration);
        state.counters["metadata"] = benchmark::Counter(metadata, perIteration);
        state.counters["reads"] = benchmark::Counter(reads, perIteration);
        state.counters["writes"] = benchmark::Counter(writes, perIteration);
        state.counters[foundName] = benchmark::Counter(found, perIteration);
    }
};

bool usable(benchmark::State& state, const Folder& folder)
{
    if (folder.ok())
        return true;
    state.SkipWithError(folder.error().toLocal8Bit().constData());
    return false;
}

// A fresh store every iteration, so nothing is cached; set-up is not timed.
void runCold(benchmark::State& state, Variant variant, int (*work)(DataAccess&),
             const char* foundLabel)
{
    const Folder& f = folder(variant);
    if (!usable(state, f))
        return;
    Tally tally;
    std::unique_ptr<Store> store;
    for (auto _ : state) {
        state.PauseTiming();
        store.reset();
        store = std::make_unique<Store>(f);
        state.ResumeTiming();

        const int found = work(store->data);
        benchmark::DoNotOptimize(found);
        tally.found += found;
        tally.add(store->files.counts());
    }
    store.reset();
    tally.report(state, foundLabel);
}

void BM_WeekCold(benchmark::State& state, Variant variant)
{
    runCold(state, variant, readWeek, "appointments");
}

void BM_WeekWarm(benchmark::State& state, Variant variant)
{
    const Folder& f = folder(variant);
    if (!usable(state, f))
        return;
    Store store(f);
    readWeek(store.data);
    store.files.resetCounts();

    Tally tally;
    for (auto _ : state) {
        const int found = readWeek(store.data);
        benchmark::DoNotOptimize(found);
        tally.found += found;
    }
    tally.add(store.files.counts());
    tally.report(state, "appointments");
}

// The day marks would otherwise answer every day at once from the cache.
void BM_MonthMarksCold(benchmark::State& state, Variant variant)
{
    runCold(state, variant, markDays, "marked_days");
}

BENCHMARK_CAPTURE(BM_WeekCold, small, Variant::Small)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_WeekCold, large, Variant::Large)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_WeekWarm, small, Variant::Small)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_WeekWarm, large, Variant::Large)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_MonthMarksCold, small, Variant::Small)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_MonthMarksCold, large, Variant::Large)->Unit(benchmark::kMicrosecond);

// The best of several rounds, the two folders taking turns so that both see the same machine.
void compareWarmWeeks()
{
    const Folder& small = folder(Variant::Small);
    const Folder& large = folder(Variant::Large);
    if (!small.ok() || !large.ok()) {
        std::printf("warm week large/small: not measured (%s)\n",
                    qPrintable(small.ok() ? large.error() : small.error()));
        return;
    }
    Store smallStore(small);
    Store largeStore(large);
    readWeek(smallStore.data);
    readWeek(largeStore.data);

    constexpr int kRounds = 7;
    constexpr int kWeeksPerRound = 200;
    double best[2] = {std::numeric_limits<double>::max(), std::numeric_limits<double>::max()};
    QElapsedTimer timer;
    for (int round = 0; round < kRounds; ++round) {
        Store* stores[2] = {&smallStore, &largeStore};
        for (int which = 0; which < 2; ++which) {
            timer.start();
            for (int i = 0; i < kWeeksPerRound; ++i)
                benchmark::DoNotOptimize(readWeek(stores[which]->data));
            best[which] = std::min(best[which], double(timer.nsecsElapsed()) / kWeeksPerRound);
        }
    }
    const double ratio = best[1] / best[0];
    std::printf("warm week large/small: %.2f (small %.1f us, large %.1f us per week, best of "
                "%d x %d; within 1.2: %s)\n",
                ratio, best[0] / 1000.0, best[1] / 1000.0, kRounds, kWeeksPerRound,
                ratio <= 1.2 ? "yes" : "no");
}

void describe(const std::unique_ptr<Folder>& folder)
{
    if (!folder || !folder->ok())
        return;
    const DataFolderGenerator::Summary& s = folder->summary;
    std::printf("data folder %s: %d years (%d-%d), %d working days, %d one-time + %d recurring "
                "files, written in %.2f s\n",
                folder->name, folder->years, s.firstDay.year(), s.lastDay.year(), s.workingDays,
                s.oneTimeFiles, s.recurringFiles, double(folder->generationMs) / 1000.0);
}

bool listingOnly(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--benchmark_list_tests", 22) == 0 &&
            std::strstr(argv[i], "=false") == nullptr)
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const bool listing = listingOnly(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    if (!listing) {
        std::fflush(stdout);
        compareWarmWeeks();
        describe(g_small);
        describe(g_large);
    }
    benchmark::Shutdown();
    g_small.reset();
    g_large.reset();
    return 0;
}
