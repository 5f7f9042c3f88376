// What the iCalendar export of a large data folder costs: peak memory (the kernel's high-water
// mark of the process, reset just before the export), time and file size. The export runs as
// the export window runs it: read the range, build the bytes, write them under a temporary
// name and rename.
//
// norvane_export_bench [DIR]: DIR keeps the generated folder between runs (DIR/data is reused
// when it is there); without it a temporary one is generated and removed.

#include "DataFolderGenerator.h"

#include "exchange/IcsExport.h"
#include "profile/FileAccess.h"
#include "profile/ProfileCache.h"
#include "store/DataAccess.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

namespace {

// About 200,000 appointments: 30 years of office days, with the generator's recurring ones.
constexpr int kYears = 30;
constexpr int kLastYear = 2023;
constexpr int kAppointmentsPerDay = 26;

// A line of /proc/self/status in kB ("VmHWM", "VmRSS"); -1 when it cannot be read.
long long statusKb(const char* key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray prefix = QByteArray(key) + ':';
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

// Makes the high-water mark start again from the current size.
bool resetPeak()
{
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    return refs.open(QIODevice::WriteOnly) && refs.write("5") == 1;
}

QString ensureFolder(const QString& root)
{
    const QString data = root + QStringLiteral("/data/");
    if (QFileInfo::exists(data))
        return data;
    QDir().mkpath(data);
    DataFolderGenerator::Options options;
    options.years = kYears;
    options.lastYear = kLastYear;
    options.appointmentsPerDay = kAppointmentsPerDay;
    QElapsedTimer timer;
    timer.start();
    const DataFolderGenerator::Summary summary = DataFolderGenerator(options).write(data);
    if (!summary.ok) {
        std::fprintf(stderr, "generation failed: %s\n", qPrintable(summary.error));
        return {};
    }
    std::printf("generated %d files in %lld s\n", summary.totalFiles(),
                static_cast<long long>(timer.elapsed() / 1000));
    return data;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    std::unique_ptr<QTemporaryDir> temp;
    QString root = app.arguments().value(1);
    if (root.isEmpty()) {
        temp = std::make_unique<QTemporaryDir>();
        root = temp->path();
    }
    const QString folder = ensureFolder(root);
    if (folder.isEmpty())
        return 1;

    const QDate from(kLastYear - kYears + 1, 1, 1);
    const QDate to(kLastYear, 12, 31);
    const QString target = root + QStringLiteral("/export.ics");
    const bool peakReset = resetPeak();
    const long long before = statusKb("VmRSS");
    QElapsedTimer timer;
    timer.start();
    qint64 bytes = 0;
    int count = 0;
    {
        ProfileCache profiles(ThreadFileAccess());
        DataAccess store(profiles, StoreSource::fixed(folder));
        const QByteArray ics = ExportIcs(store, from, to, folder, {}, &count);
        bytes = ics.size();
        if (!ThreadFileAccess().writeAtomically(target, ics, QString()).ok) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(target));
            return 1;
        }
    }
    const qint64 ms = timer.elapsed();
    const long long peak = statusKb("VmHWM");
    std::printf("%d appointments, %.1f MB file, %.1f s\n", count, double(bytes) / 1e6,
                double(ms) / 1000);
    std::printf("resident before %.0f MB, peak %.0f MB (%s), growth %.0f MB\n",
                double(before) / 1024, double(peak) / 1024,
                peakReset ? "reset before the export" : "since start",
                double(peak - before) / 1024);
    return 0;
}
