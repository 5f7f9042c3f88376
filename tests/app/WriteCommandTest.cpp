// norvane-cli new, edit and delete: what lands in the folder, what is printed, and what a bad
// argument or an unusable file gets.
#include "app/cli/WriteCommand.h"
#include "OlderCopy.h"
#include "TestFiles.h"
#include "app/cli/AgendaCommand.h"

#include <QDirIterator>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class WriteCommandTest : public ::testing::Test {
protected:
    struct Result {
        int code;
        QStringList lines; // of the output
        QString err;
    };
    Result run(const QString& command, QStringList args)
    {
        QString out;
        QString err;
        QTextStream outStream(&out);
        QTextStream errStream(&err);
        args << "--folder" << data.path();
        const int code =
            command == "new"    ? WriteCommand::create(args, outStream, errStream, program.path())
            : command == "edit" ? WriteCommand::edit(args, outStream, errStream, program.path())
                                : WriteCommand::remove(args, outStream, errStream, program.path());
        return {code, out.split('\n', Qt::SkipEmptyParts), err};
    }
    // What range shows from January to February: "dd", "@hour" when not at 10, "=text" when
    // no "Meeting", "#categories" when in some.
    QString shown(const QStringList& filter = {})
    {
        QString out;
        QString err;
        QTextStream outStream(&out);
        QTextStream errStream(&err);
        AgendaCommand::run(
            QStringList{"range", "2027-01-01", "2027-02-28", "--folder", data.path()} + filter,
            outStream, errStream, program.path());
        QStringList days;
        for (const QString& line : out.split('\n', Qt::SkipEmptyParts)) {
            const QJsonObject a = QJsonDocument::fromJson(line.toUtf8()).object();
            QString day = a["day"].toString().right(2);
            if (a["start"].toString() != "10:00")
                day += "@" + a["start"].toString().left(2);
            if (a["text"].toString() != "Meeting")
                day += "=" + a["text"].toString();
            if (const QStringList in = a["category"].toVariant().toStringList(); !in.isEmpty())
                day += "#" + in.join(',');
            days << day;
        }
        return days.join(' ');
    }
    int files() const
    {
        int n = 0;
        for (QDirIterator it(data.path(), {"*.nv3"}, QDir::Files, QDirIterator::Subdirectories);
             it.hasNext(); it.next())
            ++n;
        return n;
    }
    static QString pathIn(const QString& line)
    {
        const QJsonObject o = QJsonDocument::fromJson(line.toUtf8()).object();
        return o.contains("written") ? o["written"].toString() : o["removed"].toString();
    }

    QTemporaryDir program;
    QTemporaryDir data;
};

TEST_F(WriteCommandTest, ASeriesIsMadeSplitChangedAndDeletedFromTheCommandLine)
{
    const Result made = run("new", {"2027-01-04", "10:00", "11:00", "Meeting", "--every", "week",
                                    "--until", "2027-02-01", "--remind", "15"});
    ASSERT_EQ(made.code, 0) << made.err.toStdString();
    ASSERT_EQ(made.lines.size(), 1);
    const QString series = pathIn(made.lines[0]);
    EXPECT_TRUE(series.startsWith("recurring/wd2/")) << series.toStdString();

    const struct {
        const char* what;
        QString command;
        QStringList args;
        int lines; // written and removed
        const char* shown;
    } steps[] = {
        {"change one",
         "edit",
         {series, "--on", "2027-01-18", "--scope", "this", "--start", "11:00", "--end", "12:00",
          "--text", "Moved"},
         3,
         "04 11 18@11=Moved 25 01"},
        {"skip one, named by the first part",
         "delete",
         {series, "--on", "2027-01-25", "--scope", "this"},
         1,
         "04 11 18@11=Moved 01"},
        {"change the rest",
         "edit",
         {series, "--on", "2027-02-01", "--scope", "following", "--text", "Later"},
         1,
         "04 11 18@11=Moved 01=Later"},
        {"move all a day on",
         "edit",
         {series, "--date", "2027-01-05"},
         6,
         "05 12 19@11=Moved 02=Later"},
    };
    Result result;
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        result = run(step.command, step.args);
        EXPECT_EQ(result.code, 0) << result.err.toStdString();
        EXPECT_EQ(result.lines.size(), step.lines) << result.lines.join('\n').toStdString();
        EXPECT_EQ(shown(), step.shown);
    }
    // The series now lies under Tuesdays; any of its parts deletes it whole.
    const QString moved = pathIn(result.lines.value(0));
    EXPECT_TRUE(moved.startsWith("recurring/wd3/")) << moved.toStdString();
    result = run("delete", {moved});
    EXPECT_EQ(result.code, 0);
    EXPECT_EQ(result.lines.size(), 3) << "two parts and the exception";
    EXPECT_EQ(files(), 0);
}

