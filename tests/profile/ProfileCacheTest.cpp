// A profile file is read from disk once per change, and never more than its first MiB.
#include "TestFiles.h"
#include "profile/ApiINI.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class ProfileCacheTest : public ::testing::Test {
protected:
    QString path() const { return dir.filePath("a.ini"); }

    QTemporaryDir dir;
    CountingFileAccess files{ThreadFileAccess()};
    ProfileCache cache{files};
};

// An unchanged file is read once, a series of reads on it costs one lookup each, a missing
// one is not opened, and our own write is seen at once.
TEST_F(ProfileCacheTest, AFileIsReadOncePerChange)
{
    TestFiles::writeSettled(path(), "[S]\r\na=1\r\nb=2\r\nc=3\r\n");
    const IniFile ini(cache, path());
    EXPECT_EQ(ini.ReadIniLong("S", "a", 0) + ini.ReadIniLong("S", "b", 0) +
                  ini.ReadIniLong("S", "c", 0),
              6);
    EXPECT_EQ(files.counts().total(), 2); // one metadata query, one read
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(IniFile(cache, path()).ReadIniLong("S", "a", 0), 1);
    EXPECT_EQ(files.counts().reads, 1);
    EXPECT_EQ(files.counts().metadataQueries, 5);
    EXPECT_EQ(IniFile(cache, dir.filePath("missing.ini")).ReadIniString("S", "k"), QString());
    EXPECT_EQ(files.counts().reads, 1);

    IniFile w(cache, path());
    w.WriteIniString("S", "k", "1");
    ASSERT_TRUE(w.commit().ok);
    IniFile w2(cache, path());
    w2.WriteIniString("S", "k", "2");
    ASSERT_TRUE(w2.commit().ok);
    EXPECT_EQ(IniFile(cache, path()).ReadIniLong("S", "k", 0), 2);
}

// Part of a file would read as defaults (an appointment without text reminding everyone, the
// settings of a first start): a file larger than the limit is not read at all.
TEST_F(ProfileCacheTest, AFileOverAMebibyteIsUnreadableAndIsNotReadAgain)
{
    QByteArray big("[S]\r\nfirst=1\r\n");
    big += "text=" + QByteArray(ProfileCache::kMaxFileBytes, 'x') + "\r\n";
    TestFiles::writeBytes(path(), big);
    EXPECT_EQ(cache.read(path()).state, ProfileCache::State::Unreadable);
    files.resetCounts();
    const ProfileCache::Lookup again = cache.lookup(path());
    EXPECT_EQ(again.state, ProfileCache::State::Unreadable);
    EXPECT_EQ(again.error, QStringLiteral("File too large"));
    EXPECT_EQ(files.counts().reads, 0) << "its size alone tells";
    IniFile ini(cache, path());
    EXPECT_EQ(ini.ReadIniLong("S", "first", 0), 0);
    ini.WriteIniString("S", "first", "2");
    EXPECT_FALSE(ini.commit().ok);
    EXPECT_EQ(TestFiles::readBytes(path()), big);
}

} // namespace
