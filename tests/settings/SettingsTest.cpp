// The pointer file and the settings file: defaults, validation, saving and locking.
#include "settings/Settings.h"
#include "FakeFileAccess.h"
#include "TestFiles.h"
#include "profile/FileAccess.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <functional>
#include <type_traits>

#include <gtest/gtest.h>

namespace {

class SettingsTest : public ::testing::Test {
protected:
    QString programDir() const { return WithTrailingSeparator(program.path()); }
    QString pointerFile() const { return programDir() + "Settings.ini"; }
    QString settingsFile() const { return programDir() + "Norvane4.ini"; }

    Settings loaded()
    {
        profiles.clear();
        Settings s(profiles, program.path());
        s.LoadActiveFolder();
        lastMessage = s.LoadSettings().message();
        return s;
    }

    QTemporaryDir program;
    FakeFileAccess::FlakyReads files;
    ProfileCache profiles{files};
    QString lastMessage;
};

// A value as the rows below spell it.
template <auto get, auto... args> QString value(const Settings& s)
{
    const auto v = std::invoke(get, s, args...);
    using T = std::remove_cvref_t<decltype(v)>;
    if constexpr (std::is_same_v<T, TimeOfDay>)
        return QString("%1:%2").arg(v.hour()).arg(v.minute());
    else if constexpr (std::is_arithmetic_v<T>)
        return QString::number(v);
    else
        return v;
}

// What another copy or a hand may leave in the file (out of range, of the wrong type, missing)
// reads as the setter's rule says and goes back as a save has always written it.
TEST_F(SettingsTest, EveryKeyReadsByItsRuleAndWritesBackAsToday)
{
    const auto week = value<&Settings::ShowWeek, 1>;
    const QByteArray noDays = "ShowWeek1=0\r\nShowWeek2=0\r\nShowWeek3=0\r\nShowWeek4=0\r\n"
                              "ShowWeek5=0\r\nShowWeek6=0\r\nShowWeek7=0";
    const QByteArray oneDay = QByteArray(noDays).replace("ShowWeek4=0", "ShowWeek4=1");
    const auto date = value<&Settings::DateFormat>;
    const auto start = value<&Settings::GridStartTime>;
    const struct {
        const char* section;
        QByteArray lines; // the section's keys in the file
        std::function<QString(const Settings&)> read;
        QString readsAs;
        QByteArray writtenAs = {}; // lines of the file after a save; none: the key as it reads
    } rows[] = {
        {"Admin", "Locked=yes", value<&Settings::Locked>, "0"},
        {"International", "LangCode=fr", value<&Settings::LangCode>, "en"},
        {"International", "FirstWeekday=3", value<&Settings::FirstWeekday>, "1"},
        {"International", "FirstWeekday=2.4", value<&Settings::FirstWeekday>, "2"},
        {"International", "FirstCW=4", value<&Settings::FirstCW>, "2"},
        {"International", "FirstCW=0", value<&Settings::FirstCW>, "2"},
        {"International", "", value<&Settings::FirstCW>, "1", "FirstCW=1"},
        {"International", "TimeFormat=24H", value<&Settings::TimeFormat>, "12h"},
        {"International", "", date, "yyyy-mm-dd", "DateFormat=yyyy-mm-dd"},
        {"International", "DateFormat=TT.MM.JJJJ", date, "tt.mm.jjjj", "DateFormat=TT.MM.JJJJ"},
        {"International", "DateFormat=Mo %%%yyyyjjjjy", date, "mm/dd/yyyy"},
        {"International", "LangCode=de\r\nDateFormat=Mo %%%yyyyjjjjy", date, "tt.mm.jjjj",
         "DateFormat=TT.MM.JJJJ"},
        {"Program", "MinimizeToTray=true", value<&Settings::MinimizeToTray>, "0"},
        {"Program", "StartWithWeek=1", value<&Settings::StartWithWeek>, "1"},
        {"Program", "DayInterval=0", value<&Settings::DayInterval>, "30"},
        {"Program", "DayInterval=4294967301", value<&Settings::DayInterval>, "30"},
        {"Program", "MonthInterval=-5", value<&Settings::MonthInterval>, "60"},
        {"Program", "MonthInterval=x", value<&Settings::MonthInterval>, "60"},
        {"Reminder", "SendEmail=", value<&Settings::SendEmail>, "0"},
        {"Reminder", "EmailSMTP= \" mail \" ", value<&Settings::EmailSMTP>, " mail ",
         "EmailSMTP=\" mail \""},
        {"Reminder", "EmailFrom=a##eq##b", value<&Settings::EmailFrom>, "a=b",
         "EmailFrom=a##eq##b"},
        {"Reminder", "EmailTo=a##br##b", value<&Settings::EmailTo>, "a\r\nb", "EmailTo=a##br##b"},
        {"Reminder", "EmailSubject='x'", value<&Settings::EmailSubject>, "x"},
        {"Reminder", "SoundFile=\"'a'\"", value<&Settings::SoundFile>, "'a'", "SoundFile=\"'a'\""},
        {"Reminder", "PlaySound=01", value<&Settings::PlaySound>, "0"},
        {"Reminder", "", value<&Settings::ShowWindow>, "1", "ShowWindow=1"},
        {"Reminder", "", value<&Settings::DesktopNotification>, "1", "DesktopNotification=1"},
        {"Reminder", "DesktopNotification=0", value<&Settings::DesktopNotification>, "0"},
        {"Colors", "", value<&Settings::Color, 1>, "14680063", "Color1=14680063"},
        {"Colors", "Color5=-1", value<&Settings::Color, 5>, "14286809"},
        {"Colors", "Color6=0", value<&Settings::Color, 6>, "0"},
        {"Colors", "Color8=-2147483643", value<&Settings::Color, 8>, "2147483653"},
        {"Colors", "Color9=2147483653", value<&Settings::Color, 9>, "2147483653"},
        {"Colors", "Color2=16777216", value<&Settings::Color, 2>, "15132415"},
        {"Colors", "Color2=2147483654", value<&Settings::Color, 2>, "15132415"},
        {"Colors", "Color2=16777215", value<&Settings::Color, 2>, "16777215"},
        {"Colors", "Color14=red", value<&Settings::Color, 14>, "2147483653"},
        {"Colors", "Text14= Team ", value<&Settings::ColorText, 14>, "Team"},
        {"Grid", "StartTimeHour=25", start, "8:0", "StartTimeHour=8\r\nStartTimeMinute=0"},
        {"Grid", "StartTimeHour=23\r\nStartTimeMinute=60", start, "8:0",
         "StartTimeHour=8\r\nStartTimeMinute=0"},
        {"Grid", "EndTimeHour=24\r\nEndTimeMinute=30", value<&Settings::GridEndTime>, "18:0",
         "EndTimeHour=18\r\nEndTimeMinute=0"},
        {"Grid", "EndTimeHour=24", value<&Settings::GridEndTime>, "24:0",
         "EndTimeHour=24\r\nEndTimeMinute=0"},
        {"Grid", "", week, "0", "ShowWeek1=0\r\nShowWeek2=1\r\nShowWeek7=0"},
        {"Grid", noDays, week, "1", QByteArray(noDays).replace("=0", "=1")},
        {"Grid", oneDay, week, "0", oneDay},
        {"Grid", "Grid15Minutes=yes", value<&Settings::Grid15Minutes>, "0"},
        {"Grid", "RowPerColor=1", value<&Settings::RowPerColor>, "1"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.lines.toStdString());
        TestFiles::writeBytes(settingsFile(), '[' + QByteArray(row.section) + "]\r\n" + row.lines);
        Settings s = loaded();
        EXPECT_EQ(row.read(s).toStdString(), row.readsAs.toStdString());
        ASSERT_TRUE(s.SaveSettings().ok);
        const QByteArray key = row.lines.left(row.lines.indexOf('=') + 1);
        const QByteArray back =
            row.writtenAs.isEmpty() ? key + row.readsAs.toUtf8() : row.writtenAs;
        const QByteArray written = TestFiles::readBytes(settingsFile());
        for (const QByteArray& line : back.split('\n'))
            EXPECT_TRUE(written.contains('\n' + line.trimmed() + "\r\n")) << line.toStdString();
    }
}

TEST_F(SettingsTest, TheFolderListAndTheActiveFolderAreReadAndTheActiveOneSavedAlone)
{
    Settings none = loaded();
    EXPECT_TRUE(lastMessage.isEmpty());
    EXPECT_EQ(none.dataFolders(), QStringList{programDir()});
    EXPECT_EQ(none.GetDataFolder(), programDir());
    EXPECT_EQ(none.Path(), settingsFile());
    EXPECT_FALSE(QFileInfo::exists(pointerFile())) << "reading writes nothing";

    TestFiles::writeBytes(pointerFile(), "[DataFolders]\r\nFolderCount=2\r\nFolder1=/srv/a\r\n");
    Settings s = loaded();
    EXPECT_EQ(s.dataFolders(), (QStringList{"/srv/a", ""}));
    EXPECT_EQ(s.GetDataFolder(), QStringLiteral("/srv/a/"));

    // An empty first entry never makes the root of the file system the data folder.
    TestFiles::writeBytes(pointerFile(), "[DataFolders]\r\nFolderCount=1\r\nFolder1=\r\n");
    EXPECT_EQ(loaded().GetDataFolder(), programDir());

    // Every folder name ends in one separator, and no name is no folder (the sync and the
    // store would otherwise take the root).
    for (const auto& [given, expected] :
         {std::pair{"/srv/a", "/srv/a/"}, {"/srv/a/", "/srv/a/"}, {"C:\\a\\", "C:\\a\\"}, {"", ""}})
        EXPECT_EQ(WithTrailingSeparator(given), expected) << given;

    // An absurd count costs only the entries present.
    TestFiles::writeBytes(pointerFile(),
                          "[DataFolders]\r\nFolderCount=2147483647\r\nFolder1=/srv/a\r\n");
    EXPECT_EQ(loaded().dataFolders(), QStringList{"/srv/a"});

    // The active folder is saved alone and survives a restart.
    TestFiles::writeBytes(pointerFile(), "[Settings]\r\nPath=\r\n; mine\r\n");
    Settings saving = loaded();
    saving.setActiveFolder("/srv/team/");
    ASSERT_TRUE(saving.SaveActiveFolder().ok);
    EXPECT_EQ(TestFiles::readBytes(pointerFile()),
              QByteArray(
                  "[Settings]\r\nPath=\r\n; mine\r\n[DataFolders]\r\nActiveFolder=/srv/team/\r\n"));
    EXPECT_EQ(loaded().GetDataFolder(), QStringLiteral("/srv/team/"));
}

TEST_F(SettingsTest, SaveWritesBothFilesAndLoadReadsThemBack)
{
    Settings s = loaded();
    s.ClearDataFolders();
    s.AddDataFolder("/srv/a/");
    s.AddDataFolder("/srv/b/");
    s.setLangCode("de");
    s.setTimeFormat("24h");
    s.setDayInterval(15);
    s.setColor(3, 0x123456);
    s.setColorText(3, "Urlaub = frei");
    s.setShowWeek(7, true);
    s.setGridStartTime(TimeOfDay::fromHourMinute(7, 30));
    ASSERT_TRUE(s.SaveSettings().ok);
    EXPECT_TRUE(
        TestFiles::readBytes(pointerFile())
            .contains("[DataFolders]\r\nFolderCount=2\r\nFolder1=/srv/a/\r\nFolder2=/srv/b/\r\n"));
    const QByteArray written = TestFiles::readBytes(settingsFile());
    // Byte for byte what copies on other machines have always read.
    EXPECT_EQ(
        written.toStdString(),
        "[Admin]\r\nLocked=0\r\n[International]\r\nLangCode=de\r\nFirstWeekday=1\r\n"
        "FirstCW=1\r\nTimeFormat=24h\r\nDateFormat=yyyy-mm-dd\r\n[Program]\r\n"
        "MinimizeToTray=0\r\nStartWithWeek=0\r\nDayInterval=15\r\nMonthInterval=60\r\n"
        "ParallelRequests=32\r\n"
        "[Reminder]\r\nSendEmail=0\r\nEmailSMTP=\r\nEmailFrom=\r\nEmailTo=\r\nEmailSubject=\r\n"
        "SoundFile=\r\nPlaySound=0\r\nShowWindow=1\r\nDesktopNotification=1\r\n[Colors]\r\n"
        "Color1=14680063\r\nText1=\r\n"
        "Color2=15132415\r\nText2=\r\nColor3=1193046\r\nText3=Urlaub ##eq## frei\r\n"
        "Color4=16769734\r\nText4=\r\nColor5=14286809\r\nText5=\r\nColor6=15724527\r\n"
        "Text6=\r\nColor7=2147483653\r\nText7=\r\nColor8=8454143\r\nText8=\r\n"
        "Color9=9540095\r\nText9=\r\nColor10=16777088\r\nText10=\r\nColor11=16759929\r\n"
        "Text11=\r\nColor12=9109386\r\nText12=\r\nColor13=13487565\r\nText13=\r\n"
        "Color14=2147483653\r\nText14=\r\n[Grid]\r\nStartTimeHour=7\r\nStartTimeMinute=30\r\n"
        "EndTimeHour=18\r\nEndTimeMinute=0\r\nShowWeek1=0\r\nShowWeek2=1\r\nShowWeek3=1\r\n"
        "ShowWeek4=1\r\nShowWeek5=1\r\nShowWeek6=1\r\nShowWeek7=1\r\nGrid15Minutes=0\r\n"
        "RowPerColor=0\r\n");

    // Each key's reading is the table's above; the folders and an escaped text come back.
    Settings back = loaded();
    EXPECT_EQ(back.dataFolders(), (QStringList{"/srv/a/", "/srv/b/"}));
    EXPECT_EQ(back.ColorText(3), QStringLiteral("Urlaub = frei"));
}

TEST_F(SettingsTest, ALockedOrUnreadableSettingsFileIsNeverWritten)
{
    const QByteArray locked("[Admin]\r\nLocked=1\r\n[International]\r\nLangCode=en\r\n");
    TestFiles::writeBytes(settingsFile(), locked);
    Settings s = loaded();
    EXPECT_TRUE(s.Locked());
    s.setLangCode("de");
    EXPECT_EQ(s.SaveSettings().cause, WriteOutcome::Cause::Locked);
    EXPECT_EQ(TestFiles::readBytes(settingsFile()), locked);
    EXPECT_EQ(s.LangCode(), QStringLiteral("de")) << "memory keeps the change";

    // Unlocked meanwhile: the save goes through and does not lock the file again.
    TestFiles::writeBytes(settingsFile(), QByteArray(locked).replace("Locked=1", "Locked=0"));
    ASSERT_TRUE(s.SaveSettings().ok);
    EXPECT_TRUE(TestFiles::readBytes(settingsFile()).startsWith("[Admin]\r\nLocked=0\r\n"));

    // An unreadable settings file counts as locked and stays as it is.
    const QByteArray shared("[Admin]\r\nLocked=1\r\n[Colors]\r\nColor1=255\r\n");
    TestFiles::writeBytes(settingsFile(), shared);
    files.failing = {settingsFile()};
    Settings unreadable = loaded();
    EXPECT_EQ(lastMessage, (Settings::LoadResult{false, {settingsFile()}}.message()));
    EXPECT_TRUE(unreadable.Locked());
    EXPECT_FALSE(unreadable.IsFirstStart());
    EXPECT_EQ(unreadable.SaveSettings().cause, WriteOutcome::Cause::Unreadable);
    EXPECT_EQ(TestFiles::readBytes(settingsFile()), shared);

    // The pointer file, unreadable, is not written over either.
    const QByteArray pointer("[DataFolders]\r\nFolderCount=1\r\nFolder1=/srv/team/\r\n");
    TestFiles::writeBytes(pointerFile(), pointer);
    files.failing = {pointerFile()};
    Settings p = loaded();
    EXPECT_TRUE(lastMessage.contains(pointerFile()));
    EXPECT_FALSE(p.SaveActiveFolder().ok);
    EXPECT_EQ(TestFiles::readBytes(pointerFile()), pointer);
}

TEST_F(SettingsTest, AnUnreachableSettingsPathFallsBackWithAMessage)
{
    TestFiles::writeBytes(pointerFile(), "[Settings]\r\nPath=/no/such/dir/Norvane4.ini\r\n");
    TestFiles::writeBytes(settingsFile(), "[International]\r\nLangCode=de\r\n");
    Settings s = loaded();
    EXPECT_EQ(lastMessage, QStringLiteral("The path of the settings file is invalid.\r\n"
                                          "Please change the path in the settings-menu."));
    EXPECT_EQ(s.Path(), settingsFile());
    EXPECT_EQ(s.LangCode(), QStringLiteral("de"));

    const Settings::LoadResult both{true, {"/srv/a.ini"}};
    EXPECT_EQ(both.message(),
              QStringLiteral("The path of the settings file is invalid.\r\n"
                             "Please change the path in the settings-menu.\r\n\r\n"
                             "The settings file /srv/a.ini could not be read.\r\n"
                             "Changes to the settings are not saved until the next start."));
    EXPECT_EQ(Settings::LoadResult{}.message(), QString()); // German: tests/settings_ui
}

TEST_F(SettingsTest, FirstStartIsTrueOnceAndAStartOnASharedSettingsFileLeavesItsBytesAlone)
{
    Settings first = loaded();
    EXPECT_TRUE(first.IsFirstStart());
    EXPECT_FALSE(first.IsFirstStart());
    EXPECT_FALSE(loaded().IsFirstStart());
    EXPECT_TRUE(TestFiles::readBytes(settingsFile()).contains("[Application]\r\nFirstStart=0\r\n"));
    // A file that cannot be written would ask again at every start.
    TestFiles::writeBytes(settingsFile(), "[Application]\r\nFirstStart=1\r\n");
    files.readOnly = true;
    EXPECT_FALSE(loaded().IsFirstStart());
    files.readOnly = false;

    const QByteArray shared("[International]\r\nLangCode=de\r\n[Reminder]\r\nEmailSMTP=mail\r\n");
    TestFiles::writeBytes(settingsFile(), shared);
    Settings s = loaded();
    EXPECT_FALSE(s.IsFirstStart()) << "its language is set: no language window";
    EXPECT_EQ(TestFiles::readBytes(settingsFile()), shared);

    // Which files hold settings another copy would write over.
    const struct {
        QByteArray bytes; // empty: no file
        bool unreadable;
        bool holds;
    } rows[] = {{{}, false, false},
                {"[Application]\r\nFirstStart=0\r\n", false, false},
                {"[Colors]\r\nColor1=255\r\n", false, true},
                {shared, true, false}};
    const QString other = programDir() + "other.ini";
    for (const auto& row : rows) {
        QFile::remove(other);
        if (!row.bytes.isEmpty())
            TestFiles::writeBytes(other, row.bytes);
        files.failing = row.unreadable ? QSet<QString>{other} : QSet<QString>{};
        profiles.clear();
        EXPECT_EQ(s.HoldsSettings(other), row.holds) << row.bytes.toStdString();
    }
}

} // namespace
