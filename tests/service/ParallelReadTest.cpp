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
        QDirIterator it(m_dir.path(), {QStringLiteral("*.nv3")}, QDir::Files,
                        QDirIterator::Subdirectories);
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
            QStringLiteral("recurring/every/"),
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

// Holds each listing until `width` of them wait together, or a while has gone by.
class GatheringFileAccess : public ForwardingFileAccess {
public:
    struct Gate {
        std::mutex mutex;
        std::condition_variable all;
        int waiting = 0;
        int most = 0;
        int width = 8;
    };
    GatheringFileAccess(std::shared_ptr<Gate> gate)
        : ForwardingFileAccess(m_real)
        , m_gate(std::move(gate))
    {
    }
    std::optional<DirectoryListing> listFiles(const QString& dir, const QString& suffix,
                                              const QString& root) override
    {
        {
            std::unique_lock lock(m_gate->mutex);
            m_gate->most = std::max(m_gate->most, ++m_gate->waiting);
            m_gate->all.notify_all();
            m_gate->all.wait_for(lock, std::chrono::milliseconds(500),
                                 [&] { return m_gate->waiting >= m_gate->width; });
            --m_gate->waiting;
        }
        return ForwardingFileAccess::listFiles(dir, suffix, root);
    }

private:
    RealFileAccess m_real;
    std::shared_ptr<Gate> m_gate;
};

TEST(ParallelReadTest, AWeeksDirectoriesAreListedSideBySideUnlessOneAtATimeIsSet)
{
    for (const int width : {16, 1}) {
        RandomFolder folder(7);
        folder.fill(20);
        auto gate = std::make_shared<GatheringFileAccess::Gate>();
        gate->width = std::min(width, 8);
        StoreWorker worker(std::make_unique<GatheringFileAccess>(gate),
                           std::make_shared<ShareClock>(), {}, {},
                           [gate] { return std::make_unique<GatheringFileAccess>(gate); });
        worker.useFolder(folder.path(), 60);
        worker.useParallelRequests(width);
        QList<QDate> week;
        for (int i = 0; i < 7; ++i)
            week << kMonth.addDays(i);
        static_cast<void>(worker.read(week, {}, false));
        if (width == 1)
            EXPECT_EQ(gate->most, 1);
        else
            EXPECT_GE(gate->most, 8) << "listings in flight at once";
    }
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
    TestFiles::putAppointment(data.path(), day, 9, QStringLiteral("Ours"));
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

    // Another copy saves as every copy does, by renaming into the day's directory.
    const QString dir = data.path() + day.toString("/'y'yyyy/'m'M/'d'd/");
    TestFiles::writeSettled(dir + "tmp.part", appointmentText(QStringLiteral("Theirs")));
    ASSERT_TRUE(QFile::rename(dir + "tmp.part", dir + "555.nv3"));
    ASSERT_TRUE(eventually([&] { return changed.count() > 0; }));
    service.show({.viewDays = {day}, .markDays = {}, .warmDays = {}});
    EXPECT_TRUE(
        eventually([&] { return service.knownDay(day).value_or(QList<TerminPtr>()).size() == 2; }));
    service.shutDown();
}

// The local disk, where another copy saves into a directory just after a pass listed it.
class SavedIntoAfterListing : public ForwardingFileAccess {
public:
    SavedIntoAfterListing(QString dir, std::shared_ptr<std::atomic<bool>> saved)
        : ForwardingFileAccess(m_real)
        , m_dir(std::move(dir))
        , m_saved(std::move(saved))
    {
    }
    std::optional<DirectoryListing> listFiles(const QString& dir, const QString& suffix,
                                              const QString& root) override
    {
        auto listing = ForwardingFileAccess::listFiles(dir, suffix, root);
        if (dir == m_dir && !m_saved->exchange(true)) {
            TestFiles::writeSettled(m_dir + "tmp.part", appointmentText(QStringLiteral("Theirs")));
            QFile::rename(m_dir + "tmp.part", m_dir + "555.nv3");
        }
        return listing;
    }

private:
    RealFileAccess m_real;
    QString m_dir;
    std::shared_ptr<std::atomic<bool>> m_saved;
};

TEST(ParallelReadTest, ASaveRightAfterTheFirstListingOfADirectoryIsSeenByTheNextCheck)
{
    QTemporaryDir data;
    const QDate day(2003, 7, 9);
    TestFiles::putAppointment(data.path(), day, 9, QStringLiteral("Ours"));
    const QString dir = data.path() + day.toString("/'y'yyyy/'m'M/'d'd/");
    auto saved = std::make_shared<std::atomic<bool>>(false);
    const auto files = [dir, saved]() -> std::unique_ptr<FileAccess> {
        return std::make_unique<SavedIntoAfterListing>(dir, saved);
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

// The local disk, where only what lies under one folder waits for a stalled share.
class StalledUnder : public ForwardingFileAccess {
public:
    StalledUnder(StalledShare share, QString folder)
        : ForwardingFileAccess(m_real)
        , m_share(std::move(share))
        , m_folder(std::move(folder))
    {
    }
    std::optional<DirectoryListing> listFiles(const QString& dir, const QString& suffix,
                                              const QString& root) override
    {
        pass(dir);
        return ForwardingFileAccess::listFiles(dir, suffix, root);
    }
    bool isListableDir(const QString& dir) override
    {
        pass(dir);
        return ForwardingFileAccess::isListableDir(dir);
    }
    std::optional<FileMeta> metadata(const QString& path) override
    {
        pass(path);
        return ForwardingFileAccess::metadata(path);
    }
    ReadOutcome read(const QString& path, qint64 maxBytes, const QString& root) override
    {
        pass(path);
        return ForwardingFileAccess::read(path, maxBytes, root);
    }

private:
    void pass(const QString& path)
    {
        if (path.startsWith(m_folder))
            m_share.pass();
    }
    RealFileAccess m_real;
    StalledShare m_share;
    QString m_folder;
};

TEST(ParallelReadTest, AFolderChosenAwayFromAStalledShareShowsAtOnceAndAnswers)
{
    QTemporaryDir stalledData, healthyData;
    const QDate day(2003, 7, 9);
    TestFiles::putAppointment(stalledData.path(), day, 9, QStringLiteral("Behind the stall"));
    TestFiles::putAppointment(healthyData.path(), day, 9, QStringLiteral("Right here"));
    StalledShare stalled;
    const auto files = [stalled, folder = stalledData.path()]() -> std::unique_ptr<FileAccess> {
        return std::make_unique<StalledUnder>(stalled, folder);
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
    EXPECT_EQ(service.knownDay(day)->first()->Text(), QStringLiteral("Right here"));
    EXPECT_TRUE(service.answering());
    EXPECT_EQ(stalled.held(), 1) << "the old request is still held, and nothing else";
    stalled.resume();
    service.shutDown();
}

} // namespace