TEST_F(WriteCommandTest, ASeriesWithoutUntilRunsToTheLastDateAFileHolds)
{
    const Result made = run("new", {"2027-01-05", "09:00", "10:00", "Weekly", "--every", "week"});
    ASSERT_EQ(made.code, 0) << made.err.toStdString();
    const QByteArray file = TestFiles::readBytes(data.filePath(pathIn(made.lines.value(0))));
    EXPECT_TRUE(file.contains("RecurringFromYear=2027\r\nRecurringFromMonth=1\r\n"
                              "RecurringFromDay=5\r\nRecurringUntilYear=2200\r\n"
                              "RecurringUntilMonth=12\r\nRecurringUntilDay=31\r\n"))
        << file.toStdString();
}

TEST_F(WriteCommandTest, RepeatsTheWayTeamsMeetAreMadeAndChangedWithTheirRules)
{
    const auto ruleOf = [](const QString& line) {
        return QJsonDocument::fromJson(line.toUtf8()).object()["rule"].toString();
    };
    Result made = run("new", {"2027-01-04", "10:00", "11:00", "Meeting", "--every", "2weeks",
                              "--weekdays", "mon,thu", "--count", "5"});
    ASSERT_EQ(made.code, 0) << made.err.toStdString();
    EXPECT_EQ(shown(), "04 07 18 21 01");
    made = run("new",
               {"2027-01-04", "08:00", "09:00", "Close", "--every", "month", "--nth", "last-fri"});
    ASSERT_EQ(made.code, 0) << made.err.toStdString();
    EXPECT_EQ(shown(), "04 07 18 21 29@08=Close 01 26@08=Close");
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    AgendaCommand::run({"day", "2027-01-18", "--folder", data.path()}, outStream, errStream,
                       program.path());
    EXPECT_EQ(ruleOf(out), "FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,TH;COUNT=5");
    // From the third time on, every week on Tuesday, the three times left.
    const QString third =
        QDir(data.path())
            .relativeFilePath(QDirIterator(data.path() + "/y2027/m1/d18", {"*.nv3"}).next());
    const Result changed = run("edit", {third, "--on", "2027-01-18", "--scope", "following",
                                        "--every", "week", "--weekdays", "tue"});
    ASSERT_EQ(changed.code, 0) << changed.err.toStdString();
    EXPECT_EQ(shown(), "04 07 19 26 29@08=Close 02 26@08=Close");
    const Result plain =
        run("new", {"2027-01-05", "09:00", "10:00", "Weekly", "--every", "week", "--count", "3"});
    EXPECT_TRUE(pathIn(plain.lines.value(0)).startsWith("recurring/wd3/"))
        << "a rule the directories hold stays in them";
}

