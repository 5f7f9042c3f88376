// How fast norvane-cli starts and answers, beside a Qt Core program that only prints a line:
// --version, and a week's range on a data folder of about 20,000 appointments. Each command
// runs several times, one after another; the table gives the median and the fastest wall time.
//
//   norvane_cli_bench [--runs N] [--years N]
#include "DataFolderGenerator.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cstdio>

namespace {

struct Timing {
    double medianMs = 0;
    double fastestMs = 0;
    bool ok = true;
};

Timing timeOf(const QString& program, const QStringList& args, int runs)
{
    QList<double> times;
    Timing timing;
    for (int run = 0; run < runs; ++run) {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        QElapsedTimer clock;
        clock.start();
        process.start(program, args);
        if (!process.waitForFinished(60000) || process.exitCode() != 0) {
            timing.ok = false;
            std::fprintf(stderr, "%s failed: %s\n", qPrintable(program),
                         process.readAll().constData());
            return timing;
        }
        times << clock.nsecsElapsed() / 1e6;
    }
    std::sort(times.begin(), times.end());
    timing.medianMs = times[times.size() / 2];
    timing.fastestMs = times.first();
    return timing;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const auto option = [&](const char* name, int fallback) {
        const qsizetype at = args.indexOf(QLatin1String(name));
        return at >= 0 && at + 1 < args.size() ? args[at + 1].toInt() : fallback;
    };
    const int runs = std::max(1, option("--runs", 15));

    // Thirteen years of six appointments a working day: about 20,000 files.
    DataFolderGenerator::Options options;
    options.years = option("--years", 13);
    options.lastYear = 2026;
    QTemporaryDir folder;
    const DataFolderGenerator::Summary summary = DataFolderGenerator(options).write(folder.path());
    if (!summary.ok) {
        std::fprintf(stderr, "cannot write the data folder: %s\n", qPrintable(summary.error));
        return 1;
    }
    const QString cli = QStringLiteral(NORVANE_CLI);
    const struct {
        const char* what;
        QString program;
        QStringList args;
    } commands[] = {
        {"Qt Core program, one line", QStringLiteral(NORVANE_QT_CORE_HELLO), {}},
        {"norvane-cli --version", cli, {QStringLiteral("--version")}},
        {"norvane-cli range, one week",
         cli,
         {QStringLiteral("range"), QStringLiteral("2026-06-01"), QStringLiteral("2026-06-07"),
          QStringLiteral("--folder"), folder.path()}},
    };
    QTextStream out(stdout);
    out << "Data folder: " << summary.totalFiles() << " appointment files; " << runs
        << " runs of each command\n\n";
    out << QStringLiteral("%1 %2 %3 %4\n")
               .arg(QStringLiteral("command"), -30)
               .arg(QStringLiteral("median ms"), 10)
               .arg(QStringLiteral("fastest ms"), 11)
               .arg(QStringLiteral("x Qt Core"), 10);
    double yardstick = 0;
    for (const auto& command : commands) {
        const Timing timing = timeOf(command.program, command.args, runs);
        if (!timing.ok)
            return 1;
        if (yardstick == 0)
            yardstick = timing.medianMs;
        out << QStringLiteral("%1 %2 %3 %4\n")
                   .arg(QLatin1String(command.what), -30)
                   .arg(timing.medianMs, 10, 'f', 1)
                   .arg(timing.fastestMs, 11, 'f', 1)
                   .arg(timing.medianMs / yardstick, 10, 'f', 2);
        out.flush();
    }
    return 0;
}
