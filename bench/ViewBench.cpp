// The rebuild of the week view on a generated data folder, offscreen: cold (nothing cached)
// and warm (files unchanged since the last rebuild), with the file operations of each. Then a
// day crowded with appointments: its column layout alone, and the rebuild of its day view.
// Then a week of 20,000 appointments: the window's time to show it when stepping back to it,
// and the window's time for a refresh that finds nothing changed.
#include "DataFolderGenerator.h"
#include "edit/AppointmentEditing.h"
#include "layout/DayLayout.h"
#include "service/SettingsJobs.h"
#include "service/StoreService.h"
#include "settings/Settings.h"
#include "store/AppointmentFiling.h"
#include "store/DataAccess.h"
#include "views/Calendar.h"
#include "views/form_main.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <ctime>
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

void writeAppointment(const QString& dayDirectory, int number, const QDate& d,
                      const BusyAppointment& a)
{
    QFile file(dayDirectory + QString::number(number) + QStringLiteral(".nv3"));
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
    file.setFileTime(QDateTime::currentDateTime().addDays(-1), QFileDevice::FileModificationTime);
}

// A data folder that holds nothing but n crowded appointments on the given days, in turn.
const QTemporaryDir& busyFolder(int n, const QList<QDate>& days)
{
    static std::map<std::pair<int, qsizetype>, std::unique_ptr<QTemporaryDir>> folders;
    std::unique_ptr<QTemporaryDir>& dir = folders[{n, days.size()}];
    if (dir)
        return *dir;
    dir = std::make_unique<QTemporaryDir>();
    QStringList directories;
    for (const QDate& d : days) {
        directories << dir->filePath(
            QStringLiteral("y%1/m%2/d%3/").arg(d.year()).arg(d.month()).arg(d.day()));
        QDir().mkpath(directories.last());
    }
    int number = 10000000;
    int i = 0;
    for (const BusyAppointment& a : busyDay(n)) {
        const qsizetype day = i++ % days.size();
        writeAppointment(directories[day], ++number, days[day], a);
    }
    return *dir;
}

// The crowded day of kNow.
const QTemporaryDir& busyFolder(int n)
{
    return busyFolder(n, {kNow.date()});
}

// Monday to Friday of kNow's week, the days the week view shows by default.
QList<QDate> workingWeek()
{
    const QDate monday = kNow.date().addDays(1 - kNow.date().dayOfWeek());
    QList<QDate> days;
    for (int i = 0; i < 5; ++i)
        days << monday.addDays(i);
    return days;
}

// One main window on its own store service, showing the week of kNow (the day with
// week = false). The service's requests to the folder are counted.
struct Window {
    CountingFileAccess files{ThreadFileAccess()};
    ProfileCache profiles{ThreadFileAccess()};
    Settings settings{profiles, folder().program.path()};
    StoreService service{serviceOptions()};
    SettingsJobs settingsJobs{service.jobs()};
    AppointmentEditing editing{service};
    form_main window{settings, settingsJobs, service, editing};

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
        options.files = [this] { return files.makeCounted(); };
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
        benchmark::DoNotOptimize(DayLayout::columnCount(DayLayout::columns(day, false)));
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

// What the window's thread spends on a rebuild: the rebuild itself and the events it leaves
// behind (labels to delete, paints), not the store's look at the folder afterwards. Wall time,
// and the thread's own processor time, which a busy machine does not stretch.
struct Spent {
    double wall = 0;
    double cpu = 0;
};

double threadCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

Spent windowSpent(Window& w)
{
    QElapsedTimer timer;
    timer.start();
    const double cpu = threadCpuSeconds();
    w.window.LoadView();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    const Spent spent{timer.nsecsElapsed() / 1e9, threadCpuSeconds() - cpu};
    while (!w.service.idle())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    return spent;
}

void reportWindowCpu(benchmark::State& state, double cpu)
{
    state.counters["window_cpu_ms"] = 1000 * cpu / double(std::max<int64_t>(1, state.iterations()));
}

// A week of 20,000 appointments, shown again after a step to the empty week after it.
void BM_BusyWeekSwitchTo(benchmark::State& state)
{
    Window w(busyFolder(int(state.range(0)), workingWeek()).path());
    w.window.show();
    w.LoadView();
    double cpu = 0;
    for (auto _ : state) {
        w.window.calendar1().setSelectedDate(kNow.date().addDays(7));
        w.window.calendar1().SelectWeek();
        windowSpent(w);
        w.window.calendar1().setSelectedDate(kNow.date());
        w.window.calendar1().SelectWeek();
        const Spent spent = windowSpent(w);
        state.SetIterationTime(spent.wall);
        cpu += spent.cpu;
    }
    reportWindowCpu(state, cpu);
}
BENCHMARK(BM_BusyWeekSwitchTo)
    ->Arg(20000)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

// The heartbeat's refresh of that week when nothing changed.
void BM_BusyWeekIdleRefresh(benchmark::State& state)
{
    Window w(busyFolder(int(state.range(0)), workingWeek()).path());
    w.window.show();
    w.LoadView();
    double cpu = 0;
    for (auto _ : state) {
        const Spent spent = windowSpent(w);
        state.SetIterationTime(spent.wall);
        cpu += spent.cpu;
    }
    reportWindowCpu(state, cpu);
}
BENCHMARK(BM_BusyWeekIdleRefresh)
    ->Arg(20000)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

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
