// norvane-cli search: the index's folded match inside words of texts and owners, printed as
// range prints on the day the window lists each on, from an index that vouches for the folder
// or else from the folder by the same rule.
#include "app/cli/SearchCommand.h"
#include "CliRun.h"
#include "TestDays.h"
#include "TestFiles.h"
#include "app/cli/AgendaCommand.h"
#include "index/FolderCrawl.h"
#include "store/ApiLoginName.h"

#include <QDirIterator>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>

namespace {

const QDate kToday = kTestToday;

class SearchCommandTest : public ::testing::Test {
protected:
    SearchCommandTest()
    {
        put("y2024/m5/d14/1.nv3", "Termin bei Müller", "user1");
        put("y2024/m5/d15/2.nv3", "Straßenfest##br##Location: Marktplatz", "user1");
        put("y2024/m5/d16/3.nv3", "Quarterly review", "Jürgen Groß");
        put("recurring/wd3/4.nv3", "Weekly jour fixe", "user2",
            "RecurringFromYear=2024\r\nRecurringFromMonth=5\r\nRecurringFromDay=1\r\n"
            "RecurringUntilYear=2024\r\nRecurringUntilMonth=12\r\nRecurringUntilDay=31\r\n");
        TestFiles::putAppointment(data.path(), kToday.addDays(7), 9, "Sitzung bald");
        TestFiles::putAppointment(data.path(), kToday.addDays(-400), 9, "Sitzung damals");
        put("recurring/every/6.nv3", "Täglicher Rundgang", "user2",
            recurring(kToday.addDays(-500), kToday.addDays(100)));
    }
    static QString recurring(const QDate& from, const QDate& until)
    {
        return from.toString("'RecurringFromYear='yyyy'\r\nRecurringFromMonth='M"
                             "'\r\nRecurringFromDay='d'\r\n'") +
               until.toString("'RecurringUntilYear='yyyy'\r\nRecurringUntilMonth='M"
                              "'\r\nRecurringUntilDay='d'\r\n'");
    }
    void put(const QString& relative, const QString& text, const QString& owner,
             const QString& more = {})
    {
        TestFiles::writeSettled(data.filePath(relative),
                                ("[AppointmentSettings]\r\nStartTimeHour=9\r\nStartTimeMinute=0\r\n"
                                 "EndTimeHour=10\r\nEndTimeMinute=0\r\n"
                                 "IsReminder=1\r\nRemindTime=15\r\nText=" +
                                 text + "\r\nProducer=" + owner + "\r\n" + more)
                                    .toUtf8());
    }
    CliRun run(QStringList args, bool withFolder = true)
    {
        if (withFolder)
            args << "--folder" << data.path();
        QString out;
        QString err;
        QTextStream outStream(&out);
        QTextStream errStream(&err);
        const int code = SearchCommand::run(args, outStream, errStream, program.path(),
                                            cache.filePath("Norvane/index"), kToday);
        return {code, out, err};
    }
    // "text day" of each line printed.
    static QStringList found(const CliRun& r)
    {
        QStringList texts;
        for (const QString& line : r.out.split('\n', Qt::SkipEmptyParts)) {
            const QJsonObject o = QJsonDocument::fromJson(line.toUtf8()).object();
            texts << o["text"].toString() + ' ' + o["day"].toString();
        }
        return texts;
    }
    // The folder's complete index, as the desktop keeps it, in the cache given to run(), made
    // when the directories' times had settled.
    void makeIndex()
    {
        TestFiles::settleDirectories(data.path());
        RealFileAccess files;
        ProfileCache profiles(files);
        AppointmentIndex index(cache.filePath("Norvane/index"));
        ASSERT_TRUE(index.open(data.path()));
        FolderCrawl crawl(files, profiles, index);
        while (crawl.step() == FolderCrawl::Step::More) {
        }
        ASSERT_TRUE(index.complete());
    }
    // The files of the user's index, or with own those of the command line's too.
    QStringList cacheFiles(bool own = false) const
    {
        QStringList files;
        for (QDirIterator it(cache.path(), QDir::Files, QDirIterator::Subdirectories);
             it.hasNext();) {
            const QString file = it.next();
            if (!own && file.contains(SearchCommand::kOwnIndex + '/'))
                continue;
            files << file + ' ' + TestFiles::readBytes(file).toHex().left(64);
        }
        return files;
    }

