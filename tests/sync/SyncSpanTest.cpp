// Several days as one through the sync: one event on the server however many day files it has
// here, linked day files again in another folder, and a change of its length on either side
// re-makes the days on the other.
#include "MemoryServer.h"
#include "TestDays.h"
#include "calendar/Formats.h"
#include "store/DataAccess.h"
#include "store/SpanFiling.h"
#include "sync/Sync.h"

#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// What the folder shows in March: day, times and text of each appointment, "+" for a span day.
std::string shown(const QString& folder)
{
    ProfileCache profiles(ThreadFileAccess());
    DataAccess store(profiles, StoreSource::fixed(folder));
    QStringList lines;
    for (QDate day(2026, 3, 1); day <= QDate(2026, 3, 31); day = day.addDays(1)) {
        for (const TerminPtr& a : store.GetAppointmentsOfDay(day))
            lines << day.toString("dd ") + FormatTime(a->StartTime(), "24h") + '-' +
                         FormatTime(a->EndTime(), "24h") + (a->isSpanDay() ? " +" : " ") +
                         a->Text();
    }
    return lines.join(", ").toStdString();
}

// The span as the edit path writes it: from 16 March 14:00 to `until` 11:00.
void fileTrip(const QString& folder, int until)
{
    ProfileCache profiles(ThreadFileAccess());
    DataAccess store(profiles, StoreSource::fixed(folder));
    ClassTermin trip;
    trip.setText("Trip");
    trip.setStartTime(at(14));
    trip.setEndTime(at(11));
    QList<TerminPtr> before;
    for (QDate day(2026, 3, 1); day <= QDate(2026, 3, 31); day = day.addDays(1))
        for (const TerminPtr& a : store.GetAppointmentsOfDay(day))
            before << a;
    SpanDays::Shape wanted{trip, {2026, 3, 16}, {2026, 3, until}, {}};
    if (!before.isEmpty())
        wanted = *SpanDays::shapeOf(before);
    wanted.until = {2026, 3, until};
    const auto draw = [] { return QRandomGenerator::global()->generate(); };
    ASSERT_TRUE(SpanFiling::run(store, SpanDays::plan(before, wanted), draw).ok);
}

TEST(SyncSpanTest, ASpanIsOneEventBothWaysAndItsLengthFollowsEitherSide)
{
    QTemporaryDir here;
    QTemporaryDir there;
    fileTrip(here.path(), 19);
    MemoryServer server(QUrl("http://127.0.0.1/cal/"));
    SyncAccount account;
    account.url = server.collection().toString();
    SyncOptions options;
    options.today = kTestToday;
    const auto sync = [&](const QTemporaryDir& folder) {
        const SyncResult result = runSyncWith(folder.path(), account, options, server);
        EXPECT_TRUE(result.ok()) << result.error.toStdString();
        return result;
    };
    EXPECT_EQ(sync(here).sent, 1);
    ASSERT_EQ(server.events().size(), 1);
    const QString href = server.events().firstKey();
    const QStringList body = QString::fromUtf8(server.events().first().body).split("\r\n");
    for (const char* line : {"SUMMARY:Trip", "DTSTART;TZID=Europe/Berlin:20260316T140000",
                             "DTEND;TZID=Europe/Berlin:20260319T110000"})
        EXPECT_TRUE(body.contains(line)) << line;

    EXPECT_EQ(sync(there).received, 1);
    EXPECT_EQ(shown(there.path()),
              "16 14:00-24:00 +Trip (day 1 of 4), 17 00:00-24:00 +Trip (day 2 of 4), "
              "18 00:00-24:00 +Trip (day 3 of 4), 19 00:00-11:00 +Trip (day 4 of 4)");
    EXPECT_EQ(shown(there.path()), shown(here.path()));
    EXPECT_EQ(sync(there).sent + sync(here).sent, 0) << "nothing changed";

    // Two days shorter on the phone: both folders keep two days.
    server.phoneEdit(
        href,
        QByteArray(server.events().first().body).replace("20260319T110000", "20260317T110000"));
    for (const QTemporaryDir* folder : {&here, &there}) {
        EXPECT_EQ(sync(*folder).received, 1);
        EXPECT_EQ(shown(folder->path()),
                  "16 14:00-24:00 +Trip (day 1 of 2), 17 00:00-11:00 +Trip (day 2 of 2)");
    }
    // A day longer here: one event goes, and the other folder follows.
    fileTrip(there.path(), 18);
    EXPECT_EQ(sync(there).sent, 1);
    EXPECT_EQ(sync(here).received, 1);
    EXPECT_EQ(shown(here.path()), shown(there.path()));
    EXPECT_EQ(server.events().size(), 1);
    EXPECT_TRUE(server.events().first().body.contains("20260318T110000"));

    server.phoneRemove(href);
    for (const QTemporaryDir* folder : {&here, &there}) {
        EXPECT_EQ(sync(*folder).deletedHere, 1);
        EXPECT_EQ(shown(folder->path()), "");
    }
}

} // namespace
