// The settings window: every control into the settings file and back, the language preview,
// the checks before storing, the data folders with their speed test, and the test e-mail. The
// settings files are read and written through a share the window's thread never touches.
#include "StalledShare.h"
#include "TestFiles.h"
#include "profile/FileAccess.h"
#include "service/SettingsJobs.h"
#include "settings/Settings.h"
#include "settings_ui/form_settings.h"
#include "ui/ApiBrowseFolder.h"
#include "ui/ApiColorPicker.h"
#include "ui/ClassTabs.h"

#include <QApplication>
#include <QAudioDevice>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMediaDevices>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class FormSettingsTest : public ::testing::Test {
protected:
    FormSettingsTest()
    {
        hooks.message = [this](QWidget*, const QString&, const QString& text) { told << text; };
        hooks.testFolder = [this](QWidget*, const QString& folder, const QString&) {
            tested << folder;
        };
        hooks.sendTestMail = [this](const form_settings::TestMail& mail,
                                    std::function<void(const QString&)> done) {
            mails << mail;
            finishMail = std::move(done);
        };
        hooks.askExistingSettings = [this](QWidget*, const QString& text,
                                           const QStringList& captions,
                                           std::function<void(int)> chosen) {
            asked << text;
            askedCaptions = captions;
            chosen(answer);
        };
    }
    ~FormSettingsTest() override
    {
        setFolderDialogAnswer({});
        setColorDialogAnswer({});
        EXPECT_EQ(share.callsFromOwner(), 0) << "the window's thread touched a settings file";
    }

    // Once it shows what the files hold.
    std::unique_ptr<form_settings> open()
    {
        auto w = std::make_unique<form_settings>(settings, jobs, hooks);
        EXPECT_TRUE(eventually([&] { return !w->isBusy(); }));
        return w;
    }
    static void ok(form_settings& w)
    {
        w.command_ok_Click();
        EXPECT_TRUE(eventually([&] { return !w.isBusy(); }));
    }
    Settings reloaded()
    {
        profiles.clear();
        Settings s(profiles, program.path());
        s.LoadActiveFolder();
        s.LoadSettings();
        return s;
    }
    template <typename T> static T& child(QWidget& w, const QString& name)
    {
        T* found = w.findChild<T*>(name);
        if (!found)
            throw std::runtime_error(name.toStdString());
        return *found;
    }
    static void click(QWidget& w, const QString& name) { child<QPushButton>(w, name).click(); }
    static QComboBox& combo(QWidget& w, const char* name) { return child<QComboBox>(w, name); }

    QTemporaryDir program;
    ProfileCache profiles{ThreadFileAccess()};
    Settings settings{profiles, program.path()};
    StalledShare share;
    FolderJobs folderJobs{StalledFileAccess::maker(share)};
    SettingsJobs jobs{folderJobs};
    form_settings::Hooks hooks;
    QStringList told;
    QStringList tested;
    QList<form_settings::TestMail> mails;
    std::function<void(const QString&)> finishMail;
    QStringList asked;
    QStringList askedCaptions;
    int answer = form_settings::kBackToWindow;
};

