// What a first download costs on a share, where every call on the data folder is a round trip:
// each event parsed once and filed straight into the folder, three calls an event (a look for
// a free name, the write, a read of what landed for the record) and a few for the whole sync.
#include "MemoryServer.h"
#include "TestDays.h"
#include "profile/FileAccess.h"
#include "sync/Sync.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(SyncCalls, AFirstDownloadCostsThreeFolderCallsAnEventAndOneListing)
{
    constexpr int kEvents = 40;
    MemoryServer server{QUrl("http://127.0.0.1/cal/")};
    for (int i = 0; i < kEvents; ++i) {
        const QByteArray day = kTestToday.addDays(i / 2).toString("yyyyMMdd").toLatin1();
        const QByteArray hour = QByteArray::number(10 + i % 2);
        server.phoneAdd("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\nUID:e" +
                        QByteArray::number(i) + "\r\nDTSTART:" + day + 'T' + hour +
                        "0000Z\r\nDTEND:" + day + 'T' + hour +
                        "3000Z\r\nSUMMARY:Call\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
    }
    QTemporaryDir folder;
    CountingFileAccess files{ThreadFileAccess()};
    SyncOptions options;
    options.today = kTestToday;
    options.files = &files;
    const SyncResult result = runSyncWith(
        folder.path(), SyncAccount{server.collection().toString(), {}, {}}, options, server);
    ASSERT_TRUE(result.ok()) << result.error.toStdString();
    EXPECT_EQ(result.received, kEvents);
    const CountingFileAccess::Counts c = files.counts();
    EXPECT_EQ(c.metadataQueries + c.writes + c.reads, 3 * kEvents + 2) // and the record
        << c.metadataQueries << " metadata queries, " << c.writes << " writes, " << c.reads
        << " reads";
    EXPECT_EQ(c.listings, 2) << "the window's days and the rule files";
    EXPECT_EQ(c.removals + c.makePaths, 0);
}

} // namespace
