// Several writer and reader processes on one data folder for a bounded time. Writers file,
// change, move and delete their own appointments; readers load days without pause and check
// that each appointment is one whole version some writer wrote. At the end every appointment
// must be there in its last version, and nothing else. Exits 1 on any finding.

#include "StressRoles.h"
#include "StressStamp.h"
#include "profile/FileAccess.h"
#include "profile/ProfileCache.h"
#include "settings/Settings.h"
#include "store/Common.h"
#include "store/DataAccess.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>
#include <vector>

using namespace Stress;

namespace {

// How long the processes may overrun the deadline before they count as hung.
constexpr int kGraceSeconds = 60;

struct Child {
    QString role;
    int index = 0;
    std::unique_ptr<QProcess> process;
};

QString clean(const QString& path)
{
    return QDir::cleanPath(path);
}

// What the folder holds once everyone has stopped, against what the writers last wrote.
struct FinalCheck {
    qint64 expected = 0;
    qint64 lost = 0;
    qint64 wrongVersions = 0;
    qint64 damaged = 0;
    qint64 stray = 0;
    qint64 temporary = 0;
    qint64 storeMismatches = 0;

    qint64 findings() const { return lost + wrongVersions + damaged + stray + storeMismatches; }
};

void describe(int& described, const char* kind, const QString& path, const QString& what = {})
{
    if (described++ < 20)
        std::fprintf(stderr, "final check: %s: %s%s%s\n", kind, qPrintable(path),
                     what.isEmpty() ? "" : ": ", qPrintable(what));
}

FinalCheck checkFolder(const QString& folder, const Journal& journal)
{
    FinalCheck result;
    int described = 0;
    QHash<QString, QString> expected;
    for (auto it = journal.cbegin(); it != journal.cend(); ++it)
        expected.insert(clean(it.key()), it.value());
    result.expected = expected.size();

    QSet<QString> found;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = clean(it.next());
        const auto wanted = expected.constFind(path);
        if (wanted == expected.cend()) {
            const bool temporary = !path.endsWith(QLatin1String(".nv3"));
            ++(temporary ? result.temporary : result.stray);
            describe(described, temporary ? "temporary file left" : "stray file", path);
            continue;
        }
        found.insert(path);
        QFile file(path);
        QString text;
        const QString why = file.open(QIODevice::ReadOnly)
                                ? checkFileBytes(file.readAll(), path, folder, &text)
                                : file.errorString();
        if (!why.isEmpty()) {
            ++result.damaged;
            describe(described, "damaged file", path, why);
        } else if (text != *wanted) {
            ++result.wrongVersions;
            describe(described, "not the last version", path, text.left(40));
        }
    }
    for (auto e = expected.cbegin(); e != expected.cend(); ++e) {
        if (!found.contains(e.key())) {
            ++result.lost;
            describe(described, "lost file", e.key(), e.value().left(40));
        }
    }

    // The store of a fresh process must show exactly that, day by day.
    ProfileCache profiles(ThreadFileAccess());
    DataAccess store(profiles, StoreSource::fixed(folder));
    for (const QDate& day : days()) {
        QHash<QString, QString> due;
        for (const QString& dir : Recurrence::directoriesOfDay(folder, day)) {
            const QString cleanDir = clean(dir);
            for (auto e = expected.cbegin(); e != expected.cend(); ++e) {
                if (clean(DirectoryOfPath(e.key())) == cleanDir)
                    due.insert(e.key(), e.value());
            }
        }
        qsizetype shown = 0;
        for (const TerminPtr& a : store.GetAppointmentsOfDay(day)) {
            ++shown;
            const QString path = clean(a->filename());
            if (due.value(path) != a->Text()) {
                ++result.storeMismatches;
                describe(described, "store shows what it should not", path,
                         day.toString(Qt::ISODate));
            }
            due.remove(path);
        }
        for (auto d = due.cbegin(); d != due.cend(); ++d) {
            ++result.storeMismatches;
            describe(described, "store misses", d.key(), day.toString(Qt::ISODate));
        }
    }
    return result;
}

