// The reminder check: when an appointment is due and for whom, how often, over which folders
// and days, what a due reminder does by the settings, and the reminder e-mail it builds.
#include "remind/ReminderCheck.h"
#include "FakeFileAccess.h"
#include "TestFiles.h"
#include "profile/FileAccess.h"
#include "remind/ReminderMail.h"
#include "settings/Settings.h"
#include "store/SeriesEdit.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QDate kToday(2003, 7, 4);

ClassTermin appointment(int hour, int minute, int remind, const QString& producer = "bert")
{
    ClassTermin a;
    a.setDatum(kToday);
    a.setStartTime(TimeOfDay::fromHourMinute(hour, minute));
    a.setEndTime(TimeOfDay::fromHourMinute(hour + 1, minute));
    a.setIsReminder(true);
    a.setRemindMinutes(qint16(remind));
    a.setProducer(producer);
    a.setText("Budget");
    return a;
}

// Writes what a due reminder would do, one line each.
class RecordedActions : public ReminderActions {
public:
    void showReminder(const ClassTermin& a, const QDate& day) override
    {
        done << "window " + a.Text();
        days << day;
    }
    void playSound(const QString& file) override { done << "sound " + file; }
    void sendMail(const MailMessage& m) override
    {
        done << "mail " + m.subject;
        mails << m;
    }
    QStringList done;
    QList<QDate> days;
    QList<MailMessage> mails;
};

class ReminderCheckTest : public ::testing::Test {
protected:
    ReminderCheckTest()
    {
        settings.setShowWindow(true);
        settings.setEmailSubject("%text%");
    }

    // An appointment file of today in folder, as another user's copy writes it.
    QString put(const QTemporaryDir& folder, const QString& name, int hour, int remind,
                const QDate& date = kToday)
    {
        const QString path = folder.filePath(date.toString("'y'yyyy/'m'M/'d'd/") + name + ".nv3");
        TestFiles::writeSettled(
            path,
            QString::asprintf("[AppointmentSettings]\r\nDateYear=%d\r\nDateMonth=%d\r\n"
                              "DateDay=%d\r\nStartTimeHour=%d\r\nStartTimeMinute=%d\r\n"
                              "IsReminder=1\r\nRemindTime=%d\r\nRemindEmail=1\r\nProducer=bert\r\n"
                              "Text=%s\r\n",
                              date.year(), date.month(), date.day(), hour / 100, hour % 100, remind,
                              qPrintable(name))
                .toUtf8());
        return path;
    }

    QTemporaryDir program;
    QTemporaryDir team;
    QTemporaryDir mine;
    ProfileCache profiles{ThreadFileAccess()};
    Settings settings{profiles, program.path()};
    RecordedActions actions;
    QDateTime now{kToday, QTime(9, 57)};
    ReminderCheck check{profiles, settings, actions, "bert", [this] { return now; }};
};