    QTemporaryDir data;
    QTemporaryDir program;
    QTemporaryDir cache;
};

TEST_F(SearchCommandTest, WordsAreFoldedAndAndedPrefixesOfTextOrOwnerWithinTheDays)
{
    const auto in2024 = [](const QStringList& words) {
        return words + QStringList{"--from", "2024-01-01", "--to", "2024-12-31"};
    };
    const QString soon = "Sitzung bald " + kToday.addDays(7).toString(Qt::ISODate);
    const QString then = "Sitzung damals " + kToday.addDays(-400).toString(Qt::ISODate);
    const struct {
        QStringList args;
        QStringList texts;
    } cases[] = {
        // The index's rule (its own tests hold every case of it): folded, anded, owners too.
        {in2024({"muller"}), {"Termin bei Müller 2024-05-14"}},
        {in2024({"STRASSENF"}), {"Straßenfest 2024-05-15"}},
        {in2024({"marktpl", "strassen"}), {"Straßenfest 2024-05-15"}}, // its location too
        {in2024({"review", "quart"}), {"Quarterly review 2024-05-16"}},
        {in2024({"review", "müller"}), {}},
        {in2024({"gross", "review"}), {"Quarterly review 2024-05-16"}},
        // A Tuesday appointment once, on the first Tuesday searched.
        {in2024({"weekly"}), {"Weekly jour fixe 2024-05-07"}},
        {{"weekly", "--from", "2024-05-15", "--to", "2024-06-30"}, {"Weekly jour fixe 2024-05-21"}},
        {{"weekly", "--from", "2024-05-22", "--to", "2024-05-27"}, {}},
        {{"termin", "--from", "2024-05-14", "--to", "2024-05-14"},
         {"Termin bei Müller 2024-05-14"}},
        {{"termin", "--from", "2024-05-15"}, {}},
        {{"termin", "--to", "2024-05-13", "--from", "1900-01-01"}, {}},
        {{"sitzung"}, {soon}},
        {{"sitzung", "--from", kToday.addDays(-500).toString(Qt::ISODate)}, {then, soon}},
        {{"sitzung", "--no-index", "--to", kToday.addDays(6).toString(Qt::ISODate)}, {}},
        // A recurring one on its next day from today, as the window lists it; else its first.
        {{"rundgang"}, {"Täglicher Rundgang " + kToday.toString(Qt::ISODate)}},
        {{"rundgang", "--to", kToday.addDays(-1).toString(Qt::ISODate)},
         {"Täglicher Rundgang " + kToday.addYears(-1).toString(Qt::ISODate)}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const CliRun r = run(c.args);
        EXPECT_EQ(r.code, 0) << qPrintable(r.err);
        EXPECT_EQ(found(r), c.texts);
        EXPECT_TRUE(r.err.isEmpty()) << qPrintable(r.err);
    }
    // The very line range prints, what the index does not hold (the reminder) included.
    const CliRun line = run({"weekly", "--from", "2024-05-15"});
    QString range;
    QString rangeErr;
    QTextStream rangeOut(&range);
    QTextStream rangeErrStream(&rangeErr);
    AgendaCommand::run({"range", "2024-05-21", "2024-05-21", "--folder", data.path()}, rangeOut,
                       rangeErrStream, program.path());
    EXPECT_EQ(line.out.toStdString(), range.toStdString());
    EXPECT_TRUE(line.out.contains("\"reminder\":true,\"remindMinutes\":15,"))
        << qPrintable(line.out);
}

// Bad words get one line and where the usage is; a folder that is no directory, one line.
TEST_F(SearchCommandTest, AnotherUsersPrivateTextIsNeitherFoundNorKeptInTheIndex)
{
    put("y2024/m5/d20/7.nv3", "Dentist Secret", "anna", "Private=1\r\n");
    put("y2024/m5/d21/8.nv3", "Dentist Mine", GetLoginName(), "Private=1\r\n");
    for (const bool indexed : {false, true}) {
        SCOPED_TRACE(indexed ? "index" : "folder");
        if (indexed)
            makeIndex();
        QStringList days = {"--from", "2024-05-01", "--to", "2024-05-31"};
        if (!indexed)
            days << "--no-index";
        EXPECT_EQ(found(run(QStringList{"dentist"} + days)),
                  QStringList{"Dentist Mine 2024-05-21"});
        EXPECT_EQ(found(run(QStringList{"secret"} + days)), QStringList{});
        const CliRun busy = run(QStringList{"busy"} + days);
        EXPECT_EQ(found(busy), QStringList{"Busy 2024-05-20"});
        EXPECT_TRUE(busy.out.contains("\"producer\":\"anna\",\"for\":[],\"private\":true"));
    }
    for (const QString& file : cacheFiles(true))
        EXPECT_FALSE(
            TestFiles::readBytes(file.section(QLatin1Char(' '), 0, 0)).toLower().contains("secret"))
            << file.toStdString();
}

TEST_F(SearchCommandTest, BadArgumentsAndAMissingFolderPrintNothing)
{
    const struct {
        QStringList args;
        int code = 2;
    } bad[] = {
        {{}},
        {{"!!", "-"}},
        {{"x", "--from", "2024-13-01"}},
        {{"x", "--to", "2024-02-30"}},
        {{"x", "--from", "2024-05-02", "--to", "2024-05-01"}},
        {{"x", "--from"}},
        {{"x", "--all"}},
        {{"x", "--folder", data.filePath("absent")}, 1},
        {{"x", "--folder", data.filePath("y2024/m5/d14/1.nv3")}, 1},
    };
    for (const auto& row : bad) {
        SCOPED_TRACE(row.args.join(' ').toStdString());
        const CliRun r = run(row.args, false);
        EXPECT_EQ(r.code, row.code);
        EXPECT_TRUE(r.out.isEmpty()) << qPrintable(r.out);
        EXPECT_TRUE(r.err.startsWith("norvane-cli: ")) << qPrintable(r.err);
        EXPECT_EQ(r.err.count('\n'), row.code == 2 ? 2 : 1) << qPrintable(r.err);
    }
}

// From the index only while it vouches for the folder as it is now; never written; the cache
// the program itself finds.
TEST_F(SearchCommandTest, TheIndexAnswersWhileItVouchesForTheFolderTheFolderOtherwise)
{
    const QStringList args = {"muller", "--from", "2024-01-01"};
    put("y2024/m5/d18/7.nv3", "Müller zieht um", "user3");
    makeIndex();
    const QStringList cached = cacheFiles();
    // Written over in place, the directory's time stays: the index answers, the file is read.
    put("y2024/m5/d14/1.nv3", "Termin bei Müllers", "user1");
    EXPECT_EQ(found(run(args)),
              (QStringList{"Termin bei Müllers 2024-05-14", "Müller zieht um 2024-05-18"}));
    // What colleagues changed while no window ran: one matches no more, one is new, one moved.
    const auto replace = [&](const QString& relative, const QString& text) {
        put(relative + ".new", text, "user1");
        std::rename(QFile::encodeName(data.filePath(relative + ".new")).constData(),
                    QFile::encodeName(data.filePath(relative)).constData());
    };
    replace("y2024/m5/d14/1.nv3", "Termin bei Schmidt");
    put("y2024/m5/d17/5.nv3", "Noch ein Müller", "user3");
    QDir().mkpath(data.filePath("y2024/m6/d1"));
    QFile::rename(data.filePath("y2024/m5/d18/7.nv3"), data.filePath("y2024/m6/d1/7.nv3"));
    const QStringList now = {"Noch ein Müller 2024-05-17", "Müller zieht um 2024-06-01"};
    EXPECT_EQ(found(run(args)), now);
    const QString fromFolder = run(args).out;
    EXPECT_EQ(found(run(QStringList(args) << "--no-index")), now);
    EXPECT_EQ(cacheFiles(), cached);
    makeIndex();
    const QStringList remade = cacheFiles();
    const QString fromIndex = run(args).out;
    EXPECT_EQ(fromIndex.toStdString(), fromFolder.toStdString());

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_CACHE_HOME", cache.path());
    const CliRun program =
        cli(QStringList{"search"} + args + QStringList{"--folder", data.path()}, environment);
    EXPECT_EQ(program.code, 0) << qPrintable(program.err);
    EXPECT_EQ(program.out.toStdString(), fromIndex.toStdString());
    EXPECT_EQ(cacheFiles(), remade);

    put("y2024/m5/d17/5.nv3", "Noch ein Meier", "user3"); // in place: the index is behind
    {
        AppointmentIndex index(cache.filePath("Norvane/index"));
        ASSERT_TRUE(index.open(data.path()));
        index.setComplete(false);
    }
    EXPECT_EQ(found(run(args)), QStringList{"Müller zieht um 2024-06-01"})
        << "an index that is not complete is not asked";

    // More than one search shows: the first by day, and one line that says so.
    for (int i = 0; i <= AppointmentIndex::kMaxHits; ++i)
        TestFiles::putAppointment(data.path(), QDate(2024, 1, 1).addDays(i % 300), 8, "Viele");
    const CliRun many = run({"viele", "--from", "2024-01-01", "--no-index"});
    EXPECT_EQ(many.code, 0);
    EXPECT_EQ(many.out.count('\n'), AppointmentIndex::kMaxHits);
    EXPECT_EQ(many.err.count('\n'), 1) << qPrintable(many.err);
    EXPECT_TRUE(many.err.contains("more than 500")) << qPrintable(many.err);
}

// Without the window's index the command line keeps its own, follows the folder's changes in
// it, and answers as a fresh crawl does.
TEST_F(SearchCommandTest, WithoutTheWindowsIndexItKeepsItsOwnAndFollowsTheFolder)
{
    const QStringList args = {"muller", "--from", "2024-01-01"};
    const QString first = run(args).out;
    EXPECT_EQ(first, run(QStringList(args) << "--no-index").out);
    ASSERT_EQ(cacheFiles(true).size(), 2) << "the index and the note of its check";
    EXPECT_TRUE(cacheFiles().isEmpty()) << "the window's index is the window's to make";

    put("y2024/m7/d2/9.nv3", "Müller kommt", "user3");
    EXPECT_EQ(found(run(args)),
              (QStringList{"Termin bei Müller 2024-05-14", "Müller kommt 2024-07-02"}));
    QFile::remove(data.filePath("y2024/m5/d14/1.nv3"));
    EXPECT_EQ(found(run(args)), QStringList{"Müller kommt 2024-07-02"});
    EXPECT_EQ(run(args).out, run(QStringList(args) << "--no-index").out);
    EXPECT_EQ(cacheFiles(true).size(), 2);
}

} // namespace
