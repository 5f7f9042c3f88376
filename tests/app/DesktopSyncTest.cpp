// The desktop program's sync: the password store's file, the settings window's Sync page and
// Sync now in the main window against a radicale started by the test. The secret service is
// made unreachable, so the store falls back to its file and no desktop keyring is touched.
#include "CalDavServer.h"
#include "TestFiles.h"
#include "edit/AppointmentEditing.h"
#include "service/SettingsJobs.h"
#include "service/StoreService.h"
#include "settings/Language.h"
#include "settings/Settings.h"
#include "settings_ui/form_settings.h"
#include "settings_ui/form_settings_sync.h"
#include "sync/PasswordStore.h"
#include "sync/SyncScheduler.h"
#include "views/form_main.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSemaphore>
#include <QTableWidget>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

class DesktopSyncTest : public ::testing::Test {
protected:
    DesktopSyncTest()
    {
        // Before the first call of the store: no secret service answers.
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/norvane-test-bus");
        TestFiles::writeBytes(program.filePath("Settings.ini"),
                              "[DataFolders]\r\nFolderCount=1\r\nFolder1=" + data.path().toUtf8() +
                                  "\r\n");
        TestFiles::writeBytes(program.filePath("Norvane4.ini"),
                              "[International]\r\nLangCode=en\r\nTimeFormat=24h\r\n"
                              "[Application]\r\nFirstStart=0\r\n");
        settings.LoadActiveFolder();
        settings.LoadSettings();
    }
    ~DesktopSyncTest() override { Language::apply("en"); }

    template <typename T> static T& child(QWidget& window, const char* name)
    {
        T* found = window.findChild<T*>(QLatin1String(name));
        if (!found)
            throw std::runtime_error(name);
        return *found;
    }

    // A settings window (the one before it closed) once it shows what the files hold.
    form_settings& open()
    {
        m_window = std::make_unique<form_settings>(settings, settingsJobs, form_settings::Hooks{});
        EXPECT_TRUE(QTest::qWaitFor([&] { return !m_window->isBusy(); }, 10000));
        return *m_window;
    }

    QTemporaryDir program;
    QTemporaryDir data;
    ProfileCache profiles{ThreadFileAccess()};
    Settings settings{profiles, program.path()};
    FolderJobs folderJobs;
    SettingsJobs settingsJobs{folderJobs};
    std::unique_ptr<form_settings> m_window;
};

