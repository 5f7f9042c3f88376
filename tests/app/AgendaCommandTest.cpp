// norvane-cli: what scripts and terminals see of a data folder.
#include "app/cli/AgendaCommand.h"
#include "CliRun.h"
#include "OlderCopy.h"
#include "TestFiles.h"
#include "settings/Settings.h"
#include "store/DataAccess.h"

#include <QDirIterator>
#include <QJsonDocument>
#include <QJsonObject>
#include <QScopeGuard>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

namespace {

class AgendaCommandTest : public ::testing::Test {
protected:
    AgendaCommandTest()
    {
        TestFiles::writeBytes(
            data.filePath("y2003/m7/d4/100.nv3"),
            "[AppointmentSettings]\r\nDateYear=2003\r\nDateMonth=7\r\nDateDay=4\r\n"
            "StartTimeHour=10\r\nStartTimeMinute=30\r\nEndTimeHour=24\r\nEndTimeMinute=0\r\n"
            "Color=3\r\nText=Budget \"review\"##br##Room 2, A##eq##B\r\nProducer=user1\r\n"
            "IsReminder=1\r\nRemindTime=15\r\nRemindMe=1\r\nRemindEmail=0\r\nRecurring=0\r\n"
            "RecurringFromYear=2003\r\nRecurringFromMonth=7\r\nRecurringFromDay=4\r\n"
            "RecurringUntilYear=2003\r\nRecurringUntilMonth=7\r\nRecurringUntilDay=4\r\n");
        TestFiles::writeBytes(data.filePath("recurring/wd7/200.nv3"),
                              "[AppointmentSettings]\r\nStartTimeHour=0\r\nStartTimeMinute=0\r\n"
                              "EndTimeHour=24\r\nEndTimeMinute=0\r\nColor=2\r\nText=Saturday\r\n"
                              "IsReminder=0\r\nRecurringFromYear=2003\r\nRecurringFromMonth=1\r\n"
                              "RecurringFromDay=1\r\nRecurringUntilYear=2003\r\n"
                              "RecurringUntilMonth=12\r\nRecurringUntilDay=31\r\n");
    }

    CliRun run(QStringList args)
    {
        QString out;
        QString err;
        QTextStream outStream(&out);
        QTextStream errStream(&err);
        const int code = AgendaCommand::run(args, outStream, errStream, program.path());
        return {code, out, err};
    }

    QStringList allFiles(const QString& dir) const
    {
        QStringList names;
        QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext())
            names << it.next();
        names.sort();
        return names;
    }

    QTemporaryDir data;
    QTemporaryDir program;
};

TEST_F(AgendaCommandTest, DayPrintsOneJsonObjectPerAppointmentWithKeysInOrder)
{
    const CliRun r = run({"day", "2003-07-04", "--folder", data.path()});
    EXPECT_EQ(r.code, 0) << qPrintable(r.err);
    EXPECT_EQ(
        r.out,
        QStringLiteral(
            "{\"day\":\"2003-07-04\",\"path\":\"y2003/m7/d4/100.nv3\",\"date\":\"2003-07-04\","
            "\"start\":\"10:30\",\"end\":\"24:00\",\"time\":\"10:30 - 24:00\",\"color\":3,"
            "\"text\":\"Budget \\\"review\\\"\\r\\nRoom 2, A=B\",\"producer\":\"user1\",\"for\":[],"
            "\"private\":false,\"room\":[],\"location\":\"\",\"category\":[],\"reminder\":true,"
            "\"remindMinutes\":15,"
            "\"remindAll\":"
            "false,\"email\":false,"
            "\"recurring\":false,\"recurFrom\":\"2003-07-04\",\"recurUntil\":\"2003-07-04\"}\n"));
    EXPECT_TRUE(run({"day", "2003-07-05", "--folder", data.path()})
                    .out.contains("\"start\":\"00:00\",\"end\":\"24:00\",\"time\":\"all day\","));
}