// Whom an appointment is for lies in a key of its own beside its owner: an older copy, which
// reads neither, shows it on its day under the owner as before.
TEST_F(WriteCommandTest, WhomItIsForIsWrittenChangedAndClearedBesideItsOwner)
{
    const Result made =
        run("new", {"2027-01-04", "10:00", "11:00", "Meeting", "--for", "anna, ben,anna"});
    ASSERT_EQ(made.code, 0) << made.err.toStdString();
    const QString path = pathIn(made.lines.value(0));
    const auto keys = [&] {
        QFile file(data.filePath(path));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        QStringList found;
        for (const QByteArray& line : file.readAll().split('\n'))
            if (line.startsWith("For=") || line.startsWith("Producer="))
                found << QString::fromUtf8(line.trimmed());
        return found.join(' ');
    };
    const QString owner = keys().section(' ', 0, 0);
    EXPECT_EQ(keys(), owner + " For=anna,ben");
    for (const auto& [given, kept] : {std::pair{"carla", " For=carla"}, std::pair{",", ""}}) {
        ASSERT_EQ(run("edit", {path, "--for", given}).code, 0);
        EXPECT_EQ(keys(), owner + kept) << given;
    }
    EXPECT_EQ(OlderCopy::shown(data.path(), QDate(2027, 1, 4), QDate(2027, 1, 4)),
              (QMap<QDate, QStringList>{{QDate(2027, 1, 4), {"Meeting"}}}));
}

TEST_F(WriteCommandTest, PrivacyAndRoomsAreWrittenAndAnotherUsersPrivateOneIsNotChanged)
{
    const Result made = run("new", {"2027-01-04", "10:00", "11:00", "Doctor", "--private", "--room",
                                    "Room 2", "--room", "beamer;room 2"});
    ASSERT_EQ(made.code, 0) << made.err.toStdString();
    const QString path = data.filePath(pathIn(made.lines.value(0)));
    EXPECT_TRUE(TestFiles::readBytes(path).contains("Private=1\r\nRooms=Room 2; beamer\r\n"));
    ASSERT_EQ(run("edit", {pathIn(made.lines[0]), "--public", "--room", ";"}).code, 0);
    EXPECT_FALSE(TestFiles::readBytes(path).contains("Private="));
    EXPECT_FALSE(TestFiles::readBytes(path).contains("Rooms="));
    EXPECT_EQ(run("new", {"2027-01-04", "10:00", "11:00", "x", "--private", "--public"}).code, 2);

    // Anna's private appointment reads as "Busy" here: nothing of that is written over it.
    TestFiles::writeBytes(data.filePath("y2027/m1/d5/9.nv3"),
                          "[AppointmentSettings]\r\nText=Anna's doctor\r\nProducer=anna\r\n"
                          "Private=1\r\n");
    const QByteArray before = TestFiles::readBytes(data.filePath("y2027/m1/d5/9.nv3"));
    for (const QString command : {"edit", "delete"}) {
        const Result refused =
            run(command, command == "edit" ? QStringList{"y2027/m1/d5/9.nv3", "--start", "12:00"}
                                           : QStringList{"y2027/m1/d5/9.nv3"});
        EXPECT_EQ(refused.code, 1);
        EXPECT_TRUE(refused.err.contains("belongs to anna: only its owner can change it"));
        EXPECT_EQ(TestFiles::readBytes(data.filePath("y2027/m1/d5/9.nv3")), before);
    }
    EXPECT_EQ(OlderCopy::shown(data.path(), QDate(2027, 1, 5), QDate(2027, 1, 5)),
              (QMap<QDate, QStringList>{{QDate(2027, 1, 5), {"Anna's doctor"}}}));
}

TEST_F(WriteCommandTest, ALocationIsWrittenAndRemovedAndAnOlderCopyShowsItAsTheLastLine)
{
    const Result made =
        run("new", {"2027-01-06", "10:00", "11:00", "Talk", "--location", " Hall\t2 "});
    ASSERT_EQ(made.code, 0) << made.err.toStdString();
    const QString path = data.filePath(pathIn(made.lines.value(0)));
    EXPECT_TRUE(TestFiles::readBytes(path).contains("Location=Hall 2\r\n"));
    EXPECT_EQ(OlderCopy::shown(data.path(), QDate(2027, 1, 6), QDate(2027, 1, 6)),
              (QMap<QDate, QStringList>{{QDate(2027, 1, 6), {"Talk##br##Location: Hall 2"}}}));
    EXPECT_TRUE(shown().contains("06=Talk"));
    ASSERT_EQ(run("edit", {pathIn(made.lines[0]), "--location", " "}).code, 0);
    EXPECT_FALSE(TestFiles::readBytes(path).contains("Location"));
}