TEST_F(DesktopSyncTest, PasswordStoreFallsBackToAPrivateFileBesideThePointerFile)
{
    const struct {
        QString url, user, password;
    } accounts[] = {
        {"https://dav.example.org/cal/", "anna", "s3cret"},
        {"https://dav.example.org/cal/", "bert", "pa\"ss=wo\nrd ü"},
        {"http://127.0.0.1:5232/anna/", "anna", "other"},
    };
    const PasswordStore store(settings.programDirectory());
    EXPECT_EQ(QFileInfo(store.filePath()).dir(), QFileInfo(settings.pointerFilePath()).dir());
    for (const auto& a : accounts) {
        QString error;
        EXPECT_EQ(store.store(a.url, a.user, a.password, &error), PasswordStore::Where::File)
            << qPrintable(error);
    }
    for (const auto& a : accounts)
        EXPECT_EQ(store.lookup(a.url, a.user), a.password) << qPrintable(a.user);
    struct stat status {};
    ASSERT_EQ(::stat(QFile::encodeName(store.filePath()).constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);

    EXPECT_TRUE(store.store(accounts[0].url, accounts[0].user, {}).has_value());
    EXPECT_EQ(store.lookup(accounts[0].url, accounts[0].user), QString());
    EXPECT_EQ(store.lookup(accounts[1].url, accounts[1].user), accounts[1].password);
    EXPECT_EQ(store.lookup("https://elsewhere/", accounts[1].user), QString());
}

TEST_F(DesktopSyncTest, SyncPageWritesTheAccountToTheSettingsFileAndThePasswordToTheStore)
{
    {
        form_settings& window = open();
        child<QLineEdit>(window, "text_sync_url").setText("https://dav.test/c/");
        child<QLineEdit>(window, "text_sync_user").setText("anna");
        QTest::keyClicks(&child<QLineEdit>(window, "text_sync_password"), "hunter22");
        QComboBox& interval = child<QComboBox>(window, "combo_sync_interval");
        interval.setCurrentIndex(interval.findData(30));
        QComboBox& refresh = child<QComboBox>(window, "combo_subscription_interval");
        EXPECT_EQ(refresh.currentText(), "every 60 minutes");
        refresh.setCurrentIndex(refresh.findData(240));
        // A new account starts in the machine's zone; the team's calendar may be elsewhere.
        QComboBox& zone = child<QComboBox>(window, "combo_sync_zone");
        EXPECT_EQ(zone.currentText(), "Europe/Berlin");
        zone.setCurrentIndex(zone.findText("America/New_York"));
        window.command_ok_Click();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !window.isBusy(); }, 10000));
    }
    profiles.clear();
    const SyncSettings saved = readSyncSettings(profiles, settings.Path());
    EXPECT_EQ(saved.url, "https://dav.test/c/");
    EXPECT_EQ(saved.user, "anna");
    EXPECT_EQ(saved.intervalMinutes, 30);
    EXPECT_EQ(saved.subscriptionMinutes, 240);
    EXPECT_EQ(saved.timeZone, "America/New_York");
    EXPECT_FALSE(TestFiles::readBytes(settings.Path()).contains("hunter22"));
    EXPECT_EQ(PasswordStore(program.path()).lookup(saved.url, saved.user), "hunter22");

    // Opened again, the page shows the account with the password fetched from the store.
    form_settings& again = open();
    QLineEdit& password = child<QLineEdit>(again, "text_sync_password");
    EXPECT_TRUE(QTest::qWaitFor([&] { return !password.text().isEmpty(); }, 5000));
    EXPECT_EQ(password.text(), "hunter22");
    // No desktop password store answers here: the page says which file holds it instead.
    const PasswordStore store(program.path());
    ASSERT_EQ(store.find(saved.url, saved.user).where, PasswordStore::Where::File);
    EXPECT_TRUE(child<QLabel>(again, "label_sync_note").text().contains(store.filePath()))
        << child<QLabel>(again, "label_sync_note").text().toStdString();
    EXPECT_EQ(password.echoMode(), QLineEdit::Password);
    EXPECT_EQ(child<QComboBox>(again, "combo_sync_interval").currentData().toInt(), 30);
    EXPECT_EQ(child<QComboBox>(again, "combo_sync_zone").currentText(), "America/New_York");
}

TEST_F(DesktopSyncTest, SyncPagePairsTheAccountsCalendarsWithDataFolders)
{
    const QString server = "https://dav.test/anna/";
    const QList<ServerCalendar> found{{server + "work/", "Work", "#ff8800", false},
                                      {server + "holidays/", "Holidays", {}, true},
                                      {server + "holidays-2/", "Holidays", {}, false}};
    form_settings& window = open();
    child<SyncSettingsPage>(window, "page_sync").setCalendarLister([&](auto&, auto&) {
        return CalendarListing{true, {}, found};
    });
    child<QLineEdit>(window, "text_sync_url").setText(server);
    child<QPushButton>(window, "command_sync_calendars").click();
    auto& table = child<QTableWidget>(window, "table_sync_calendars");
    ASSERT_TRUE(QTest::qWaitFor([&] { return table.rowCount() == 3; }, 5000));
    EXPECT_EQ(table.item(1, 0)->text(), "Holidays");
    auto newFolder = [&](const char* name) {
        const auto& folders = child<QComboBox>(window, name);
        return folders.itemData(folders.count() - 1).toString();
    };
    EXPECT_NE(newFolder("combo_sync_folder1"), newFolder("combo_sync_folder2")) << "one name";
    auto& downOnly = child<QCheckBox>(window, "check_sync_download1");
    EXPECT_TRUE(downOnly.isChecked() && !downOnly.isEnabled()) << "read-only on the server";
    child<QComboBox>(window, "combo_sync_folder0").setCurrentIndex(1); // the active folder
    auto& holidays = child<QComboBox>(window, "combo_sync_folder1");
    holidays.setCurrentIndex(holidays.count() - 1); // a new one
    const QString made = holidays.currentData().toString();
    window.command_ok_Click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window.isBusy(); }, 10000));
    profiles.clear();
    EXPECT_EQ(readSyncSettings(profiles, settings.Path()).pairs,
              (QList<SyncPair>{{server + "work/", "", false, "Work"},
                               {server + "holidays/", made, true, "Holidays"}}));
    EXPECT_TRUE(QFileInfo(made).isDir());
    EXPECT_TRUE(TestFiles::readBytes(program.filePath("Settings.ini")).contains(made.toUtf8()));
    // Only the first left, with the active folder: the account's URL is its, as older copies read.
    form_settings& again = open();
    child<QPushButton>(again, "command_sync_calendars").click();
    auto& listed = child<QTableWidget>(again, "table_sync_calendars");
    ASSERT_TRUE(QTest::qWaitFor([&] { return listed.rowCount() == 2; }, 5000));
    child<QComboBox>(again, "combo_sync_folder1").setCurrentIndex(0); // not synced
    again.command_ok_Click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !again.isBusy(); }, 10000));
    profiles.clear();
    EXPECT_EQ(readSyncSettings(profiles, settings.Path()).url, server + "work/");
    EXPECT_FALSE(TestFiles::readBytes(settings.Path()).contains("Calendar"));
    QDir(made).removeRecursively();
}