TEST_F(FormSettingsTest, EveryControlReachesTheSettingsFileAndComesBack)
{
    auto w = open();
    const struct {
        const char* combo;
        int index;
    } choices[] = {{"combo_firstday", 1},    {"combo_kw", 2},      {"combo_time_format", 1},
                   {"combo_date_format", 2}, {"combo_refresh", 1}, {"combo_start_time", 15},
                   {"combo_end_time", 40},   {"combo_grid", 1}};
    for (const auto& choice : choices)
        combo(*w, choice.combo).setCurrentIndex(choice.index);
    for (const char* box : {"check_minimize", "check_startweek", "check_week_day_0", "check_pos",
                            "check_desktop_notification", "check_play_sound", "check_send_email"})
        child<QCheckBox>(*w, box).toggle();
    child<QLineEdit>(*w, "text_sound_file").setText("/snd/bell.wav");
    child<QLineEdit>(*w, "text_smtp").setText("mail.example.org:587");
    child<QLineEdit>(*w, "text_from").setText("team@example.org");
    child<QLineEdit>(*w, "text_to").setText("anna@example.org, bert@example.org");
    child<QLineEdit>(*w, "text_subject").setText("%text%");
    child<QLineEdit>(*w, "text_color_2").setText("Holidays");
    setColorDialogAnswer([this](QColorDialog& d) {
        EXPECT_EQ(d.currentColor(), ColorOfRgbValue(settings.Color(3))) << "the colour changed";
        d.setCurrentColor(QColor(0x12, 0x34, 0x56));
        return int(QDialog::Accepted);
    });
    click(*w, "command_browse_color_2");
    w->show();
    share.stall(); // OK waits for the share with the window alive
    w->command_ok_Click();
    ASSERT_TRUE(eventually([&] { return share.held() == 1; })) << "no save on the share";
    EXPECT_TRUE(timersRun() && w->isBusy() && w->isVisible());
    share.resume();
    ASSERT_TRUE(eventually([&] { return !w->isVisible(); }));
    ASSERT_TRUE(told.isEmpty()) << told.join('|').toStdString();

    const Settings s = reloaded();
    EXPECT_EQ(QStringList(
                  {QString::number(s.FirstWeekday()), QString::number(s.FirstCW()), s.TimeFormat(),
                   s.DateFormat(), QString::number(s.DayInterval()),
                   QString::number(s.MonthInterval()), QString::number(s.GridStartTime().minutes()),
                   QString::number(s.GridEndTime().minutes()), QString::number(s.GridMinutes())}),
              QStringList({"2", "3", "24h", "dd.mm.yyyy", "10", "20", "450", "1200", "15"}));
    EXPECT_TRUE(s.MinimizeToTray() && s.StartWithWeek() && s.ShowWeek(1) && s.RowPerColor() &&
                s.PlaySound() && s.SendEmail() && s.ShowWindow() && !s.DesktopNotification());
    EXPECT_EQ(QStringList({s.SoundFile(), s.EmailSMTP(), s.EmailFrom(), s.EmailTo(),
                           s.EmailSubject(), s.ColorText(3)}),
              QStringList({"/snd/bell.wav", "mail.example.org:587", "team@example.org",
                           "anna@example.org, bert@example.org", "%text%", "Holidays"}));
    EXPECT_EQ(s.Color(3), 0x563412);
    EXPECT_TRUE(TestFiles::readBytes(s.Path()).contains("DateFormat=DD.MM.YYYY\r\n"));

    auto again = open();
    for (const auto& choice : choices)
        EXPECT_EQ(combo(*again, choice.combo).currentIndex(), choice.index) << choice.combo;
    EXPECT_TRUE(child<QLineEdit>(*again, "text_smtp").isEnabled());
}

TEST_F(FormSettingsTest, TheLanguageChangesAtOnceAndOnlyOkStoresIt)
{
    auto w = open();
    EXPECT_EQ(w->windowTitle(), "Norvane4 Settings");
    combo(*w, "combo_language").setCurrentIndex(1);
    emit combo(*w, "combo_language").activated(1);
    EXPECT_EQ(w->windowTitle(), "Norvane4 Einstellungen");
    EXPECT_EQ(child<ClassTabs>(*w, "tabs").Caption(1), "Datenquellen");
    EXPECT_EQ(child<QPushButton>(*w, "command_add_folder").text(), "Datenquelle hinzufügen");
    EXPECT_EQ(combo(*w, "combo_date_format").itemText(2), "TT.MM.JJJJ");
    w->reject();
    EXPECT_EQ(settings.LangCode(), "en");
    EXPECT_EQ(reloaded().LangCode(), "en");

    // The checks before storing speak the window's language.
    combo(*w, "combo_end_time").setCurrentIndex(combo(*w, "combo_start_time").currentIndex());
    w->command_ok_Click();
    EXPECT_EQ(told, QStringList{"Die Tages-Startzeit muss vor der Tages-Endzeit liegen."});
    EXPECT_EQ(w->currentPage(), 2);
    EXPECT_FALSE(QFileInfo::exists(settings.Path())) << "nothing stored";
}

TEST_F(FormSettingsTest, CtrlTabAndCtrlPageKeysSwitchThePagesRoundAtTheEnds)
{
    auto w = open();
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    const int last = child<ClassTabs>(*w, "tabs").GetHeadercount() - 1;
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int page;
    } rows[] = {{Qt::Key_Tab, Qt::ControlModifier, 1},
                {Qt::Key_PageUp, Qt::ControlModifier, 0},
                {Qt::Key_PageUp, Qt::ControlModifier, last},
                {Qt::Key_PageDown, Qt::ControlModifier, 0},
                {Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier, last}};
    for (const auto& row : rows) {
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus ? focus : w.get(), row.key, row.modifiers);
        EXPECT_EQ(w->currentPage(), row.page);
    }
    w->reject();
}

