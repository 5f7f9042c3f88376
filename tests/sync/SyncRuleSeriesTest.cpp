// A series kept as occurrences through the sync: one event on the server however many files it
// has here, one series again in another folder, and a change of its rule on the server reaches
// every occurrence on both.
#include "MemorySync.h"
#include "TestDays.h"
#include "calendar/Formats.h"
#include "store/AppointmentFiling.h"
#include "store/DataAccess.h"
#include "store/RuleSeriesFiling.h"
#include "sync/Sync.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// What the folder shows from January to March: day, time and text of each appointment.
std::string shown(const QString& folder)
{
    ProfileCache profiles(ThreadFileAccess());
    DataAccess store(profiles, StoreSource::fixed(folder));
    QStringList lines;
    for (QDate day(2026, 1, 1); day <= QDate(2026, 3, 31); day = day.addDays(1)) {
        for (const TerminPtr& a : store.GetAppointmentsOfDay(day))
            lines << day.toString("MM-dd ") + FormatTime(a->StartTime(), "24h") + ' ' + a->Text();
    }
    return lines.join(", ").toStdString();
}

// The occurrence of a series on day, changed as the editor changes it in scope.
void changeSeries(DataAccess& store, const TerminPtr& occurrence, const QDate& day,
                  SeriesEdit::Scope scope, const std::function<void(ClassTermin&)>& change)
{
    ASSERT_TRUE(occurrence && occurrence->isOccurrence());
    ClassTermin changed = RuleSeries::recordFor(*occurrence, day, scope);
    change(changed);
    const auto rule = RuleSeriesFiling::ruleOf(store, occurrence->SeriesId());
    const RuleSeries::Change plan{*rule, day, scope, changed, {}, {}, kTestToday};
    AppointmentFiling filing(store);
    ASSERT_TRUE(RuleSeriesFiling::run(store, filing, RuleSeries::plan(plan)).outcome.ok);
}

// Every second Monday and Thursday eight times from 19 January, the Thursday of 5 February
// moved to Friday 11:00.
void fileSeries(const QString& folder)
{
    ProfileCache profiles(ThreadFileAccess());
    DataAccess store(profiles, StoreSource::fixed(folder));
    AppointmentFiling filing(store);
    RepeatRule rule;
    rule.interval = 2;
    rule.weekdays = {Qt::Monday, Qt::Thursday};
    rule.start = {2026, 1, 19};
    rule.end = RepeatRule::End::Count;
    rule.count = 8;
    ClassTermin series;
    series.setText("Pair");
    series.setStartTime(at(9));
    series.setEndTime(at(10));
    series.setIsRecurring(true);
    series.Recurring_code = "wd";
    series.setRule(rule);
    ASSERT_TRUE(filing.File(series).ok);
    const QDate day(2026, 2, 5);
    const QString path = RuleSeries::occurrencePath(store.DataFolder(), series.SeriesId(), day);
    changeSeries(store, store.LoadAppointment(path, day), day, SeriesEdit::Scope::This,
                 [](ClassTermin& moved) {
                     moved.setDatum({2026, 2, 6});
                     moved.setStartTime(at(11));
                     moved.setEndTime(at(12));
                 });
}

// The whole series of the folder takes another text, as the editor changes it.
void renameSeries(const QString& folder, const QString& text)
{
    ProfileCache profiles(ThreadFileAccess());
    DataAccess store(profiles, StoreSource::fixed(folder));
    const QDate first(2026, 1, 19);
    changeSeries(store, store.GetAppointmentsOfDay(first).value(0), first, SeriesEdit::Scope::All,
                 [&](ClassTermin& changed) { changed.setText(text); });
}

TEST(SyncRuleSeriesTest, ASeriesKeptAsOccurrencesIsOneEventBothWays)
{
    QTemporaryDir here;
    QTemporaryDir there;
    fileSeries(here.path());
    const std::string series = shown(here.path());
    ASSERT_EQ(series, "01-19 09:00 Pair, 01-22 09:00 Pair, 02-02 09:00 Pair, 02-06 11:00 Pair, "
                      "02-16 09:00 Pair, 02-19 09:00 Pair, 03-02 09:00 Pair, 03-05 09:00 Pair");

    MemorySync sync;
    MemoryServer& server = sync.server;
    EXPECT_EQ(sync(here).sent, 1);
    ASSERT_EQ(server.events().size(), 1);
    const QString href = server.events().firstKey();
    const QStringList body = QString::fromUtf8(server.events().first().body).split("\r\n");
    EXPECT_TRUE(body.contains("RRULE:FREQ=WEEKLY;COUNT=8;INTERVAL=2;BYDAY=MO,TH"));
    EXPECT_TRUE(body.contains("RECURRENCE-ID;TZID=Europe/Berlin:20260205T090000"));
    EXPECT_EQ(body.count("BEGIN:VEVENT"), 2);

    EXPECT_EQ(sync(there).received, 1);
    EXPECT_EQ(shown(there.path()), series);
    EXPECT_EQ(sync(there).sent + sync(here).sent, 0) << "nothing changed";

    // Four times only, on the phone: both folders keep the first four, the moved one among them.
    server.phoneEdit(href, QByteArray(server.events().first().body).replace("COUNT=8", "COUNT=4"));
    const std::string fewer = "01-19 09:00 Pair, 01-22 09:00 Pair, 02-02 09:00 Pair, "
                              "02-06 11:00 Pair";
    for (const QTemporaryDir* folder : {&here, &there}) {
        EXPECT_EQ(sync(*folder).received, 1);
        EXPECT_EQ(shown(folder->path()), fewer);
    }
    EXPECT_EQ(server.events().size(), 1);

    // Renamed here as a whole, the moved one keeping its text: one event goes, and the other
    // folder follows.
    renameSeries(there.path(), "Pair 2");
    EXPECT_EQ(sync(there).sent, 1);
    EXPECT_EQ(sync(here).received, 1);
    EXPECT_EQ(shown(here.path()), "01-19 09:00 Pair 2, 01-22 09:00 Pair 2, 02-02 09:00 Pair 2, "
                                  "02-06 11:00 Pair");
    EXPECT_EQ(server.events().size(), 1);

    // Deleted on the phone: gone from both folders, occurrences and all.
    server.phoneRemove(href);
    for (const QTemporaryDir* folder : {&here, &there}) {
        EXPECT_EQ(sync(*folder).deletedHere, 1);
        EXPECT_EQ(shown(folder->path()), "");
    }
}

} // namespace
