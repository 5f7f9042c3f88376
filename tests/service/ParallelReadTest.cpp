// Reads with many requests in flight: the same requests as one after another, the same days,
// marks and unreadable files; changed directories seen between passes; a folder chosen away
// from a stalled share shown at once.
#include "StalledShare.h"
#include "TestFiles.h"
#include "service/StoreService.h"
#include "service/StoreWorker.h"
#include "store/ClassTermin.h"
#include "threads/ShareClock.h"

#include <QDir>
#include <QDirIterator>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>

namespace {

const QDate kMonth(2003, 7, 1);

QByteArray appointmentText(const QString& text, const QByteArray& extra = {})
{
    return "[AppointmentSettings]\r\nStartTimeHour=9\r\nEndTimeHour=10\r\nText=" + text.toUtf8() +
           "\r\nIsReminder=0\r\n" + extra;
}

// A folder of one-time and recurring appointments around July 2003, drawn from seed.
class RandomFolder {
public:
    explicit RandomFolder(quint32 seed)
        : m_random(seed)
    {
    }

    void fill(int count)
    {
        for (int i = 0; i < count; ++i)
            put();
    }
    // Another copy's work: new files, changed ones, removed ones, an unreadable one.
    void change(int count)
    {
        for (int i = 0; i < count; ++i) {
            const QStringList files = all();
            const int what = m_random.bounded(4);
            if (what == 0 || files.isEmpty()) {
                put();
            } else if (what == 1) {
                const QString path = files[m_random.bounded(int(files.size()))];
                TestFiles::writeSettled(path, appointmentText(QStringLiteral("changed %1").arg(i)));
            } else if (what == 2) {
                QFile::remove(files[m_random.bounded(int(files.size()))]);
            } else {
                const QString path = files[m_random.bounded(int(files.size()))];
                QFile::setPermissions(path, QFileDevice::Permissions());
            }
        }
    }
    QString path() const { return m_dir.path(); }

private:
    QStringList all() const
    {
        QStringList files;
        QDirIterator it(m_dir.path(), {"*.nv3"}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            files << it.next();
        return files;
    }
    void put()
    {
        const QDate day = kMonth.addDays(m_random.bounded(-10, 45));
        const QString name = QString::number(m_random.bounded(1, 1000000)) + ".nv3";
        const QByteArray range =
            "RecurringFromYear=2003\r\nRecurringFromMonth=7\r\nRecurringFromDay=" +
            QByteArray::number(m_random.bounded(1, 28)) +
            "\r\nRecurringUntilYear=2003\r\nRecurringUntilMonth=8\r\n";
        const QString dirs[] = {
            day.toString("'y'yyyy/'m'M/'d'd/"),
            "recurring/every/",
            QStringLiteral("recurring/wd%1/").arg(day.dayOfWeek()),
            QStringLiteral("recurring/d%1/").arg(day.day()),
            QStringLiteral("recurring/m%1/d%2/").arg(day.month()).arg(day.day()),
        };
        const int kind = m_random.bounded(5);
        TestFiles::writeSettled(m_dir.path() + '/' + dirs[kind] + name,
                                appointmentText(name, kind == 0 ? QByteArray() : range));
    }

    QRandomGenerator m_random;
    QTemporaryDir m_dir;
};

// A store worker whose every request is counted, with `width` of them in flight at most.
struct CountedReader {
    CountedReader(const QString& folder, int width)
        : worker(counting.makeCounted(), std::make_shared<ShareClock>(), {}, {},
                 [this] { return counting.makeCounted(); })
    {
        worker.useFolder(folder, 60);
        worker.useParallelRequests(width);
    }
    // What a window shows of a week and its two month calendars.
    QStringList readWeek(const QDate& monday)
    {
        QList<QDate> days, marks;
        for (int i = 0; i < 7; ++i)
            days << monday.addDays(i);
        for (int i = -7; i < 35; ++i)
            marks << kMonth.addDays(i);
        const StoreWorker::Days read = worker.read(days, marks, true);
        QStringList seen;
        for (const QDate& day : days)
            for (const TerminPtr& a : read.days.value(day))
                seen << day.toString(Qt::ISODate) + ' ' + a->Text();
        for (const QDate& day : marks)
            seen << day.toString(Qt::ISODate) + (read.marks.value(day) ? " marked" : " empty");
        for (const DataAccess::UnreadableFile& file :
             read.unreadable.value_or(QList<DataAccess::UnreadableFile>()))
            seen << "unreadable " + file.path;
        return seen;
    }
    QString counts() const
    {
        const CountingFileAccess::Counts c = counting.counts();
        return QStringLiteral("%1 listings, %2 metadata, %3 reads")
            .arg(c.listings)
            .arg(c.metadataQueries)
            .arg(c.reads);
    }

