// The store service as the window meets it: it asks, never waits, and hears back.
#include "service/StoreService.h"
#include "StalledShare.h"
#include "TestFiles.h"
#include "service/FolderJobs.h"
#include "service/FolderWatch.h"
#include "store/ClassTermin.h"
#include "threads/Mailbox.h"
#include "threads/WorkerThread.h"

#include <QCoreApplication>
#include <QFile>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <thread>

namespace {

const QDate kDay(2003, 7, 9);

class StoreServiceTest : public ::testing::Test {
protected:
    StoreServiceTest() { service.setFolder(data.path(), 60); }
    ~StoreServiceTest() override
    {
        share.resume(); // an abandoned request may end now
        service.shutDown();
    }

    StoreService::Options options()
    {
        StoreService::Options options;
        options.files = StalledFileAccess::maker(share);
        options.notAnsweringAfterMs = 200;
        options.watchFolders = false;
        return options;
    }
    QString put(const QDate& d, int start, const char* text)
    {
        return TestFiles::putAppointment(data.path(), d, start, text);
    }
    QStringList texts(const QDate& d)
    {
        QStringList result;
        for (const TerminPtr& a : service.knownDay(d).value_or(QList<TerminPtr>()))
            result << a->Text();
        result.sort();
        return result;
    }
    void settle()
    {
        ASSERT_TRUE(QTest::qWaitFor([this] { return service.idle(); }, 10000));
    }
    // Files through the service; a holds the appointment as filed once it went.
    WriteOutcome fileAndWait(ClassTermin& a)
    {
        std::optional<WriteOutcome> outcome;
        service.file(a, [&](const WriteOutcome& answer, const ClassTermin& filed) {
            outcome = answer;
            if (answer.ok)
                a = filed;
        });
        EXPECT_TRUE(QTest::qWaitFor([&] { return outcome.has_value(); }, 10000));
        return outcome.value_or(WriteOutcome());
    }
    void view(const QList<QDate>& days)
    {
        service.show({.viewDays = days, .markDays = days, .warmDays = {}});
    }

    QTemporaryDir data;
    StalledShare share;
    StoreService service{options()};
};

TEST_F(StoreServiceTest, TheViewIsReadOffTheWindowsThreadAndShowsWhenTheAnswerComesOrAJobWrote)
{
    put(kDay, 9, "Standup");
    const QString review = put(kDay, 11, "Review");
    TestFiles::writeSettled(review, TestFiles::readBytes(review) + "Categories=team; Board\r\n");
    put(kDay.addDays(7), 9, "Next week");
    QSignalSpy changed(&service, &StoreService::daysChanged);
    const StoreService::Request request{
        .viewDays = {kDay}, .markDays = {kDay, kDay.addDays(1)}, .warmDays = {kDay.addDays(7)}};
    service.show(request);
    EXPECT_FALSE(service.knownDay(kDay)) << "asked, not waited for";
    settle();
    EXPECT_EQ(texts(kDay), (QStringList{"Review", "Standup"}));
    EXPECT_EQ(service.knownCategories(), (QStringList{"Board", "team"}));
    EXPECT_EQ(service.knownMark(kDay), std::optional<bool>(true));
    EXPECT_EQ(service.knownMark(kDay.addDays(1)), std::optional<bool>(false));
    EXPECT_EQ(texts(kDay.addDays(7)), QStringList{"Next week"}) << "the next week is warm";
    EXPECT_EQ(changed.size(), 1) << "the neighbours are not the view";

    // What a job wrote is read again at once, without the folder's watch.
    const QDate warm = kDay.addDays(7);
    QSignalSpy told(&service, &StoreService::folderChanged);
    const std::unique_ptr<WorkerThread> job = service.jobs().thread(QStringLiteral("Test job"));
    job->post([this, warm, reply = job->replies()] {
        const QString path = put(warm, 10, "Imported");
        reply([this, path] { service.jobs().wrote({path}); });
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return told.size() == 1; }, 10000));
    service.show(request);
    settle();
    EXPECT_EQ(texts(warm), (QStringList{"Imported", "Next week"}))
        << "a warm day is read again once written";

    // An unchanged refresh tells nothing; a change does, once.
    view({kDay});
    settle();
    EXPECT_EQ(changed.size(), 1);
    put(kDay, 14, "From a colleague");
    view({kDay});
    settle();
    EXPECT_EQ(changed.size(), 2);
    EXPECT_EQ(texts(kDay), (QStringList{"From a colleague", "Review", "Standup"}));
    EXPECT_EQ(share.callsFromOwner(), 0) << "the window's thread never touched the share";
}