TEST_F(FormSettingsTest, FoldersAreTestedWhenAddedAndAnEmptyListMeansTheProgramDirectory)
{
    QTemporaryDir team;
    settings.ClearDataFolders();
    settings.AddDataFolder(team.path());
    settings.setActiveFolder(team.path());
    ASSERT_TRUE(settings.SaveSettings().ok);
    ASSERT_TRUE(settings.SaveActiveFolder().ok);
    auto w = open();
    QListWidget& list = child<QListWidget>(*w, "list_folders");
    setFolderDialogAnswer([](QFileDialog& d) {
        d.setDirectory(QDir::tempPath());
        return int(QDialog::Accepted);
    });
    click(*w, "command_add_folder");
    EXPECT_EQ(tested, QStringList{QDir::tempPath() + "/"});
    ASSERT_EQ(list.count(), 2);
    list.setCurrentRow(0);
    click(*w, "command_test");
    EXPECT_EQ(tested.last(), team.path() + "/");
    click(*w, "Command_del_folder");
    list.setCurrentRow(0);
    click(*w, "Command_del_folder");
    EXPECT_EQ(list.count(), 0);
    ok(*w);
    const Settings s = reloaded();
    EXPECT_EQ(s.dataFolders(), QStringList{WithTrailingSeparator(program.path())});
    EXPECT_EQ(s.GetDataFolder(), WithTrailingSeparator(team.path())) << "the active one stays";
}

TEST_F(FormSettingsTest, PointingAtAnotherSettingsFileAsksBeforeItIsWrittenOver)
{
    QTemporaryDir team;
    const QString teamFile = team.filePath("Norvane4.ini");
    const QByteArray teamBytes("[International]\r\nLangCode=de\r\nTimeFormat=24h\r\n"
                               "[Reminder]\r\nEmailSMTP=mail.team\r\n");
    const QString ownFile = settings.Path();
    const struct {
        int answer;
        bool german, accepted; // german: the window's language
        QString path, smtp, caption;
        bool teamUntouched;
    } rows[] = {
        {form_settings::kUseStored, false, true, teamFile, "mail.team", "Use stored settings",
         true},
        {form_settings::kReplaceStored, false, true, teamFile, "mine", "Replace them", false},
        {form_settings::kBackToWindow, true, false, ownFile, "", "Zurück", true}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.answer);
        TestFiles::writeBytes(teamFile, teamBytes);
        QFile::remove(ownFile);
        QFile::remove(settings.pointerFilePath());
        asked.clear();
        answer = row.answer;
        auto w = open();
        if (row.german)
            emit combo(*w, "combo_language").activated(1);
        child<QLineEdit>(*w, "text_smtp").setText("mine");
        child<QLineEdit>(*w, "text_settings").setText(teamFile);
        ok(*w);
        ASSERT_EQ(asked.size(), 1);
        EXPECT_TRUE(asked[0].contains(teamFile));
        EXPECT_EQ(askedCaptions.value(row.answer), row.caption);
        EXPECT_EQ(w->result() == QDialog::Accepted, row.accepted);
        EXPECT_EQ(TestFiles::readBytes(teamFile) == teamBytes, row.teamUntouched);
        const Settings s = reloaded();
        EXPECT_EQ(s.Path(), row.path);
        EXPECT_EQ(s.EmailSMTP(), row.smtp);
        if (row.answer == form_settings::kUseStored) {
            EXPECT_EQ(settings.EmailSMTP() + settings.LangCode(), "mail.teamde") << "taken on";
        }
    }
    // The own file again: written without a question.
    asked.clear();
    auto w = open();
    ok(*w);
    EXPECT_TRUE(asked.isEmpty());
    EXPECT_EQ(w->result(), QDialog::Accepted);
}