    RealFileAccess real;
    CountingFileAccess counting{real};
    StoreWorker worker;
};

TEST(ParallelReadTest, ManyInFlightAskExactlyWhatOneAfterAnotherAsksAndSeeTheSame)
{
    for (quint32 seed = 1; seed <= 12; ++seed) {
        RandomFolder folder(seed);
        folder.fill(int(seed * 7));
        CountedReader single(folder.path(), 1);
        CountedReader many(folder.path(), 16);
        // A first read, an unchanged one, and one after another copy's changes, each week in
        // turn: every request is the same, only their order differs.
        for (int step = 0; step < 4; ++step) {
            if (step == 2)
                folder.change(int(seed % 5) + 1);
            const QDate monday = kMonth.addDays(7 * step - kMonth.dayOfWeek() + 1);
            const QStringList seenSingle = single.readWeek(monday);
            const QStringList seenMany = many.readWeek(monday);
            EXPECT_EQ(seenMany, seenSingle) << "seed " << seed << " step " << step;
            EXPECT_EQ(many.counts(), single.counts()) << "seed " << seed << " step " << step;
        }
    }
}

// The local disk, with the test's own steps around what the store asks of it.
class Intercepted : public ForwardingFileAccess {
public:
    using Step = std::function<void(const QString& path)>;
    struct Steps {
        Step beforeListing = {}; // of a directory's files
        Step afterListing = {};
        Step beforeAny = {}; // a listing, a directory's check, a file's metadata or read
    };
    explicit Intercepted(Steps steps)
        : ForwardingFileAccess(m_real)
        , m_steps(std::move(steps))
    {
    }
    std::optional<DirectoryListing> listDirectory(const QString& dir, const QString& suffix,
                                                  const QString& root, DirectoryTime time) override
    {
        run(m_steps.beforeAny, dir);
        run(m_steps.beforeListing, dir);
        auto listing = ForwardingFileAccess::listDirectory(dir, suffix, root, time);
        run(m_steps.afterListing, dir);
        return listing;
    }
    bool isListableDir(const QString& dir) override
    {
        run(m_steps.beforeAny, dir);
        return ForwardingFileAccess::isListableDir(dir);
    }
    std::optional<FileMeta> metadata(const QString& path) override
    {
        run(m_steps.beforeAny, path);
        return ForwardingFileAccess::metadata(path);
    }
    ReadOutcome read(const QString& path, qint64 maxBytes, const QString& root) override
    {
        run(m_steps.beforeAny, path);
        return ForwardingFileAccess::read(path, maxBytes, root);
    }

private:
    static void run(const Step& step, const QString& path)
    {
        if (step)
            step(path);
    }
    RealFileAccess m_real;
    Steps m_steps;
};

TEST(ParallelReadTest, AWeeksDirectoriesAreListedSideBySideUnlessOneAtATimeIsSet)
{
    for (const int width : {16, 1}) {
        RandomFolder folder(7);
        folder.fill(20);
        // Each listing waits until `gathered` of them wait together, or a while has gone by.
        struct Gate {
            std::mutex mutex;
            std::condition_variable all;
            int waiting = 0;
            int most = 0;
        };
        auto gate = std::make_shared<Gate>();
        // Only the directories that are there are listed: about half of the week's.
        const int gathered = std::min(width, 4);
        const auto files = [gate, gathered] {
            return std::make_unique<Intercepted>(
                Intercepted::Steps{.beforeListing = [gate, gathered](const QString&) {
                    std::unique_lock lock(gate->mutex);
                    gate->most = std::max(gate->most, ++gate->waiting);
                    gate->all.notify_all();
                    gate->all.wait_for(lock, std::chrono::milliseconds(500),
                                       [&] { return gate->waiting >= gathered; });
                    --gate->waiting;
                }});
        };
        StoreWorker worker(files(), std::make_shared<ShareClock>(), {}, {}, files);
        worker.useFolder(folder.path(), 60);
        worker.useParallelRequests(width);
        QList<QDate> week;
        for (int i = 0; i < 7; ++i)
            week << kMonth.addDays(i);
        static_cast<void>(worker.read(week, {}, false));
        if (width == 1)
            EXPECT_EQ(gate->most, 1);
        else
            EXPECT_GE(gate->most, 4) << "listings in flight at once";
    }
}

// Another copy saves as every copy does, by renaming into the day's directory.
void saveAsAnotherCopy(const QString& dir)
{
    TestFiles::writeSettled(dir + "tmp.part", appointmentText("Theirs"));
    ASSERT_TRUE(QFile::rename(dir + "tmp.part", dir + "555.nv3"));
}

StoreService::Options watchingOptions(StoreService::FileAccessFactory files, int directoryCheckMs)
{
    StoreService::Options options;
    options.files = std::move(files);
    options.notAnsweringAfterMs = 200;
    options.watchFolders = false;
    options.directoryCheckMs = directoryCheckMs;
    return options;
}

TEST(ParallelReadTest, AnotherCopysSaveIsSeenByTheDirectoryCheckWithoutChangeNotification)
{
    QTemporaryDir data;
    const QDate day(2003, 7, 9);
    TestFiles::putAppointment(data.path(), day, 9, "Ours");
    RealFileAccess real;
    CountingFileAccess counting(real);
    StoreService service(watchingOptions([&counting] { return counting.makeCounted(); }, 20));
    service.setFolder(data.path(), 60);
    QSignalSpy changed(&service, &StoreService::folderChanged);
    service.show({.viewDays = {day}, .markDays = {}, .warmDays = {}});
    ASSERT_TRUE(eventually([&] { return service.knownDay(day).has_value() && service.idle(); }));

    // Unchanged: a few checks of the day's five directories ask their metadata and no more.
    counting.resetCounts();
    ASSERT_TRUE(eventually([&] { return counting.counts().metadataQueries >= 15; }));
    EXPECT_EQ(counting.counts().listings, 0);
    EXPECT_EQ(counting.counts().reads, 0);
    EXPECT_EQ(changed.count(), 0);

    saveAsAnotherCopy(data.path() + day.toString("/'y'yyyy/'m'M/'d'd/"));
    ASSERT_TRUE(eventually([&] { return changed.count() > 0; }));
    service.show({.viewDays = {day}, .markDays = {}, .warmDays = {}});
    EXPECT_TRUE(
        eventually([&] { return service.knownDay(day).value_or(QList<TerminPtr>()).size() == 2; }));
    service.shutDown();
}

TEST(ParallelReadTest, ASaveRightAfterTheFirstListingOfADirectoryIsSeenByTheNextCheck)
{
    QTemporaryDir data;
    const QDate day(2003, 7, 9);
    TestFiles::putAppointment(data.path(), day, 9, "Ours");
    const QString dir = data.path() + day.toString("/'y'yyyy/'m'M/'d'd/");
    // Another copy saves into the day's directory just after a pass listed it.
    auto saved = std::make_shared<std::atomic<bool>>(false);
    const auto files = [dir, saved]() -> std::unique_ptr<FileAccess> {
        return std::make_unique<Intercepted>(
            Intercepted::Steps{.afterListing = [dir, saved](const QString& listed) {
                if (listed == dir && !saved->exchange(true))
                    saveAsAnotherCopy(dir);
            }});
    };
    StoreService service(watchingOptions(files, 20));
    service.setFolder(data.path(), 60);
    QSignalSpy changed(&service, &StoreService::folderChanged);
    service.show({.viewDays = {day}, .markDays = {}, .warmDays = {}});
    ASSERT_TRUE(eventually([&] { return service.knownDay(day).has_value(); }));
    EXPECT_EQ(service.knownDay(day)->size(), 1) << "listed before the other copy's save";
    ASSERT_TRUE(saved->load());
    EXPECT_TRUE(eventually([&] { return changed.count() > 0; }))
        << "the directory's time before the listing was the one to compare with";
    service.shutDown();
}

TEST(ParallelReadTest, AFolderChosenAwayFromAStalledShareShowsAtOnceAndAnswers)
{
    QTemporaryDir stalledData, healthyData;
    const QDate day(2003, 7, 9);
    TestFiles::putAppointment(stalledData.path(), day, 9, "Behind the stall");
    TestFiles::putAppointment(healthyData.path(), day, 9, "Right here");
    StalledShare stalled;
    // Only what lies under the first folder waits for the stalled share.
    const auto files = [stalled, folder = stalledData.path()]() -> std::unique_ptr<FileAccess> {
        return std::make_unique<Intercepted>(
            Intercepted::Steps{.beforeAny = [stalled, folder](const QString& path) mutable {
                if (path.startsWith(folder))
                    stalled.pass();
            }});
    };
    StoreService service(watchingOptions(files, 0));
    service.setFolder(stalledData.path(), 60);
    stalled.stall();
    service.show({.viewDays = {day}, .markDays = {}, .warmDays = {}});
    ASSERT_TRUE(eventually([&] { return !service.answering(); }));

    // The old folder's request stays stuck in its call; the new folder does not wait for it.
    service.setFolder(healthyData.path(), 60);
    EXPECT_TRUE(service.answering());
    service.show({.viewDays = {day}, .markDays = {}, .warmDays = {}});
    ASSERT_TRUE(eventually([&] { return service.knownDay(day).has_value(); }));
    ASSERT_EQ(service.knownDay(day)->size(), 1);
    EXPECT_EQ(service.knownDay(day)->first()->Text(), "Right here");
    EXPECT_TRUE(service.answering());
    EXPECT_EQ(stalled.held(), 1) << "the old request is still held, and nothing else";
    stalled.resume();
    service.shutDown();
}

} // namespace
