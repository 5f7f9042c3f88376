// The CalDAV sync against a local radicale, for folders of 200 and 1,000 appointments (other
// sizes may be given as arguments): the first upload into an empty calendar, two unchanged
// syncs after it, a sync of one appointment changed here, and the first download of that
// calendar into an empty folder. Prints per step the time, the HTTP requests and the calls
// made on the data folder, by kind: on a share every one of them is a round trip. Runs by hand.
// With --vdirsyncer, the first download is also timed beside vdirsyncer's of the same calendar
// (bench/sync_beside_vdirsyncer.sh installs it), each in turn, and the ratio printed.
#include "CalDavServer.h"
#include "DataFolderGenerator.h"
#include "TestFiles.h"
#include "profile/FileAccess.h"
#include "profile/ProfileCache.h"
#include "store/AppointmentFiling.h"
#include "store/DataAccess.h"
#include "sync/Sync.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// The appointments of a filled folder, relative to it.
struct Filled {
    QStringList oneTime;
    QStringList recurring;
    QString error;
};

// The last day of a recurring appointment's range, as the generator writes it.
QDate recurringUntil(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    int parts[3] = {0, 0, 0};
    const char* const keys[3] = {
        "RecurringUntilYear=", "RecurringUntilMonth=", "RecurringUntilDay="};
    for (const QByteArray& line : file.readAll().split('\n'))
        for (int i = 0; i < 3; ++i)
            if (line.startsWith(keys[i]))
                parts[i] = line.mid(qsizetype(qstrlen(keys[i]))).trimmed().toInt();
    return QDate(parts[0], parts[1], parts[2]);
}

// `count` of the names, evenly spread over them.
QStringList spread(const QStringList& names, int count)
{
    QStringList picked;
    for (int k = 0; k < count; ++k)
        picked << names[qsizetype(qint64(k) * names.size() / count)];
    return picked;
}

