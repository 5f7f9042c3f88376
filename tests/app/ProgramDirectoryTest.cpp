// Where a copy of the program keeps its files: beside itself only when it is portable (its
// directory holds the pointer file or the mark), otherwise in the user's data directory, a
// build tree's copies too.
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(ProgramDirectoryTest, OnlyAPortableCopyKeepsItsFilesBesideItself)
{
    QTemporaryDir root;
    QDir(root.path()).mkpath("bin");
    QDir(root.path()).mkpath("home");
    const QString bin = root.filePath("bin");
    const QString copy = bin + "/norvane-cli";
    ASSERT_TRUE(QFile::copy(QStringLiteral(NORVANE_CLI_PATH), copy));
    TestFiles::putAppointment(root.filePath("team"), {2003, 7, 4}, 9, "Budget");
    const auto run = [&] {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", root.filePath("home"));
        env.remove("XDG_DATA_HOME");
        process.setProcessEnvironment(env);
        process.start(copy, {"day", "2003-07-04"});
        EXPECT_TRUE(process.waitForFinished(30000));
        return QString::fromUtf8(process.readAllStandardOutput());
    };

    // Installed: nothing beside the executable, the user's data directory instead.
    run();
    EXPECT_EQ(QDir(bin).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{"norvane-cli"});
    EXPECT_TRUE(QFileInfo(root.filePath("home/.local/share/Norvane")).isDir());
    EXPECT_FALSE(QFileInfo::exists(
        QFileInfo(QStringLiteral(NORVANE_CLI_PATH)).dir().filePath("norvane-portable")))
        << "a build keeps no appointment in the build tree";

    // Portable: the pointer file beside the executable is the one read.
    TestFiles::writeBytes(bin + "/Settings.ini", "[DataFolders]\r\nFolderCount=1\r\nFolder1=" +
                                                     root.filePath("team").toUtf8() + "\r\n");
    EXPECT_TRUE(run().contains("\"text\":\"Budget\""));
}

// A copy of norvane-cli alone still runs its own commands; those of a helper program it lacks
// fail with one line that names the helper.
TEST(ProgramDirectoryTest, ACopyWithoutItsHelpersNamesTheMissingOne)
{
    QTemporaryDir root;
    const QString copy = root.filePath("norvane-cli");
    ASSERT_TRUE(QFile::copy(QStringLiteral(NORVANE_CLI_PATH), copy));
    const struct {
        QStringList args;
        const char* helper;
    } cases[] = {
        {{"pdf", "day", "2003-07-04", root.filePath("day.pdf")}, "norvane-cli-pdf"},
        {{"sync", "--folder", root.path()}, "norvane-cli-sync"},
        {{"export-ics", "2003-07-01", "2003-07-31"}, "norvane-cli-exchange"},
    };
    for (const auto& c : cases) {
        QProcess process;
        process.start(copy, c.args);
        ASSERT_TRUE(process.waitForFinished(30000));
        const QString err = QString::fromUtf8(process.readAllStandardError());
        EXPECT_EQ(process.exitCode(), 1) << c.helper;
        EXPECT_EQ(err.count('\n'), 1) << err.toStdString();
        EXPECT_TRUE(err.contains(c.helper)) << err.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(root.filePath("day.pdf")));
}

} // namespace