TEST_F(StoreServiceTest, AnUnreadableFileIsNamedWhileItStaysSoAndNoLonger)
{
    put(kDay, 9, "Standup");
    const QString huge = put(kDay, 11, "Too long");
    const QByteArray readable = TestFiles::readBytes(huge);
    const QByteArray tooLarge = readable + QByteArray(ProfileCache::kMaxFileBytes, 'x');
    QSignalSpy changed(&service, &StoreService::unreadableFilesChanged);
    const auto named = [this] {
        QStringList paths;
        for (const DataAccess::UnreadableFile& file : service.unreadableFiles())
            paths << file.path;
        return paths;
    };
    const struct {
        const char* step;
        std::function<void()> change;
        QStringList expected;
        int reports;
    } steps[] = {
        {"too large", [&] { TestFiles::writeBytes(huge, tooLarge); }, {huge}, 1},
        {"unchanged", [] {}, {huge}, 1},
        {"reads again", [&] { TestFiles::writeBytes(huge, readable); }, {}, 2},
        {"too large again", [&] { TestFiles::writeBytes(huge, tooLarge); }, {huge}, 3},
        {"removed", [&] { QFile::remove(huge); }, {}, 4},
    };
    for (const auto& step : steps) {
        step.change();
        view({kDay});
        settle();
        EXPECT_EQ(named(), step.expected) << step.step;
        EXPECT_EQ(changed.size(), step.reports) << step.step;
    }
}

TEST_F(StoreServiceTest, StepsTakenWhileTheShareIsBusyReadOnlyTheLastOne)
{
    share.stall();
    view({kDay});
    ASSERT_TRUE(QTest::qWaitFor([&] { return share.held() > 0; }, 5000));
    for (int week = 1; week <= 10; ++week)
        view({kDay.addDays(7 * week)});
    share.resume();
    settle();
    EXPECT_TRUE(service.knownDay(kDay)) << "the one under way finishes";
    for (int week = 1; week < 10; ++week)
        EXPECT_FALSE(service.knownDay(kDay.addDays(7 * week))) << "week " << week << " skipped";
    EXPECT_TRUE(service.knownDay(kDay.addDays(70))) << "the last one asked";
}

TEST_F(StoreServiceTest, SavesMovesAndDeletesAreDoneWhenTheStoreSaysSo)
{
    ClassTermin appointment;
    appointment.setDatum(kDay);
    appointment.setStartTime(TimeOfDay::fromHourMinute(9, 0));
    appointment.setEndTime(TimeOfDay::fromHourMinute(10, 0));
    appointment.setText("Mine");
    ASSERT_TRUE(fileAndWait(appointment).ok);
    const QString first = appointment.filename();
    EXPECT_TRUE(first.startsWith(data.path() + "/y2003/m7/d9/")) << first.toStdString();
    EXPECT_TRUE(QFileInfo::exists(first));
    EXPECT_TRUE(appointment.FileDate().isValid()) << "the next edit of it is no conflict";
    std::optional<DataAccess::FileChange> change;
    service.changeSinceLoaded(appointment, [&](const DataAccess::FileChange& c) { change = c; });
    settle();
    ASSERT_TRUE(change);
    EXPECT_EQ(change->kind, DataAccess::FileChange::Kind::None);

    appointment.setDatum(kDay.addDays(1));
    ASSERT_TRUE(fileAndWait(appointment).ok);
    EXPECT_FALSE(QFileInfo::exists(first));
    EXPECT_TRUE(QFileInfo::exists(appointment.filename()));

    bool removed = false;
    service.remove(appointment.filename(), [&](bool done) { removed = done; });
    settle();
    EXPECT_TRUE(removed);
    EXPECT_FALSE(QFileInfo::exists(appointment.filename()));
    EXPECT_EQ(share.callsFromOwner(), 0);
}

TEST_F(StoreServiceTest, ShuttingDownDuringAStallReturnsAndEndsEveryWait)
{
    share.stall();
    view({kDay});
    ASSERT_TRUE(QTest::qWaitFor([&] { return share.held() > 0; }, 5000));
    ClassTermin appointment;
    appointment.setDatum(kDay);
    // A save already on its way when the program closes is abandoned, never answered.
    bool answered = false;
    service.file(appointment, [&](const WriteOutcome&, const ClassTermin&) { answered = true; });
    EXPECT_FALSE(service.shutDown());
    EXPECT_TRUE(service.shuttingDown());
    // One asked afterwards is refused at once.
    std::optional<WriteOutcome> late;
    service.file(appointment,
                 [&](const WriteOutcome& outcome, const ClassTermin&) { late = outcome; });
    ASSERT_TRUE(late);
    EXPECT_EQ(late->cause, WriteOutcome::Cause::NotAnswering);
    share.resume();
    // The abandoned thread ends by itself once the share answers, and lets go of its files.
    EXPECT_TRUE(QTest::qWaitFor([&] { return share.held() == 0; }, 5000));
    EXPECT_TRUE(WorkerThread::waitForAbandoned(QDeadlineTimer(5000)));
    QCoreApplication::processEvents();
    EXPECT_FALSE(answered);
}

