// The index's crawl on a real slow share (skips without FUSE): each directory listed once a
// round and each file read at most once, an unchanged folder not read again, and a round that
// a stall holds up goes on where it stopped once the share answers, while the index answers
// searches throughout.
#include "ShareWatchdog.h"
#include "SlowShare.h"
#include "TestFiles.h"
#include "index/AppointmentIndex.h"
#include "index/FolderCrawl.h"

#include <QDirIterator>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <map>
#include <string>

namespace {

struct Round {
    QList<SlowShare::Request> requests;
    bool complete = false;
    int held = 0;
};

// How often each path was asked for by operation.
std::map<std::string, int> timesAsked(const QList<SlowShare::Request>& requests,
                                      const QString& operation)
{
    std::map<std::string, int> times;
    for (const SlowShare::Request& request : requests)
        if (request.operation == operation)
            ++times[request.path.toStdString()];
    return times;
}

std::map<std::string, int> onceEach(const QStringList& paths)
{
    std::map<std::string, int> times;
    for (const QString& path : paths)
        times[path.toStdString()] = 1;
    return times;
}

TEST(CrawlShareTest, EachDirectoryOnceEachFileAtMostOnceNoneUnchangedAndAStallOutlasted)
{
    if (const QString why = SlowShare::unavailable(); !why.isEmpty())
        GTEST_SKIP() << why.toStdString();
    SlowShare share(1);
    ASSERT_TRUE(share.error().isEmpty()) << share.error().toStdString();
    const QString backing = share.backingPath();
    // Six days across a year's end, six appointments each, and a weekly one.
    QStringList files;
    for (int day = 0; day < 6; ++day)
        for (int hour = 8; hour < 14; ++hour)
            files << TestFiles::putAppointment(backing, QDate(2023, 12, 29).addDays(day), hour,
                                               "Runde");
    files << backing + "/recurring/wd3/1.nv3";
    TestFiles::writeSettled(files.last(), "[AppointmentSettings]\r\nText=Weekly\r\n"
                                          "RecurringUntilYear=2099\r\n");
    for (QString& file : files)
        file = file.mid(backing.size());
    QStringList directories{"/"};
    for (QDirIterator it(backing, QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
         it.hasNext();)
        directories << it.next().mid(backing.size());

    QTemporaryDir cache;
    const QString folder = share.mountPath();
    // Held on the share from the fifth step on: the top, recurring, its weekday and 2024 are
    // listed, 2024's January is next.
    constexpr int kStallAfter = 4;
    std::atomic<int> steps = 0;
    ShareWatchdog watchdog(share, "the crawl was still held by the stalled share after 20 s");
    // The crawl on a thread of its own, as the store worker runs it, with its own connection.
    auto crawled = std::async(std::launch::async, [&] {
        RealFileAccess real;
        ProfileCache profiles(real);
        AppointmentIndex index(cache.path());
        FolderCrawl crawl(real, profiles, index,
                          {std::chrono::milliseconds(0), std::chrono::hours(1)});
        QList<Round> rounds;
        if (!index.open(folder))
            return rounds;
        for (int round = 0; round < 3; ++round) {
            share.restartLog();
            crawl.noteChange();
            for (int i = 0; i < 1000 && crawl.step() != FolderCrawl::Step::Done; ++i) {
                if (++steps == kStallAfter)
                    share.stall();
            }
            rounds << Round{share.requests(), index.complete(), index.size()};
        }
        return rounds;
    });

    ASSERT_TRUE(QTest::qWaitFor([&] { return steps >= kStallAfter; }, 20000));
    // The step after the stall cannot end before the share answers: its listing waits.
    const AppointmentIndex::Answer meanwhile =
        AppointmentIndex::lookUp(cache.path(), folder, {"weekly"}, {}, {});
    EXPECT_TRUE(meanwhile.usable);
    EXPECT_FALSE(meanwhile.complete);
    EXPECT_EQ(meanwhile.found.hits.size(), 1) << "what the crawl has seen so far";
    EXPECT_EQ(steps, kStallAfter) << "a step got past the stalled share";
    // Written meanwhile by another user: behind the round, and ahead of it.
    const QString behind = "/recurring/wd3/2.nv3";
    const QString ahead = "/y2024/m1/d3/2.nv3";
    for (const QString& file : {behind, ahead})
        TestFiles::writeSettled(backing + file, "[AppointmentSettings]\r\nText=Later\r\n");
    watchdog.finish();
    share.resume();
    const QList<Round> rounds = crawled.get();
    ASSERT_EQ(rounds.size(), 3);

    // The held round went on where it stopped, then one saw what it had passed.
    EXPECT_EQ(timesAsked(rounds[0].requests, "readdir"), onceEach(directories));
    EXPECT_EQ(timesAsked(rounds[0].requests, "open"), onceEach(QStringList(files) << ahead));
    EXPECT_EQ(rounds[0].held, files.size() + 1);
    EXPECT_EQ(timesAsked(rounds[1].requests, "readdir"), onceEach(directories));
    EXPECT_EQ(timesAsked(rounds[1].requests, "open"), onceEach({behind}));
    EXPECT_EQ(rounds[1].held, files.size() + 2);
    // Nothing changed: metadata alone.
    const std::map<std::string, int> none;
    EXPECT_EQ(timesAsked(rounds[2].requests, "readdir"), onceEach(directories));
    EXPECT_EQ(timesAsked(rounds[2].requests, "open"), none);
    EXPECT_EQ(timesAsked(rounds[2].requests, "read"), none);
    for (const Round& round : rounds)
        EXPECT_TRUE(round.complete);
}

} // namespace
