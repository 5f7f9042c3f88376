// The rebuild of the week view on a generated data folder, offscreen: cold (nothing cached)
// and warm (files unchanged since the last rebuild), with the file operations of each. Then a
// day crowded with appointments: its column layout alone, and the rebuild of its day view.
#include "AppointmentEditing.h"
#include "AppointmentFiling.h"
#include "Calendar.h"
#include "ClassDay.h"
#include "DataAccess.h"
#include "DataFolderGenerator.h"
#include "Settings.h"
#include "StoreService.h"
#include "form_main.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <map>
#include <random>

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

// A crowded day: n appointments between 07:00 and 19:00 on the quarter hour, a quarter to two
// hours long, in 14 colours. The engine's raw output is the same everywhere.
struct BusyAppointment {
    int start = 0; // minutes after midnight
    int end = 0;
    int color = 1;
};

QList<BusyAppointment> busyDay(int n)
{
    std::mt19937 rng(20230614u + unsigned(n));
    QList<BusyAppointment> day;
    for (int i = 0; i < n; ++i) {
        BusyAppointment a;
        a.start = (7 * 4 + int(rng() % 48)) * 15;
        a.end = a.start + (1 + int(rng() % 8)) * 15;
        a.color = 1 + int(rng() % 14);
        day.append(a);
    }
    return day;
}

QList<TerminPtr> busyAppointments(int n)
{
    QList<TerminPtr> list;
    for (const BusyAppointment& b : busyDay(n)) {
        auto a = std::make_shared<ClassTermin>();
        a->setDatum(kNow.date());
        a->setStartTime(TimeOfDay::fromMinutes(b.start));
        a->setEndTime(TimeOfDay::fromMinutes(b.end));
        a->setColorCode(qint16(b.color));
        list.append(a);
    }
    return list;
}

// A data folder that holds nothing but the crowded day of kNow.
const QTemporaryDir& busyFolder(int n)
{
    static std::map<int, std::unique_ptr<QTemporaryDir>> folders;
    std::unique_ptr<QTemporaryDir>& dir = folders[n];
    if (dir)
        return *dir;
    dir = std::make_unique<QTemporaryDir>();
    const QDate d = kNow.date();
    const QString day =
        dir->filePath(QStringLiteral("y%1/m%2/d%3/").arg(d.year()).arg(d.month()).arg(d.day()));
    QDir().mkpath(day);
    int number = 10000000;
    for (const BusyAppointment& a : busyDay(n)) {
        QFile file(day + QString::number(++number) + QStringLiteral(".nv3"));
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(file.fileName()));
        file.write(QStringLiteral("[AppointmentSettings]\r\nDateYear=%1\r\nDateMonth=%2\r\n"
                                  "DateDay=%3\r\nStartTimeHour=%4\r\nStartTimeMinute=%5\r\n"
                                  "EndTimeHour=%6\r\nEndTimeMinute=%7\r\nColor=%8\r\n"
                                  "Text=Room plan %9\r\n")
                       .arg(d.year())
                       .arg(d.month())
                       .arg(d.day())
                       .arg(a.start / 60)
                       .arg(a.start % 60)
                       .arg(a.end / 60)
                       .arg(a.end % 60)
                       .arg(a.color)
                       .arg(number)
                       .toLatin1());
        // As in a folder in daily use: written long before it is read.
        file.flush();
        file.setFileTime(QDateTime::currentDateTime().addDays(-1),
                         QFileDevice::FileModificationTime);
    }
    return *dir;
}

// One main window on its own store service, showing the week of kNow (the day with
// week = false). The service's requests to the folder are counted.
struct Window {
    RealFileAccess share;
    CountingFileAccess files{share};
    ProfileCache profiles{RealFileAccess::instance()};
    Settings settings{profiles, folder().program.path()};
    StoreService service{serviceOptions()};
    AppointmentEditing editing{service.filer()};
    form_main window{settings, service, editing};

    explicit Window(const QString& dataFolder = folder().dir.path(), bool week = true)
    {
        settings.setActiveFolder(dataFolder);
        window.setClock([] { return kNow; });
        window.resize(1100, 760);
        window.calendar1().setSelectedDate(kNow.date());
        window.calendar1().setShowDate(kNow.date());
        window.calendar1().setIsWeekSelected(week);
        if (week)
            window.calendar1().SelectWeek();
    }
    StoreService::Options serviceOptions()
    {
        StoreService::Options options;
        options.files = [this] {
            return std::make_unique<ForwardingFileAccess>(static_cast<FileAccess&>(files));
        };
        options.clock = [] { return kNow; };
        options.watchFolders = false;
        return options;
    }
    // A rebuild, and everything it asked the store service, answered and shown.
    void LoadView()
    {
        window.LoadView();
        while (!service.idle())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
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
        w->LoadView();
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

// Rebuilds after a first one, so every file is in the caches.
void warmRebuilds(benchmark::State& state, Window& w)
{
    w.LoadView();
    w.files.resetCounts();
    int iterations = 0;
    for (auto _ : state) {
        w.LoadView();
        ++iterations;
    }
    report(state, w.files.counts(), std::max(1, iterations));
}

void BM_WeekViewWarm(benchmark::State& state)
{
    Window w;
    warmRebuilds(state, w);
}
BENCHMARK(BM_WeekViewWarm)->Unit(benchmark::kMillisecond);

// Side by side placement of a crowded day, as every rebuild of its column runs it.
void BM_BusyDayLayout(benchmark::State& state)
{
    const QList<TerminPtr> day = busyAppointments(int(state.range(0)));
    for (auto _ : state) {
        ClassDay::AssignColumns(day, false);
        benchmark::DoNotOptimize(ClassDay::MaxColumn(day));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_BusyDayLayout)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// The warm rebuild of a crowded day's view: loading, layout and one label per appointment.
void BM_BusyDayViewWarm(benchmark::State& state)
{
    Window w(busyFolder(int(state.range(0))).path(), false);
    warmRebuilds(state, w);
}
BENCHMARK(BM_BusyDayViewWarm)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

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
