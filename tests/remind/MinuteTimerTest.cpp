// The reminder check's schedule: each wait ends just after the next minute turns, whenever the
// run before it happened, so a reminder due at a minute comes within its first second.
#include "remind/MinuteTimer.h"

#include <gtest/gtest.h>

namespace {

const QDate kDay(2003, 7, 4);

TEST(MinuteTimerTest, EachWaitEndsJustAfterTheNextMinuteTurns)
{
    const QTime times[] = {QTime(6, 4, 0, 0),   QTime(6, 4, 37, 400), QTime(6, 4, 59, 999),
                           QTime(6, 5, 0, 250), QTime(6, 5, 0, 100),  QTime(23, 59, 59, 500)};
    for (const QTime& time : times) {
        const QDateTime now(kDay, time);
        const QDateTime end = now.addMSecs(MinuteTimer::msecsToNextMinute(now));
        const QDateTime nextMinute(now.date(), QTime(time.hour(), time.minute()));
        EXPECT_EQ(end, nextMinute.addSecs(60).addMSecs(MinuteTimer::kMarginMs))
            << time.toString("HH:mm:ss.zzz").toStdString();
    }

    // The timer runs its task at once and then waits by the clock of each run.
    QDateTime now(kDay, QTime(6, 4, 37, 400));
    int runs = 0;
    MinuteTimer timer([&] { ++runs; }, [&] { return now; });
    EXPECT_EQ(timer.waitingMsecs(), -1);
    timer.start();
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(timer.waitingMsecs(), 22600 + MinuteTimer::kMarginMs);
    now = QDateTime(kDay, QTime(6, 5, 20)); // a run held up by a busy window
    timer.tick();
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(timer.waitingMsecs(), 40000 + MinuteTimer::kMarginMs);
}

} // namespace