TEST_F(AgendaCommandTest, ANameThatIsNoValidTextIsSkippedAndNamedOnce)
{
    QDir().mkpath(data.filePath("recurring/every"));
    const QByteArray badName = QFile::encodeName(data.filePath("recurring/every/")) + "\xff.nv3";
    const int fd = ::open(badName.constData(), O_CREAT | O_WRONLY, 0600);
    // Qt cannot name it, so the temporary folder could not remove it either.
    const auto removeBadName = qScopeGuard([&] { ::unlink(badName.constData()); });
    ASSERT_GE(fd, 0);
    ::close(fd);

    const CliRun r = run({"range", "2003-07-04", "2003-07-06", "--folder", data.path()});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out.count('\n'), 2) << "the two readable appointments";
    EXPECT_EQ(r.err, QStringLiteral("norvane-cli: skipped a file whose name is not valid text: "
                                    "%1/recurring/every/\\xff.nv3\n")
                         .arg(data.path()));
}

// Bad words get one line and where the usage is; a folder that is no directory, one line.
TEST_F(AgendaCommandTest, BadInputAndAFolderThatIsNoDirectoryGetOneLine)
{
    const struct {
        QStringList args;
        int code = 2;
    } bad[] = {
        {{}},
        {{"week", "2003-07-04"}},
        {{"day", "2003-7-4"}},
        {{"day", "2003-02-30"}},
        {{"day", "2003-07-04", "--colour"}},
        {{"day"}},
        {{"range", "2003-07-05", "2003-07-04"}},
        {{"range", "2003-01-01", "2004-01-02"}},
        {{"day", "2003-07-04", "--folder"}},
        {{"day", "2003-07-04", "--folder", data.filePath("absent")}, 1},
        {{"day", "2003-07-04", "--folder", data.filePath("y2003/m7/d4/100.nv3")}, 1},
    };
    for (const auto& row : bad) {
        SCOPED_TRACE(row.args.join(' ').toStdString());
        const CliRun r = run(row.args);
        EXPECT_EQ(r.code, row.code);
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_TRUE(r.err.startsWith("norvane-cli: ")) << qPrintable(r.err);
        EXPECT_EQ(r.err.endsWith("\nTry 'norvane-cli --help'.\n"), row.code == 2)
            << qPrintable(r.err);
        EXPECT_EQ(r.err.count('\n'), row.code == 2 ? 2 : 1) << qPrintable(r.err);
    }
    EXPECT_EQ(run({"range", "2004-01-01", "2004-12-31", "--folder", data.path()}).code, 0)
        << "a leap year is 366 days";
    const CliRun help = run({"--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_TRUE(help.out.contains("norvane-cli range FROM TO"));
}

TEST_F(AgendaCommandTest, NothingIsEverWrittenAndWithoutFolderTheActiveFolderIsRead)
{
    const QStringList before = allFiles(data.path()) + allFiles(program.path());
    run({"range", "2003-07-01", "2003-07-31", "--folder", data.path()});
    run({"has", "2003-07-04"});
    run({"day", "2003-07-04"});
    EXPECT_EQ(allFiles(data.path()) + allFiles(program.path()), before);

    TestFiles::writeBytes(program.filePath("Settings.ini"),
                          "[DataFolders]\r\nFolderCount=1\r\nFolder1=" + data.path().toUtf8() +
                              "\r\n");
    const CliRun r = run({"has", "2003-07-04"});
    EXPECT_EQ(r.code, 0) << qPrintable(r.err);
    EXPECT_EQ(r.out, QStringLiteral("true\n"));
    EXPECT_EQ(run({"has", "2003-07-06"}).out, QStringLiteral("false\n"));
}

// One process saves, the other sees it at its next load.
TEST_F(AgendaCommandTest, AnotherProcessSeesOurSaveAndWeSeeItsFiles)
{
    auto day = [&](const QString& date) { return cli({"day", date, "--folder", data.path()}).out; };

    QTemporaryDir ourProgram;
    ProfileCache profiles(ThreadFileAccess());
    Settings settings(profiles, ourProgram.path());
    settings.setActiveFolder(data.path());
    DataAccess store(profiles, settings);
    ClassTermin a = *store.GetAppointmentsOfDay(QDate(2003, 7, 4)).first();
    a.setText("Changed here");
    ASSERT_TRUE(store.SaveAppointment(a).ok);
    EXPECT_TRUE(day("2003-07-04").contains("\"text\":\"Changed here\""));

    // A file the other side wrote appears at our next load of the day.
    TestFiles::writeBytes(data.filePath("y2003/m7/d4/300.nv3"),
                          "[AppointmentSettings]\r\nText=From elsewhere\r\n");
    QStringList texts;
    for (const TerminPtr& t : store.GetAppointmentsOfDay(QDate(2003, 7, 4)))
        texts << t->Text();
    EXPECT_TRUE(texts.contains("From elsewhere"));
    EXPECT_TRUE(day("2003-07-04").contains("From elsewhere"));
}

} // namespace

namespace {

// The team folder of the golden cases: anna, ben and carla's appointments, some for others,
// and one of dora, who is on no list.
const QString kTeam = QStringLiteral(NORVANE_GOLDEN_FOLDERS "/team");

QString pathsIn(const QString& out)
{
    QStringList names;
    for (const QString& line : out.split('\n', Qt::SkipEmptyParts))
        names << QJsonDocument::fromJson(line.toUtf8())["path"].toString().section('/', -1).left(8);
    return names.join(' ');
}

TEST_F(AgendaCommandTest, PersonsKeepWhatTheyOwnOrWhatIsForThem)
{
    const struct {
        const char* persons;
        const char* range; // the files range prints, by name; has: true or false per day
        const char* has;
    } cases[] = {
        {"ben", "70000002 70000001 70000004 70000005", "true true true"},
        {"carla dora", "70000001 70000003 70000004 70000005", "true true true"},
        {"anna", "70000001 70000003 70000005", "true true true"},
        {"Ben", "", "false false false"}, // letter case counts, as for the owner
        {"erik", "", "false false false"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.persons);
        QStringList persons;
        for (const QString& login : QString(c.persons).split(' '))
            persons << "--person" << login;
        const CliRun range =
            run(QStringList{"range", "2026-12-07", "2026-12-09", "--folder", kTeam} + persons);
        EXPECT_EQ(range.code, 0);
        EXPECT_EQ(pathsIn(range.out), c.range);
        QStringList has;
        for (const char* day : {"2026-12-07", "2026-12-08", "2026-12-09"})
            has << run(QStringList{"has", day, "--folder", kTeam} + persons).out.trimmed();
        EXPECT_EQ(has.join(' '), c.has);
    }
}

// An older copy knows neither "For" nor the team: it shows the same appointments on the same
// days, each under its owner.
TEST_F(AgendaCommandTest, AnOlderCopyShowsTheTeamsAppointmentsAsThisOneDoes)
{
    const CliRun range = run({"range", "2026-12-07", "2026-12-16", "--folder", kTeam});
    QMap<QDate, QStringList> shown;
    for (const QString& line : range.out.split('\n', Qt::SkipEmptyParts)) {
        const QJsonObject a = QJsonDocument::fromJson(line.toUtf8()).object();
        shown[QDate::fromString(a["day"].toString(), Qt::ISODate)] << a["text"].toString();
    }
    for (QStringList& texts : shown)
        texts.sort();
    EXPECT_EQ(shown, OlderCopy::shown(kTeam, {2026, 12, 7}, {2026, 12, 16}));
    EXPECT_EQ(shown.size(), 4) << "the 7th, 8th, and the weekly round on the 9th and 16th";
}

TEST_F(AgendaCommandTest, SeveralFoldersAreReadInTheOrderGivenAndEachLineNamesItsFolder)
{
    const CliRun both =
        run({"day", "2026-12-07", "--folder", kTeam, "--folder", data.path(), "--person", "ben"});
    ASSERT_EQ(both.code, 0) << qPrintable(both.err);
    QStringList folders;
    for (const QString& line : both.out.split('\n', Qt::SkipEmptyParts))
        folders << QJsonDocument::fromJson(line.toUtf8())["folder"].toString();
    EXPECT_EQ(folders, QStringList({kTeam, kTeam}));
    const CliRun year = run({"day", "2003-07-04", "--folder", kTeam, "--folder", data.path()});
    EXPECT_EQ(pathsIn(year.out), "100.nv3");
    EXPECT_TRUE(year.out.contains(",\"folder\":" + AgendaCommand::jsonString(data.path())));
    EXPECT_FALSE(run({"day", "2003-07-04", "--folder", data.path()}).out.contains("folder"))
        << "one folder prints its lines as before";

    const CliRun missing =
        run({"range", "2026-12-07", "2026-12-09", "--folder", kTeam, "--folder", "/nonexistent"});
    EXPECT_EQ(missing.code, 1);
    EXPECT_TRUE(missing.out.isEmpty()) << "nothing of the other folders either";
    EXPECT_TRUE(missing.err.contains("not a directory")) << qPrintable(missing.err);
}

} // namespace
