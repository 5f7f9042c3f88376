#pragma once

// The system calls a disabled test of this program makes on a folder, counted under strace.
// The test marks its steps with access("<folder>/.mark-<step>"); each call is counted for the
// step whose mark came last.
#include "TestFiles.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStringList>

#include <unistd.h>

namespace SystemCallTrace {

struct Trace {
    QString skip;    // why nothing could be counted here; empty when counted
    QString failure; // the traced test failed: its output
    // The calls on the folder by step, closes apart, each "name(arguments"
    QHash<QString, QStringList> calls;
};

// Marks a step in the trace; costs one call of its own, which is not counted.
inline void mark(const QString& folder, const QString& step)
{
    ::access(QFile::encodeName(folder + QStringLiteral("/.mark-") + step).constData(), F_OK);
}

// Runs this program's test `test` (one that is DISABLED_) under strace, with folderVariable
// naming folder, a directory inside workDir, where the trace is written.
inline Trace run(const QString& test, const QString& folderVariable, const QString& folder,
                 const QString& workDir)
{
    Trace t;
    if (QStandardPaths::findExecutable(QStringLiteral("strace")).isEmpty()) {
        t.skip = QStringLiteral("strace is not installed: system calls are not counted");
        return t;
    }
    const QString log = workDir + QStringLiteral("/trace");
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(folderVariable, folder);
    // The leak check of a sanitizer build cannot run under a tracer; the parent has its own.
    env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
    child.setProcessEnvironment(env);
    child.start(QStringLiteral("strace"),
                {"-f", "-qq", "-y", "-e", "trace=%file,%desc", "-o", log,
                 QCoreApplication::applicationFilePath(), "--gtest_also_run_disabled_tests",
                 "--gtest_filter=" + test});
    if (!child.waitForFinished(60000)) {
        t.failure = QStringLiteral("the traced test did not end within a minute");
        return t;
    }
    const QString trace = QString::fromUtf8(TestFiles::readBytes(log));
    if (child.exitCode() != 0 && !trace.contains(QStringLiteral("mark-"))) {
        t.skip = QStringLiteral("strace cannot trace here (") +
                 QString::fromLocal8Bit(child.readAllStandardError().trimmed()) +
                 QStringLiteral("): system calls are not counted");
        return t;
    }
    if (child.exitCode() != 0)
        t.failure = QString::fromLocal8Bit(child.readAllStandardOutput());

    // Descriptors are shown by where they really lead. Where one leads is asked of the kernel,
    // not of a share, so /proc lookups are not counted; nor are closes, of which only a written
    // file's reaches a share.
    const QString real = QFileInfo(QFileInfo(folder).path()).canonicalFilePath() +
                         QLatin1Char('/') + QFileInfo(folder).fileName();
    static const QRegularExpression call(QStringLiteral(R"(^\d+\s+(\w+)\((.*)$)"));
    static const QRegularExpression marked(QStringLiteral(R"re(/\.mark-([\w ]+)")re"));
    QString step;
    for (const QString& line : trace.split(QLatin1Char('\n'))) {
        const QRegularExpressionMatch m = call.match(line);
        if (const QRegularExpressionMatch s = marked.match(line); s.hasMatch())
            step = s.captured(1);
        else if (m.hasMatch() && (line.contains(folder) || line.contains(real)) &&
                 !m.captured(2).startsWith(QStringLiteral("\"/proc/")) &&
                 m.captured(1) != QLatin1String("close"))
            t.calls[step].append(m.captured(1) + QLatin1Char('(') + m.captured(2));
    }
    return t;
}

// Just the names of the calls, for a message.
inline QString namesOf(const QStringList& calls)
{
    QStringList names;
    for (const QString& c : calls)
        names << c.section(QLatin1Char('('), 0, 0);
    return names.join(QStringLiteral(", "));
}

} // namespace SystemCallTrace
