// norvane-cli import-holidays, test-folder and rezone, as a script runs them; and the German
// holiday list shipped with the program, imported alike by the library and the command.
#include "CliRun.h"
#include "OlderCopy.h"
#include "TestFiles.h"
#include "store/DataAccess.h"
#include "tools/HolidayFile.h"

#include <QDirIterator>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Every file below dir with its content.
QMap<QString, QByteArray> tree(const QString& dir)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(dir, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(QDir(dir).relativeFilePath(path), TestFiles::readBytes(path));
    }
    return files;
}

TEST(ToolsCommandTest, ImportHolidaysAndTestFolder)
{
    QTemporaryDir dir;
    const QString list = dir.filePath("list.txt");
    TestFiles::writeBytes(list,
                          "[Germany 2004]\r\nNew Year, 2004/01/01\r\nUnity Day, 2004/10/03\r\n"
                          "[Austria 2004]\r\nNational Day, 2004/10/26\r\n[Mixed]\r\n"
                          "Tag der [Einheit], 2005/10/03\r\nLeap, 2004/02/29\r\n"
                          "[Austria 2004]\r\nToo late, 2201/01/01\r\n");
    const QString binary = dir.filePath("program");
    TestFiles::writeBytes(binary, QByteArray::fromHex("7f454c460201010000")); // an ELF header
    const QString skipped = "1 holiday skipped: dated before 1900 or after 2200, where no view "
                            "shows it.\n";
    const QString repeats = "sections of one name repeat, their holidays are imported together: "
                            "\"Austria 2004\"\n";
    const QString folder = dir.filePath("data");
    QDir().mkpath(folder);
    const QString blocked = dir.filePath("blocked");
    TestFiles::writeBytes(blocked + "/y2004", "in the way");
    const QString missing = dir.filePath("absent");
    const QStringList import = {"import-holidays", list, "--folder", folder};
    const QStringList germany = {"import-holidays", list, "--section", "Germany 2004"};
    const struct {
        QStringList args;
        int code;
        QString out;
        QString err; // a part of it
    } rows[] = {
        {import, 0, "Germany 2004\nAustria 2004\nMixed\n", repeats},
        {import + QStringList{"--section", "Austria 2004", "--color=7"}, 0,
         "1 holiday imported.\n" + skipped, repeats},
        {germany + QStringList{"--folder", blocked}, 1, "0 of 2 holidays imported.\n",
         "2 of 2 holidays not saved: "},
        {QStringList{"import-holidays", list, "--section", "Mixed", "--folder", blocked}, 1,
         "1 of 2 holidays imported.\n", "1 of 2 holidays not saved: "},
        {QStringList{"import-holidays", binary}, 1, "",
         "program: not a text file: line 1 holds the control character U+007F\n"},
        {germany + QStringList{"--folder", missing}, 1, "", "not a directory"},
        {QStringList{"import-holidays", missing, "--section", "Germany 2004"}, 1, "",
         "No such file or directory"},
        {import + QStringList{"--section", "Spain 2004"}, 2, "", "No section \"Spain 2004\""},
        {import + QStringList{"--section", "Austria 2004", "--color", "15"}, 2, "",
         "Try 'norvane-cli --help'."},
        {import + QStringList{"--section", "Austria 2004", "--color", "0"}, 2, "",
         "Try 'norvane-cli --help'."},
        {{"import-holidays"}, 2, "", "Try 'norvane-cli --help'."},
        {QStringList{"test-folder", missing}, 1,
         "error: open for appending " + missing +
             "/NorvanePerformanceTest.txt: No such file or directory\n",
         ""},
        {{"test-folder"}, 2, "", "Try 'norvane-cli --help'."},
        {{"test-folder", folder, folder}, 2, "", "Try 'norvane-cli --help'."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.args.join(' ').toStdString());
        const CliRun run = cli(row.args);
        EXPECT_EQ(run.code, row.code) << run.err.toStdString();
        EXPECT_EQ(run.out, row.out);
        EXPECT_TRUE(run.err.contains(row.err)) << run.err.toStdString();
        EXPECT_EQ(run.err.contains("Try 'norvane-cli --help'."), row.code == 2);
    }
    EXPECT_EQ(tree(folder).keys(), QStringList{"y2004/m10/d26/holiday.nv3"});
    EXPECT_TRUE(tree(folder).first().contains("\r\nColor=7\r\n"));
    EXPECT_TRUE(
        tree(blocked).value("y2005/m10/d3/holiday.nv3").contains("\r\nText=Tag der [Einheit]\r\n"));

    // The verdict depends on this machine; its form and its exit code do not.
    const CliRun speed = cli({"test-folder", folder});
    const QRegularExpressionMatch verdict =
        QRegularExpression("^(fast|slow) [0-9]+\\.[0-9]{2}\n$").match(speed.out);
    ASSERT_TRUE(verdict.hasMatch()) << speed.out.toStdString();
    EXPECT_EQ(speed.code, verdict.captured(1) == "fast" ? 0 : 3);
    EXPECT_EQ(tree(folder).size(), 1);
}

