// The reminder check on a thread of its own, over a share that stops answering: the window's
// thread never waits for it nor touches it, and ending the program during the stall returns.
#include "remind/BackgroundReminderCheck.h"
#include "StalledShare.h"
#include "TestFiles.h"
#include "settings/Settings.h"

#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

const QDateTime kNow(QDate(2003, 7, 4), QTime(9, 57));
constexpr int kBoundMs = 30000; // only a stuck check takes this long

// Notes what is reminded and on which thread.
class ThreadActions : public ReminderActions {
public:
    void showReminder(const ClassTermin& a, const QDate&) override { note("window " + a.Text()); }
    void playSound(const QString& file) override { note("sound " + file); }
    void sendMail(const MailMessage& m) override { note("mail " + m.subject); }
    QStringList done;
    QList<QThread*> threads;

private:
    void note(const QString& what)
    {
        done << what;
        threads << QThread::currentThread();
    }
};

class BackgroundReminderCheckTest : public ::testing::Test {
protected:
    BackgroundReminderCheckTest()
    {
        TestFiles::writeSettled(team.filePath("y2003/m7/d4/1.nv3"),
                                "[AppointmentSettings]\r\nDateYear=2003\r\nDateMonth=7\r\n"
                                "DateDay=4\r\nStartTimeHour=10\r\nStartTimeMinute=0\r\n"
                                "IsReminder=1\r\nRemindTime=5\r\nProducer=bert\r\n"
                                "Text=Standup\r\n");
        settings.setPlaySound(true);
        settings.setSoundFile("/snd/bell.wav");
        share.stall();
    }
    // A thread abandoned on the share may end now.
    ~BackgroundReminderCheckTest() override { share.resume(); }

    std::unique_ptr<BackgroundReminderCheck> make()
    {
        return std::make_unique<BackgroundReminderCheck>(
            settings, actions, "bert", [] { return kNow; }, StalledFileAccess::maker(share));
    }
    // Waits until a check is held on the share; false at once when the window's thread went
    // there itself.
    bool stalled() const
    {
        const auto reached = [this] { return share.held() == 1 || share.callsFromOwner() > 0; };
        return QTest::qWaitFor(reached, kBoundMs) && share.callsFromOwner() == 0;
    }

    QTemporaryDir program;
    QTemporaryDir team;
    ProfileCache profiles{ThreadFileAccess()};
    Settings settings{profiles, program.path()};
    ThreadActions actions;
    StalledShare share;
};

TEST_F(BackgroundReminderCheckTest, TheWindowWaitsForNoShareAndIsRemindedOnItsThread)
{
    const auto background = make();
    settings.AddDataFolder(team.path()); // each check reads the settings of its time
    background->check();
    ASSERT_TRUE(stalled()) << "no check on the share, or one on the window's thread";
    background->check();
    background->check();
    EXPECT_EQ(background->pending(), 2) << "the stalled check and at most one more";
    EXPECT_TRUE(actions.done.isEmpty());

    share.resume();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return background->pending() == 0 && !actions.done.isEmpty(); }, kBoundMs));
    QCoreApplication::processEvents(); // what the last check may still have sent
    EXPECT_EQ(actions.done, (QStringList{"window Standup", "sound /snd/bell.wav"}));
    EXPECT_EQ(actions.threads, QList<QThread*>(2, QThread::currentThread()));
    EXPECT_EQ(share.callsFromOwner(), 0) << "the window's thread touched the share";
}

TEST_F(BackgroundReminderCheckTest, EndingDuringAStallReturnsAndRemindsOfNothingAfterwards)
{
    settings.AddDataFolder(team.path());
    std::unique_ptr<BackgroundReminderCheck> background = make();
    background->check();
    ASSERT_TRUE(stalled()) << "no check on the share, or one on the window's thread";
    background.reset(); // gives up on the stalled thread after WorkerThread::kStopWait
    share.resume();
    ASSERT_TRUE(QTest::qWaitFor([&] { return share.unused(); }, kBoundMs))
        << "the abandoned check never ended";
    QCoreApplication::processEvents();
    EXPECT_TRUE(actions.done.isEmpty());
}

} // namespace
