// The main window on a real slow share (tests/support/slow_share.py), as a LAN (1 ms per request)
// and a VPN (25 ms) serve it, with a generated week of 21 appointments, on both kinds of the
// test share: the harsh one (nothing kept by the kernel, a directory's names asked one at a
// time) and the client-like one (names asked in parallel and kept for a second, as a file
// server's client on a workstation does). For the first show of the week, a refresh of the
// unchanged week, a step to the next week (its neighbours read in the background before), the
// save of one appointment, another copy's save into a shown day and a start of the program
// whose local index knows last session's week, the requests the share saw (the store's and the
// folder watch's) and the most of them in flight at once, when the step's own answer came
// (shown, for the start from the index), when the store service was idle and when the share
// heard its last request, and the longest gap between two ticks of a 5 ms timer on the
// window's thread meanwhile: how long the window could not have answered. Then, once the
// index's crawl has ended, the requests of a minute with the window open and nothing changed.
// Last, the first show of a week of one data folder alone and of three shown at once, each
// with its own store service. Prints a table and the goals beside what was measured; where no
// slow share of a kind can be mounted it says why.
//
// NORVANE_BENCH_DELAYS ("1 25"), NORVANE_BENCH_SHARES ("harsh client-like") and
// NORVANE_BENCH_MINUTE_S (60; 0 skips the quiet minute) choose what runs.
#include "DataFolderGenerator.h"
#include "SlowShare.h"
#include "Ticks.h"
#include "edit/AppointmentEditing.h"
#include "index/AppointmentIndex.h"
#include "service/FolderWatch.h"
#include "service/SettingsJobs.h"
#include "service/StoreService.h"
#include "settings/Settings.h"
#include "store/AppointmentFiling.h"
#include "views/ClassDay.h"
#include "views/DayWeekView.h"
#include "views/form_main.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>

namespace {

const QDateTime kNow(QDate(2023, 6, 14), QTime(10, 0)); // a Wednesday in the generated year

// The main window and its store service on the share, as the program makes them.
struct Program {
    QTemporaryDir dir;
    ProfileCache profiles{ThreadFileAccess()};
    std::unique_ptr<Settings> settings;
    StoreService service;
    SettingsJobs settingsJobs{service.jobs()};
    AppointmentEditing editing{service};
    std::unique_ptr<form_main> window;

    // As the desktop program makes it: the shown days' directories looked at every two
    // seconds, and with indexDirectory a local index to start from.
    static StoreService::Options options(const QString& indexDirectory)
    {
        StoreService::Options options;
        options.directoryCheckMs = 2000;
        options.indexDirectory = indexDirectory;
        options.clock = [] { return kNow; }; // the window's day: what series are written ahead from
        return options;
    }