TEST(FolderWatchTest, MissingDirectoriesAreWatchedThroughTheirNearestAncestorInsideTheFolder)
{
    const QSet<QString> existing{"/srv/team", "/srv/team/y2003", "/srv/team/recurring"};
    const auto exists = [&](const QString& path) { return existing.contains(path); };
    EXPECT_EQ(FolderWatch::pathsToWatch("/srv/team/",
                                        {"/srv/team/y2003/m7/d4/", "/srv/team/y2003/m7/d5/",
                                         "/srv/team/recurring/every/", "/srv/other/y2003/"},
                                        exists),
              (QStringList{"/srv/team", "/srv/team/y2003", "/srv/team/recurring"}));
    EXPECT_TRUE(FolderWatch::pathsToWatch("/srv/gone/", {"/srv/gone/y2003/"}, exists).isEmpty());
}

TEST(WorkerThreadTest, JobsRunInOrderOffTheOwnersThreadAndAnswerOnIt)
{
    WorkerThread worker(QStringLiteral("test"));
    QList<int> order;
    QList<QThread*> answeredOn;
    QThread* ranOn = nullptr;
    for (int i = 0; i < 3; ++i)
        worker.post([&, i] {
            ranOn = QThread::currentThread();
            worker.answer([&, i] {
                order << i;
                answeredOn << QThread::currentThread();
            });
        });
    ASSERT_TRUE(QTest::qWaitFor([&] { return order.size() == 3; }, 5000));
    EXPECT_EQ(order, (QList<int>{0, 1, 2}));
    EXPECT_NE(ranOn, QThread::currentThread());
    EXPECT_EQ(answeredOn, QList<QThread*>(3, QThread::currentThread()));
}

// Jobs from another thread run on the context's thread in order, never at once on the caller's;
// once the context is gone they are dropped, and posting stays safe.
TEST(MailboxTest, JobsRunInOrderOnTheContextsThreadUntilItIsGone)
{
    auto context = std::make_unique<QObject>();
    const Mailbox mailbox(context.get());
    QList<int> order;
    QList<QThread*> ranOn;
    std::thread poster([&] {
        for (int i = 0; i < 3; ++i)
            mailbox.post([&, i] {
                order << i;
                ranOn << QThread::currentThread();
            });
    });
    poster.join();
    EXPECT_TRUE(order.isEmpty()) << "nothing runs before the context's thread turns";
    ASSERT_TRUE(QTest::qWaitFor([&] { return order.size() == 3; }, 5000));
    EXPECT_EQ(order, (QList<int>{0, 1, 2}));
    EXPECT_EQ(ranOn, QList<QThread*>(3, QThread::currentThread()));

    mailbox.post([&] { order << 3; });
    context.reset();
    std::thread([&] { mailbox.post([&] { order << 4; }); }).join();
    // Whatever was posted is delivered now; nothing may run.
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(order.size(), 3) << "a job for a context that is gone is dropped";
}

// Both leave a stuck job behind; a stop drops the queued ones, a finish lets them run.
TEST(WorkerThreadTest, AStopOrAFinishLeavesAStuckJobBehind)
{
    auto release = std::make_shared<QSemaphore>();
    auto later = std::make_shared<QAtomicInt>(0);
    {
        WorkerThread worker(QStringLiteral("test"));
        QSemaphore started;
        worker.post([&started, release] {
            started.release();
            release->acquire();
        });
        worker.post([later] { later->storeRelaxed(1); });
        started.acquire();
        EXPECT_EQ(worker.pending(), 2);
        EXPECT_FALSE(worker.stop(std::chrono::milliseconds(50)));
        EXPECT_TRUE(worker.abandoned());
        EXPECT_EQ(later.use_count(), 1) << "the queued job is gone, never to run";
    }
    release->release(); // the abandoned thread ends now
    EXPECT_EQ(later->loadRelaxed(), 0);

    {
        WorkerThread worker(QStringLiteral("test"));
        auto ran = std::make_shared<QAtomicInt>(0);
        auto gate = std::make_shared<QSemaphore>();
        // The first job holds the rest in the queue until the finish has been asked for.
        worker.post([gate] { gate->acquire(); });
        for (int job = 0; job < 3; ++job)
            worker.post([ran] { ran->fetchAndAddRelaxed(1); });
        std::thread opener([gate] { gate->release(); });
        EXPECT_TRUE(worker.finish());
        opener.join();
        EXPECT_EQ(ran->loadRelaxed(), 3) << "a save asked for at exit still lands";
        worker.post([ran] { ran->fetchAndAddRelaxed(1); });
        EXPECT_EQ(ran->loadRelaxed(), 3) << "nothing runs once finished";
    }
    release = std::make_shared<QSemaphore>();
    {
        WorkerThread worker(QStringLiteral("test"));
        worker.post([release] { release->acquire(); });
        EXPECT_FALSE(worker.finish(std::chrono::milliseconds(50)));
        EXPECT_TRUE(worker.abandoned());
    }
    release->release();
}

} // namespace
