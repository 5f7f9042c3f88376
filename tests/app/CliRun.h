#pragma once

// norvane-cli started as a script starts it: its exit code and what it wrote.
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

#include <gtest/gtest.h>

struct CliRun {
    int code;
    QString out;
    QString err;
};

inline CliRun cli(const QStringList& args,
                  const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(NORVANE_CLI_PATH), args);
    EXPECT_TRUE(process.waitForFinished(60000));
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}
