// The folder speed test: its verdict from a clock of our own, what it leaves in the folder, and
// the error that names the failing operation.
#include "tools/FolderSpeedTest.h"
#include "TestFiles.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

// Real files, with a failure put in where a test wants one; keeps what the file held when it
// was deleted.
class ScriptedFiles : public SpeedTestFiles {
public:
    std::optional<Failure> append(const QString& path, const QByteArray& bytes) override
    {
        ++appends;
        return appends == failAppend ? std::optional(Failure{"write", "No space left on device"})
                                     : real().append(path, bytes);
    }
    std::optional<Failure> readWhole(const QString& path) override
    {
        return appends == failRead ? std::optional(Failure{"read", "Input/output error"})
                                   : real().readWhole(path);
    }
    std::optional<Failure> remove(const QString& path) override
    {
        removed = TestFiles::readBytes(path);
        return failRemove ? std::optional(Failure{"delete", "Device or resource busy"})
                          : real().remove(path);
    }

    int appends = 0;
    int failAppend = 0;
    int failRead = 0;
    bool failRemove = false;
    QByteArray removed;
};

// Reads from a fixed list of nanosecond times.
FolderSpeedTest::Clock clockOf(QList<qint64> times)
{
    return [times, next = 0]() mutable { return times.value(next++, times.last()); };
}

class FolderSpeedTestTest : public ::testing::Test {
protected:
    QString testFile() const { return dir.filePath(FolderSpeedTest::kFileName); }

    QTemporaryDir dir;
    ScriptedFiles files;
};

// A file already there is appended to, then deleted with what it held.
TEST_F(FolderSpeedTestTest, FourSecondsIsStillFastAndTheFileGoes)
{
    const struct {
        qint64 end;
        FolderSpeedTest::Verdict verdict;
        QByteArray there;
    } rows[] = {
        {120'000'000, FolderSpeedTest::Verdict::Fast, "left over\r\n"},
        {4'000'000'000, FolderSpeedTest::Verdict::Fast, ""},
        {4'000'000'001, FolderSpeedTest::Verdict::Slow, ""},
    };
    for (const auto& row : rows) {
        if (!row.there.isEmpty()) {
            ASSERT_TRUE(TestFiles::writeBytes(testFile(), row.there));
        }
        // A monotonic clock far from zero: only the difference counts.
        const qint64 start = 86'399'000'000'000;
        FolderSpeedTest test(files, clockOf({start, start + row.end}));
        QList<int> passes;
        const FolderSpeedTest::Result result =
            test.run(dir.path(), [&](int pass) { passes << pass; });
        EXPECT_EQ(result.verdict, row.verdict);
        EXPECT_DOUBLE_EQ(result.seconds, row.end / 1e9);
        QByteArray expected = row.there;
        for (int pass = 1; pass <= 100; ++pass)
            expected += FolderSpeedTest::passText(pass);
        EXPECT_EQ(passes.size(), 100);
        EXPECT_EQ(passes.last(), 100);
        EXPECT_EQ(files.removed, expected);
        EXPECT_TRUE(files.removed.endsWith("Performance Test100.\r\nCan be deleted\r\n"));
        EXPECT_FALSE(QFileInfo::exists(testFile()));
    }
}

TEST_F(FolderSpeedTestTest, AFailureNamesTheOperationAndTheReason)
{
    ASSERT_TRUE(TestFiles::writeBytes(dir.filePath("plain"), "a file"));
    const struct {
        const char* what;
        const char* folder; // in dir; the file stays only in dir itself
        int failAppend, failRead;
        bool failRemove, fifo;
        const char* error; // %1: the file
    } rows[] = {
        {"missing folder", "absent", 0, 0, false, false,
         "open for appending %1: No such file or directory"},
        {"folder is a file", "plain", 0, 0, false, false, "open for appending %1: Not a directory"},
        {"FIFO at the name", "", 0, 0, false, true, "open for appending %1: not a regular file"},
        {"write fails", "", 40, 0, false, false, "write %1: No space left on device"},
        {"read fails", "", 0, 3, false, false, "read %1: Input/output error"},
        {"delete fails", "", 0, 0, true, false, "delete %1: Device or resource busy"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        QFile::remove(testFile());
        if (row.fifo) {
            ASSERT_EQ(::mkfifo(QFile::encodeName(testFile()).constData(), 0600), 0);
        }
        files.appends = 0;
        files.failAppend = row.failAppend;
        files.failRead = row.failRead;
        files.failRemove = row.failRemove;
        const QString folder = *row.folder ? dir.filePath(row.folder) : dir.path();
        FolderSpeedTest test(files, clockOf({0, 1}));
        const FolderSpeedTest::Result result = test.run(folder);
        EXPECT_EQ(result.verdict, FolderSpeedTest::Verdict::Error);
        EXPECT_EQ(result.error, QDir::toNativeSeparators(QString(row.error).arg(
                                    QDir(folder).filePath("NorvanePerformanceTest.txt"))));
        EXPECT_EQ(QFileInfo::exists(testFile()), !*row.folder);
    }
}

} // namespace
