// The reconcile's decisions alone, one file per row: what the record knew, what each side
// holds now, and the action that follows.
#include "offline/FolderPlan.h"

#include <gtest/gtest.h>

namespace {

using FolderPlan::Kind;

// A side's file: '-' none, 'A' as recorded, 't' touched (new time, same bytes), else new
// bytes named by the letter. The record holds 'A' or, for '-', nothing.
struct Row {
    const char* path;
    char record;
    char copy;
    char share;
    std::optional<Kind> expected;
};

const QString kDay = QStringLiteral("y2026/m1/d14/1.nv3");
const QString kFar = QStringLiteral("y2027/m6/d1/1.nv3"); // out of the window
const QString kRule = QStringLiteral("recurring/wd2/5.nv3");

FolderPlan::Listing listing(const QString& path, char state)
{
    if (state == '-')
        return {};
    if (state == 'A')
        return {{path, {100, 10, std::nullopt}}};
    if (state == 't')
        return {{path, {300, 10, QByteArray("A")}}};
    return {{path, {200, 11, QByteArray(1, state)}}};
}

TEST(FolderPlanTest, OneActionPerFileByWhatEachSideDid)
{
    const Row rows[] = {
        {"day", '-', '-', '-', std::nullopt},
        {"day", 'A', 'A', 'A', std::nullopt},
        {"day", '-', 'B', '-', Kind::ToShare},
        {"day", '-', '-', 'B', Kind::ToCopy},
        {"day", '-', 'B', 'B', Kind::RecordOnly},
        {"day", '-', 'B', 'C', Kind::Conflict},
        {"day", 'A', 'B', 'A', Kind::ToShare},
        {"day", 'A', 'A', 'B', Kind::ToCopy},
        {"day", 'A', 'B', 'C', Kind::Conflict},
        {"day", 'A', 'B', 'B', Kind::RecordOnly},
        {"day", 'A', 't', 'A', Kind::RecordOnly},
        {"day", 'A', '-', 'A', Kind::DeleteOnShare},
        {"day", 'A', 'A', '-', Kind::DeleteOnCopy},
        {"day", 'A', '-', 'B', Kind::ToCopy},  // the change beats the deletion
        {"day", 'A', 'B', '-', Kind::ToShare}, // the same the other way round
        {"day", 'A', '-', '-', Kind::Forget},
        {"far", 'A', 'A', '-', Kind::Evict}, // left the window: never deleted on the share
        {"far", 'A', '-', '-', Kind::Forget},
        {"far", '-', 'B', '-', Kind::ToShare}, // moved out of the window while offline
        {"far", 'A', 'B', 'C', Kind::Conflict},
        {"rule", 'A', 'A', '-', Kind::DeleteOnCopy},
    };
    for (const Row& row : rows) {
        const QString path = row.path == std::string("day")   ? kDay
                             : row.path == std::string("far") ? kFar
                                                              : kRule;
        QHash<QString, OfflineRecord::Entry> record;
        if (row.record == 'A')
            record.insert(path, {"A", 10, 100, 100});
        const FolderPlan::Plan plan =
            FolderPlan::plan(record, listing(path, row.copy), listing(path, row.share),
                             {QDate(2026, 1, 1), QDate(2026, 12, 31)});
        const QList<FolderPlan::Action> expected =
            row.expected ? QList<FolderPlan::Action>{{*row.expected, path}}
                         : QList<FolderPlan::Action>{};
        EXPECT_EQ(plan.actions, expected) << row.path << ' ' << row.record << row.copy << row.share;
    }
}

TEST(FolderPlanTest, AShareThatCameBackEmptyTripsTheGuard)
{
    QHash<QString, OfflineRecord::Entry> record;
    FolderPlan::Listing copy;
    for (int i = 1; i <= 8; ++i) {
        const QString path = QStringLiteral("y2026/m1/d14/%1.nv3").arg(i);
        record.insert(path, {"A", 10, 100, 100});
        copy.insert(path, {100, 10, std::nullopt});
    }
    const auto plan = FolderPlan::plan(record, copy, {}, {QDate(2026, 1, 1), QDate(2026, 12, 31)});
    EXPECT_EQ(plan.copy.count, 8);
    EXPECT_TRUE(FolderPlan::massDeletion(plan));
    copy.remove(QStringLiteral("y2026/m1/d14/1.nv3"));
    EXPECT_FALSE(FolderPlan::massDeletion(FolderPlan::plan(
        record, copy, {{QStringLiteral("y2026/m1/d14/2.nv3"), {100, 10, std::nullopt}}},
        {QDate(2026, 1, 1), QDate(2026, 1, 1)})))
        << "a window that moved evicts, it deletes nothing";
}

} // namespace
