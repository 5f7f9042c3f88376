// The CalDAV sync against a local radicale: a first sync of a folder of about 5,000
// appointments, and an unchanged sync of one of about 20,000 (after the first sync and one
// that settles). Prints time and requests of each. Runs by hand; the two sizes may be given as
// arguments.
#include "CalDavServer.h"
#include "DataFolderGenerator.h"
#include "Sync.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>

namespace {

struct Folder {
    QTemporaryDir dir;
    int files = 0;
};

// About `count` appointments in this year and the next, all inside the default window.
void fill(Folder& folder, int count)
{
    DataFolderGenerator::Options options;
    options.lastYear = QDate::currentDate().year() + 1;
    options.years = 2;
    options.recurringFiles = 40;
    options.appointmentsPerDay = std::max(1, (count - options.recurringFiles) / 500);
    folder.files = DataFolderGenerator(options).write(folder.dir.path()).totalFiles();
}

SyncResult timed(const char* what, const QString& folder, const SyncAccount& account)
{
    QElapsedTimer clock;
    clock.start();
    const SyncResult r = runSync(folder + u'/', account);
    std::printf("%-34s %8.2f s %8d requests  sent %d received %d %s\n", what,
                double(clock.elapsed()) / 1000.0, r.requests, r.sent, r.received,
                r.ok() ? "" : qPrintable(r.error));
    std::fflush(stdout);
    return r;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int firstCount = argc > 1 ? std::atoi(argv[1]) : 5000;
    const int unchangedCount = argc > 2 ? std::atoi(argv[2]) : 20000;
    QString reason;
    CalDavServer* server = CalDavServer::shared(CalDavServer::Kind::Radicale, &reason);
    if (!server) {
        std::fprintf(stderr, "%s\n", qPrintable(reason));
        return 1;
    }

    Folder first;
    fill(first, firstCount);
    std::printf("first sync: %d appointments\n", first.files);
    timed("  first sync", first.dir.path(), server->account(server->newCalendar("first")));

    Folder big;
    fill(big, unchangedCount);
    std::printf("unchanged sync: %d appointments\n", big.files);
    const SyncAccount account = server->account(server->newCalendar("big"));
    timed("  first sync (set-up)", big.dir.path(), account);
    timed("  second sync (settles)", big.dir.path(), account);
    timed("  unchanged sync", big.dir.path(), account);
    return 0;
}
