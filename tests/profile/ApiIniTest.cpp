// Typed reads and writes, escaping, encoding and atomic saving of profile files.
#include "profile/ApiINI.h"
#include "TestFiles.h"
#include "profile/ProfileCodec.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

class ApiIni : public ::testing::Test {
protected:
    QString path(const QString& name = QStringLiteral("test.ini")) const
    {
        return dir.filePath(name);
    }
    IniFile fileWith(const QByteArray& bytes)
    {
        TestFiles::writeBytes(path(), bytes);
        cache.clear();
        return IniFile(cache, path());
    }

    QTemporaryDir dir;
    ProfileCache cache{ThreadFileAccess()};
};

// Line breaks and equals signs are escaped on one line, values that readers would trim are
// quoted, and long values are read whole.
TEST_F(ApiIni, ValuesAreWrittenOnOneLineAndReadBackWhole)
{
    const QString longText(5000, QLatin1Char('x'));
    IniFile ini(cache, path());
    ini.WriteIniString("S", "crlf", "a=b\r\nx");
    ini.WriteIniString("S", "lf", "line1\nline2\rline3");
    ini.WriteIniString("S", "blanks", "  indented  ");
    ini.WriteIniString("S", "quoted", "\"Hello\"");
    ini.WriteIniString("S", "plain", "say \"hi\"");
    ini.WriteIniString("S", "long", longText);
    ASSERT_TRUE(ini.commit().ok);
    const QByteArray written =
        "[S]\r\ncrlf=a##eq##b##br##x\r\nlf=line1##br##line2##br##line3\r\n"
        "blanks=\"  indented  \"\r\nquoted=\"\"Hello\"\"\r\nplain=say \"hi\"\r\nlong=" +
        longText.toLatin1() + "\r\n";
    EXPECT_EQ(TestFiles::readBytes(path()), written);
    IniFile back(cache, path());
    EXPECT_EQ(back.ReadIniString("S", "crlf"), QStringLiteral("a=b\r\nx"));
    EXPECT_EQ(back.ReadIniString("S", "lf"), QStringLiteral("line1\r\nline2\r\nline3"));
    EXPECT_EQ(back.ReadIniString("S", "blanks"), QStringLiteral("  indented  "));
    EXPECT_EQ(back.ReadIniString("S", "quoted"), QStringLiteral("\"Hello\""));
    EXPECT_EQ(back.ReadIniString("S", "long"), longText);
}

TEST_F(ApiIni, NumbersBooleansAndTimes)
{
    IniFile ini = fileWith("[S]\r\nminus=-1\r\none=1\r\nzero=0\r\nword=true\r\nmixed=12abc\r\n"
                           "spaced= 7\r\nhalf=2.5\r\nhalf2=3.5\r\nexp=1e3\r\nneg=-42\r\n"
                           "huge=99999999999\r\n");
    const std::tuple<const char*, bool, bool> bools[] = {
        {"minus", true, true}, {"minus", false, false}, {"one", false, true},
        {"zero", true, false}, {"word", true, true},    {"missing", true, true}};
    for (const auto& [key, fallback, read] : bools)
        EXPECT_EQ(ini.ReadIniBool("S", key, fallback), read) << key << fallback;
    const std::pair<const char*, int> longs[] = {{"mixed", 9}, {"spaced", 7}, {"half", 2},
                                                 {"half2", 4}, {"exp", 1000}, {"neg", -42},
                                                 {"huge", 9}};
    for (const auto& [key, read] : longs)
        EXPECT_EQ(ini.ReadIniLong("S", key, 9), read) << key;
    EXPECT_EQ(ini.ReadIniInt64("S", "huge", 9), 99999999999LL);

    // Times keep the end of the day and fall back to the clock.
    IniFile times = fileWith("[S]\r\nEndHour=24\r\nEndMinute=0\r\nAHour=9\r\nAMinute=60\r\n"
                             "BHour=25\r\nBMinute=10\r\nCHour=x\r\nCMinute=-1\r\n");
    const QTime now(14, 37);
    EXPECT_EQ(times.ReadIniTime("S", "End", now).minutes(), TimeOfDay::kEndOfDay);
    EXPECT_EQ(times.ReadIniTime("S", "A", now), TimeOfDay::fromHourMinute(10, 0));
    EXPECT_EQ(times.ReadIniTime("S", "B", now), TimeOfDay::fromHourMinute(14, 10));
    EXPECT_EQ(times.ReadIniTime("S", "C", now), TimeOfDay::fromHourMinute(14, 37));

    IniFile w(cache, path(QStringLiteral("t.ini")));
    w.WriteIniTime("S", "End", TimeOfDay::fromMinutes(TimeOfDay::kEndOfDay));
    ASSERT_TRUE(w.commit().ok);
    EXPECT_EQ(IniFile(cache, path(QStringLiteral("t.ini"))).ReadIniTime("S", "End", now).minutes(),
              TimeOfDay::kEndOfDay);
}