// The team's rows as OK writes them: in the order shown, blanks and doubles left out, a colour
// picked kept; a locked file keeps its list.
TEST_F(FormSettingsTest, TheTeamIsListedReorderedAndColouredAndALockedFileKeepsIt)
{
    TestFiles::writeBytes(settings.Path(), "[Team]\r\nCount=2\r\nLogin1=anna\r\nName1=Anna Meier"
                                           "\r\nLogin2=ben\r\n");
    auto w = open();
    auto& table = child<QTableWidget>(*w, "table_team");
    ASSERT_EQ(table.rowCount(), 2);
    EXPECT_EQ(table.item(0, 1)->text(), "Anna Meier");
    table.setCurrentCell(1, 0);
    click(*w, "command_team_up");
    for (const char* login : {"carla", "", "anna"}) {
        click(*w, "command_team_add");
        table.item(table.rowCount() - 1, 0)->setText(login);
    }
    setColorDialogAnswer([](QColorDialog& dialog) {
        dialog.setCurrentColor(QColor(0x12, 0x34, 0x56));
        return int(QDialog::Accepted);
    });
    emit table.cellActivated(2, 2);
    ok(*w);
    const auto logins = [](const QList<TeamMember>& team) {
        QStringList found;
        for (const TeamMember& m : team)
            found << m.login + "/" + m.name + "/" + QString::number(m.color);
        return found.join(' ');
    };
    EXPECT_EQ(logins(reloaded().TeamMembers()),
              "ben//-1 anna/Anna Meier/-1 carla//" + QString::number(0x563412));

    TestFiles::writeBytes(settings.Path(),
                          "[Admin]\r\nLocked=1\r\n[Team]\r\nCount=1\r\nLogin1=dora\r\n");
    auto locked = open();
    click(*locked, "command_team_remove");
    ok(*locked);
    EXPECT_EQ(logins(reloaded().TeamMembers()), "dora//-1");
}

// The team's rooms with their notes; rooms an appointment booked are offered for the list.
TEST_F(FormSettingsTest, TheTeamsRoomsAreListedWithNotesAndOfferedRoomsAdded)
{
    TestFiles::writeBytes(settings.Path(), "[Team]\r\nRoomCount=2\r\nRoom1=Room 2\r\n"
                                           "RoomNote1=12 seats\r\nRoom2=Beamer\r\n");
    auto w = open();
    w->offerRooms({"room 2", "Room 9"});
    EXPECT_EQ(w->currentPage(), form_settings::kTeamPage);
    auto& table = child<QTableWidget>(*w, "table_rooms");
    ASSERT_EQ(table.rowCount(), 3);
    EXPECT_EQ(table.item(2, 0)->text(), "Room 9");
    table.item(2, 1)->setText("in the attic");
    table.setCurrentCell(1, 0);
    click(*w, "command_room_remove");
    click(*w, "command_room_add");
    table.item(table.rowCount() - 1, 0)->setText("ROOM 9"); // twice: counts once
    ok(*w);
    QStringList rooms;
    const auto again = reloaded(); // the list lives as long as its settings
    for (const TeamRoom& room : again.TeamRooms())
        rooms << room.name + "/" + room.note;
    EXPECT_EQ(rooms.join(", "), "Room 2/12 seats, Room 9/in the attic");
}

// The team's categories with their colours; names appointments use that the list lacks are
// offered and added with one button.
TEST_F(FormSettingsTest, TheTeamsCategoriesAreListedWithColoursAndUsedOnesOffered)
{
    TestFiles::writeBytes(settings.Path(), "[Team]\r\nCategoryCount=3\r\nCategory1=Board\r\n"
                                           "CategoryColor1=255\r\nCategory2=board\r\n"
                                           "Category3=Travel\r\nCategoryColor3=red\r\n");
    auto w = open();
    w->offerCategories({"travel", "Food", "Team"});
    auto& table = child<QTableWidget>(*w, "table_categories");
    ASSERT_EQ(table.rowCount(), 2) << "a name listed twice counts once";
    EXPECT_EQ(child<QLabel>(*w, "label_categories_unlisted").text(),
              "Used but not in the list: Food, Team");
    click(*w, "command_categories_unlisted");
    EXPECT_TRUE(child<QLabel>(*w, "label_categories_unlisted").isHidden());
    table.item(3, 0)->setText("Team; all,"); // no semicolon or comma in a name
    setColorDialogAnswer([](QColorDialog& dialog) {
        dialog.setCurrentColor(QColor(0x12, 0x34, 0x56));
        return int(QDialog::Accepted);
    });
    emit table.cellActivated(2, 1);
    table.setCurrentCell(1, 0);
    click(*w, "command_category_remove");
    ok(*w);
    QStringList categories;
    const auto again = reloaded();
    for (const TeamCategory& category : again.TeamCategories())
        categories << category.name + "/" + QString::number(category.color);
    EXPECT_EQ(categories.join(", "),
              "Board/255, Food/" + QString::number(0x563412) + ", Team all/-1");
}

TEST_F(FormSettingsTest, ALockedSettingsFileIsToldAsNotSavedAndTheWindowStays)
{
    TestFiles::writeBytes(settings.Path(), "[Admin]\r\nLocked=1\r\n");
    auto w = open();
    w->show();
    ok(*w);
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told[0].startsWith("The settings could not be saved."));
    EXPECT_TRUE(w->isVisible());
}