// Exactly `count` appointments in folder, a tenth of them recurring, the others one-time ones
// spread over this year and the next: all inside the default window (a year back, two ahead).
// The generator writes more than that into a scratch folder; the chosen files are moved over
// with their times, so no empty day directory is left behind to be listed. Of the recurring
// ones only those that run on for more than a year are taken: one that ended before the window
// (or a yearly one whose short range holds none of its days) has nothing to download.
Filled fill(const QString& folder, int count)
{
    Filled filled;
    const int recurring = std::max(1, count / 10);
    const int oneTime = count - recurring;
    DataFolderGenerator::Options options;
    options.lastYear = QDate::currentDate().year() + 1;
    options.years = 2;
    options.recurringFiles = 2 * recurring + 10;                     // about a fifth have ended
    options.appointmentsPerDay = std::max(1, (oneTime + 479) / 480); // some 500 working days
    QTemporaryDir scratch;
    const QString from = scratch.path() + u'/';
    const DataFolderGenerator::Summary summary = DataFolderGenerator(options).write(from);
    if (!summary.ok) {
        filled.error = summary.error;
        return filled;
    }
    QStringList all;
    QDirIterator it(from, {QStringLiteral("*.nv3")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        all << it.next().mid(from.size());
    all.sort();
    QStringList days;
    QStringList running;
    const QDate longAfterToday = QDate::currentDate().addYears(1);
    for (const QString& rel : all) {
        if (!rel.startsWith(QLatin1String("recurring/")))
            days << rel;
        else if (recurringUntil(from + rel) > longAfterToday)
            running << rel;
    }
    if (days.size() < oneTime || running.size() < recurring) {
        filled.error = QStringLiteral("the generator wrote only %1 one-time and %2 running "
                                      "recurring appointments")
                           .arg(days.size())
                           .arg(running.size());
        return filled;
    }
    filled.oneTime = spread(days, oneTime);
    filled.recurring = spread(running, recurring);
    for (const QString& rel : filled.oneTime + filled.recurring) {
        const QString target = folder + rel;
        if (!QDir().mkpath(QFileInfo(target).path()) || !QFile::rename(from + rel, target)) {
            filled.error = QStringLiteral("cannot move %1 into the folder").arg(rel);
            return filled;
        }
    }
    return filled;
}

// One appointment's text changed through the store, as the editor saves it.
bool changeOne(const QString& folder, const QString& rel)
{
    const QString path = folder + rel;
    const QDateTime before = QFileInfo(path).lastModified();
    ProfileCache profiles(ThreadFileAccess());
    DataAccess store(profiles, StoreSource::fixed(folder));
    const TerminPtr loaded = store.LoadAppointment(path, DataAccess::DayOfOneTimeFile(path));
    if (!loaded)
        return false;
    ClassTermin a = *loaded;
    a.setText(a.Text() + QStringLiteral(" (moved to room 3)"));
    if (!AppointmentFiling(store).File(a).ok)
        return false;
    // The folder tells a change by time and size: a time of its own, after the old one.
    return TestFiles::setModified(a.filename(), before.addSecs(60));
}

struct Step {
    double seconds = 0;
    SyncResult result;
    CountingFileAccess::Counts counts;
};

Step timedSync(const QString& folder, const SyncAccount& account)
{
    CountingFileAccess files(ThreadFileAccess());
    SyncOptions options;
    options.files = &files;
    Step step;
    QElapsedTimer clock;
    clock.start();
    step.result = runSync(folder, account, options);
    step.seconds = double(clock.nsecsElapsed()) / 1e9;
    step.counts = files.counts();
    return step;
}

void printHeader()
{
    std::printf("%6s  %-20s %7s %8s %8s %8s %8s %7s %7s %8s %9s %11s %5s %8s\n", "events", "step",
                "time s", "requests", "fs calls", "listings", "metadata", "reads", "writes",
                "removals", "makePaths", "calls/event", "sent", "received");
}

// perEvent: the calls per event of the step, for the steps that carry every event.
bool print(int events, const char* what, const Step& step, bool perEvent)
{
    const CountingFileAccess::Counts& c = step.counts;
    char share[32] = "";
    if (perEvent)
        std::snprintf(share, sizeof share, "%.2f", double(c.total()) / events);
    std::printf("%6d  %-20s %7.2f %8d %8d %8d %8d %7d %7d %8d %9d %11s %5d %8d", events, what,
                step.seconds, step.result.requests, c.total(), c.listings, c.metadataQueries,
                c.reads, c.writes, c.removals, c.makePaths, share, step.result.sent,
                step.result.received);
    if (!step.result.ok())
        std::printf("  FAILED: %s", qPrintable(step.result.error.simplified()));
    std::printf("\n");
    std::fflush(stdout);
    return step.result.ok();
}

struct Comparison {
    int events = 0;
    double upload = 0;
    double download = 0;
};

// Seconds a program took to its end; negative when it failed.
double timedRun(const QString& program, const QStringList& arguments)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::MergedChannels);
    QElapsedTimer clock;
    clock.start();
    child.start(program, arguments);
    child.closeWriteChannel(); // nothing is asked
    const bool ended = child.waitForFinished(600000);
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    if (!ended || child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0) {
        std::fprintf(stderr, "%s failed: %s\n", qPrintable(program),
                     child.readAll().right(400).constData());
        return -1;
    }
    return seconds;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// The first download of the calendar into an empty folder by norvane-cli, and into an empty
// vdir by vdirsyncer (its discovery not timed), `rounds` times each in turn: the medians. Both
// are whole programs making the same requests of the same server.
bool besideVdirsyncer(int events, const SyncAccount& account, int rounds)
{
    const QString cli = QCoreApplication::applicationDirPath() + QStringLiteral("/norvane-cli");
    const QString vdirsyncer = QStandardPaths::findExecutable(QStringLiteral("vdirsyncer"));
    if (!QFileInfo(cli).isExecutable() || vdirsyncer.isEmpty()) {
        std::fprintf(stderr, "norvane-cli (beside this program) and vdirsyncer are needed\n");
        return false;
    }
    QTemporaryDir work;
    const QString password = work.filePath(QStringLiteral("password"));
    const QString config = work.filePath(QStringLiteral("config"));
    const QString vdir = work.filePath(QStringLiteral("vdir"));
    const QString status = work.filePath(QStringLiteral("status"));
    TestFiles::writeBytes(password, account.password.toUtf8());
    TestFiles::writeBytes(
        config, QStringLiteral("[general]\nstatus_path = \"%1/\"\n\n[pair bench]\na = \"local\"\n"
                               "b = \"remote\"\ncollections = null\n\n[storage local]\n"
                               "type = \"filesystem\"\npath = \"%2/\"\nfileext = \".ics\"\n\n"
                               "[storage remote]\ntype = \"caldav\"\nurl = \"%3\"\n"
                               "username = \"%4\"\npassword = \"%5\"\n")
                    .arg(status, vdir, account.url, account.user, account.password)
                    .toUtf8());
    std::vector<double> ours;
    std::vector<double> theirs;
    for (int round = 0; round < rounds; ++round) {
        QTemporaryDir folder;
        ours.push_back(
            timedRun(cli, {QStringLiteral("sync"), QStringLiteral("--folder"), folder.path(),
                           QStringLiteral("--url"), account.url, QStringLiteral("--user"),
                           account.user, QStringLiteral("--password-file"), password}));
        QDir(vdir).removeRecursively();
        QDir(status).removeRecursively();
        QDir().mkpath(vdir);
        if (timedRun(vdirsyncer, {"-c", config, "discover", "bench"}) < 0)
            return false;
        theirs.push_back(timedRun(vdirsyncer, {"-c", config, "sync"}));
        if (ours.back() < 0 || theirs.back() < 0)
            return false;
    }
    const int files = int(QDir(vdir).entryList({QStringLiteral("*.ics")}, QDir::Files).size());
    const double a = median(ours);
    const double b = median(theirs);
    std::printf("%6d  first download beside vdirsyncer (%d events in its vdir), medians of %d: "
                "norvane-cli %.2f s, vdirsyncer %.2f s, norvane / vdirsyncer = %.2f "
                "(goal: at most 1)\n",
                events, files, rounds, a, b, b > 0 ? a / b : 0.0);
    std::fflush(stdout);
    return files == events;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    std::vector<int> sizes;
    bool beside = false;
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "--vdirsyncer") == 0) {
            beside = true;
            continue;
        }
        bool ok = false;
        const int n = QString::fromLocal8Bit(argv[i]).toInt(&ok);
        if (!ok || n < 2) {
            std::fprintf(stderr,
                         "usage: %s [--vdirsyncer] [events ...] (each at least 2; default 200 "
                         "1000)\n",
                         argv[0]);
            return 2;
        }
        sizes.push_back(n);
    }
    if (sizes.empty())
        sizes = {200, 1000};

    QString reason;
    CalDavServer* server = CalDavServer::shared(CalDavServer::Kind::Radicale, &reason);
    if (!server) {
        std::fprintf(stderr, "%s\n", qPrintable(reason));
        return 1;
    }

    bool allOk = true;
    std::vector<Comparison> comparisons;
    printHeader();
    for (const int n : sizes) {
        QTemporaryDir upDir;
        const QString up = upDir.path() + u'/';
        const Filled filled = fill(up, n);
        if (!filled.error.isEmpty()) {
            std::fprintf(stderr, "%s\n", qPrintable(filled.error));
            return 1;
        }
        const QString url = server->newCalendar(QStringLiteral("bench%1").arg(n));
        if (url.isEmpty()) {
            std::fprintf(stderr, "the server made no calendar\n");
            return 1;
        }
        const SyncAccount account = server->account(url);

        const Step upload = timedSync(up, account);
        allOk &= print(n, "first upload", upload, true);
        allOk &= print(n, "unchanged (first)", timedSync(up, account), false);
        allOk &= print(n, "unchanged (settled)", timedSync(up, account), false);
        if (!changeOne(up, filled.oneTime[filled.oneTime.size() / 2])) {
            std::fprintf(stderr, "cannot change an appointment through the store\n");
            return 1;
        }
        allOk &= print(n, "one local change", timedSync(up, account), false);

        QTemporaryDir downDir;
        const Step download = timedSync(downDir.path() + u'/', account);
        allOk &= print(n, "first download", download, true);
        // Every event came back as one file.
        int downloaded = 0;
        QDirIterator it(downDir.path(), {QStringLiteral("*.nv3")}, QDir::Files,
                        QDirIterator::Subdirectories);
        for (; it.hasNext(); it.next())
            ++downloaded;
        if (upload.result.sent != n || download.result.received != n || downloaded != n) {
            std::printf("        expected %d sent, received and downloaded files; %d files\n", n,
                        downloaded);
            allOk = false;
        }
        comparisons.push_back({n, upload.seconds, download.seconds});
        if (beside)
            allOk &= besideVdirsyncer(n, account, 5);
    }

    std::printf("first download no longer than first upload:");
    for (const Comparison& c : comparisons)
        std::printf(" %d events %s (%.2f s against %.2f s);", c.events,
                    c.download <= c.upload ? "yes" : "no", c.download, c.upload);
    std::printf("\n");
    return allOk ? 0 : 1;
}
