// A first download on a share, where every call on the data folder is a round trip: each
// event filed straight into the folder, two calls (the write, whose rename refuses a taken
// name, and a read for its hash).
#include "MemoryServer.h"
#include "TestDays.h"
#include "profile/FileAccess.h"
#include "sync/Sync.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(SyncCalls, AFirstDownloadCostsTwoFolderCallsAnEventAndTwoListings)
{
    constexpr int kEvents = 40;
    MemoryServer server{QUrl("http://127.0.0.1/cal/")};
    for (int i = 0; i < kEvents; ++i) {
        const QByteArray at =
            kTestToday.addDays(i / 2).toString("yyyyMMddT1").toLatin1() + QByteArray::number(i % 2);
        server.phoneAdd("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\nUID:e" +
                        QByteArray::number(i) + "\r\nDTSTART:" + at + "0000Z\r\nDTEND:" + at +
                        "3000Z\r\nSUMMARY:Call\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
    }
    QTemporaryDir folder;
    CountingFileAccess files{ThreadFileAccess()};
    SyncOptions options;
    options.today = kTestToday;
    options.files = &files;
    const SyncResult result = runSyncWith(
        folder.path(), SyncAccount{server.collection().toString(), {}, {}}, options, server);
    EXPECT_EQ(result.received, kEvents) << result.error.toStdString();
    // Besides the events': the window's days and the rule files listed, the record read and
    // written.
    EXPECT_EQ(files.counts().total(), 2 * kEvents + 4);
    EXPECT_EQ(files.counts().listings, 2);
}

} // namespace
