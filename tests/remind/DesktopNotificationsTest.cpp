// Reminders through the desktop's notification service, against a fake service on a private
// bus: what is sent in both languages, the window wherever the notification cannot go out,
// and the answers "Remind again in 5 minutes" and "Open".
#include "remind/DesktopNotifications.h"
#include "SpawnedProcess.h"
#include "StalledShare.h"
#include "TestFiles.h"
#include "remind/DesktopReminders.h"
#include "remind/form_remind.h"
#include "settings/Settings.h"
#include "store/ClassTermin.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
constexpr int kAnswerMs = 1000; // the service counts as absent after this

// Nothing to start on demand: a service nobody registered stays absent.
const char kBusConfig[] =
    "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
    " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
    "<busconfig><type>session</type><listen>unix:tmpdir=/tmp</listen>"
    "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
    "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>\n";

enum class Answer { Normal, Error, Never };

// The notification service as a desktop runs it, recording what it is asked.
class FakeService : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    struct Shown {
        QString app, icon, summary, body;
        QStringList actions;
        QVariantMap hints;
    };
    QStringList capabilities{"actions", "body", "body-markup"};
    Answer capabilitiesAnswer = Answer::Normal;
    Answer notifyAnswer = Answer::Normal;
    QList<Shown> shown;
    QList<uint> closed;
    uint lastId = 0;

    void emitSignal(const QString& bus, const char* name, const QVariantList& arguments)
    {
        QDBusMessage message = QDBusMessage::createSignal(kPath, kService, QLatin1String(name));
        message.setArguments(arguments);
        QDBusConnection(bus).send(message);
    }

public slots:
    QStringList GetCapabilities()
    {
        return answered(capabilitiesAnswer) ? capabilities : QStringList();
    }
    uint Notify(const QString& app, uint, const QString& icon, const QString& summary,
                const QString& body, const QStringList& actions, const QVariantMap& hints, int)
    {
        shown.push_back({app, icon, summary, body, actions, hints});
        return answered(notifyAnswer) ? ++lastId : 0;
    }
    void CloseNotification(uint id) { closed << id; }

private:
    bool answered(Answer answer)
    {
        if (answer == Answer::Error)
            sendErrorReply(QDBusError::Failed, QStringLiteral("not now"));
        else if (answer == Answer::Never)
            setDelayedReply(true); // and never replies
        return answer == Answer::Normal;
    }
};

class DesktopNotificationsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QString daemon = QStandardPaths::findExecutable("dbus-daemon");
        if (daemon.isEmpty())
            GTEST_SKIP() << "dbus-daemon is missing (package dbus-daemon): no bus to test on";
        ASSERT_TRUE(TestFiles::writeBytes(dir.filePath("bus.conf"), kBusConfig));
        ASSERT_TRUE(bus.start(
            daemon, {"--config-file=" + dir.filePath("bus.conf"), "--nofork", "--print-address=1"},
            dir.filePath("bus.out")))
            << bus.error().toStdString();
        ASSERT_TRUE(eventually([&] { return !address().isEmpty(); }));
        settings.setDateFormat("yyyy-mm-dd");
        settings.setTimeFormat("24h");
        a.setDatum(QDate(2003, 7, 4));
        a.setStartTime(TimeOfDay::fromHourMinute(9, 0));
        a.setEndTime(TimeOfDay::fromHourMinute(10, 30));
        a.setText("Budget & <b>figures</b>\r\nRoom 4");
    }
    void TearDown() override
    {
        for (const char* name : {"notifier", "service", "intruder"})
            QDBusConnection::disconnectFromBus(name);
    }
    QString address() const
    {
        // Its first whole line; what it says on the other stream may follow.
        const QByteArray out = TestFiles::readBytes(dir.filePath("bus.out"));
        return out.contains('\n') ? QString::fromUtf8(out.left(out.indexOf('\n'))) : QString();
    }
    // The fake on the bus, unless it is to be absent.
    void offer(FakeService& fake)
    {
        QDBusConnection service = QDBusConnection::connectToBus(address(), "service");
        ASSERT_TRUE(service.isConnected()) << service.lastError().message().toStdString();
        ASSERT_TRUE(service.registerObject(kPath, &fake, QDBusConnection::ExportAllSlots));
        ASSERT_TRUE(service.registerService(kService));
    }
    QDBusConnection notifierBus() { return QDBusConnection::connectToBus(address(), "notifier"); }

    QTemporaryDir dir;
    SpawnedProcess bus;
    QTemporaryDir program;
    ProfileCache profiles{ThreadFileAccess()};
    Settings settings{profiles, program.path()};
    ClassTermin a;
};