    // beside: folders shown beside dataFolder, the active one.
    Program(const QString& dataFolder, const QString& indexDirectory,
            const QStringList& beside = {})
        : service(options(indexDirectory))
    {
        QFile pointer(dir.filePath(QStringLiteral("Settings.ini")));
        QFile ini(dir.filePath(QStringLiteral("Norvane4.ini")));
        if (!pointer.open(QIODevice::WriteOnly) || !ini.open(QIODevice::WriteOnly))
            qFatal("cannot write the program's settings in %s", qPrintable(dir.path()));
        pointer.write("[DataFolders]\r\nFolderCount=" + QByteArray::number(beside.size() + 1) +
                      "\r\nFolder1=" + dataFolder.toUtf8() + "\r\n");
        for (int n = 2; n <= beside.size() + 1; ++n)
            pointer.write(
                QStringLiteral("Folder%1=%2\r\nShown%1=1\r\n").arg(n).arg(beside[n - 2]).toUtf8());
        ini.write("[International]\r\nLangCode=en\r\nFirstWeekday=2\r\n[Application]\r\n"
                  "FirstStart=0\r\n[Program]\r\nStartWithWeek=1\r\nDayInterval=3600\r\n"
                  "MonthInterval=3600\r\n");
        pointer.close();
        ini.close();
        settings = std::make_unique<Settings>(profiles, dir.path());
        settings->LoadActiveFolder();
        settings->LoadSettings();
        window = std::make_unique<form_main>(*settings, settingsJobs, service, editing);
        window->setClock([] { return kNow; });
        window->resize(1100, 760);
    }
};

struct Row {
    const char* step;
    qsizetype requests = 0;
    qint64 answeredMs = -1;
    qint64 idleMs = -1;
    qint64 quietMs = 0;
    qint64 longestGapMs = 0;
    int inFlight = 0;
};

// The most requests the share was serving at one time: each takes its delay from its start.
int mostInFlight(const QList<SlowShare::Request>& requests, double delayMs)
{
    QList<double> starts;
    for (const SlowShare::Request& request : requests)
        starts << request.at;
    std::sort(starts.begin(), starts.end());
    int most = 0;
    qsizetype first = 0;
    for (qsizetype i = 0; i < starts.size(); ++i) {
        while (starts[i] - starts[first] >= delayMs / 1000.0)
            ++first;
        most = std::max(most, int(i - first + 1));
    }
    return most;
}

// Runs action, then the window's events until answered() (the step's own answer), the store
// service is idle and the share has seen no request for a while: a change the folder watch
// saw (our own save's, say) brings a refresh after its quiet time, and the watch's own
// questions count too.
constexpr qint64 kGiveUpMs = 300000;

// With NORVANE_BENCH_REQUESTS=DIR, each step's requests as the share saw them, one a line
// with its time, to DIR/<share> <delay> ms <step>.log: what to look at when a step got slower.
void keepRequests(const char* step, const SlowShare& share, double delayMs,
                  const QList<SlowShare::Request>& requests)
{
    const QString dir = qEnvironmentVariable("NORVANE_BENCH_REQUESTS");
    if (dir.isEmpty())
        return;
    QFile log(QStringLiteral("%1/%2 %3 ms %4.log")
                  .arg(dir, QLatin1String(SlowShare::nameOf(share.kind())))
                  .arg(delayMs)
                  .arg(QLatin1String(step)));
    if (!log.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write %s", qPrintable(log.fileName()));
    for (const SlowShare::Request& request : requests)
        log.write(QStringLiteral("%1 %2 %3\n")
                      .arg(request.at, 0, 'f', 3)
                      .arg(request.operation, request.path)
                      .toUtf8());
}

Row measure(const char* step, SlowShare& share, double delayMs, Program& program, Ticks& ticks,
            const std::function<void()>& action, const std::function<bool()>& answered,
            bool waitForQuiet = true)
{
    const QTimer* refresh =
        program.window->findChild<QTimer*>(QStringLiteral("timer_refresh_view"));
    share.restartLog();
    QElapsedTimer clock;
    clock.start();
    ticks.restart();
    action();
    Row row{step};
    qint64 lastLook = 0;
    for (;;) {
        const qint64 now = clock.elapsed();
        if (row.answeredMs < 0 && answered())
            row.answeredMs = now;
        if (!program.window->stores().idle() || refresh->isActive())
            row.idleMs = -1;
        else if (row.idleMs < 0)
            row.idleMs = now;
        // Reading the log costs the window's thread too: not at every tick.
        if (now - lastLook >= 50) {
            lastLook = now;
            if (const qsizetype requests = share.requests().size(); requests != row.requests) {
                row.requests = requests;
                row.quietMs = now;
            }
        }
        // The index's crawl keeps a share busy long after a start: there the store's idle ends it.
        if (now > kGiveUpMs) {
            std::printf("%s: no answer within %lld s\n", step, kGiveUpMs / 1000);
            break;
        }
        if (row.answeredMs >= 0 && row.idleMs >= 0 &&
            (!waitForQuiet ||
             now - std::max(row.quietMs, row.idleMs) > 2 * FolderWatch::kQuietMilliseconds))
            break;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    row.longestGapMs = ticks.longest();
    const QList<SlowShare::Request> requests = share.requests();
    row.requests = requests.size();
    row.inFlight = mostInFlight(requests, delayMs);
    keepRequests(step, share, delayMs, requests);
    return row;
}

int weekAppointments(const Program& program)
{
    int found = 0;
    for (int c = 1; c <= program.window->view().DayColumnCount(); ++c)
        found += int(program.service.knownDay(program.window->view().DayColumn(c)->datum())
                         .value_or(QList<TerminPtr>())
                         .size());
    return found;
}

// Series one recurring file cannot hold, without end, kept by their rule files (workdays as
// weekly files, the others as one-time files in the day directories):
// NORVANE_BENCH_RULE_SERIES of them, filed as the window files them.
void fileRuleSeries(const QString& folder, int count)
{
    const QStringList rules = {"FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,TH", "FREQ=MONTHLY;BYDAY=-1FR",
                               "FREQ=WEEKLY;BYDAY=MO,TU,WE,TH,FR", "FREQ=DAILY;INTERVAL=2",
                               "FREQ=MONTHLY;BYDAY=2TU"};
    ProfileCache profiles{ThreadFileAccess()};
    DataAccess store(profiles, StoreSource::fixed(folder + '/'), [] { return kNow; });
    AppointmentFiling filing(store);
    for (int i = 0; i < count; ++i) {
        ClassTermin series;
        series.setRule(RepeatRule::fromRRule(rules[i % rules.size()], kNow.date().addDays(-30)));
        series.setIsRecurring(true);
        series.setDatum(series.Rule()->start);
        series.setRecurringStartDate(series.Rule()->start);
        series.setRecurringEndDate(kLastFileDate);
        series.setStartTime(TimeOfDay::fromHourMinute(8 + i % 8, 0));
        series.setEndTime(TimeOfDay::fromHourMinute(9 + i % 8, 0));
        series.setText(QStringLiteral("Series %1").arg(i + 1));
        if (!filing.File(series).ok)
            qFatal("cannot file a series in %s", qPrintable(folder));
    }
}

// The first show of the week of one data folder alone, then of three shown at once (three
// generated folders alike on the share): each folder's store service reads on its own thread.
QList<Row> shownAtOnce(SlowShare& share, double delayMs,
                       const DataFolderGenerator::Options& options, Ticks& ticks)
{
    QStringList folders;
    for (const char* name : {"one", "two", "three"}) {
        folders << share.mountPath() + '/' + name;
        const DataFolderGenerator::Summary generated =
            DataFolderGenerator(options).write(share.backingPath() + '/' + name);
        if (!generated.ok)
            qFatal("%s", qPrintable(generated.error));
    }
    QList<Row> rows;
    for (const qsizetype shown : {1, 3}) {
        Program program(folders[0], QString(), folders.mid(1, shown - 1));
        const auto viewKnown = [&] {
            for (const StoreService* service : program.window->stores().all())
                for (int c = 1; c <= program.window->view().DayColumnCount(); ++c)
                    if (!service->knownDay(program.window->view().DayColumn(c)->datum()))
                        return false;
            return true;
        };
        rows << measure(
            shown == 1 ? "first show, one folder" : "first show, three folders", share, delayMs,
            program, ticks, [&] { program.window->Form_Load(); }, viewKnown, false);
        program.service.shutDown();
    }
    return rows;
}

// Once the index's first crawl has ended (crawlEndedMs, since the window's start, else -1 on
// giving up), the requests of `seconds` with the window open and nothing changed.
Row quietMinute(SlowShare& share, double delayMs, Program& program, Ticks& ticks, int seconds,
                qint64* crawlEndedMs, const QElapsedTimer& sinceStart)
{
    // A crawl reads every file of the folder once, one directory at a time while the window
    // waits for nothing: on a 25 ms share some minutes.
    constexpr qint64 kCrawlGiveUpMs = 20 * 60 * 1000;
    *crawlEndedMs = -1;
    while (sinceStart.elapsed() < kCrawlGiveUpMs) {
        if (program.service.crawlProgress().roundEnded) {
            *crawlEndedMs = sinceStart.elapsed();
            break;
        }
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    share.restartLog();
    ticks.restart();
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < seconds * 1000LL)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    Row row{"a quiet minute, crawled"};
    const QList<SlowShare::Request> requests = share.requests();
    row.requests = requests.size() * 60 / std::max(1, seconds);
    keepRequests(row.step, share, delayMs, requests);
    row.longestGapMs = ticks.longest();
    return row;
}

// A goal beside what was measured: printed, never asserted.
void goal(const char* what, qint64 measured, qint64 most, const char* unit)
{
    std::printf("  goal %-44s <= %5lld %s: %7lld %s  %s\n", what, static_cast<long long>(most),
                unit, static_cast<long long>(measured), unit,
                measured >= 0 && measured <= most ? "met" : "NOT MET");
}

void run(double delayMs, SlowShare::Kind kind)
{
    SlowShare share(delayMs, kind);
    const char* kindName = SlowShare::nameOf(kind);
    if (!share.error().isEmpty()) {
        std::printf("%g ms %s share: %s\n", delayMs, kindName, qPrintable(share.error()));
        return;
    }
    DataFolderGenerator::Options options;
    options.years = 1;
    options.lastYear = kNow.date().year();
    options.appointmentsPerDay = 4;
    options.recurringFiles = 6; // one of them in the week shown: 21 appointments
    const DataFolderGenerator::Summary generated =
        DataFolderGenerator(options).write(share.backingPath());
    if (!generated.ok)
        qFatal("%s", qPrintable(generated.error));
    fileRuleSeries(share.backingPath(), qEnvironmentVariableIntValue("NORVANE_BENCH_RULE_SERIES"));

    Ticks ticks;
    QTemporaryDir indexes;
    // The first start without an index, as after an installation: nothing crawls meanwhile.
    auto program = std::make_unique<Program>(share.mountPath(), QString());
    const auto viewKnown = [&] {
        for (int c = 1; c <= program->window->view().DayColumnCount(); ++c)
            if (!program->service.knownDay(program->window->view().DayColumn(c)->datum()))
                return false;
        return true;
    };
    QList<Row> rows;
    rows << measure(
        "first show of the week", share, delayMs, *program, ticks,
        [&] { program->window->Form_Load(); }, viewKnown);
    const int shown = weekAppointments(*program);
    QList<TerminPtr> lastSession;
    for (int c = 1; c <= program->window->view().DayColumnCount(); ++c)
        lastSession << program->service.knownDay(program->window->view().DayColumn(c)->datum())
                           .value_or(QList<TerminPtr>());
    rows << measure(
        "refresh, week unchanged", share, delayMs, *program, ticks,
        [&] { program->window->LoadView(); }, [&] { return program->service.idle(); });
    rows << measure(
        "step to the next week", share, delayMs, *program, ticks,
        [&] {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
            QCoreApplication::sendEvent(program->window.get(), &press);
        },
        viewKnown);
    // Asked for, and done once the store service answers.
    bool saved = false;
    rows << measure(
        "save of one appointment", share, delayMs, *program, ticks,
        [&] {
            ClassTermin appointment;
            appointment.setDatum(kNow.date().addDays(7));
            appointment.setStartTime(TimeOfDay::fromHourMinute(12, 0));
            appointment.setEndTime(TimeOfDay::fromHourMinute(13, 0));
            appointment.setText(QStringLiteral("Lunch"));
            saved = false;
            program->service.file(appointment,
                                  [&](const WriteOutcome& outcome, const ClassTermin&) {
                                      if (!outcome.ok)
                                          qFatal("the save failed");
                                      saved = true;
                                  });
        },
        [&] { return saved; });
    // Another machine's copy saves as this one does, renaming into the day's directory; no
    // change notification tells this machine of it.
    const int beforeOthers = weekAppointments(*program);
    rows << measure(
        "another copy's save seen", share, delayMs, *program, ticks,
        [&] {
            const QString day = kNow.date().addDays(8).toString("/'y'yyyy/'m'M/'d'd/");
            const QString written = share.backingPath() + QStringLiteral("/other.tmp");
            QFile file(written);
            if (!file.open(QIODevice::WriteOnly) ||
                file.write("[AppointmentSettings]\r\nStartTimeHour=15\r\nEndTimeHour=16\r\n"
                           "Text=From another copy\r\n") < 0)
                qFatal("cannot write %s", qPrintable(written));
            file.close();
            if (!QFile::rename(written, share.backingPath() + day + QStringLiteral("4242.nv3")))
                qFatal("cannot move %s into %s", qPrintable(written), qPrintable(day));
        },
        [&] { return weekAppointments(*program) > beforeOthers; });
    program->service.shutDown();
    program.reset();

    // Last session's week, as a finished crawl leaves it in the local index.
    {
        AppointmentIndex index(indexes.path());
        if (!index.open(share.mountPath()))
            qFatal("cannot make an index in %s", qPrintable(indexes.path()));
        for (const TerminPtr& appointment : std::as_const(lastSession))
            index.put(appointment->filename(), FileMeta(), *appointment);
        index.setComplete(true);
    }
    program = std::make_unique<Program>(share.mountPath(), indexes.path());
    QElapsedTimer sinceStart;
    sinceStart.start();
    rows << measure(
        "start from the index", share, delayMs, *program, ticks,
        [&] { program->window->Form_Load(); }, viewKnown, false);
    qint64 crawlEndedMs = -1;
    const int minuteSeconds =
        qEnvironmentVariable("NORVANE_BENCH_MINUTE_S", QStringLiteral("60")).toInt();
    if (minuteSeconds > 0)
        rows << quietMinute(share, delayMs, *program, ticks, minuteSeconds, &crawlEndedMs,
                            sinceStart);

    program->service.shutDown();
    program.reset();
    rows << shownAtOnce(share, delayMs, options, ticks);

    std::printf("\n%g ms per request, %s share; a week of %d appointments, %d files in the "
                "folder\n",
                delayMs, kindName, shown, generated.totalFiles());
    std::printf("%-25s %8s %9s %14s %11s %17s %17s\n", "", "requests", "in flight",
                "answered after", "idle after", "share quiet after", "longest tick gap");
    for (const Row& row : rows)
        std::printf("%-25s %8lld %9d %11lld ms %8lld ms %14lld ms %14lld ms\n", row.step,
                    static_cast<long long>(row.requests), row.inFlight,
                    static_cast<long long>(row.answeredMs), static_cast<long long>(row.idleMs),
                    static_cast<long long>(row.quietMs), static_cast<long long>(row.longestGapMs));
    const Row& one = rows[rows.size() - 2];
    const Row& three = rows.last();
    std::printf("three folders shown answered after %.2f times the time of one\n",
                double(three.answeredMs) / double(std::max<qint64>(1, one.answeredMs)));
    if (minuteSeconds > 0)
        std::printf("the index's first crawl ended %lld ms after the start\n",
                    static_cast<long long>(crawlEndedMs));
    const bool clientLike = kind == SlowShare::Kind::ClientLike;
    goal("first week drawn after the window", rows[0].answeredMs, clientLike ? 500 : 1000, "ms");
    if (clientLike) {
        goal("unchanged refresh", rows[1].answeredMs, 300, "ms");
        goal("another copy's save shown", rows[4].answeredMs, 2000, "ms");
        goal("a save answered", rows[3].answeredMs, 250, "ms");
    }
    if (minuteSeconds > 0)
        goal("requests of a quiet minute, crawled", rows[6].requests, 900, "  ");
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList delays = qEnvironmentVariable("NORVANE_BENCH_DELAYS", "1 25").split(u' ');
    const QStringList shares =
        qEnvironmentVariable("NORVANE_BENCH_SHARES", "harsh client-like").split(u' ');
    for (const SlowShare::Kind kind : {SlowShare::Kind::Harsh, SlowShare::Kind::ClientLike}) {
        if (!shares.contains(QLatin1String(SlowShare::nameOf(kind))))
            continue;
        if (const QString why = SlowShare::unavailable(kind); !why.isEmpty()) {
            std::printf("skipped: %s\n", qPrintable(why));
            continue;
        }
        for (const QString& delayMs : delays)
            run(delayMs.toDouble(), kind);
    }
    return 0;
}
