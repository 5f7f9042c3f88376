// The sync against real CalDAV servers of the machine, the same table of cases on each; a
// phone's calendar app (python3-caldav) changes the server side.
#include "sync/Sync.h"
#include "CalDavServer.h"
#include "SyncCase.h"
#include "TestDays.h"
#include "TestFiles.h"
#include "app/cli/SyncCommand.h"
#include "exchange/IcsImport.h"
#include "store/AppointmentFiling.h"
#include "store/DataAccess.h"
#include "store/SeriesFiling.h"
#include "store/SpanFiling.h"
#include "sync/HttpClient.h"
#include "sync/SyncRecord.h"

#include <QDeadlineTimer>
#include <QDirIterator>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QUuid>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <optional>

void PrintTo(CalDavServer::Kind kind, std::ostream* out)
{
    *out << (kind == CalDavServer::Kind::Radicale ? "radicale" : "xandikos");
}

namespace {

using Kind = CalDavServer::Kind;

struct Row {
    const char* name;
    std::function<void(Case&)> run;
};

const Row kRows[] = {
    {"ChangedOrDeletedOnOneSide",
     [](Case& c) {
         const QString a = c.add("A", kDay);
         c.add("B", kDay, 12);
         const QString gone = c.add("C", kDay, 14);
         c.add("D", kDay, 16);
         c.add("E", kDay, 18);
         c.synced();
         c.edit(a, "A2");
         c.phone({"edit", c.uidOn("B"), "B2"});
         c.remove(gone);
         c.phone({"delete", c.uidOn("D")});
         const SyncResult r = c.synced();
         EXPECT_EQ(std::tuple(r.sent, r.received, r.deletedHere, r.deletedThere),
                   std::tuple(1, 1, 1, 1));
         c.expectTexts(QStringList({"A2", "B2", "E"}));
     }},
    {"ChangedOnBothSidesKeepsBoth",
     [](Case& c) {
         const QString a = c.add("A", kDay);
         c.synced();
         c.edit(a, "A here");
         c.phone({"edit", c.uidOn("A"), "A there"});
         const SyncResult r = c.synced();
         EXPECT_EQ(r.conflicts, 1);
         c.expectTexts({"A here (conflict copy)", "A there"});
         EXPECT_EQ(c.local()["A there"], a) << "the server's version keeps the file";
         // The mark speaks the team's language, not the process's (the command line's English).
         c.edit(a, "A hier");
         c.phone({"edit", c.uidOn("A there"), "A dort"});
         SyncOptions german;
         german.langCode = "de";
         EXPECT_EQ(c.sync(german).conflicts, 1);
         EXPECT_TRUE(c.localTexts().contains("A hier (Konfliktkopie)"))
             << c.localTexts().join('|').toStdString();
     }},
    {"DeletedVersusChangedTheChangeWins",
     [](Case& c) {
         const QString a = c.add("A", kDay);
         const QString b = c.add("B", kDay, 12);
         c.add("C", kDay, 14);
         c.synced();
         c.remove(a);
         c.phone({"edit", c.uidOn("A"), "A2"});
         c.edit(b, "B2");
         c.phone({"delete", c.uidOn("B")});
         c.synced();
         c.expectTexts(QStringList({"A2", "B2", "C"}));
     }},
    {"MovedToAnotherDayIsOneChange",
     [](Case& c) {
         const QString a = c.add("A", kDay);
         c.synced();
         const QString uid = c.uidOn("A");
         const QString moved =
             kDay.addDays(2).toString("'y'yyyy/'m'M/'d'd/") + QFileInfo(a).fileName();
         QDir().mkpath(QFileInfo(c.folder() + moved).path());
         ASSERT_TRUE(QFile::rename(c.folder() + a, c.folder() + moved));
         const SyncResult r = c.synced();
         EXPECT_EQ(std::pair(r.sent, r.deletedThere), std::pair(1, 0));
         const QJsonObject event = c.phoneEvents()["A"];
         EXPECT_EQ(event["uid"].toString(), uid);
         EXPECT_EQ(event["start"].toString(), stamp(kDay.addDays(2), 10));
     }},
    {"RecurringSeriesBothWays",
     [](Case& c) {
         c.add("Weekly here", kDay, 8, "wd");
         c.phone({"add", "w1", "Weekly there", stamp(kDay, 9),
                  "FREQ=WEEKLY;UNTIL=" + stamp(kDay.addDays(70), 8) + "Z"});
         c.synced();
         EXPECT_TRUE(
             c.phoneEvents()["Weekly here"]["rrule"].toString().startsWith("FREQ=WEEKLY;UNTIL="));
         const QString there = c.local()["Weekly there"];
         EXPECT_TRUE(there.startsWith("recurring/wd")) << qPrintable(there);
         const SyncResult again = c.synced();
         EXPECT_EQ(again.sent + again.received, 0);
     }},
    {"ASeriesWithExceptionsIsOneEventBothWays",
     [](Case& c) {
         c.phone({"add", "x1", "Series", stamp(kDay, 9),
                  "FREQ=WEEKLY;UNTIL=" + stamp(kDay.addDays(21), 8) + "Z",
                  stamp(kDay.addDays(7), 9)});
         c.synced();
         EXPECT_EQ(c.shown(4), "0@9 2@9 3@9");
         EXPECT_EQ(c.files().size(), 2) << "two parts of one series, not an expansion";
         const SyncResult again = c.synced();
         EXPECT_EQ(again.sent + again.received, 0);

         // An e-mail reminder, which only the folder knows, survives the phone's changes.
         for (const QString& part : c.files()) {
             ClassTermin a = *c.loaded(part);
             a.setEmailEnable(true);
             ASSERT_TRUE(c.folderStore().SaveAppointment(a).ok);
         }
         c.synced();
         c.phone({"exdate", "x1", stamp(kDay.addDays(14), 9)}); // the phone skips week 2
         EXPECT_EQ(c.synced().received, 1);
         EXPECT_EQ(c.shown(4), "0@9 3@9");
         for (const QString& part : c.files())
             EXPECT_TRUE(TestFiles::readBytes(c.folder() + part).contains("RemindEmail=1\r\n"));

         // The folder moves week 3 to 11:00: the phone's event gets a changed occurrence.
         c.changeSeries(kDay.addDays(21), SeriesEdit::Scope::This, [](ClassTermin& moved) {
             moved.setStartTime(TimeOfDay::fromHourMinute(11, 0));
             moved.setEndTime(TimeOfDay::fromHourMinute(12, 0));
         });
         EXPECT_EQ(c.synced().sent, 1);
         const QMap<QString, QJsonObject> events = c.phoneEvents();
         EXPECT_EQ(events.keys(), QStringList{"Series"});
         EXPECT_EQ(events["Series"]["parts"].toInt(), 2) << "the series and its moved occurrence";
         EXPECT_EQ(c.synced().sent + c.synced().received, 0);
         EXPECT_EQ(c.shown(4), "0@9 3@11");

         // Both sides change the series: the folder's version is kept as a series of its own.
         for (const QString& part : c.files())
             c.edit(part, "Series here");
         c.phone({"retitle", "x1", "Series there"});
         const SyncResult both = c.synced();
         EXPECT_EQ(both.conflicts, 1);
         EXPECT_EQ(c.serverTexts(), QStringList({"Series here (conflict copy)", "Series there"}));
         EXPECT_EQ(c.files().size(), 4) << "each side's part and moved occurrence";
         EXPECT_EQ(c.synced().sent + c.synced().received, 0);
     }},
    {"ASeriesKeptAsOccurrencesIsOneEventBothWays",
     [](Case& c) {
         // Every second weekend (kDay is a Saturday) six times, then every third.
         c.phone(
             {"add", "r1", "Pair", stamp(kDay, 9), "FREQ=WEEKLY;INTERVAL=2;BYDAY=SA,SU;COUNT=6"});
         EXPECT_EQ(c.synced().received, 1);
         EXPECT_EQ(c.shown(7), "0@9 2@9 4@9");
         c.phone({"rrule", "r1", "FREQ=WEEKLY;INTERVAL=3;BYDAY=SA,SU;COUNT=6"});
         EXPECT_EQ(c.synced().received, 1);
         EXPECT_EQ(c.shown(7), "0@9 3@9 6@9");
         // One Saturday moved here: the phone's event gets a changed occurrence, nothing else.
         c.changeSeries(kDay.addDays(21), SeriesEdit::Scope::This, [](ClassTermin& moved) {
             moved.setStartTime(TimeOfDay::fromHourMinute(11, 0));
             moved.setEndTime(TimeOfDay::fromHourMinute(12, 0));
         });
         EXPECT_EQ(c.synced().sent, 1);
         const QMap<QString, QJsonObject> events = c.phoneEvents();
         EXPECT_EQ(events.keys(), QStringList{"Pair"});
         EXPECT_EQ(events["Pair"]["parts"].toInt(), 2);
         EXPECT_EQ(events["Pair"]["rrule"].toString(),
                   "FREQ=WEEKLY;COUNT=6;INTERVAL=3;BYDAY=SA,SU");
         EXPECT_EQ(c.synced().sent + c.synced().received, 0);
         EXPECT_EQ(c.shown(7), "0@9 3@11 6@9");
     }},
    {"AFolderSplitIsOneEventWithAnExdateThatAPhoneRetitleKeeps",
     [](Case& c) {
         c.add("Jour fixe", kDay, 8, "wd");
         c.synced();
         c.changeSeries(kDay.addDays(7), SeriesEdit::Scope::This);
         EXPECT_EQ(c.synced().sent, 1) << "the two parts are one event";
         const QMap<QString, QJsonObject> events = c.phoneEvents();
         EXPECT_EQ(events.keys(), QStringList{"Jour fixe"});
         EXPECT_EQ(events["Jour fixe"]["exdates"].toInt(), 1);
         EXPECT_EQ(c.synced().sent + c.synced().received, 0);

         // The phone retitles the series: the occurrence deleted here stays deleted.
         c.phone({"retitle", c.uidOn("Jour fixe"), "Jour fixe v2"});
         EXPECT_EQ(c.synced().received, 1);
         EXPECT_EQ(c.shown(4), "0@8 2@8 3@8");
         EXPECT_EQ(c.phoneEvents()["Jour fixe v2"]["exdates"].toInt(), 1);

         // From week 3 on in another room: the rest is a series, and an event, of its own.
         c.changeSeries(kDay.addDays(21), SeriesEdit::Scope::Following,
                        [](ClassTermin& rest) { rest.setText("Jour fixe in room 4"); });
         EXPECT_EQ(c.synced().sent, 2);
         const QMap<QString, QJsonObject> split = c.phoneEvents();
         EXPECT_EQ(split.keys(), QStringList({"Jour fixe in room 4", "Jour fixe v2"}));
         EXPECT_EQ(split["Jour fixe v2"]["exdates"].toInt(), 1);
     }},
    {"ASkipOnThePhoneReachesAnImportedSeriesWithExceptions",
     [](Case& c) {
         // Weekly for ten weeks, weeks 1, 3 and 5 skipped and week 6 moved to 11:00.
         const auto at = [](int week, int hour) {
             return "TZID=Europe/Berlin:" + stamp(kDay.addDays(7 * week), hour) + "\r\n";
         };
         const QString head = "BEGIN:VEVENT\r\nUID:imported1\r\nDTSTAMP:20260101T000000Z\r\n"
                              "SUMMARY:Imported\r\nDURATION:PT1H\r\n";
         const QString ics = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//other//EN\r\n" + head +
                             "DTSTART;" + at(0, 9) +
                             "RRULE:FREQ=WEEKLY;UNTIL=" + stamp(kDay.addDays(63), 8) +
                             "Z\r\nEXDATE;" + at(1, 9) + "EXDATE;" + at(3, 9) + "EXDATE;" +
                             at(5, 9) + "END:VEVENT\r\n" + head + "RECURRENCE-ID;" + at(6, 9) +
                             "DTSTART;" + at(6, 11) + "END:VEVENT\r\nEND:VCALENDAR\r\n";
         DataAccess store = c.folderStore();
         ASSERT_TRUE(ImportIcs(ics.toUtf8(), store, c.folder(), 1).ok);
         EXPECT_EQ(c.shown(10), "0@9 2@9 4@9 6@11 7@9 8@9 9@9");
         EXPECT_EQ(c.synced().sent, 1);
         c.phone({"exdate", "imported1", stamp(kDay.addDays(7 * 8), 9)});
         EXPECT_EQ(c.synced().received, 1);
         EXPECT_EQ(c.shown(10), "0@9 2@9 4@9 6@11 7@9 9@9");
         EXPECT_EQ(c.synced().sent + c.synced().received, 0);
     }},
    {"PhoneRenamesKeepTheRestOfTheText",
     [](Case& c) {
         const QString path = c.add("Planning\r\nRoom B", kDay);
         c.synced();
         const QString uid = c.uidOn("Planning");
         for (const QString title : {"Planning v2", "Planning v3", "Planning v4"}) {
             c.phone({"retitle", uid, title});
             c.synced();
             EXPECT_EQ(c.textOf(path), title + "\r\nRoom B");
         }
     }},
    {"MassDeletionGuard",
     [](Case& c) {
         for (int i = 0; i < 14; ++i)
             c.add(QStringLiteral("A%1").arg(i, 2, 10, QLatin1Char('0')), kDay, 8 + i % 10);
         c.synced();
         const QStringList all = c.localTexts();
         // Ten gone on one side; each way out once, then the guard is met again.
         const auto goneHere = [&] {
             int n = 0;
             for (const QString& path : c.local())
                 if (n++ < 10)
                     c.remove(path);
         };
         const auto goneThere = [&] {
             int n = 0;
             for (const QJsonObject& event : c.phoneEvents())
                 if (n++ < 10)
                     c.phone({"delete", event["uid"].toString()});
         };
         const struct {
             std::function<void()> gone;
             bool onServer; // where the sync would delete them
             const char* choice;
             int left; // appointments on both sides after it
         } steps[] = {
             {goneHere, true, "--restore-deleted", 14},
             {goneThere, false, "--restore-deleted", 14},
             {goneHere, true, "--allow-mass-delete", 4},
         };
         for (const auto& step : steps) {
             SCOPED_TRACE(step.choice + std::string(step.onServer ? " on the server" : " here"));
             step.gone();
             const SyncResult stopped = c.sync();
             EXPECT_EQ(stopped.exit, SyncResult::Exit::MassDelete);
             EXPECT_EQ(std::tuple(stopped.massDeletion.count, stopped.massDeletion.of,
                                  stopped.massDeletion.onServer),
                       std::tuple(10, 14, step.onServer));
             QProcess cli;
             c.startCli(cli);
             cli.waitForFinished(60000);
             EXPECT_EQ(cli.exitCode(), 3);
             EXPECT_TRUE(cli.readAllStandardError().contains("would delete 10 of 14"));
             c.startCli(cli, {step.choice});
             cli.waitForFinished(60000);
             EXPECT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().constData();
             EXPECT_EQ(c.localTexts(), all.mid(14 - step.left));
             EXPECT_EQ(c.serverTexts(), c.localTexts());
         }
         // Both sides agree: the next sync has nothing to do.
         const SyncResult again = c.synced();
         EXPECT_EQ(again.sent + again.received + again.deletedHere + again.deletedThere, 0);
     }},
    {"NewOnEitherSideInTheCalendarsZoneWhereverTheSyncRuns",
     [](Case& c) {
         // A machine next to the share runs in UTC; the team's calendar is in Berlin.
         c.add("Here", kDay);
         c.phone({"add", "p1", "There", stamp(kDay, 9)});
         QProcess cli;
         c.startCli(cli, {"--zone", "Europe/Berlin"}, "Etc/UTC");
         cli.waitForFinished(60000);
         ASSERT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().constData();
         EXPECT_TRUE(cli.readAllStandardOutput().startsWith("Sent 1, received 1, deleted 0 "));
         c.expectTexts(QStringList({"Here", "There"}));
         EXPECT_EQ(c.local()["There"],
                   kDay.toString("'y'yyyy/'m'M/'d'd/") + QFileInfo(c.local()["There"]).fileName());
         EXPECT_EQ(c.phoneEvents()["Here"]["dtstart_line"].toString(),
                   "DTSTART;TZID=Europe/Berlin:" + stamp(kDay, 10));
         EXPECT_EQ(c.timesOf(c.local()["There"]), std::pair(9 * 60, 10 * 60));
         // The zone of the account in the settings goes with it; another one moves the phone's.
         SyncOptions newYork;
         newYork.timeZoneId = "America/New_York";
         c.phone({"add", "p2", "There too", stamp(kDay, 9)});
         EXPECT_TRUE(c.sync(newYork).ok());
         EXPECT_EQ(c.timesOf(c.local()["There too"]), std::pair(3 * 60, 4 * 60));
         newYork.timeZoneId = "Mars/Olympus";
         EXPECT_TRUE(c.sync(newYork).error.contains("Mars/Olympus"));
     }},
    {"AnEventOfItsOwnZoneKeepsItBothWays",
     [](Case& c) {
         c.phone({"raw", "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//phone//EN\r\n"
                         "BEGIN:VEVENT\r\nUID:ny1\r\nDTSTAMP:20260101T000000Z\r\n"
                         "DTSTART;TZID=America/New_York:" +
                             stamp(kDay, 9) + "\r\nDTEND;TZID=America/New_York:" + stamp(kDay, 10) +
                             "\r\nSUMMARY:Flight\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n"});
         c.synced();
         const QString nine = "DTSTART;TZID=America/New_York:" + stamp(kDay, 9);
         for (const char* title : {"Here", "Phone"}) {
             const TerminPtr a = c.loaded(c.local().first());
             EXPECT_EQ(a->TimeZoneId(), "America/New_York");
             EXPECT_EQ(a->ZoneStart(), QDateTime(kDay, QTime(9, 0), Qt::UTC));
             if (QByteArray(title) == "Here")
                 c.edit(c.local().first(), title);
             else
                 c.phone({"edit", "ny1", title});
             c.synced();
             EXPECT_EQ(c.phoneEvents()[title]["dtstart_line"].toString(), nine);
         }
         EXPECT_EQ(c.loaded(c.local()["Phone"])->TimeZoneId(), "America/New_York");
     }},
    {"AllDayLocationAndRenamesRoundTrip",
     [](Case& c) {
         const QString day = kDay.toString("yyyyMMdd");
         c.phone({"raw", "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//phone//EN\r\n"
                         "BEGIN:VEVENT\r\nUID:d1\r\nDTSTAMP:20260101T000000Z\r\n"
                         "DTSTART;VALUE=DATE:" +
                             day + "\r\nDTEND;VALUE=DATE:" + kDay.addDays(1).toString("yyyyMMdd") +
                             "\r\nSUMMARY:Offsite\r\nDESCRIPTION:Bring laptops\r\n"
                             "LOCATION:Zoom\r\nCATEGORIES:Travel,Team\r\n"
                             "END:VEVENT\r\nEND:VCALENDAR\r\n"});
         c.synced();
         const QString path = c.local()["Offsite"];
         EXPECT_EQ(c.timesOf(path), std::pair(0, 24 * 60)) << "the whole day";
         EXPECT_EQ(c.textOf(path), "Offsite\r\nBring laptops");
         EXPECT_EQ(c.loaded(path)->Location(), "Zoom");
         EXPECT_EQ(c.loaded(path)->Categories(), QStringList({"Travel", "Team"}));
         // Renamed in turn on either side: one title, the rest as it was, still a day.
         for (int round = 1; round <= 2; ++round) {
             const QString phoneTitle = QStringLiteral("Phone title %1").arg(round);
             c.phone({"retitle", "d1", phoneTitle});
             c.synced();
             EXPECT_EQ(c.textOf(path), phoneTitle + "\r\nBring laptops");
             const QString ownTitle = QStringLiteral("Own title %1").arg(round);
             c.edit(path, ownTitle + "\r\nBring laptops");
             EXPECT_EQ(c.synced().sent, 1);
             const QJsonObject event = c.phoneEvents()[ownTitle];
             EXPECT_EQ(event["description"].toString(), "Bring laptops");
             EXPECT_EQ(event["location"].toString(), "Zoom");
             EXPECT_EQ(event["dtstart_line"].toString(), "DTSTART;VALUE=DATE:" + day);
         }
         EXPECT_EQ(c.localTexts().size(), 1);
         // A place and categories changed here go out as the event's, the phone's come back.
         ClassTermin moved = *c.loaded(path);
         moved.setLocation("Hall 2");
         moved.setCategories({"Board"});
         EXPECT_TRUE(c.folderStore().SaveAppointment(moved).ok);
         EXPECT_EQ(c.synced().sent, 1);
         EXPECT_EQ(c.phoneEvents()["Own title 2"]["location"].toString(), "Hall 2");
         EXPECT_EQ(c.phoneEvents()["Own title 2"]["categories"].toString(), "Board");
         c.phone({"categories", "d1", "Board,Finance"});
         EXPECT_EQ(c.synced().received, 1);
         EXPECT_EQ(c.loaded(path)->Categories(), QStringList({"Board", "Finance"}));
     }},
    {"ASpanOfDaysIsOneEventChangedOnEitherSide",
     [](Case& c) {
         c.phone({"raw", "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//phone//EN\r\n"
                         "BEGIN:VEVENT\r\nUID:t1\r\nDTSTAMP:20260101T000000Z\r\n"
                         "DTSTART;TZID=Europe/Berlin:" +
                             stamp(kDay, 14) +
                             "\r\nDTEND;TZID=Europe/Berlin:" + stamp(kDay.addDays(2), 11) +
                             "\r\nSUMMARY:Trip\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n"});
         c.synced();
         EXPECT_EQ(c.localTexts(),
                   QStringList({"Trip (day 1 of 3)", "Trip (day 2 of 3)", "Trip (day 3 of 3)"}));
         // A day longer here: the phone's one event ends a day later, and its title comes
         // back to four days.
         DataAccess store = c.folderStore();
         const QList<TerminPtr> days =
             SpanFiling::filesOf(store, c.loaded(c.local()["Trip (day 1 of 3)"]));
         SpanDays::Shape longer = *SpanDays::shapeOf(days);
         longer.until = longer.until.addDays(1);
         ASSERT_TRUE(SpanFiling::run(store, SpanDays::plan(days, longer), [] { return 7u; }).ok);
         EXPECT_EQ(c.synced().sent, 1);
         EXPECT_EQ(c.serverTexts(), QStringList({"Trip"}));
         EXPECT_EQ(c.phoneEvents()["Trip"]["dtstart_line"].toString(),
                   "DTSTART;TZID=Europe/Berlin:" + stamp(kDay, 14));
         c.phone({"retitle", "t1", "Trip there"});
         c.synced();
         EXPECT_EQ(c.localTexts(),
                   QStringList({"Trip there (day 1 of 4)", "Trip there (day 2 of 4)",
                                "Trip there (day 3 of 4)", "Trip there (day 4 of 4)"}));
         EXPECT_EQ(c.timesOf(c.local()["Trip there (day 4 of 4)"]), std::pair(0, 11 * 60));
     }},
    {"PrivacyTravelsBothWaysAsClass",
     [](Case& c) {
         const QString path = c.add("Doctor", kDay);
         ClassTermin own = *c.loaded(path);
         own.setIsPrivate(true);
         EXPECT_TRUE(c.folderStore().SaveAppointment(own).ok);
         c.phone({"raw", "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//phone//EN\r\n"
                         "BEGIN:VEVENT\r\nUID:c1\r\nDTSTAMP:20260101T000000Z\r\nDTSTART:" +
                             stamp(kDay, 14) +
                             "\r\nDURATION:PT1H\r\nSUMMARY:Interview\r\n"
                             "CLASS:CONFIDENTIAL\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n"});
         c.synced();
         EXPECT_EQ(c.phoneEvents()["Doctor"]["class"].toString(), "PRIVATE");
         EXPECT_TRUE(c.loaded(c.local()["Interview"])->IsPrivate());
         // Made public here: the server hears of it.
         own = *c.loaded(path);
         own.setIsPrivate(false);
         EXPECT_TRUE(c.folderStore().SaveAppointment(own).ok);
         EXPECT_EQ(c.synced().sent, 1);
         EXPECT_EQ(c.phoneEvents()["Doctor"]["class"].toString(), "");
     }},
    {"OrganizerAndAttendeesSurviveChangesOnEitherSide",
     [](Case& c) {
         c.phone({"raw", "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//phone//EN\r\n"
                         "BEGIN:VEVENT\r\nUID:m1\r\nDTSTAMP:20260101T000000Z\r\nDTSTART:" +
                             stamp(kDay, 14) +
                             "\r\nDURATION:PT1H\r\nSUMMARY:Review\r\n"
                             "ORGANIZER;CN=Anna:mailto:anna@example.org\r\n"
                             "ATTENDEE;CN=\"Doe, Ben\";PARTSTAT=ACCEPTED:mailto:ben@example.org\r\n"
                             "ATTENDEE;PARTSTAT=NEEDS-ACTION:mailto:cleo@example.org\r\n"
                             "END:VEVENT\r\nEND:VCALENDAR\r\n"});
         c.synced();
         const QString path = c.local()["Review"];
         c.edit(path, "Review v2");
         EXPECT_EQ(c.synced().sent, 1);
         const QJsonObject event = c.phoneEvents()["Review v2"];
         EXPECT_EQ(event["organizer"].toString(), "Anna");
         EXPECT_EQ(event["attendees"].toString(),
                   "Doe, Ben=ACCEPTED; mailto:cleo@example.org=NEEDS-ACTION");
         // Cleo answers on her phone: the appointment hears of it.
         c.phone({"partstat", "m1", "mailto:cleo@example.org", "TENTATIVE"});
         c.synced();
         EXPECT_EQ(c.loaded(path)->Attendees().value(1),
                   "ATTENDEE;PARTSTAT=TENTATIVE:mailto:cleo@example.org");
     }},
    {"KilledHalfWayAndRunAgain",
     [](Case& c) {
         constexpr int kCount = 150;
         for (int i = 0; i < kCount; ++i)
             c.add(QStringLiteral("K%1").arg(i), kDay.addDays(i % 20), 8 + i % 10);
         QProcess cli;
         c.startCli(cli);
         ASSERT_TRUE(cli.waitForStarted());
         const QString record = c.folder() + SyncRecord::kDirectory + "/status.json";
         const QDeadlineTimer patience(30000);
         while (!QFile::exists(record) && cli.state() == QProcess::Running &&
                !patience.hasExpired())
             QThread::msleep(5);
         ::kill(pid_t(cli.processId()), SIGKILL);
         cli.waitForFinished();
         QFile::remove(c.folder() + SyncRecord::kDirectory + "/lock");
         c.synced();
         EXPECT_EQ(c.localTexts().size(), kCount);
         EXPECT_EQ(c.serverTexts().size(), kCount);
         const SyncResult again = c.synced();
         EXPECT_EQ(again.sent + again.received + again.conflicts, 0);
     }},
    {"WrongPasswordIsRefused",
     [](Case& c) {
         if (!c.server().asksPassword())
             GTEST_SKIP() << "this server asks no password";
         const SyncResult r = runSync(c.folder(), c.server().account(c.url(), "wrong"));
         EXPECT_EQ(r.exit, SyncResult::Exit::Failed);
         EXPECT_TRUE(r.error.contains("refused the login")) << qPrintable(r.error);
     }},
    {"ServerThatStopsAnsweringEndsWithAMessage",
     [](Case& c) {
         c.add("A", kDay);
         c.server().pause();
         SyncOptions options;
         options.connectTimeout = std::chrono::seconds(2);
         options.stallTimeout = std::chrono::seconds(2);
         options.today = kTestToday;
         const SyncResult r = runSync(c.folder(), c.server().account(c.url()), options);
         c.server().resume();
         EXPECT_EQ(r.exit, SyncResult::Exit::Failed);
         EXPECT_TRUE(r.error.contains("no answer")) << qPrintable(r.error);
         EXPECT_EQ(c.synced().sent, 1) << "the next sync finishes the job";
     }},
    {"TwoSyncsAtOnceOneRefuses",
     [](Case& c) {
         {
             SyncRecord::Lock held(c.folder(), std::chrono::seconds(300), {});
             ASSERT_TRUE(held.held());
             EXPECT_EQ(c.sync().exit, SyncResult::Exit::Busy);
         }
         SyncRecord::Lock stale(c.folder(), std::chrono::seconds(300), {});
         TestFiles::setModified(c.folder() + SyncRecord::kDirectory + "/lock",
                                QDateTime::currentDateTime().addSecs(-3600));
         EXPECT_TRUE(c.sync().ok()) << "a lock of an hour ago is taken over";
     }},
    {"AnotherSpellingOfTheAddressIsTheSameCalendar",
     [](Case& c) {
         c.add("A", kDay);
         c.phone({"add", "p1", "B", stamp(kDay, 9)});
         c.synced();
         const auto syncAs = [&c](const QString& spelling, const QStringList& texts) {
             SCOPED_TRACE(spelling.toStdString());
             const SyncResult result = runSync(c.folder(), c.server().account(spelling), {});
             EXPECT_TRUE(result.ok()) << qPrintable(result.error);
             c.expectTexts(texts);
         };
         QString bare = c.url();
         bare.chop(1);
         syncAs(bare, {"A", "B"});
         syncAs(QStringLiteral("HTTP://127.0.0.1") + c.url().mid(16), {"A", "B"});
         // Another name of the host, taking turns with the first: a deletion there stays one.
         const QString named = QStringLiteral("http://localhost") + c.url().mid(16);
         c.phone({"delete", c.uidOn("B")});
         for (const QString& spelling : {named, c.url(), named})
             syncAs(spelling, {"A"});
     }},
    {"UnchangedSyncCostsOneRequest",
     [](Case& c) {
         c.add("A", kDay);
         c.synced();
         EXPECT_EQ(c.synced().requests, 1) << "also right after the first upload";
         EXPECT_EQ(c.synced().requests, 1);
         c.phone({"edit", c.uidOn("A"), "A2"});
         EXPECT_EQ(c.synced().requests, 3) << "state, changes since the token, the event";
         EXPECT_EQ(c.localTexts(), QStringList({"A2"}));
     }},
    {"CalendarFoundFromTheServersAddress",
     [](Case& c) {
         const SyncResult root = testConnection(c.server().account(c.server().root()));
         EXPECT_TRUE(root.ok() ? root.collection == c.url() : root.candidates.contains(c.url()))
             << qPrintable(root.error);
         EXPECT_EQ(testConnection(c.server().account(c.url())).collection, c.url());
     }},
    {"SeveralCalendarsEachWithItsOwnFolder",
     [](Case& c) {
         static int number = 0;
         const QString url = c.server().newCalendar(QStringLiteral("second%1").arg(++number));
         ASSERT_FALSE(url.isEmpty());
         Case other(c.server(), url);
         c.add("First", kDay);
         other.phone({"add", "p2", "Second", stamp(kDay, 9)});
         QStringList listed;
         for (const ServerCalendar& found :
              listCalendars(c.server().account(c.server().root())).calendars)
             listed << found.url;
         EXPECT_TRUE(listed.contains(c.url()) && listed.contains(url))
             << qPrintable(listed.join(' '));
         // norvane-cli sync of the settings' two pairs, each with its folder.
         QTemporaryDir program;
         SyncSettings pairs;
         pairs.url = c.server().root();
         pairs.user = "alice";
         pairs.pairs = {{c.url(), c.folder(), false, {}}, {url, other.folder(), false, "Second"}};
         ProfileCache profiles(ThreadFileAccess());
         ASSERT_TRUE(writeSyncSettings(profiles, program.filePath("Norvane4.ini"), pairs, nullptr));
         qputenv("NORVANE_SYNC_PASSWORD", CalDavServer::kPassword);
         QString printed, problems;
         QTextStream out(&printed), err(&problems);
         EXPECT_EQ(SyncCommand::run({}, out, err, program.path() + '/'), 0) << qPrintable(problems);
         EXPECT_TRUE(printed.startsWith(c.url() + ": Sent 1, received 0")) << qPrintable(printed);
         EXPECT_TRUE(printed.contains("\nSecond: Sent 0, received 1")) << qPrintable(printed);
         c.expectTexts({"First"});
         other.expectTexts({"Second"});
     }},
    {"NamesThatNeedPercentEncoding",
     [](Case& c) {
         HttpClient http(c.server().account(c.url()), SyncOptions{});
         const std::pair<const char*, QByteArray> events[] = {
             {"semi%3Bcolon.ics", "Semicolon"},
             {"sl%252Fash.ics", "Slash"},
             {"with%20space.ics", "Space"},
         };
         for (const auto& [name, summary] : events) {
             const QByteArray ics =
                 "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//tests//EN\r\n"
                 "BEGIN:VEVENT\r\nUID:" +
                 QUuid::createUuid().toByteArray(QUuid::WithoutBraces) +
                 "\r\nDTSTAMP:20260101T000000Z\r\nDTSTART:" + stamp(kDay, 9).toUtf8() +
                 "\r\nDURATION:PT1H\r\nSUMMARY:" + summary + "\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
             const HttpClient::Response put =
                 http.request("PUT", c.url() + name, {{"Content-Type", "text/calendar"}}, ics);
             EXPECT_EQ(put.status, 201) << name;
         }
         EXPECT_EQ(c.synced().received, 3);
         EXPECT_EQ(c.localTexts(), QStringList({"Semicolon", "Slash", "Space"}));
         c.edit(c.local()["Space"], "Edited");
         EXPECT_EQ(c.synced().sent, 1) << "the change goes back under the event's own name";
         EXPECT_EQ(c.serverTexts(), QStringList({"Edited", "Semicolon", "Slash"}));
     }},
};

void PrintTo(const Row& row, std::ostream* out)
{
    *out << row.name;
}

class SyncTest : public ::testing::TestWithParam<std::tuple<Kind, Row>> {};

TEST_P(SyncTest, Case)
{
    const auto& [kind, row] = GetParam();
    QString reason;
    CalDavServer* server = CalDavServer::shared(kind, &reason);
    if (!server)
        GTEST_SKIP() << qPrintable(reason);
    if (!QFile::exists("/usr/bin/python3") ||
        QProcess::execute("/usr/bin/python3", {"-c", "import caldav"}) != 0)
        GTEST_SKIP() << "python3-caldav is not installed (scripts/setup.sh installs it)";
    static int number = 0;
    const QString url = server->newCalendar(QStringLiteral("case%1").arg(++number));
    ASSERT_FALSE(url.isEmpty());
    Case c(*server, url);
    row.run(c);
}

INSTANTIATE_TEST_SUITE_P(Servers, SyncTest,
                         ::testing::Combine(::testing::Values(Kind::Radicale, Kind::Xandikos),
                                            ::testing::ValuesIn(kRows)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param) == Kind::Radicale
                                                    ? "Radicale_"
                                                    : "Xandikos_") +
                                    std::get<1>(info.param).name;
                         });

} // namespace