TEST(ReminderDueTest, FromTheReminderMinuteUntilTheStartForTheOwnerOrEveryone)
{
    const QDate yesterday = kToday.addDays(-1);
    const struct {
        ClassTermin a;
        QDateTime now;
        bool due;
    } rows[] = {
        {appointment(10, 0, 5), {kToday, QTime(9, 54, 59)}, false},
        {appointment(10, 0, 5), {kToday, QTime(9, 55)}, true},
        {appointment(10, 0, 5), {kToday, QTime(9, 56)}, true},
        {appointment(10, 0, 5), {kToday, QTime(9, 59, 59)}, true},
        {appointment(10, 0, 5), {kToday, QTime(10, 0)}, false},
        {appointment(0, 10, 30), {yesterday, QTime(23, 39)}, false},
        {appointment(0, 10, 30), {yesterday, QTime(23, 40)}, true},
        {appointment(0, 10, 30), {yesterday, QTime(23, 41)}, true},
        {appointment(0, 10, 30), {kToday, QTime(0, 5)}, true},
        {appointment(0, 10, 30), {kToday, QTime(23, 45)}, false},
        {appointment(0, 30, 120), {yesterday, QTime(22, 31)}, true},
        {appointment(10, 0, 1440), {yesterday, QTime(9, 59)}, false},
        {appointment(10, 0, 1440), {yesterday, QTime(10, 0)}, true},
        {appointment(10, 0, 1440), {yesterday, QTime(10, 1)}, true},
        {appointment(10, 0, 20000), {kToday.addDays(-7), QTime(10, 1)}, true}, // seven days at most
        {appointment(10, 0, 20000), {kToday.addDays(-8), QTime(23, 59)}, false},
        {appointment(10, 0, 5, "Bert"), {kToday, QTime(9, 57)}, false}, // letter case counts
        {appointment(10, 0, 5, ""), {kToday, QTime(9, 57)}, false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.a.CheckReminder("bert", kToday, row.now), row.due)
            << row.a.StartTime().minutes() << " less " << row.a.RemindMinutes() << " at "
            << row.now.toString(Qt::ISODate).toStdString();
    const QDateTime at(kToday, QTime(9, 57));
    // Those it is for are reminded as its owner is; nobody else.
    ClassTermin forBert = appointment(10, 0, 5, "anna");
    forBert.setForUsers({"carla", "bert"});
    EXPECT_TRUE(forBert.CheckReminder("bert", kToday, at));
    EXPECT_TRUE(forBert.CheckReminder("anna", kToday, at));
    EXPECT_FALSE(forBert.CheckReminder("Bert", kToday, at));
    EXPECT_FALSE(forBert.CheckReminder("dora", kToday, at));
    ClassTermin everyone = appointment(10, 0, 5, "anna");
    everyone.setReminderAll(true);
    EXPECT_TRUE(everyone.CheckReminder("bert", kToday, at));
    everyone.setIsReminder(false);
    EXPECT_FALSE(everyone.CheckReminder("bert", kToday, at));
}

TEST_F(ReminderCheckTest, OncePerFileStateUntilItsDayIsOver)
{
    ClassTermin a = appointment(10, 0, 5);
    a.setFilename("/srv/team/y2003/m7/d4/1.nv3");
    a.setFileDate(QDateTime(kToday, QTime(8, 0)));
    for (const QTime at : {QTime(9, 56), QTime(9, 57), QTime(9, 59)}) {
        now.setTime(at);
        check.CheckAppointmentReminder(a, kToday);
    }
    EXPECT_EQ(actions.done, QStringList{"window Budget"});
    a.setFileDate(QDateTime(kToday, QTime(9, 58))); // saved again
    check.CheckAppointmentReminder(a, kToday);
    EXPECT_EQ(actions.done.size(), 2);

    // A series split after its reminder rewrites and renames its files: the occurrence is
    // the same until its reminder time changes.
    ClassTermin weekly = appointment(10, 0, 5);
    weekly.setFilename("/srv/team/recurring/wd6/3.nv3");
    check.CheckAppointmentReminder(weekly, kToday);
    EXPECT_EQ(actions.done.size(), 3);
    weekly.setSeriesId(SeriesEdit::seriesIdFor(weekly)); // split
    weekly.setFileDate(QDateTime(kToday, QTime(9, 59)));
    check.CheckAppointmentReminder(weekly, kToday);
    ClassTermin changed = weekly; // the occurrence alone now, a file of its own
    changed.setFilename("/srv/team/y2003/m7/d4/4.nv3");
    changed.setIsRecurring(false);
    check.CheckAppointmentReminder(changed, kToday);
    EXPECT_EQ(actions.done.size(), 3) << "not again after the split";
    changed.setStartTime(TimeOfDay::fromHourMinute(10, 1));
    check.CheckAppointmentReminder(changed, kToday);
    EXPECT_EQ(actions.done.size(), 4) << "again at its new time";

    now = QDateTime(kToday.addDays(1), QTime(0, 0));
    check.CheckReminders();
    EXPECT_EQ(check.remindedList().size(), 0) << "yesterday's keys are no longer needed";
}

TEST_F(ReminderCheckTest, LongLeadTimesRemindOnTimeWithoutReadingTheDaysAheadAtEachCheck)
{
    const QDate tomorrow = kToday.addDays(1);
    put(team, "Next week", 900, 7 * 24 * 60, kToday.addDays(7)); // reminder at 09:00 today
    put(team, "Tomorrow", 1000, 24 * 60, tomorrow);
    put(team, "Late", 30, 120, tomorrow); // 00:30, reminder at 22:30 today
    settings.ClearDataFolders();          // the program's own folder is listed by default
    settings.AddDataFolder(team.path());
    int listings = 0;
    FakeFileAccess::AfterListing counted([&] { ++listings; });
    ProfileCache countedProfiles(counted);
    ReminderCheck counting(countedProfiles, settings, actions, "bert", [this] { return now; });
    const QStringList order{"window Next week", "window Tomorrow", "window Late"};
    // At each time, how many of order are reminded by then.
    const std::pair<QTime, int> steps[] = {
        {QTime(8, 59), 0},  {QTime(9, 0), 1},   {QTime(9, 2), 1},  {QTime(10, 0), 2},
        {QTime(22, 29), 2}, {QTime(22, 30), 3}, {QTime(23, 59), 3}};
    for (const auto& [at, reminded] : steps) {
        now.setTime(at);
        listings = 0;
        counting.CheckReminders();
        EXPECT_EQ(actions.done, order.mid(0, reminded)) << at.toString().toStdString();
        if (at == QTime(9, 2)) {
            EXPECT_EQ(listings, 5) << "today's directories only";
        }
    }
}

// Many due at once are each reminded once, folder by folder in the list's order.
TEST_F(ReminderCheckTest, EveryFolderOfTheListIsCheckedManyDueAtOnceOnceEachAndTheActiveOneStays)
{
    constexpr int kDue = 200;
    for (int n = 0; n < kDue; ++n)
        put(team, QString::number(n), 1000, 5);
    put(mine, "Dentist", 1000, 15);
    put(mine, "Later", 1100, 5);
    settings.AddDataFolder(team.path());
    settings.AddDataFolder("");
    settings.AddDataFolder(mine.path());
    settings.AddDataFolder(team.path()); // listed twice, reminded once
    settings.setActiveFolder(mine.path());
    settings.setSendEmail(true);
    for (const QTime at : {QTime(9, 56), QTime(9, 57), QTime(9, 58), QTime(9, 59)}) {
        now.setTime(at);
        check.CheckReminders();
    }
    const QStringList windows = actions.done.filter(QRegularExpression("^window "));
    EXPECT_EQ(windows.size(), kDue + 1);
    EXPECT_EQ(windows.last(), "window Dentist");
    EXPECT_EQ(actions.mails.size(), kDue + 1);
    EXPECT_EQ(settings.GetDataFolder(), WithTrailingSeparator(mine.path()));
}

TEST_F(ReminderCheckTest, AFolderWorkedOnOfflineRemindsFromItsCopy)
{
    put(mine, "Taken along", 1000, 5);
    settings.AddDataFolder(team.path()); // gone with the share
    settings.setActiveFolder(team.path());
    settings.setStandIn(team.path(), mine.path());
    check.CheckReminders();
    EXPECT_EQ(actions.done.filter(QRegularExpression("^window ")),
              QStringList{"window Taken along"});
    EXPECT_EQ(settings.GetDataFolder(), WithTrailingSeparator(mine.path()));
    EXPECT_EQ(settings.ChosenDataFolder(), WithTrailingSeparator(team.path()));
}

TEST_F(ReminderCheckTest, AnotherUsersPrivateAppointmentRemindsEveryoneAsBusy)
{
    for (const QString owner : {"anna", "bert"}) {
        const QString path = put(mine, owner + " doctor", 1000, 5);
        QByteArray bytes = TestFiles::readBytes(path);
        bytes.replace("Producer=bert",
                      "Producer=" + owner.toUtf8() + "\r\nPrivate=1\r\nRemindMe=0");
        TestFiles::writeSettled(path, bytes);
    }
    settings.AddDataFolder(mine.path());
    settings.setActiveFolder(mine.path());
    settings.setSendEmail(true);
    check.CheckReminders();
    QStringList done = actions.done;
    done.sort();
    EXPECT_EQ(done.join('+').toStdString(),
              "mail Busy+mail bert doctor+window Busy+window bert doctor");
}

TEST_F(ReminderCheckTest, AnEarlyAppointmentIsRemindedTheEveningBefore)
{
    const QDate tomorrow = kToday.addDays(1);
    put(team, "Early", 10, 30, tomorrow);       // 00:10, reminder at 23:40
    put(team, "At midnight", 30, 30, tomorrow); // 00:30, reminder at 00:00
    put(team, "Tonight", 2350, 15);             // today's, as ever
    settings.AddDataFolder(team.path());
    for (const QTime at : {QTime(22, 59), QTime(23, 40), QTime(23, 41), QTime(23, 59)}) {
        now.setTime(at);
        check.CheckReminders();
    }
    const QStringList reminded{"window Tonight", "window Early"};
    EXPECT_EQ(actions.done, reminded);
    now = QDateTime(tomorrow, QTime(0, 5));
    check.CheckReminders();
    EXPECT_EQ(actions.done, reminded + QStringList{"window At midnight"})
        << "Early once, not again after midnight";

    // A daily appointment is reminded on each of its days, once each.
    TestFiles::writeSettled(
        team.filePath("recurring/every/1.nv3"),
        "[AppointmentSettings]\r\nStartTimeHour=10\r\nStartTimeMinute=0\r\nIsReminder=1\r\n"
        "RemindTime=5\r\nProducer=bert\r\nText=Daily\r\nRecurringUntilYear=2099\r\n");
    actions.done.clear();
    actions.days.clear();
    for (int day = 0; day < 3; ++day)
        for (const QTime at : {QTime(9, 56), QTime(9, 58)}) {
            now = QDateTime(tomorrow.addDays(day), at);
            check.CheckReminders();
        }
    EXPECT_EQ(actions.done, QStringList(3, "window Daily"));
    EXPECT_EQ(actions.days, (QList<QDate>{tomorrow, tomorrow.addDays(1), tomorrow.addDays(2)}));
}

TEST_F(ReminderCheckTest, WhatWasRemindedIsRememberedOnThisMachineAcrossRestarts)
{
    put(team, "Standup", 1000, 5);
    settings.AddDataFolder(team.path());
    const QString kept = ReminderCheck::remindedFilePath(settings);
    ASSERT_TRUE(kept.startsWith(program.path()));
    const auto restart = [&] {
        ReminderCheck again(profiles, settings, actions, "bert", [this] { return now; });
        again.CheckReminders();
    };
    check.CheckReminders();
    restart();
    restart();
    EXPECT_EQ(actions.done, QStringList{"window Standup"});

    // Nothing kept, or nothing that reads, means nothing remembered: reminded again, and only
    // once more where the file can be written.
    const QByteArray unreadable = QByteArray(1, '\0') + "2003-07-04\n 2003-07-04 \n\xff";
    const struct {
        std::function<bool()> damage;
        int reminders; // over two restarts
    } rows[] = {
        {[&] { return QFile::remove(kept); }, 1},
        {[&] { return TestFiles::writeBytes(kept, unreadable); }, 1},
        {[&] { return QFile::remove(kept) && QDir().mkpath(kept); }, 2},
    };
    for (const auto& row : rows) {
        actions.done.clear();
        ASSERT_TRUE(row.damage());
        restart();
        restart();
        EXPECT_EQ(actions.done.size(), row.reminders);
    }
    QDir(kept).removeRecursively();

    restart(); // reminded again, and kept
    ASSERT_TRUE(TestFiles::readBytes(kept).contains("2003-07-04"));
    now = QDateTime(kToday.addDays(1), QTime(0, 0));
    check.CheckReminders();
    EXPECT_FALSE(TestFiles::readBytes(kept).contains("2003-07-04"))
        << "dropped once its day is over";
}

TEST_F(ReminderCheckTest, TheSettingsDecideWhatADueReminderDoesAndTheMailItSends)
{
    const struct {
        bool window, notification, sound, email, perAppointment;
        QStringList done;
    } rows[] = {
        {true, false, true, true, true, {"window Budget", "sound /snd/bell.wav", "mail Budget"}},
        {false, true, false, false, false, {"window Budget"}}, // the window layer decides how
        {false, false, false, true, false, {}},
        {false, false, false, false, false, {}},
    };
    settings.setSoundFile("/snd/bell.wav");
    int n = 0;
    for (const auto& row : rows) {
        actions.done.clear();
        settings.setShowWindow(row.window);
        settings.setDesktopNotification(row.notification);
        settings.setPlaySound(row.sound);
        settings.setSendEmail(row.email);
        ClassTermin a = appointment(10, 0, 5);
        a.setEmailEnable(row.perAppointment);
        a.setFilename(QString::number(++n));
        check.CheckAppointmentReminder(a, kToday);
        EXPECT_EQ(actions.done, row.done);
        EXPECT_EQ(check.remindedList().size(), n) << "reminded, even when nothing shows";
    }

    // The mail fills the subject, escapes the text and speaks the language.
    settings.setDateFormat("dd.mm.yyyy");
    settings.setTimeFormat("24h");
    settings.setEmailTo("anna@example.org, bert@example.org");
    ClassTermin a = appointment(10, 0, 5, "<bert & co>");
    a.setText("Budget <b>now</b>\r\nRoom 4 & 5");
    const struct {
        QString pattern, text, subject;
    } subjects[] = {
        {"%date% %time% %user%: %text%", "Budget", "04.07.2003 09:57 bert: Budget"},
        {"%text%", "", "Norvane4 Reminder Email"},
        {"%TEXT%", "", "%TEXT%"},
    };
    for (const auto& row : subjects) {
        ClassTermin b = a;
        b.setText(row.text);
        EXPECT_EQ(ReminderMail::subject(row.pattern, b, now, "bert", settings), row.subject);
    }
    const MailMessage english = ReminderMail::build(a, kToday, now, "bert", settings);
    EXPECT_EQ(english.recipients, "anna@example.org\t bert@example.org");
    EXPECT_EQ(english.body, "<html>\r\n<body>\r\n<font face='Arial' size=2>Norvane4 Reminder:"
                            "<br><br>\r\n<hr size=1>\r\n04.07.2003 10:00\r\n<hr size=1><b>\r\n"
                            "Budget &lt;b&gt;now&lt;/b&gt;</b><br>\r\nRoom 4 &amp; 5\r\n"
                            "<hr size=1>\r\nProducer: &lt;bert &amp; co&gt;\r\n</body>\r\n"
                            "</html>");
    settings.setLangCode("de");
    a.setText("");
    const MailMessage german = ReminderMail::build(a, kToday, now, "bert", settings);
    EXPECT_EQ(german.subject, "Norvane4 Erinnerungs Email");
    EXPECT_TRUE(german.body.contains("size=2>Norvane4 Erinnerung:<br><br>\r\n"));
    EXPECT_TRUE(german.body.contains("\r\nErsteller: &lt;bert &amp; co&gt;\r\n"));
    EXPECT_TRUE(ReminderMail::testBody("de").contains("<br>und Sie können per Email an"));
    EXPECT_TRUE(ReminderMail::testBody("en").contains("<br>and you can be reminded"));
}

} // namespace
