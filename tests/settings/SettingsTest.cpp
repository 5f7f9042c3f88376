// The pointer file and the settings file: defaults, validation, saving and locking.
#include "settings/Settings.h"
#include "FakeFileAccess.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTranslator>

#include <functional>

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

TEST_F(SettingsTest, NoFilesAtAllMakeTheProgramDirectoryTheDataFolder)
{
    Settings s = loaded();
    EXPECT_TRUE(lastMessage.isEmpty());
    EXPECT_EQ(s.dataFolders(), QStringList{programDir()});
    EXPECT_EQ(s.GetDataFolder(), programDir());
    EXPECT_EQ(s.Path(), settingsFile());
    EXPECT_FALSE(QFileInfo::exists(pointerFile())) << "reading writes nothing";
}

TEST_F(SettingsTest, InvalidValuesAreReplaced)
{
    TestFiles::writeBytes(
        settingsFile(),
        "[International]\r\nLangCode=fr\r\nFirstWeekday=3\r\nFirstCW=4\r\n"
        "TimeFormat=24H\r\nDateFormat=TT.MM.JJJJ\r\n"
        "[Program]\r\nDayInterval=0\r\nMonthInterval=-5\r\n"
        "[Colors]\r\nColor5=-1\r\nColor6=0\r\nColor8=-2147483643\r\nText3=Team\r\n");
    Settings s = loaded();
    EXPECT_EQ(s.LangCode(), QStringLiteral("en"));
    EXPECT_EQ(s.FirstWeekday(), 1);
    EXPECT_EQ(s.FirstCW(), 2);
    EXPECT_EQ(s.TimeFormat(), QStringLiteral("12h"));
    EXPECT_EQ(s.DateFormat(), QStringLiteral("tt.mm.jjjj"));
    EXPECT_EQ(s.DayInterval(), 30);
    EXPECT_EQ(s.MonthInterval(), 60);
    EXPECT_EQ(s.Color(5), 217 | (255 << 8) | (217 << 16));
    EXPECT_EQ(s.Color(6), 0);
    EXPECT_EQ(s.Color(8), Settings::kWindowColor);
    EXPECT_EQ(s.ColorText(3), QStringLiteral("Team"));

    TestFiles::writeBytes(settingsFile(), "[International]\r\nFirstCW=0\r\n");
    EXPECT_EQ(loaded().FirstCW(), 2);
}

// Values a hand-edited or foreign file may hold that would draw nonsense; what the windows
// themselves write stays as it is.
TEST_F(SettingsTest, ValuesThatWouldDrawNonsenseTakeTheirDefaults)
{
    const auto date = [](const Settings& s) { return s.DateFormat(); };
    const auto color2 = [](const Settings& s) { return QString::number(s.Color(2)); };
    const auto color9 = [](const Settings& s) { return QString::number(s.Color(9)); };
    const auto week = [](const Settings& s) {
        QString days;
        for (int day = 1; day <= 7; ++day)
            days += s.ShowWeek(day) ? '1' : '0';
        return days;
    };
    const QString defaultColor2 = QString::number(Settings::DefaultColor(2));
    const char* const noDays = "[Grid]\r\nShowWeek1=0\r\nShowWeek2=0\r\nShowWeek3=0\r\n"
                               "ShowWeek4=0\r\nShowWeek5=0\r\nShowWeek6=0\r\nShowWeek7=0\r\n";
    const struct {
        QByteArray file;
        std::function<QString(const Settings&)> read;
        QString expected;
    } rows[] = {
        {"[International]\r\nDateFormat=Mo %%%yyyyjjjjy\r\n", date, "mm/dd/yyyy"},
        {"[International]\r\nLangCode=de\r\nDateFormat=Mo %%%yyyyjjjjy\r\n", date, "tt.mm.jjjj"},
        {"[International]\r\nDateFormat=dd.mm.yyyyy\r\n", date, "mm/dd/yyyy"},
        {"[International]\r\nDateFormat=d.m.yy\r\n", date, "mm/dd/yyyy"},
        {"[International]\r\nDateFormat=...\r\n", date, "mm/dd/yyyy"},
        {"[International]\r\nDateFormat=YYYY-MM-DD\r\n", date, "yyyy-mm-dd"},
        {"[International]\r\nDateFormat=MM/TT/JJJJ\r\n", date, "mm/tt/jjjj"},
        {"[International]\r\nDateFormat=DD.MM.YYYY\r\n", date, "dd.mm.yyyy"},
        {"[International]\r\nDateFormat=JJJJ-MM-TT\r\n", date, "jjjj-mm-tt"},
        {"[International]\r\nDateFormat=dd mm yyyy\r\n", date, "dd mm yyyy"},
        {"[Colors]\r\nColor2=16777216\r\n", color2, defaultColor2},
        {"[Colors]\r\nColor2=-7\r\n", color2, defaultColor2},
        {"[Colors]\r\nColor2=2147483654\r\n", color2, defaultColor2},
        {"[Colors]\r\nColor2=16777215\r\n", color2, "16777215"},
        {"[Colors]\r\nColor9=2147483653\r\n", color9, QString::number(Settings::kWindowColor)},
        {noDays, week, "1111111"},
        {QByteArray(noDays).replace("ShowWeek4=0", "ShowWeek4=1"), week, "0001000"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.file.toStdString());
        TestFiles::writeBytes(settingsFile(), row.file);
        EXPECT_EQ(row.read(loaded()).toStdString(), row.expected.toStdString());
    }
}

