// Directories that their parent's listing does not name are not asked for while the parent's
// time is unchanged: a table of looks at a folder that changes between them, and the counts
// of a store worker's reads and directory checks of a week whose recurring directories are
// mostly missing.
#include "service/MissingDirectories.h"
#include "TestFiles.h"
#include "service/StoreWorker.h"
#include "store/Recurrence.h"
#include "threads/ShareClock.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// A folder as the times of its existing directories, looked at as the worker looks.
using Times = QHash<QString, qint64>;

QStringList look(MissingDirectories& missing, const Times& folder, const QStringList& dirs)
{
    QStringList asked;
    missing.newLook();
    for (QStringList left = dirs; !left.isEmpty();) {
        const MissingDirectories::Plan plan = missing.plan(left);
        asked << plan.ask;
        for (const QString& parent : plan.listings) {
            asked << "list " + parent;
            std::optional<DirectoryListing> listing;
            if (folder.contains(parent)) {
                listing.emplace().time.emplace().modifiedNs = folder.value(parent);
                for (const QString& dir : folder.keys())
                    if (MissingDirectories::parentOf(dir) == parent)
                        listing->directories << dir.mid(parent.size()).chopped(1);
            }
            missing.parentListed(parent, listing);
        }
        for (const QString& parent : plan.times) {
            asked << "time " + parent;
            std::optional<FileMeta> time;
            if (folder.contains(parent))
                time.emplace().modifiedNs = folder.value(parent);
            missing.parentTime(parent, time);
        }
        left.removeIf([&](const QString& dir) {
            return plan.ask.contains(dir) || plan.missing.contains(dir);
        });
    }
    return asked;
}

TEST(MissingDirectoriesTest, AMissingDirectoryIsAskedAgainOnlyWhenItsParentsTimeChanged)
{
    const Times folder = {{"F/", 1}, {"F/recurring/", 1}, {"F/recurring/wd2/", 1}};
    const QStringList week = {"F/recurring/wd2/", "F/recurring/wd3/", "F/recurring/m6/d14/"};
    const QStringList times = {"time F/recurring/"}; // recurring/ tells that m6/ is missing
    struct Row {
        const char* what;
        Times change; // between the second and the third look
        QStringList third;
    };
    const Row rows[] = {
        {"unchanged: the parents' times answer for the missing ones", {}, {"F/recurring/wd2/"}},
        {"a name came or went in recurring/: listed again",
         {{"F/recurring/", 2}},
         {"list F/recurring/", "F/recurring/wd2/"}},
        {"wd3 made by another copy: found",
         {{"F/recurring/", 2}, {"F/recurring/wd3/", 2}},
         {"list F/recurring/", "F/recurring/wd2/", "F/recurring/wd3/"}},
        {"m6 and its d14 made",
         {{"F/recurring/", 2}, {"F/recurring/m6/", 2}, {"F/recurring/m6/d14/", 2}},
         {"list F/recurring/", "F/recurring/wd2/", "time F/recurring/m6/", "list F/recurring/m6/",
          "F/recurring/m6/d14/"}},
    };
    for (const Row& row : rows) {
        MissingDirectories missing;
        missing.useFolder("F/");
        EXPECT_EQ(look(missing, folder, week),
                  QStringList({"list F/recurring/", "list F/recurring/m6/", "F/recurring/wd2/"}))
            << row.what << ": the first look lists the parents with their times";
        EXPECT_EQ(look(missing, folder, week), times + QStringList{"F/recurring/wd2/"})
            << row.what << ": the second asks no missing one";
        Times changed = folder;
        changed.insert(row.change);
        EXPECT_EQ(look(missing, changed, week), times + row.third) << row.what;
    }
    MissingDirectories top;
    top.useFolder("F/");
    EXPECT_EQ(look(top, folder, {"F/recurring/"}), QStringList{"F/recurring/"})
        << "nothing is asked about the folder's own parent";
}

const QByteArray kSeries = "[AppointmentSettings]\r\nStartTimeHour=7\r\nEndTimeHour=8\r\n"
                           "Text=Weekly\r\nRecurringUntilYear=2099\r\n";

// A week of one appointment and a weekly series, and the directories its days read.
struct Week {
    QTemporaryDir data;
    QList<QDate> days;
    QStringList dirs;
    int existing = 0;

