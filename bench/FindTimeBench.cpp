// Find a time for four people over two weeks on a real slow share (tests/support/slow_share.py,
// 25 ms a request unless NORVANE_BENCH_DELAYS says otherwise), with a generated year of four
// appointments a working day and six recurring ones: the days read as the window's dialog reads
// them, through the store service's worker (the calling thread never touches the share), then the
// free times found in them. For a first look at days nobody read yet, the same look again, and a
// look after the view had shown the first week: the requests the share saw, when the days were
// there, the finder's own time, and the longest gap between two ticks of a 5 ms timer on the
// calling thread. Runs by hand and prints a table; where no slow share can be mounted it says why.
#include "DataFolderGenerator.h"
#include "SlowShare.h"
#include "Ticks.h"
#include "layout/FreeSlots.h"
#include "service/FolderStores.h"
#include "service/StoreService.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <optional>

namespace {

const QDate kMonday(2023, 6, 12); // in the generated year
constexpr qint64 kGiveUpMs = 300000;

struct Row {
    const char* step;
    qsizetype requests = 0;
    qint64 readMs = 0;
    qint64 findUs = 0;
    qint64 longestGapMs = 0;
    qsizetype found = 0;
};

Row look(const char* step, SlowShare& share, FolderStores& stores,
         const FreeSlots::Request& request, Ticks& ticks)
{
    share.restartLog();
    ticks.restart();
    QElapsedTimer clock;
    clock.start();
    std::optional<FolderStores::DaysRead> read;
    stores.readDays(FreeSlots::daysToRead(request),
                    [&read](const FolderStores::DaysRead& days) { read = days; });
    while (!read) {
        if (clock.elapsed() > kGiveUpMs)
            qFatal("%s: no answer within %lld s", step, kGiveUpMs / 1000);
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    if (!read->unreachable.isEmpty())
        qFatal("%s: the share cannot be read", step);
    Row row{step};
    row.readMs = clock.elapsed();
    QElapsedTimer finding;
    finding.start();
    row.found = FreeSlots::find(request, [&read](const QDate& day) {
                    return read->days.value(day);
                }).size();
    row.findUs = finding.nsecsElapsed() / 1000;
    row.longestGapMs = ticks.longest();
    row.requests = share.requests().size();
    return row;
}

void run(double delayMs)
{
    SlowShare share(delayMs);
    if (!share.error().isEmpty()) {
        std::printf("%g ms share: %s\n", delayMs, qPrintable(share.error()));
        return;
    }
    DataFolderGenerator::Options options;
    options.years = 1;
    options.lastYear = kMonday.year();
    options.appointmentsPerDay = 4;
    options.recurringFiles = 6;
    const DataFolderGenerator::Summary generated =
        DataFolderGenerator(options).write(share.backingPath());
    if (!generated.ok)
        qFatal("%s", qPrintable(generated.error));

    StoreService::Options serviceOptions;
    serviceOptions.clock = [] { return QDateTime(kMonday, QTime(7, 0)); };
    StoreService service(serviceOptions);
    service.setFolder(share.mountPath(), 3600);
    FolderStores stores(service);
    FreeSlots::Request request;
    request.persons = {"anna", "user1", "user2", "user3"};
    request.from = kMonday;
    request.to = kMonday.addDays(13);
    request.weekdays = {1, 2, 3, 4, 5};
    request.minutes = 60;
    request.most = 0;

    Ticks ticks;
    QList<Row> rows;
    rows << look("first look", share, stores, request, ticks);
    rows << look("the same look again", share, stores, request, ticks);

    // A fresh service whose view showed the first week before.
    StoreService shown(serviceOptions);
    shown.setFolder(share.mountPath(), 3600);
    FolderStores shownStores(shown);
    StoreService::Request week;
    for (int day = 0; day < 7; ++day)
        week.viewDays << kMonday.addDays(day);
    shown.show(week);
    while (!shown.idle())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    rows << look("after the view's week", share, shownStores, request, ticks);

    std::printf("\n%g ms per request; four people over two weeks, %d files in the folder\n",
                delayMs, generated.totalFiles());
    std::printf("%-22s %8s %14s %10s %17s %10s\n", "", "requests", "days read in", "found in",
                "longest tick gap", "free times");
    for (const Row& row : rows)
        std::printf("%-22s %8lld %11lld ms %7lld us %14lld ms %10lld\n", row.step,
                    static_cast<long long>(row.requests), static_cast<long long>(row.readMs),
                    static_cast<long long>(row.findUs), static_cast<long long>(row.longestGapMs),
                    static_cast<long long>(row.found));
    service.shutDown();
    shown.shutDown();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (const QString why = SlowShare::unavailable(); !why.isEmpty()) {
        std::printf("skipped: %s\n", qPrintable(why));
        return 0;
    }
    const QStringList delays = qEnvironmentVariable("NORVANE_BENCH_DELAYS", "25").split(u' ');
    for (const QString& delayMs : delays)
        run(delayMs.toDouble());
    return 0;
}