TEST_F(FormSettingsTest, TheTestMailTakesTheFieldsAndItsResultComesWhenItIsThere)
{
    auto w = open();
    child<QCheckBox>(*w, "check_send_email").setChecked(true);
    child<QLineEdit>(*w, "text_smtp").setText("smtp://127.0.0.1:2525");
    child<QLineEdit>(*w, "text_to").setText("anna@example.org,bert@example.org");
    child<QLineEdit>(*w, "text_subject").setText("Test for %user% %text%");
    w->command_test_email_Click();
    ASSERT_EQ(mails.size(), 1);
    EXPECT_EQ(mails[0].server, "smtp://127.0.0.1:2525");
    EXPECT_EQ(mails[0].to, "anna@example.org\tbert@example.org");
    EXPECT_FALSE(mails[0].subject.contains("%user%"));
    EXPECT_TRUE(mails[0].subject.endsWith(" %text%"));
    EXPECT_FALSE(child<QPushButton>(*w, "command_test_email").isEnabled()) << "while it runs";
    EXPECT_TRUE(told.isEmpty());
    finishMail("Connection refused");
    EXPECT_EQ(told, QStringList{"Email could not be sent.\r\nPlease check your email-settings."
                                "\r\n\r\nConnection refused"});
    EXPECT_TRUE(child<QPushButton>(*w, "command_test_email").isEnabled());
    w->command_test_email_Click();
    w.reset();
    finishMail({}); // the window is gone: nothing to tell, nothing to crash
    EXPECT_EQ(told.size(), 1);
}

TEST_F(FormSettingsTest, TestingTheSoundSaysWhyNothingPlays)
{
    QStringList played;
    hooks.playSound = [&](const QString& file) { played << file; };
    QTemporaryDir dir;
    const QString bell = dir.filePath("bell.wav");
    ASSERT_TRUE(TestFiles::writeBytes(bell, "RIFF"));
    const bool device = !QMediaDevices::audioOutputs().isEmpty();
    const QString noDevice = "There is no audio device to play the sound on.";
    const struct {
        QString file, told; // told empty: played
    } rows[] = {{bell, device ? "" : noDevice},
                {dir.filePath("gone.wav"), device ? "The sound file cannot be found." : noDevice}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.file.toStdString());
        told.clear();
        played.clear();
        auto w = open();
        child<QCheckBox>(*w, "check_play_sound").setChecked(true);
        child<QLineEdit>(*w, "text_sound_file").setText(row.file);
        click(*w, "command_play_sound");
        EXPECT_EQ(told, row.told.isEmpty() ? QStringList() : QStringList{row.told});
        EXPECT_EQ(played, row.told.isEmpty() ? QStringList{row.file} : QStringList());
    }
}

} // namespace

// The calendar's zone of the sync page is the team's zone, which the store reads in, at once.
TEST_F(FormSettingsTest, TheCalendarsZoneIsTheTeamsZoneAtOnce)
{
    auto w = open();
    child<QLineEdit>(*w, "text_sync_url").setText(QStringLiteral("https://dav.test/c/"));
    combo(*w, "combo_sync_zone").setCurrentText(QStringLiteral("America/New_York"));
    ok(*w);
    EXPECT_EQ(settings.CalendarZone(), "America/New_York");
    EXPECT_EQ(reloaded().CalendarZone(), "America/New_York");
}

TEST_F(FormSettingsTest, APasswordTheStoreRefusesIsToldOnTheSyncPageAndTheWindowStays)
{
    // No secret service answers, and where the fallback file belongs lies a directory.
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/norvane-test-bus");
    ASSERT_TRUE(QDir(program.path()).mkdir(QStringLiteral("SyncPasswords.json")));
    auto w = open();
    child<QLineEdit>(*w, "text_sync_url").setText(QStringLiteral("https://dav.test/c/"));
    child<QLineEdit>(*w, "text_sync_user").setText(QStringLiteral("anna"));
    QTest::keyClicks(&child<QLineEdit>(*w, "text_sync_password"), QStringLiteral("hunter22"));
    ok(*w);
    const QString note = child<QLabel>(*w, "label_sync_note").text();
    EXPECT_TRUE(note.startsWith(QStringLiteral("The password could not be stored: ")) &&
                note.size() > 36)
        << note.toStdString();
    EXPECT_NE(w->result(), QDialog::Accepted);
    EXPECT_EQ(w->currentPage(), form_settings::kSyncPage);
}
