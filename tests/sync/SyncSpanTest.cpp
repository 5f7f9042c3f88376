// Several days as one through the sync: one event on the server however many day files it has
// here, linked day files again in another folder, and a change of its length on the server
// re-makes the days (SyncTest changes one here against real servers).
#include "MemorySync.h"
#include "TestDays.h"
#include "calendar/Formats.h"
#include "store/AppointmentFiling.h"
#include "store/DataAccess.h"
#include "sync/Sync.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// What the folder shows from 16 March on: day, times and text, "+" for a span day.
std::string shown(const QString& folder)
{
    ProfileCache profiles(ThreadFileAccess());
    DataAccess store(profiles, StoreSource::fixed(folder));
    QStringList lines;
    for (QDate day(2026, 3, 16); day <= QDate(2026, 3, 20); day = day.addDays(1))
        for (const TerminPtr& a : store.GetAppointmentsOfDay(day))
            lines << day.toString("dd ") + FormatTime(a->StartTime(), "24h") + '-' +
                         FormatTime(a->EndTime(), "24h") + (a->isSpanDay() ? " +" : " ") +
                         a->Text();
    return lines.join(", ").toStdString();
}

TEST(SyncSpanTest, ASpanIsOneEventBothWaysAndItsLengthFollowsEitherSide)
{
    QTemporaryDir here;
    QTemporaryDir there;
    { // Monday 14:00 to Thursday 11:00, as the editor files it
        ProfileCache profiles(ThreadFileAccess());
        DataAccess store(profiles, StoreSource::fixed(here.path()));
        ClassTermin trip = *dayOf("14-11").first();
        trip.setText("Trip");
        trip.setDatum({2026, 3, 16});
        trip.setSpan("trip", trip.datum(), {2026, 3, 19});
        ASSERT_TRUE(AppointmentFiling(store).File(trip).ok);
    }
    MemorySync sync;
    MemoryServer& server = sync.server;
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
    server.phoneRemove(href);
    for (const QTemporaryDir* folder : {&here, &there}) {
        EXPECT_EQ(sync(*folder).deletedHere, 1);
        EXPECT_EQ(shown(folder->path()), "");
    }
}

} // namespace