TEST_F(SettingsTest, FolderListAndActiveFolder)
{
    TestFiles::writeBytes(pointerFile(), "[DataFolders]\r\nFolderCount=2\r\nFolder1=/srv/a\r\n");
    Settings s = loaded();
    EXPECT_EQ(s.dataFolders(), (QStringList{"/srv/a", ""}));
    EXPECT_EQ(s.GetDataFolder(), QStringLiteral("/srv/a/"));

    // An empty first entry never makes the root of the file system the data folder.
    TestFiles::writeBytes(pointerFile(), "[DataFolders]\r\nFolderCount=1\r\nFolder1=\r\n");
    EXPECT_EQ(loaded().GetDataFolder(), programDir());

    // An absurd count costs only the entries present.
    TestFiles::writeBytes(pointerFile(),
                          "[DataFolders]\r\nFolderCount=2147483647\r\nFolder1=/srv/a\r\n");
    EXPECT_EQ(loaded().dataFolders(), QStringList{"/srv/a"});
}

TEST_F(SettingsTest, TheActiveFolderIsSavedAloneAndSurvivesARestart)
{
    TestFiles::writeBytes(pointerFile(), "[Settings]\r\nPath=\r\n; mine\r\n");
    Settings s = loaded();
    s.setActiveFolder("/srv/team/");
    ASSERT_TRUE(s.SaveActiveFolder().ok);
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
    EXPECT_TRUE(written.startsWith("[Admin]\r\nLocked=0\r\n[International]\r\nLangCode=de\r\n"));
    EXPECT_TRUE(written.contains("Text3=Urlaub ##eq## frei\r\n"));

    Settings back = loaded();
    EXPECT_EQ(back.dataFolders(), (QStringList{"/srv/a/", "/srv/b/"}));
    EXPECT_EQ(back.LangCode(), QStringLiteral("de"));
    EXPECT_EQ(back.TimeFormat(), QStringLiteral("24h"));
    EXPECT_EQ(back.DayInterval(), 15);
    EXPECT_EQ(back.Color(3), 0x123456);
    EXPECT_EQ(back.ColorText(3), QStringLiteral("Urlaub = frei"));
    EXPECT_TRUE(back.ShowWeek(7));
    EXPECT_EQ(back.GridStartTime(), TimeOfDay::fromHourMinute(7, 30));
}

TEST_F(SettingsTest, ALockedSettingsFileIsNeverWritten)
{
    const QByteArray locked("[Admin]\r\nLocked=1\r\n[International]\r\nLangCode=en\r\n");
    TestFiles::writeBytes(settingsFile(), locked);
    Settings s = loaded();
    EXPECT_TRUE(s.Locked());
    s.setLangCode("de");
    EXPECT_EQ(s.SaveSettings().cause, WriteOutcome::Cause::Locked);
    EXPECT_EQ(TestFiles::readBytes(settingsFile()), locked);
    EXPECT_EQ(s.LangCode(), QStringLiteral("de")) << "memory keeps the change";
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
}

TEST_F(SettingsTest, MessagesSpeakTheInstalledLanguage)
{
    const Settings::LoadResult both{true, {"/srv/a.ini"}};
    EXPECT_EQ(both.message(),
              QStringLiteral("The path of the settings file is invalid.\r\n"
                             "Please change the path in the settings-menu.\r\n\r\n"
                             "The settings file /srv/a.ini could not be read.\r\n"
                             "Changes to the settings are not saved until the next start."));
    EXPECT_EQ(Settings::LoadResult{}.message(), QString());

    QTranslator german;
    ASSERT_TRUE(german.load(QStringLiteral(":/i18n/settings_de.qm")));
    QCoreApplication::installTranslator(&german);
    const QString text = both.message();
    QCoreApplication::removeTranslator(&german);
    EXPECT_TRUE(text.startsWith(QStringLiteral("Der Pfad der Einstellungsdatei ist ungültig.")));
    EXPECT_TRUE(text.contains(
        QStringLiteral("Die Einstellungsdatei /srv/a.ini konnte nicht gelesen werden.")));
}

TEST_F(SettingsTest, AnUnreadableSettingsFileCountsAsLockedAndStaysAsItIs)
{
    const QByteArray shared("[Admin]\r\nLocked=1\r\n[Colors]\r\nColor1=255\r\n");
    TestFiles::writeBytes(settingsFile(), shared);
    files.failing = {settingsFile()};
    Settings s = loaded();
    EXPECT_EQ(lastMessage, QStringLiteral("The settings file %1 could not be read.\r\n"
                                          "Changes to the settings are not saved until the next "
                                          "start.")
                               .arg(settingsFile()));
    EXPECT_TRUE(s.Locked());
    EXPECT_FALSE(s.IsFirstStart());
    EXPECT_EQ(s.SaveSettings().cause, WriteOutcome::Cause::Unreadable);
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

TEST_F(SettingsTest, FirstStartIsTrueOnce)
{
    Settings s = loaded();
    EXPECT_TRUE(s.IsFirstStart());
    EXPECT_FALSE(s.IsFirstStart());
    EXPECT_FALSE(loaded().IsFirstStart());
    EXPECT_TRUE(TestFiles::readBytes(settingsFile()).contains("[Application]\r\nFirstStart=0\r\n"));

    // A file that cannot be written would ask again at every start.
    TestFiles::writeBytes(settingsFile(), "[Application]\r\nFirstStart=1\r\n");
    files.readOnly = true;
    EXPECT_FALSE(loaded().IsFirstStart());
}

TEST_F(SettingsTest, AStartOnASharedSettingsFileLeavesItsBytesAlone)
{
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
    } rows[] = {
        {{}, false, false},
        {"[Application]\r\nFirstStart=0\r\n", false, false},
        {"[Colors]\r\nColor1=255\r\n", false, true},
        {shared, true, false},
    };
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
