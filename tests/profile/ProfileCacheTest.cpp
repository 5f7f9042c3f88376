// A profile file is read from disk once per change, and never more than its first MiB.
#include "ApiINI.h"
#include "TestFiles.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class ProfileCacheTest : public ::testing::Test {
protected:
    QString path() const { return dir.filePath("a.ini"); }

    QTemporaryDir dir;
    CountingFileAccess files{RealFileAccess::instance()};
    ProfileCache cache{files};
};

TEST_F(ProfileCacheTest, AnUnchangedFileIsReadOnce)
{
    TestFiles::writeSettled(path(), "[S]\r\nk=1\r\n");
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(IniFile(cache, path()).ReadIniLong("S", "k", 0), 1);
    EXPECT_EQ(files.counts().reads, 1);
    EXPECT_EQ(files.counts().metadataQueries, 5);
}

TEST_F(ProfileCacheTest, ASeriesOfReadsOnOneFileCostsOneLookup)
{
    TestFiles::writeBytes(path(), "[S]\r\na=1\r\nb=2\r\nc=3\r\n");
    const IniFile ini(cache, path());
    EXPECT_EQ(ini.ReadIniLong("S", "a", 0) + ini.ReadIniLong("S", "b", 0) +
                  ini.ReadIniLong("S", "c", 0),
              6);
    EXPECT_EQ(files.counts().total(), 2); // one metadata query, one read
}

TEST_F(ProfileCacheTest, OurOwnWriteIsSeenAtOnce)
{
    IniFile w(cache, path());
    w.WriteIniString("S", "k", "1");
    ASSERT_TRUE(w.commit().ok);
    IniFile w2(cache, path());
    w2.WriteIniString("S", "k", "2");
    ASSERT_TRUE(w2.commit().ok);
    EXPECT_EQ(IniFile(cache, path()).ReadIniLong("S", "k", 0), 2);
}

TEST_F(ProfileCacheTest, OnlyTheFirstMebibyteIsRead)
{
    QByteArray big("[S]\r\nfirst=1\r\n");
    const QByteArray filler = "pad=" + QByteArray(100, 'x') + "\r\n";
    while (big.size() < ProfileCache::kMaxFileBytes - 8)
        big += filler;
    big += "last=2\r\n"; // straddles the limit: the partial line is dropped
    big += "beyond=3\r\n";
    TestFiles::writeBytes(path(), big);
    const IniFile ini(cache, path());
    EXPECT_EQ(ini.ReadIniLong("S", "first", 0), 1);
    EXPECT_EQ(ini.ReadIniLong("S", "last", 0), 0);
    EXPECT_EQ(ini.ReadIniLong("S", "beyond", 0), 0);
}

TEST_F(ProfileCacheTest, AMissingFileReadsAsEmptyWithoutOpeningIt)
{
    EXPECT_EQ(IniFile(cache, path()).ReadIniString("S", "k"), QString());
    EXPECT_EQ(files.counts().reads, 0);
}

} // namespace