TEST_F(ApiIni, WindowsFilesWithUmlautsRoundTripInWindows1252AndOtherTextInUtf8)
{
    // "Müller" and "€" as a Windows copy writes them.
    const QByteArray windows("[S]\r\nName=M\xFCller \x80\r\nOther=keep me\r\n");
    IniFile ini = fileWith(windows);
    EXPECT_EQ(ini.ReadIniString("S", "Name"), QStringLiteral("Müller €"));
    ini.WriteIniString("S", "New", "Größe");
    ASSERT_TRUE(ini.commit().ok);
    EXPECT_EQ(TestFiles::readBytes(path()),
              QByteArray("[S]\r\nName=M\xFCller \x80\r\nOther=keep me\r\nNew=Gr\xF6\xDF"
                         "e\r\n"));

    IniFile utf8(cache, path("utf8.ini"));
    utf8.WriteIniString("S", "k", QStringLiteral("Ærø → Zürich ✓"));
    ASSERT_TRUE(utf8.commit().ok);
    const QByteArray bytes = TestFiles::readBytes(path("utf8.ini"));
    EXPECT_FALSE(bytes.startsWith("\xEF\xBB\xBF")) << "no byte-order mark";
    EXPECT_TRUE(bytes.contains(QStringLiteral("Zürich ✓").toUtf8()));
    EXPECT_EQ(IniFile(cache, path("utf8.ini")).ReadIniString("S", "k"),
              QStringLiteral("Ærø → Zürich ✓"));
}

TEST(ProfileCodecTest, DecodesBothEncodingsAndSkipsAByteOrderMark)
{
    EXPECT_EQ(ProfileCodec::decode("M\xC3\xBCller"), QStringLiteral("Müller"));
    EXPECT_EQ(ProfileCodec::decode("\xEF\xBB\xBF[S]"), QStringLiteral("[S]"));
    // Bytes Windows leaves unassigned survive a round trip.
    const QByteArray odd("\x81\x8D\x8F\x90\x9D", 5);
    EXPECT_EQ(ProfileCodec::encode(ProfileCodec::decode(odd)), odd);
    // Texts whose Windows-1252 bytes would read as UTF-8 come back as written.
    for (const QString& text :
         {QStringLiteral("Ä°"), QStringLiteral("Maß“"), QStringLiteral("Müller")})
        EXPECT_EQ(ProfileCodec::decode(ProfileCodec::encode(text)), text) << text.toStdString();
}

TEST_F(ApiIni, AWriteFailingHalfWayLeavesThePreviousFileAndAMissingDirectoryIsNotMade)
{
    const QByteArray before("[S]\r\nk=old\r\n");
    TestFiles::writeBytes(path(), before);
    IniFile ini(cache, path());
    ini.WriteIniString("S", "k", QString(64 * 1024, QLatin1Char('x')));

    WriteOutcome outcome;
    {
        const TestFiles::FileSizeLimit limit(16 * 1024);
        outcome = ini.commit();
    }
    EXPECT_FALSE(outcome.ok);
    EXPECT_FALSE(outcome.error.isEmpty());
    EXPECT_EQ(TestFiles::readBytes(path()), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"test.ini"});
    EXPECT_EQ(IniFile(cache, path()).ReadIniString("S", "k"), QStringLiteral("old"));

    IniFile absent(cache, dir.filePath("absent/test.ini"));
    absent.WriteIniString("S", "k", "v");
    EXPECT_FALSE(absent.commit().ok);
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("absent")));
}

// A rename leaves a new file: what the old one had beyond its bytes is carried over by hand.
TEST_F(ApiIni, ARewriteKeepsThePermissionsAndASettingsFileThatIsALinkStaysOne)
{
    for (const QString& root : {QString(), dir.path()}) {
        for (const mode_t mode : {0600, 0640, 0664}) {
            SCOPED_TRACE(
                qPrintable(QStringLiteral("root '%1', mode %2").arg(root).arg(mode, 0, 8)));
            TestFiles::writeBytes(path(), "[S]\r\nk=old\r\n");
            ASSERT_EQ(::chmod(QFile::encodeName(path()).constData(), mode), 0);
            IniFile ini(cache, path(), root);
            ini.WriteIniString("S", "k", "new");
            ASSERT_TRUE(ini.commit().ok);
            struct stat st {};
            ASSERT_EQ(::stat(QFile::encodeName(path()).constData(), &st), 0);
            EXPECT_EQ(st.st_mode & 0777, mode);
        }
    }
    // A settings file kept elsewhere through a link: the link stays, its target changes.
    const QString target = dir.filePath("elsewhere/settings.ini");
    TestFiles::writeBytes(target, "[S]\r\nk=old\r\n");
    ASSERT_TRUE(QFile::link(target, path("link.ini")));
    IniFile ini(cache, path("link.ini"));
    ini.WriteIniString("S", "k", "new");
    ASSERT_TRUE(ini.commit().ok);
    EXPECT_TRUE(QFileInfo(path("link.ini")).isSymLink());
    EXPECT_EQ(TestFiles::readBytes(target), "[S]\r\nk=new\r\n");
}

} // namespace