TEST_F(DesktopNotificationsTest, TheNotificationGoesOutOnceOrTheWindowStandsInForIt)
{
    const struct Row {
        const char* what;
        bool present, windowOn, notificationOn;
        QStringList capabilities;
        Answer capabilitiesAnswer, notifyAnswer;
        int notified, windows;
    } rows[] = {
        {"taken", true, true, true, {"actions"}, Answer::Normal, Answer::Normal, 1, 0},
        {"taken, window off", true, false, true, {"actions"}, Answer::Normal, Answer::Normal, 1, 0},
        {"setting off", true, true, false, {"actions"}, Answer::Normal, Answer::Normal, 0, 1},
        {"absent", false, true, true, {}, Answer::Normal, Answer::Normal, 0, 1},
        {"absent, window off", false, false, true, {}, Answer::Normal, Answer::Normal, 0, 1},
        {"no actions", true, true, true, {"body"}, Answer::Normal, Answer::Normal, 0, 1},
        {"asked, error", true, true, true, {"actions"}, Answer::Error, Answer::Normal, 0, 1},
        {"asked, silent", true, true, true, {"actions"}, Answer::Never, Answer::Normal, 0, 1},
        {"notify error", true, true, true, {"actions"}, Answer::Normal, Answer::Error, 1, 1},
        {"notify silent", true, true, true, {"actions"}, Answer::Normal, Answer::Never, 1, 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        {
            FakeService fake;
            fake.capabilities = row.capabilities;
            fake.capabilitiesAnswer = row.capabilitiesAnswer;
            fake.notifyAnswer = row.notifyAnswer;
            if (row.present)
                offer(fake);
            settings.setShowWindow(row.windowOn);
            settings.setDesktopNotification(row.notificationOn);
            DesktopNotifications service(notifierBus(), kAnswerMs);
            DesktopReminders reminders(settings, {}, &service);
            reminders.showReminder(a, a.datum());
            // No answer can have come before the event loop ran: a reminder decided already
            // would have waited for the service.
            EXPECT_EQ(reminders.waiting(), row.notificationOn ? 1 : 0) << "waited for the service";
            ASSERT_TRUE(eventually([&] {
                return reminders.waiting() == 0 &&
                       reminders.notificationsShown() + reminders.windows().size() > 0;
            }));
            EXPECT_EQ(fake.shown.size(), row.notified);
            EXPECT_EQ(reminders.windows().size(), row.windows);
            EXPECT_EQ(reminders.notificationsShown(), row.windows == 0 ? 1 : 0);
        }
        TearDown();
    }
}

TEST_F(DesktopNotificationsTest, TheTextsInBothLanguagesAndTheAnswersToTheNotification)
{
    FakeService fake;
    offer(fake);
    DesktopNotifications service(notifierBus(), kAnswerMs);
    ASSERT_TRUE(
        eventually([&] { return service.service() == ReminderRoute::Service::WithActions; }));
    std::vector<std::pair<int, std::function<void()>>> delays;
    QList<QPair<QString, QDate>> opened;
    DesktopReminders reminders(settings, {}, &service);
    reminders.setDelay(
        [&](int seconds, std::function<void()> then) { delays.emplace_back(seconds, then); });
    reminders.setOpen([&](const ClassTermin& appointment, const QDate& day) {
        opened.append({appointment.Text(), day});
    });
    const QDate day(2003, 7, 11); // a later day of a series
    const struct {
        const char* lang;
        const char* texts; // the summary, then each action's key and label
    } languages[] = {
        {"en", "Norvane4 Reminder|snooze|Remind again in 5 minutes|open|Open|default|Open"},
        {"de",
         "Norvane4 Erinnerung|snooze|In 5 Minuten wieder erinnern|open|Öffnen|default|Öffnen"},
    };
    for (const auto& language : languages) {
        settings.setLangCode(language.lang);
        fake.shown.clear();
        reminders.showReminder(a, day);
        ASSERT_TRUE(eventually([&] { return reminders.notificationsShown() == 1; }));
        const FakeService::Shown& shown = fake.shown.at(0);
        EXPECT_EQ((shown.summary + '|' + shown.actions.join('|')).toStdString(), language.texts);
        EXPECT_EQ(shown.body.toStdString(),
                  "2003-07-11 09:00 - 10:30\nBudget &amp; &lt;b&gt;figures&lt;/b&gt;\nRoom 4");
        EXPECT_EQ((shown.app + ' ' + shown.hints.value("desktop-entry").toString()).toStdString(),
                  "Norvane norvane");
        fake.emitSignal("service", "NotificationClosed", {fake.lastId, uint(2)});
        ASSERT_TRUE(eventually([&] { return reminders.notificationsShown() == 0; }))
            << "closed on the desktop and forgotten";
    }
    EXPECT_TRUE(reminders.windows().isEmpty());

    // The service goes with a notification shown: the reminder comes back as the window.
    reminders.showReminder(a, day);
    ASSERT_TRUE(eventually([&] { return reminders.notificationsShown() == 1; }));
    QDBusConnection::disconnectFromBus("service");
    ASSERT_TRUE(eventually([&] { return reminders.windows().size() == 1; }));
    EXPECT_EQ(reminders.notificationsShown(), 0);

    // Another service comes, one that reads no markup: it shows the text as it is.
    FakeService plain;
    plain.capabilities = QStringList{"actions"};
    offer(plain);
    ASSERT_TRUE(
        eventually([&] { return service.service() == ReminderRoute::Service::WithActions; }));
    reminders.showReminder(a, day);
    ASSERT_TRUE(eventually([&] { return plain.shown.size() == 1; }));
    EXPECT_EQ(plain.shown[0].body.toStdString(),
              "2003-07-11 09:00 - 10:30\nBudget & <b>figures</b>\nRoom 4");

    // Remind again in 5 minutes: the notification goes, and after the delay comes again.
    ASSERT_TRUE(eventually([&] { return reminders.notificationsShown() == 1; }));
    plain.emitSignal("service", "ActionInvoked", {uint(1), QString("snooze")});
    ASSERT_TRUE(eventually([&] { return !delays.empty(); }));
    EXPECT_EQ(delays[0].first, DesktopReminders::kSnoozeSeconds);
    ASSERT_TRUE(eventually([&] { return plain.closed == QList<uint>{1}; }));
    EXPECT_EQ(plain.shown.size(), 1) << "nothing more until the delay is over";
    delays[0].second();
    ASSERT_TRUE(eventually([&] { return reminders.notificationsShown() == 1; }));
    EXPECT_EQ(plain.shown.size(), 2);

    // Open, and the click on the notification, show the appointment of its day.
    plain.emitSignal("service", "ActionInvoked", {uint(2), QString("open")});
    ASSERT_TRUE(eventually([&] { return opened.size() == 1; }));
    reminders.showReminder(a, a.datum());
    ASSERT_TRUE(eventually([&] { return plain.shown.size() == 3; }));
    plain.emitSignal("service", "ActionInvoked", {uint(3), QString("default")});
    ASSERT_TRUE(eventually([&] { return opened.size() == 2; }));
    EXPECT_EQ(opened, (QList<QPair<QString, QDate>>{{a.Text(), day}, {a.Text(), a.datum()}}));
    EXPECT_EQ(delays.size(), 1U);
    EXPECT_EQ(reminders.windows().size(), 1) << "none but the one of the service that went";
}

// The user's own answer ends a reminder; a notification that expired or was closed otherwise
// comes back as the window. Signals of the service's names sent by another program on the bus
// are not the service's: they neither answer nor close a reminder.
TEST_F(DesktopNotificationsTest, OnlyTheServiceAndTheUsersAnswerEndAReminder)
{
    FakeService fake;
    offer(fake);
    QDBusConnection intruder = QDBusConnection::connectToBus(address(), "intruder");
    ASSERT_TRUE(intruder.isConnected());
    settings.setShowWindow(true);
    settings.setDesktopNotification(true);
    DesktopNotifications service(notifierBus(), kAnswerMs);
    DesktopReminders reminders(settings, {}, &service);
    int opened = 0;
    reminders.setOpen([&](const ClassTermin&, const QDate&) { ++opened; });
    using Signal = std::tuple<const char*, const char*, QVariant>; // sender, name, 2nd argument
    const Signal expired{"service", "NotificationClosed", uint(1)};
    const Signal dismissed{"service", "NotificationClosed", uint(2)};
    const struct Row {
        const char* what;
        QList<Signal> signalList;
        int windows, opened;
    } rows[] = {
        {"expired", {expired}, 1, 0},
        {"dismissed", {dismissed}, 0, 0},
        {"closed by another's call", {{"service", "NotificationClosed", uint(3)}}, 1, 0},
        {"closed for no reason given", {{"service", "NotificationClosed", uint(4)}}, 1, 0},
        {"opened by another program", {{"intruder", "ActionInvoked", "open"}, dismissed}, 0, 0},
        {"expired by another program",
         {{"intruder", "NotificationClosed", uint(1)}, {"service", "ActionInvoked", "open"}},
         0,
         1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const qsizetype windowsBefore = reminders.windows().size();
        const int openedBefore = opened;
        const qsizetype shownBefore = fake.shown.size();
        reminders.showReminder(a, a.datum());
        ASSERT_TRUE(eventually([&] { return reminders.notificationsShown() == 1; }));
        for (const auto& [sender, name, argument] : row.signalList) {
            fake.emitSignal(sender, name, {fake.lastId, argument});
            // Once the bus answers the sender, it has passed the signal on: the next one
            // arrives after it.
            QDBusConnection(sender).call(QDBusMessage::createMethodCall(
                "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "GetId"));
        }
        ASSERT_TRUE(eventually([&] { return reminders.notificationsShown() == 0; }));
        EXPECT_EQ(reminders.windows().size() - windowsBefore, row.windows);
        EXPECT_EQ(opened - openedBefore, row.opened);
        EXPECT_EQ(fake.shown.size() - shownBefore, 1) << "never a second notification";
    }
}

} // namespace

#include "DesktopNotificationsTest.moc"