TEST_F(DesktopSyncTest, TheWindowsSyncGoesThroughEveryPairInTurn)
{
    SyncSettings account{"https://dav.test/", "anna", 365, 730, 0, {}, 60, {}};
    account.pairs = {SyncPair::asEver("https://dav.test/a/"),
                     {"https://dav.test/b/", program.path(), true, "B"}};
    ASSERT_TRUE(writeSyncSettings(profiles, settings.Path(), account, nullptr));
    QStringList ran; // on the sync's thread, read once it finished
    SyncScheduler sync(
        [&] {
            return SyncScheduler::Target{settings.GetDataFolder(), settings.Path(), {}};
        },
        [&](const QString& folder, const SyncAccount& a, const SyncOptions& o) {
            ran << folder + ' ' + a.url + (o.readOnly ? " down" : "");
            return SyncResult();
        });
    std::optional<SyncResult> result;
    QObject::connect(&sync, &SyncScheduler::finished, [&](const SyncResult& r) { result = r; });
    sync.syncNow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return result.has_value(); }, 10000));
    EXPECT_EQ(ran, QStringList({settings.GetDataFolder() + " https://dav.test/a/",
                                program.path() + "/ https://dav.test/b/ down"}));
    EXPECT_TRUE(result->ok());
}

TEST_F(DesktopSyncTest, TestConnectionToNoServerTellsWhyWithoutBlockingTheWindow)
{
    QTcpServer closed; // a port nobody listens on once it is closed again
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
    const QString url = QStringLiteral("http://127.0.0.1:%1/").arg(closed.serverPort());
    closed.close();

    form_settings& window = open();
    auto& page = child<SyncSettingsPage>(window, "page_sync");
    QSemaphore go;
    std::atomic<QThread*> ranOn = nullptr;
    page.setConnectionTest([&](const SyncAccount& account, const SyncOptions& options) {
        ranOn = QThread::currentThread();
        go.tryAcquire(1, 10000); // held until the window has shown that it goes on
        return testConnection(account, options);
    });
    child<QLineEdit>(window, "text_sync_url").setText(url);
    QPushButton& test = child<QPushButton>(window, "command_sync_test");
    test.click();
    // The click came back while the test is held: the window did not wait for it.
    EXPECT_TRUE(page.testing());
    EXPECT_FALSE(test.isEnabled());
    EXPECT_EQ(child<QLabel>(window, "label_sync_result").text(), "Connecting...");
    go.release();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !page.testing(); }, 20000));
    EXPECT_NE(ranOn.load(), QThread::currentThread());
    EXPECT_TRUE(test.isEnabled());
    const QString shown = child<QLabel>(window, "label_sync_result").text();
    EXPECT_TRUE(shown.startsWith("No connection: ")) << qPrintable(shown);
    EXPECT_GT(shown.size(), QStringLiteral("No connection: ").size());
}

