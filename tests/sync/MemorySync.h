#pragma once

#include "MemoryServer.h"
#include "TestDays.h"
#include "sync/Sync.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

// Folders synced with one calendar in memory, as of the tests' today; each sync must succeed.
struct MemorySync {
    MemoryServer server{QUrl("http://127.0.0.1/cal/")};

    SyncResult operator()(const QTemporaryDir& folder, SyncOptions options = {})
    {
        options.today = kTestToday;
        const SyncResult result = runSyncWith(
            folder.path(), SyncAccount{server.collection().toString(), {}, {}}, options, server);
        EXPECT_TRUE(result.ok()) << result.error.toStdString();
        return result;
    }
};
