// The rebuild of the week view on a generated data folder, offscreen: cold (nothing cached)
// and warm (files unchanged since the last rebuild), with the file operations of each.
#include "AppointmentFiling.h"
#include "Calendar.h"
#include "DataAccess.h"
#include "DataFolderGenerator.h"
#include "Settings.h"
#include "form_main.h"

#include <QApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

const QDateTime kNow(QDate(2023, 6, 14), QTime(10, 0)); // a Wednesday inside the generated years

struct Folder {
    QTemporaryDir dir;
    QTemporaryDir program;
};

const Folder& folder()
{
    static const std::unique_ptr<Folder> generated = [] {
        auto f = std::make_unique<Folder>();
        DataFolderGenerator({}).write(f->dir.path());
        return f;
    }();
    return *generated;
}

// One main window on its own caches, showing the week of kNow.
struct Window {
    CountingFileAccess files{RealFileAccess::instance()};
    ProfileCache profiles{files};
    Settings settings{profiles, folder().program.path()};
    DataAccess store{profiles, settings, [] { return kNow; }};
    AppointmentFiling filing{store, settings};
    form_main window{settings, store, filing};

    Window()
    {
        settings.setActiveFolder(folder().dir.path());
        window.setClock([] { return kNow; });
        window.resize(1100, 760);
        window.calendar1().setSelectedDate(kNow.date());
        window.calendar1().setShowDate(kNow.date());
        window.calendar1().setIsWeekSelected(true);
        window.calendar1().SelectWeek();
    }
};

void report(benchmark::State& state, const CountingFileAccess::Counts& c, int iterations)
{
    state.counters["listings"] = double(c.listings) / iterations;
    state.counters["metadata"] = double(c.metadataQueries) / iterations;
    state.counters["reads"] = double(c.reads) / iterations;
}

void BM_WeekViewCold(benchmark::State& state)
{
    CountingFileAccess::Counts total;
    int iterations = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto w = std::make_unique<Window>();
        w->files.resetCounts(); // the calendars' day marks of the set-up are not the view's
        state.ResumeTiming();
        w->window.LoadView();
        state.PauseTiming();
        const auto& c = w->files.counts();
        total.listings += c.listings;
        total.metadataQueries += c.metadataQueries;
        total.reads += c.reads;
        ++iterations;
        w.reset();
        state.ResumeTiming();
    }
    report(state, total, std::max(1, iterations));
}
BENCHMARK(BM_WeekViewCold)->Unit(benchmark::kMillisecond);

void BM_WeekViewWarm(benchmark::State& state)
{
    Window w;
    w.window.LoadView();
    w.files.resetCounts();
    int iterations = 0;
    for (auto _ : state) {
        w.window.LoadView();
        ++iterations;
    }
    report(state, w.files.counts(), std::max(1, iterations));
}
BENCHMARK(BM_WeekViewWarm)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
