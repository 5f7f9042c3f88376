// norvane-cli free: the free times of several people over several folders as a script sees
// them, and what bad arguments or an unusable folder get.
#include "app/cli/FreeCommand.h"
#include "TestFiles.h"
#include "app/cli/WriteCommand.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class FreeCommandTest : public ::testing::Test {
protected:
    FreeCommandTest()
    {
        // Monday 14 December 2026: anna's standup every day, moved on Tuesday; ben's time lies
        // in the other folder, one of it private; on Wednesday ben is away all day; zoe books
        // the room Blue.
        write({"new", "2026-12-14", "08:00", "09:00", "Standup", "--every", "day", "--for", "anna",
               "--folder", data.path()});
        const QString series = QJsonDocument::fromJson(out.toUtf8())["written"].toString();
        write({"edit", series, "--on", "2026-12-15", "--scope", "this", "--start", "12:00", "--end",
               "13:00", "--folder", data.path()});
        put(data.path(), "d14/1.nv3", 9, 10, "Producer=anna");
        put(data.path(), "d14/2.nv3", 10, 11, "Producer=carl\r\nFor=ben");
        put(other.path(), "d14/3.nv3", 14, 15, "Producer=ben");
        put(other.path(), "d16/4.nv3", 0, 24, "Producer=ben");
        put(other.path(), "d14/5.nv3", 16, 17, "Producer=ben\r\nPrivate=1");
        put(data.path(), "d14/6.nv3", 8, 12, "Producer=zoe\r\nRooms=Red; Blue");
    }

    void write(const QStringList& args)
    {
        out.clear();
        QTextStream outStream(&out);
        QTextStream errStream(&err);
        const auto command = args[0] == "new" ? WriteCommand::create : WriteCommand::edit;
        ASSERT_EQ(command(args.mid(1), outStream, errStream, program.path()), 0) << qPrintable(err);
    }
    static void put(const QString& folder, const QString& name, int start, int end,
                    const char* keys)
    {
        const int day = name.mid(1, 2).toInt();
        TestFiles::writeBytes(
            folder + "/y2026/m12/" + name,
            QString::asprintf("[AppointmentSettings]\r\nDateYear=2026\r\nDateMonth=12\r\n"
                              "DateDay=%d\r\nStartTimeHour=%d\r\nStartTimeMinute=0\r\n"
                              "EndTimeHour=%d\r\nEndTimeMinute=0\r\nText=Busy\r\n%s\r\n",
                              day, start, end, keys)
                .toUtf8());
    }
    // The exit code, then "14 11:00-12:00" for each line printed.
    QString freeTimes(const QStringList& args)
    {
        out.clear();
        err.clear();
        QTextStream outStream(&out);
        QTextStream errStream(&err);
        const int code = FreeCommand::run(args, outStream, errStream, program.path());
        QStringList shown{QString::number(code)};
        for (const QString& line : out.split('\n', Qt::SkipEmptyParts)) {
            const QJsonObject slot = QJsonDocument::fromJson(line.toUtf8()).object();
            shown << slot["day"].toString().right(2) + ' ' + slot["start"].toString() + '-' +
                         slot["end"].toString();
        }
        return shown.join(' ');
    }

    QTemporaryDir program;
    QTemporaryDir data;
    QTemporaryDir other;
    QString out;
    QString err;
};

TEST_F(FreeCommandTest, PrintsTheFirstFreeTimesOfEveryoneGiven)
{
    // Unless a case names them: both folders, and anna and ben.
    const QStringList folders = {"--folder", data.path(), "--folder", other.path()};
    const QStringList persons = {"--person", "anna", "--person", "ben"};
    const struct {
        const char* what;
        QStringList args;
        const char* shown;
    } cases[] = {
        // clang-format off
        {"around both people's times in both folders", {"--from", "2026-12-14", "--to",
         "2026-12-14", "--length", "60"}, "0 14 11:00-12:00 14 12:00-13:00 14 13:00-14:00 "
         "14 15:00-16:00"},
        {"a room alone", {"--room", "blue", "--from", "2026-12-14", "--to", "2026-12-14",
         "--length", "120"}, "0 14 12:00-14:00 14 14:00-16:00"},
        {"the series' moved occurrence, a day away, the weekend not shown", {"--from",
         "2026-12-15", "--to", "2026-12-20", "--length", "90", "--hours", "07:30-13:00"},
         "0 15 07:30-09:00 15 09:00-10:30 15 10:30-12:00 17 09:00-10:30 17 10:30-12:00 "
         "18 09:00-10:30 18 10:30-12:00"},
        {"nothing free: nothing printed", {"--from", "2026-12-16", "--to", "2026-12-16",
         "--length", "60"}, "0"},
        {"no person and no room", {"--from", "2026-12-14", "--to", "2026-12-14", "--length",
         "60", "--folder", data.path()}, "2"},
        {"too short", {"--person", "anna", "--from", "2026-12-14", "--to", "2026-12-14",
         "--length", "4"}, "2"},
        {"longer than a day", {"--person", "anna", "--from", "2026-12-14", "--to", "2026-12-14",
         "--length", "1441"}, "2"},
        {"to before from", {"--person", "anna", "--from", "2026-12-14", "--to", "2026-12-13",
         "--length", "60"}, "2"},
        {"more than 366 days", {"--person", "anna", "--from", "2026-01-01", "--to", "2027-01-02",
         "--length", "60"}, "2"},
        {"bad hours", {"--person", "anna", "--from", "2026-12-14", "--to", "2026-12-14",
         "--length", "60", "--hours", "8-17"}, "2"},
        {"no length", {"--person", "anna", "--from", "2026-12-14", "--to", "2026-12-14"}, "2"},
        {"a folder that is none", {"--person", "anna", "--from", "2026-12-14", "--to",
         "2026-12-14", "--length", "60", "--folder", data.filePath("none")}, "1"},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QStringList args = c.args;
        if (!args.contains("--folder"))
            args +=
                args.contains("--person") || args.contains("--room") ? folders : folders + persons;
        EXPECT_EQ(freeTimes(args), c.shown) << qPrintable(err);
        // Bad arguments: the problem and where the usage is; a folder: the reason alone.
        EXPECT_EQ(err.count('\n'), QString(c.shown).left(1).toInt()) << qPrintable(err);
    }
}

TEST_F(FreeCommandTest, OneJsonLineAFreeTimeAtMostTwentyUnlessAll)
{
    const QStringList args = {"--person",   "dora",     "--from", "2026-12-14", "--to",
                              "2027-01-31", "--length", "480",    "--folder",   data.path()};
    EXPECT_EQ(freeTimes(args).count(' '), 2 * 20);
    EXPECT_TRUE(out.startsWith("{\"day\":\"2026-12-14\",\"start\":\"08:00\",\"end\":\"16:00\"}\n"))
        << qPrintable(out);
    EXPECT_EQ(freeTimes(args + QStringList{"--all"}).count(' '), 2 * 35)
        << "the weekdays of seven weeks";
}

} // namespace