TEST_F(WriteCommandTest, CategoriesAreWrittenFilteredByAndClearedAndOlderCopiesPassThemBy)
{
    const Result made = run("new", {"2027-01-07", "10:00", "11:00", "Board", "--category", "Board",
                                    "--category", "finance;board"});
    ASSERT_EQ(made.code, 0) << made.err.toStdString();
    const QString path = data.filePath(pathIn(made.lines.value(0)));
    EXPECT_TRUE(TestFiles::readBytes(path).contains("Categories=Board; finance\r\n"));
    EXPECT_EQ(shown({"--category", "FINANCE", "--category", "travel"}), "07=Board#Board,finance");
    EXPECT_EQ(shown({"--category", "travel"}), "");
    EXPECT_EQ(OlderCopy::shown(data.path(), QDate(2027, 1, 7), QDate(2027, 1, 7)),
              (QMap<QDate, QStringList>{{QDate(2027, 1, 7), {"Board"}}}));
    ASSERT_EQ(run("edit", {pathIn(made.lines[0]), "--category", ";"}).code, 0);
    EXPECT_FALSE(TestFiles::readBytes(path).contains("Categories"));
}

TEST_F(WriteCommandTest, BadArgumentsAreUsageErrorsAndAnUnusableFileSaysWhy)
{
    ASSERT_EQ(run("new", {"2027-01-04", "10:00", "11:00", "Once"}).code, 0);
    const struct {
        const char* words; // the command and its arguments
        int code;
        const char* says;
    } cases[] = {
        {"new 2027-01-04 10:00 11:00", 2, "new takes DATE START END TEXT."},
        {"new 2027-01-04 11:00 10:00 x", 2, "END lies before START."},
        {"new 2027-01-04 10:60 11:00 x", 2, "Not a time of day as HH:MM: 10:60"},
        {"new 2027-01-04 10:00 11:00 x --every hour", 2, "--every is day"},
        {"new 2027-01-04 10:00 11:00 x --until 2027-02-01", 2, "--until is for a series"},
        {"new 2027-01-04 10:00 11:00 x --color 15", 2, "colour"},
        {"new 2027-01-04 10:00 11:00 x --every week --nth 1mon", 2,
         "--nth is for a monthly or yearly series."},
        {"new 2027-01-04 10:00 11:00 x --every week --count 0", 2, "times"},
        {"new 2027-01-04 10:00 11:00 x --every month --weekdays mon", 2,
         "--weekdays is for a weekly series."},
        {"new 2027-01-04 10:00 11:00 x --every week --weekdays fri-mon", 2,
         "--weekdays names days"},
        {"new 2027-01-04 10:00 11:00 x --every day --count 2 --until 2027-02-01", 2,
         "do not go together"},
        {"edit ../outside.nv3", 2, "Not an appointment file of the data folder"},
        {"edit /etc/passwd", 2, "Not an appointment file of the data folder"},
        {"edit y2027/m1/d4/1.nv3 --on 2027-01-04", 2, "--on and --scope go together"},
        {"delete y2027/m1/d4/1.nv3 --on 2027-01-04 --scope some", 2,
         "--scope is this, following or all"},
        {"delete y2027/m1/d5/1.nv3", 1, "no such appointment"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.words);
        QStringList args = QString(c.words).split(' ');
        const QString command = args.takeFirst();
        const Result result = run(command, args);
        EXPECT_EQ(result.code, c.code);
        EXPECT_TRUE(result.err.contains(c.says)) << result.err.toStdString();
        EXPECT_TRUE(result.lines.isEmpty());
    }
    EXPECT_EQ(files(), 1) << "nothing written by a refused command";
}

} // namespace
