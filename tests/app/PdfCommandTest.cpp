// norvane-cli pdf, as a script runs it: without a display or any Qt variable, bad arguments
// get the usage, a file that cannot be written gets the reason and leaves nothing behind.
#include "CliRun.h"
#include "TestFiles.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

CliRun pdf(const QStringList& args)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* display : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        env.remove(display);
    return cli(QStringList{"pdf"} + args, env);
}

TEST(PdfCommandTest, WritesThePrintoutOrRefusesWithoutLeavingAFile)
{
    QTemporaryDir data;
    QTemporaryDir out;
    TestFiles::putAppointment(data.path(), {2003, 7, 4}, 9,
                              "Budget <b>meeting</b> & co"); // as text
    const QString folder = data.path();
    const QString file = out.filePath("week.pdf");
    const struct {
        QStringList args;
        int code;
    } rows[] = {
        {{"week", "2003-7-4", file, "--folder", folder}, 2},
        {{"day", "2003-07-04", "--folder", folder}, 2},
        {{"planner", "2003", "13", file, "--folder", folder}, 2},
        {{"planner", "1899", "12", file, "--folder", folder}, 2},
        {{"month", "2003", file}, 2},
        {{"month", "2003", "7", "--two-months", file, "--folder", folder}, 2},
        {{"month", "2003", "7", file, "--folder", folder}, 0},
        {{"week", "2003-07-04", file, "--folder", out.filePath("absent")}, 1},
        {{"week", "2003-07-04", out.filePath("absent/week.pdf"), "--folder", folder}, 1},
        {{"planner", "2003", "12", "--two-months", file, "--folder", folder}, 0},
        {{"list", "2003-07-10", "2003-07-01", file, "--folder", folder}, 2},
        {{"list", "2003-01-01", "2004-01-01", file, "--folder", folder}, 0},
        {{"list", "2003-01-01", "2004-01-02", file, "--folder", folder}, 2},
        {{"list", "2003-07-01", file, "--folder", folder}, 2},
        {{"list", "2003-07-01", "2003-07-31", out.filePath("absent/l.pdf"), "--folder", folder}, 1},
        {{"day-by-person", "2003-07-04", file, "--folder", folder, "--person", "a", "--person=b"},
         0},
        {{"week-by-person", "2003-07-04", file, "--folder", folder}, 0},
        {{"week-by-person", "2003-07-04", "--folder", folder}, 2},
        {{"week", "2003-07-04", file, "--person", "a", "--folder", folder}, 2},
        {{"week", "2003-07-04", file, "--folder", folder}, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.args.join(' ').toStdString());
        const CliRun run = pdf(row.args);
        EXPECT_EQ(run.code, row.code) << run.err.toStdString();
        EXPECT_EQ(run.err.contains("Try 'norvane-cli --help'."), row.code == 2);
        EXPECT_EQ(QDir(out.path())
                      .entryList(QDir::Files | QDir::Hidden | QDir::AllDirs | QDir::NoDotAndDotDot),
                  row.code == 0 ? QStringList{"week.pdf"} : QStringList{});
        if (row.code == 0 && &row != std::end(rows) - 1)
            QFile::remove(file);
    }
    QProcess text;
    text.start("pdftotext", {file, "-"});
    if (text.waitForFinished(30000) && text.exitCode() == 0) {
        const QByteArray printed = text.readAllStandardOutput();
        EXPECT_TRUE(printed.contains("Budget <b>meeting</b> & co"));
        EXPECT_TRUE(printed.contains(QDir(folder).dirName().toUtf8())) << "the folder it shows";
    }
}

} // namespace