TEST_F(DesktopSyncTest, SyncNowSyncsTheFolderOffTheWindowsThreadAndShowsTheOutcome)
{
    QString reason;
    CalDavServer* server = CalDavServer::shared(CalDavServer::Kind::Radicale, &reason);
    if (!server)
        GTEST_SKIP() << "no radicale: " << qPrintable(reason);
    const QString calendar = server->newCalendar("desktop");
    ASSERT_FALSE(calendar.isEmpty());
    TestFiles::putAppointment(settings.GetDataFolder(), QDate::currentDate(), 9, "Stand-up");

    const struct {
        const char* lang;
        bool accountSetUp;
        QString shown; // the start of the side panel's sync line
    } cases[] = {
        {"en", false, "Sync failed: no server is set up in the settings"},
        {"de", false, "Abgleich fehlgeschlagen: in den Einstellungen ist kein Server"},
        {"en", true, "Synced "},
        {"de", true, "Abgeglichen "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.lang) + (c.accountSetUp ? " account" : " none"));
        Language::apply(QLatin1String(c.lang));
        if (c.accountSetUp) {
            ASSERT_TRUE(writeSyncSettings(profiles, settings.Path(),
                                          {calendar, CalDavServer::kUser, 365, 730, 0, {}, 60, {}},
                                          nullptr));
            ASSERT_TRUE(PasswordStore(program.path())
                            .store(calendar, CalDavServer::kUser, CalDavServer::kPassword));
        }
        std::atomic<int> runs = 0;
        std::atomic<bool> onWindowThread = false;
        QThread* const windowThread = QThread::currentThread();
        SyncScheduler sync(
            [&] {
                return SyncScheduler::Target{settings.GetDataFolder(), settings.Path(),
                                             settings.programDirectory()};
            },
            [&](const QString& folder, const SyncAccount& account, const SyncOptions& options) {
                ++runs;
                onWindowThread = QThread::currentThread() == windowThread;
                return runSync(folder, account, options);
            });
        StoreService service;
        AppointmentEditing editing(service);
        form_main::Hooks hooks;
        hooks.message = [](QWidget*, const QString&, const QString&) {};
        hooks.syncNow = [&] { sync.syncNow(); };
        form_main window(settings, settingsJobs, service, editing, hooks);
        window.Form_Load();
        QDateTime ended;
        QObject::connect(&sync, &SyncScheduler::finished, &window,
                         [&](const SyncResult& result, const QDateTime& at) {
                             window.showSyncResult(at, result.ok() ? QString() : result.error);
                             ended = at;
                         });
        child<QAction>(window, "mnu_datafolder_sync").trigger();
        EXPECT_TRUE(sync.running());
        EXPECT_FALSE(sync.syncNow()); // a second one while the first runs does nothing
        ASSERT_TRUE(QTest::qWaitFor([&] { return ended.isValid(); }, 60000));
        EXPECT_EQ(runs, c.accountSetUp ? 1 : 0);
        EXPECT_FALSE(onWindowThread);
        const QString label = child<QLabel>(window, "label_datasource").text();
        QString expected = c.shown;
        if (c.accountSetUp)
            expected += ended.time().toString("HH:mm");
        EXPECT_TRUE(label.section(u'\n', 2).startsWith(expected)) << qPrintable(label);
        service.shutDown();
    }

    // The appointment reached the server: a folder of its own receives it from there.
    QTemporaryDir other;
    const SyncResult fetched =
        runSync(other.path() + u'/', server->account(calendar), SyncOptions{});
    ASSERT_TRUE(fetched.ok()) << qPrintable(fetched.error);
    EXPECT_EQ(fetched.received, 1);
}