    Week()
    {
        const QDate monday(2003, 7, 7);
        TestFiles::putAppointment(data.path(), monday.addDays(2), 9, "Ours");
        TestFiles::writeSettled(data.path() + "/recurring/wd5/1.nv3", kSeries);
        for (int i = 0; i < 7; ++i) {
            days << monday.addDays(i);
            for (const QString& dir :
                 Recurrence::directoriesOfDay(data.path() + '/', days.last())) {
                dirs << dir;
                existing += QDir(dir).exists();
            }
        }
    }
};

// A store worker on the week's folder, asking width requests at once, each one counted.
struct CountedWorker {
    RealFileAccess real;
    CountingFileAccess counting{real};
    StoreWorker worker;

    CountedWorker(const Week& week, int width)
        : worker(counting.makeCounted(), std::make_shared<ShareClock>(), {}, {},
                 [this] { return counting.makeCounted(); })
    {
        worker.useFolder(week.data.path(), 60);
        worker.useParallelRequests(width);
    }
};

qsizetype appointmentsIn(const StoreWorker::Days& read)
{
    qsizetype shown = 0;
    for (const QList<TerminPtr>& day : read.days)
        shown += day.size();
    return shown;
}

TEST(MissingDirectoriesTest, TheFirstLookAtAWeekListsEachDirectoryOnceWithItsTime)
{
    const Week week;
    for (const int width : {16, 1}) {
        CountedWorker counted(week, width);
        CountingFileAccess& counting = counted.counting;
        StoreWorker& worker = counted.worker;
        {
            // As the store service shows a week: its directories remembered, then read.
            const auto pass = worker.pass();
            worker.rememberDirectories(week.dirs);
            EXPECT_EQ(appointmentsIn(worker.read(week.days, {}, false)), 2)
                << width << ": ours and the series";
        }
        // The existing ones, their parents (the month, recurring/ and the missing
        // recurring/m7/), and the folder's own check; no directory's time asked on its own.
        EXPECT_EQ(counting.counts().listings, week.existing + 3 + 1) << width;
        EXPECT_EQ(counting.counts().metadataQueries, 0) << width;

        // The times the listings brought are those the checks see.
        EXPECT_TRUE(worker.changedDirectories(week.dirs).isEmpty()) << width;
        const QString day = week.data.path() + "/y2003/m7/d9/";
        ASSERT_TRUE(TestFiles::writeSettled(day + "77.nv3", kSeries));
        EXPECT_EQ(worker.changedDirectories(week.dirs), QStringList{day}) << width;
        QFile::remove(day + "77.nv3");
    }
}

TEST(MissingDirectoriesTest, AnUnchangedWeekAsksNoMissingDirectoryAgainAndSeesANewOne)
{
    const Week week;
    for (const int width : {16, 1}) {
        CountedWorker counted(week, width);
        CountingFileAccess& counting = counted.counting;
        StoreWorker& worker = counted.worker;
        for (int pass = 0; pass < 3; ++pass) {
            counting.resetCounts();
            (void)worker.read(week.days, {}, false);
        }
        // The existing ones, and the folder's own check.
        EXPECT_EQ(counting.counts().listings, week.existing + 1) << width;
        for (int check = 0; check < 3; ++check) {
            counting.resetCounts();
            EXPECT_TRUE(worker.changedDirectories(week.dirs).isEmpty());
        }
        // The existing ones, and the times of their parents: the month's and recurring/, whose
        // listing tells that recurring/m7/ is missing.
        EXPECT_EQ(counting.counts().total(), week.existing + 2) << width;

        // Another copy files a weekly series into wd2: recurring/ changed, wd2 is read.
        const QString weekly = week.data.path() + "/recurring/wd2/";
        ASSERT_TRUE(QDir().mkpath(weekly));
        ASSERT_TRUE(TestFiles::writeSettled(weekly + "77.nv3", kSeries));
        EXPECT_EQ(worker.changedDirectories(week.dirs), QStringList{weekly}) << width;
        EXPECT_EQ(appointmentsIn(worker.read(week.days, {}, false)), 3)
            << width << ": ours, the series of wd5 and the new one";
        QDir(weekly).removeRecursively();
    }
}

} // namespace
