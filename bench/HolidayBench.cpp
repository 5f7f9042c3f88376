// Holiday lists of many sections, as a generated or broken file may hold them: how long
// parsing, listing the sections and gathering the entries of every section take, and in the
// import window how long until the sections show and the longest gap between two ticks of a
// 5 ms timer on the window's thread meanwhile. Runs by hand and prints a table; the section
// counts to try may be given as arguments.
#include "Ticks.h"
#include "service/FolderJobs.h"
#include "settings/Settings.h"
#include "tools/form_import.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>

namespace {

// n sections, every tenth with one entry: as many sections as fit into the size limit.
QByteArray listOf(int n)
{
    QByteArray bytes;
    for (int i = 0; i < n; ++i) {
        bytes += "[" + QByteArray::number(i) + "]\n";
        if (i % 10 == 0)
            bytes += "Day, 2026/01/01\n";
    }
    return bytes;
}

struct Figures {
    qint64 parse = 0, list = 0, entries = 0, window = 0, pause = 0;
};

Figures measure(int n, const QString& folder)
{
    Figures figures;
    const QByteArray bytes = listOf(n);
    QElapsedTimer clock;
    clock.start();
    const std::optional<HolidayFile> file = HolidayFile::fromBytes(bytes);
    figures.parse = clock.restart();
    if (!file)
        qFatal("the generated list is refused");
    const QStringList sections = file->sections();
    figures.list = clock.restart();
    qsizetype found = 0;
    for (const QString& section : sections)
        found += file->entries(section).size();
    figures.entries = clock.restart();
    if (sections.size() != n || found != (n + 9) / 10)
        qFatal("%d sections expected, %lld listed with %lld entries", n,
               static_cast<long long>(sections.size()), static_cast<long long>(found));

    const QString path = folder + QStringLiteral("/list.txt");
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    out.close();
    if (bytes.size() > HolidayFile::kMaxBytes)
        return figures; // the window refuses it

    QTemporaryDir program;
    ProfileCache profiles(ThreadFileAccess());
    Settings settings(profiles, program.path());
    Ticks ticks;
    clock.restart();
    FolderJobs jobs;
    form_import window(settings, jobs, path);
    window.show();
    while (window.isReading() ||
           window.findChild<QListWidget*>(QStringLiteral("list_sections"))->count() < n)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    QCoreApplication::processEvents(); // the list painted
    figures.window = clock.elapsed();
    figures.pause = ticks.longest();
    return figures;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QList<int> counts;
    for (int i = 1; i < argc; ++i)
        counts << QByteArray(argv[i]).toInt();
    if (counts.isEmpty())
        counts = {25'000, 50'000, 100'000, 400'000};
    QTemporaryDir dir;
    std::printf("%9s %9s %9s %11s %11s %13s\n", "sections", "parse ms", "list ms", "entries ms",
                "window ms", "win pause ms");
    for (int n : counts) {
        const Figures f = measure(n, dir.path());
        std::printf("%9d %9lld %9lld %11lld %11lld %13lld\n", n, f.parse, f.list, f.entries,
                    f.window, f.pause);
        std::fflush(stdout);
    }
    return 0;
}