TEST_F(DesktopSyncTest, AStopAtTheDeletionGuardAsksOnceAndRunsOneSyncWithTheAnswer)
{
    ASSERT_TRUE(writeSyncSettings(profiles, settings.Path(),
                                  {"http://127.0.0.1:1/", "anna", 365, 730, 0, {}, 60, {}},
                                  nullptr));
    std::atomic<bool> onServer = true;
    // Each sync tells what it was allowed: it stops at the guard unless told otherwise.
    SyncScheduler sync(
        [&] {
            return SyncScheduler::Target{settings.GetDataFolder(), settings.Path(), {}};
        },
        [&](const QString&, const SyncAccount&, const SyncOptions& options) {
            SyncResult result;
            result.notes << (options.allowMassDelete  ? "delete"
                             : options.restoreDeleted ? "restore"
                                                      : "stop");
            if (result.notes[0] == "stop") {
                result.exit = SyncResult::Exit::MassDelete;
                result.massDeletion = {10, 14, onServer};
            }
            return result;
        });
    StoreService service;
    AppointmentEditing editing(service);
    form_main::Hooks hooks;
    hooks.syncNow = [&] { sync.syncNow(); };
    hooks.syncOnce = [&](form_main::MassDeletionAnswer answer) { // as the program wires it
        sync.syncNow(answer == form_main::MassDeletionAnswer::Delete
                         ? SyncScheduler::Guard::Delete
                         : SyncScheduler::Guard::Restore);
    };
    form_main window(settings, settingsJobs, service, editing, hooks);
    window.Form_Load();
    QStringList ran;
    QObject::connect(&sync, &SyncScheduler::finished, &window, [&](const SyncResult& result) {
        ran << result.notes;
        if (result.exit == SyncResult::Exit::MassDelete)
            window.askAboutMassDeletion(result.massDeletion.count, result.massDeletion.of,
                                        result.massDeletion.onServer);
    });
    const auto ranAfter = [&](const std::function<void()>& start) {
        const qsizetype before = ran.size();
        start();
        return QTest::qWaitFor([&] { return ran.size() > before; }, 10000);
    };
    const auto syncNow = [&] { child<QAction>(window, "mnu_datafolder_sync").trigger(); };

    const struct {
        const char* lang;
        bool onServer;
        QString text;
        QStringList buttons; // the one chosen first
    } cases[] = {
        {"en", true, "The sync would delete 10 of 14 appointments on the server.",
         QStringList{"Cancel", "Delete them on the server", "Bring them back from the server"}},
        {"en", false, "The sync would delete 10 of 14 appointments in the data folder.",
         QStringList{"Send them to the server again", "Delete them in the data folder", "Cancel"}},
        {"de", true, "Der Abgleich würde 10 von 14 Terminen auf dem Server löschen.",
         QStringList{"Auf dem Server löschen", "Vom Server zurückholen", "Abbrechen"}},
        {"de", false, "Der Abgleich würde 10 von 14 Terminen im Datenordner löschen.",
         QStringList{"Erneut an den Server senden", "Im Datenordner löschen", "Abbrechen"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.lang) + (c.onServer ? " server" : " folder"));
        Language::apply(QLatin1String(c.lang));
        onServer = c.onServer;
        // A second stop while the question is open asks no second one.
        ASSERT_TRUE(ranAfter(syncNow) && ranAfter(syncNow));
        const auto open = window.findChildren<QMessageBox*>("message_mass_deletion");
        ASSERT_EQ(open.size(), 1);
        EXPECT_EQ(open[0]->text(), c.text);
        QMap<QString, QAbstractButton*> buttons;
        for (QAbstractButton* button : open[0]->buttons())
            buttons[button->text()] = button;
        EXPECT_EQ(QSet<QString>(buttons.keyBegin(), buttons.keyEnd()),
                  QSet<QString>(c.buttons.cbegin(), c.buttons.cend()));
        QAbstractButton* chosen = buttons.value(c.buttons[0]);
        ASSERT_NE(chosen, nullptr);
        if (open[0]->buttonRole(chosen) == QMessageBox::RejectRole) { // nothing runs
            chosen->click();
            EXPECT_FALSE(sync.running());
        } else {
            ASSERT_TRUE(ranAfter([&] { chosen->click(); }));
        }
    }
    // Each answer ran one sync and held for it alone; a cancel ran none, and the next stop
    // asked again.
    EXPECT_EQ(ran.join(u' '), "stop stop stop stop restore stop stop delete stop stop restore");
    service.shutDown();
}

} // namespace