int runRole(const QCommandLineParser& args)
{
    RoleOptions options;
    options.folder = WithTrailingSeparator(args.value(QStringLiteral("folder")));
    options.index = args.value(QStringLiteral("index")).toInt();
    options.seed = args.value(QStringLiteral("seed")).toULongLong();
    options.start =
        QDateTime::fromMSecsSinceEpoch(args.value(QStringLiteral("start")).toLongLong(), Qt::UTC);
    options.deadline = QDateTime::fromMSecsSinceEpoch(
        args.value(QStringLiteral("deadline")).toLongLong(), Qt::UTC);
    options.results = args.value(QStringLiteral("results"));
    const QString role = args.value(QStringLiteral("role"));
    if (role == QLatin1String("writer"))
        return runWriter(options);
    if (role == QLatin1String("reader"))
        return runReader(options);
    std::fprintf(stderr, "unknown role %s\n", qPrintable(role));
    return 2;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser args;
    args.setApplicationDescription(QStringLiteral(
        "Writers and readers in separate processes on one data folder; exits 1 on any torn "
        "read, lost or stray file."));
    args.addHelpOption();
    args.addOptions({
        {QStringLiteral("seconds"), QStringLiteral("How long the processes run."),
         QStringLiteral("seconds"), QStringLiteral("10")},
        {QStringLiteral("writers"), QStringLiteral("Writer processes."), QStringLiteral("count"),
         QStringLiteral("3")},
        {QStringLiteral("readers"), QStringLiteral("Reader processes."), QStringLiteral("count"),
         QStringLiteral("3")},
        {QStringLiteral("folder"),
         QStringLiteral("An empty directory to use as the data folder (for example on a share) "
                        "instead of a temporary one."),
         QStringLiteral("dir")},
        {QStringLiteral("seed"), QStringLiteral("Seed of the random choices."),
         QStringLiteral("number")},
        {QStringLiteral("keep"), QStringLiteral("Keep the folder and the results.")},
        // Set by the driver for the processes it starts.
        {QStringLiteral("role"), QStringLiteral("writer or reader"), QStringLiteral("role")},
        {QStringLiteral("index"), QStringLiteral("Number of the process in its role."),
         QStringLiteral("n")},
        {QStringLiteral("start"), QStringLiteral("Start, ms since the epoch."),
         QStringLiteral("ms")},
        {QStringLiteral("deadline"), QStringLiteral("End, ms since the epoch."),
         QStringLiteral("ms")},
        {QStringLiteral("results"), QStringLiteral("Directory for figures and journals."),
         QStringLiteral("dir")},
    });
    args.process(app);
    if (args.isSet(QStringLiteral("role")))
        return runRole(args);

    const double seconds = args.value(QStringLiteral("seconds")).toDouble();
    const int writers = args.value(QStringLiteral("writers")).toInt();
    const int readers = args.value(QStringLiteral("readers")).toInt();
    if (seconds <= 0 || writers < 1 || readers < 0) {
        std::fprintf(stderr, "need seconds > 0, at least one writer, no negative readers\n");
        return 2;
    }
    const quint64 seed = args.isSet(QStringLiteral("seed"))
                             ? args.value(QStringLiteral("seed")).toULongLong()
                             : QRandomGenerator::system()->generate64();

    QTemporaryDir work;
    if (!work.isValid()) {
        std::fprintf(stderr, "no temporary directory: %s\n", qPrintable(work.errorString()));
        return 2;
    }
    QString folder = args.value(QStringLiteral("folder"));
    if (folder.isEmpty()) {
        folder = work.filePath(QStringLiteral("data"));
        QDir().mkpath(folder);
    } else if (!QDir(folder).exists() || !QDir(folder).isEmpty()) {
        std::fprintf(stderr, "%s is no empty directory\n", qPrintable(folder));
        return 2;
    }
    folder = WithTrailingSeparator(QDir(folder).absolutePath());
    const QString results = work.filePath(QStringLiteral("results"));
    QDir().mkpath(results);

    // Everyone starts at once, after the slowest process had time to come up.
    const QDateTime start = QDateTime::currentDateTimeUtc().addMSecs(500);
    const QDateTime deadline = start.addMSecs(qint64(seconds * 1000));
    std::printf("Stress run: %d writers and %d readers on %s for %g s (seed %llu)\n", writers,
                readers, qPrintable(folder), seconds, static_cast<unsigned long long>(seed));
    std::fflush(stdout);

    std::vector<Child> children;
    const auto launch = [&](const QString& role, int index) {
        Child child{role, index, std::make_unique<QProcess>()};
        child.process->setProcessChannelMode(QProcess::ForwardedChannels);
        child.process->start(
            QCoreApplication::applicationFilePath(),
            {QStringLiteral("--role"), role, QStringLiteral("--index"), QString::number(index),
             QStringLiteral("--folder"), folder, QStringLiteral("--seed"),
             QString::number(seed + quint64(children.size()) * 7919), QStringLiteral("--start"),
             QString::number(start.toMSecsSinceEpoch()), QStringLiteral("--deadline"),
             QString::number(deadline.toMSecsSinceEpoch()), QStringLiteral("--results"), results});
        children.push_back(std::move(child));
    };
    for (int i = 0; i < writers; ++i)
        launch(QStringLiteral("writer"), i);
    for (int i = 0; i < readers; ++i)
        launch(QStringLiteral("reader"), i);

    int failedProcesses = 0;
    for (Child& child : children) {
        const qint64 left =
            QDateTime::currentDateTimeUtc().msecsTo(deadline) + qint64(kGraceSeconds) * 1000;
        if (!child.process->waitForFinished(int(std::max<qint64>(left, 1000)))) {
            std::fprintf(stderr, "%s %d did not end in time\n", qPrintable(child.role),
                         child.index);
            child.process->kill();
            child.process->waitForFinished();
            ++failedProcesses;
        } else if (child.process->exitStatus() != QProcess::NormalExit ||
                   child.process->exitCode() != 0) {
            std::fprintf(stderr, "%s %d failed (exit %d)\n", qPrintable(child.role), child.index,
                         child.process->exitCode());
            ++failedProcesses;
        }
    }
    const double ran = start.msecsTo(QDateTime::currentDateTimeUtc()) / 1000.0;

    Figures writing;
    Figures reading;
    Journal journal;
    for (const Child& child : children) {
        const QString base = QStringLiteral("%1/%2-%3").arg(results, child.role).arg(child.index);
        bool ok = false;
        const Figures figures = readFigures(base + QLatin1String(".figures"), &ok);
        Figures& into = child.role == QLatin1String("writer") ? writing : reading;
        for (auto it = figures.cbegin(); it != figures.cend(); ++it)
            into[it.key()] += it.value();
        if (child.role == QLatin1String("writer")) {
            const Journal own = readJournal(base + QLatin1String(".journal"), &ok);
            for (auto it = own.cbegin(); it != own.cend(); ++it)
                journal.insert(it.key(), it.value());
        }
        if (!ok && child.process->exitCode() == 0)
            ++failedProcesses;
    }

    QElapsedTimer checking;
    checking.start();
    const FinalCheck folderCheck = checkFolder(folder, journal);

    const qint64 operations =
        writing["creates"] + writing["changes"] + writing["moves"] + writing["deletes"];
    const qint64 torn = reading["torn reads"];
    const qint64 stale = reading["stale reads"] + writing["stale read-backs"];
    const qint64 writerFindings =
        writing["failed writes"] + writing["misfiled"] + writing["leftover files"];
    std::printf("processes:           %zu (%d writers, %d readers)\n", children.size(), writers,
                readers);
    std::printf("seconds:             %.1f\n", ran);
    std::printf(
        "operations:          %lld (creates %lld, changes %lld, moves %lld, deletes %lld)\n",
        operations, writing["creates"], writing["changes"], writing["moves"], writing["deletes"]);
    std::printf("reads:               %lld day loads, %lld appointments checked, %lld raw file "
                "reads, %lld day marks\n",
                reading["day loads"], reading["appointments checked"], reading["raw reads"],
                reading["day marks"]);
    std::printf("torn reads:          %lld\n", torn);
    std::printf("stale reads:         %lld\n", stale);
    std::printf("lost files:          %lld (of %lld expected)\n", folderCheck.lost,
                folderCheck.expected);
    std::printf("wrong versions:      %lld\n", folderCheck.wrongVersions + folderCheck.damaged);
    std::printf("stray files:         %lld\n", folderCheck.stray);
    std::printf("temporary files left: %lld\n", folderCheck.temporary);
    std::printf("store mismatches:    %lld\n", folderCheck.storeMismatches);
    std::printf("writer findings:     %lld (failed writes %lld, misfiled %lld, leftovers %lld)\n",
                writerFindings, writing["failed writes"], writing["misfiled"],
                writing["leftover files"]);
    std::printf("failed processes:    %d\n", failedProcesses);
    std::printf("final check:         %.1f s\n", checking.elapsed() / 1000.0);

    const bool passed = torn == 0 && stale == 0 && folderCheck.findings() == 0 &&
                        folderCheck.temporary == 0 && writerFindings == 0 && failedProcesses == 0;
    if (!passed || args.isSet(QStringLiteral("keep"))) {
        work.setAutoRemove(false);
        std::printf("kept:                %s\n", qPrintable(work.path()));
    }
    std::printf("%s\n", passed ? "PASS" : "FAIL");
    return passed ? 0 : 1;
}