TEST(ToolsCommandTest, ShippedListImportsWholeFromTheLibraryAndTheCommand)
{
    const QString list = NORVANE_HOLIDAY_LISTS "/germany.txt";
    HolidayFile::Problem problem;
    const std::optional<HolidayFile> file = HolidayFile::read(ThreadFileAccess(), list, &problem);
    ASSERT_TRUE(file) << problem.reason.toStdString();
    EXPECT_EQ(file->repeated(), QStringList());
    EXPECT_EQ(file->sections(), (QStringList{"Deutschland 2026", "Deutschland 2027"}));

    QTemporaryDir byLibrary;
    ProfileCache profiles(ThreadFileAccess());
    DataAccess store(profiles, StoreSource::fixed(byLibrary.path()));
    const HolidayImportResult result =
        ImportHolidays(*file, file->sections(), 3, store, byLibrary.path());
    EXPECT_EQ(result.count, 18);
    EXPECT_EQ(result.failed, 0);

    QTemporaryDir byCommand;
    const CliRun run = cli({"import-holidays", list, "--section", "Deutschland 2026", "--section",
                            "Deutschland 2027", "--color", "3", "--folder", byCommand.path()});
    EXPECT_EQ(run.code, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, "18 holidays imported.\n");

    const QMap<QString, QByteArray> imported = tree(byLibrary.path());
    EXPECT_EQ(imported.size(), 18);
    EXPECT_TRUE(imported.value("y2027/m3/d26/holiday.nv3").contains("\r\nText=Karfreitag\r\n"));
    EXPECT_EQ(tree(byCommand.path()), imported);
}

// A flight at 18:30 New York on 10 March 2026, filed at 00:30 on the 11th by rules of old
// (6 hours behind Berlin): today's rules make it 23:30 on the 10th.
TEST(ToolsCommandTest, RezoneFilesOlderZoneRulesAgainOnce)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath("data");
    TestFiles::writeBytes(folder + "/y2026/m3/d11/1.nv3",
                          "[AppointmentSettings]\r\nDateYear=2026\r\nDateMonth=3\r\nDateDay=11\r\n"
                          "StartTimeHour=0\r\nStartTimeMinute=30\r\nEndTimeHour=1\r\n"
                          "EndTimeMinute=0\r\nText=Flight\r\nTimeZone=America/New_York\r\n"
                          "ZoneStart=2026-03-10T18:30\r\nZoneEnd=2026-03-10T19:00\r\n");
    const struct {
        QStringList args;
        int code;
        QString out;
    } rows[] = {
        {{"rezone", "--zone", "Mars/Olympus_Mons", "--folder", folder}, 2, ""},
        {{"rezone", folder}, 2, ""},
        {{"rezone", "--folder", dir.filePath("missing")}, 1, ""},
        {{"rezone", "--zone", "Europe/Berlin", "--folder", folder},
         0,
         "Filed again with today's zone rules: 1\n"},
        {{"rezone", "--folder", folder}, 0, "Filed again with today's zone rules: 0\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.args.join(' ').toStdString());
        const CliRun run = cli(row.args);
        EXPECT_EQ(run.code, row.code) << run.err.toStdString();
        EXPECT_EQ(run.out, row.out);
    }
    const QMap<QString, QByteArray> files = tree(folder);
    ASSERT_EQ(files.keys(), QStringList{"y2026/m3/d10/1.nv3"});
    const auto older = OlderCopy::shown(folder, {2026, 3, 10}, {2026, 3, 11});
    EXPECT_EQ(older.value({2026, 3, 10}), QStringList{"Flight"}) << "an older copy's day";
    EXPECT_TRUE(older.value({2026, 3, 11}).isEmpty());
    EXPECT_TRUE(files.first().contains("DateDay=10\r\nStartTimeHour=23\r\nStartTimeMinute=30\r\n"
                                       "EndTimeHour=24\r\nEndTimeMinute=0\r\n"));
}

} // namespace
