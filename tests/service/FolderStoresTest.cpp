// The data folders shown at once: a day of several folders merged, their search answers merged,
// days read for a caller merged, a file's change routed to the service of its folder.
#include "service/FolderStores.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using Day = std::optional<QStringList>;

Day filesOf(const std::optional<QList<TerminPtr>>& day)
{
    if (!day)
        return std::nullopt;
    QStringList files;
    for (const TerminPtr& appointment : *day)
        files << appointment->filename();
    return files;
}

TEST(FolderStoresTest, ADayOfSeveralFoldersHoldsEachFileOnceTheActiveFoldersFirst)
{
    const struct {
        const char* what;
        QList<Day> folders;
        Day merged;
    } rows[] = {
        {"no folder knows the day", {std::nullopt, std::nullopt}, std::nullopt},
        {"one folder knows it", {std::nullopt, QStringList{"/b/1"}}, QStringList{"/b/1"}},
        {"known and empty", {QStringList{}, std::nullopt}, QStringList{}},
        {"the active folder's first",
         {QStringList{"/a/2", "/a/1"}, QStringList{"/b/1"}},
         QStringList{"/a/2", "/a/1", "/b/1"}},
        {"one folder under two names",
         {QStringList{"/a/1"}, QStringList{"/a/1"}},
         QStringList{"/a/1"}},
    };
    for (const auto& row : rows) {
        QList<std::optional<QList<TerminPtr>>> folders;
        for (const Day& day : row.folders) {
            folders.append(day ? std::make_optional(QList<TerminPtr>()) : std::nullopt);
            for (const QString& file : day.value_or(QStringList())) {
                ClassTermin appointment;
                appointment.setFilename(file);
                folders.last()->append(std::make_shared<const ClassTermin>(appointment));
            }
        }
        EXPECT_EQ(filesOf(FolderStores::mergedDay(folders)), row.merged) << row.what;
    }
}

TEST(FolderStoresTest, SearchAnswersMergeByDayAndStartAndAreCompleteWhenEveryOneIs)
{
    const auto hit = [](const char* path, int day, int hour) {
        AppointmentIndex::Hit h;
        h.path = path;
        h.day = QDate(2026, 3, day);
        h.start = TimeOfDay::fromHourMinute(hour, 0);
        return h;
    };
    AppointmentIndex::Answer active{
        true, true, {}, {{hit("/a/1", 2, 9), hit("/a/2", 3, 8)}, false}};
    AppointmentIndex::Answer beside{true, false, {}, {{hit("/b/1", 2, 8)}, true}};
    const AppointmentIndex::Answer merged = FolderStores::mergedAnswer({active, beside});
    QStringList paths;
    for (const AppointmentIndex::Hit& h : merged.found.hits)
        paths << h.path;
    EXPECT_EQ(paths, QStringList({"/b/1", "/a/1", "/a/2"}));
    EXPECT_TRUE(merged.usable);
    EXPECT_FALSE(merged.complete) << "the folder beside is still being read";
    EXPECT_TRUE(merged.found.truncated);
}

TEST(FolderStoresTest, AFileGoesToTheServiceOfTheFolderItLiesInANewOneToTheActiveOne)
{
    QTemporaryDir top;
    const QString a = top.filePath("a/"), inner = top.filePath("a/inner/"), b = top.filePath("b/");
    StoreService active;
    active.setFolder(a, 60);
    FolderStores stores(active);
    stores.showBeside({inner, b, b.chopped(1), a}, 60, 4);
    ASSERT_EQ(stores.all().size(), 3) << "each folder once, the active one not again";
    const struct {
        QString path;
        QString folder;
    } rows[] = {
        {a + "y2026/m3/d2/1.nv3", a},
        {inner + "y2026/m3/d2/1.nv3", inner},
        {b + "recurring/wd2/1.nv3", b},
        {QString(), a},
        {top.filePath("c/y2026/m3/d2/1.nv3"), a},
    };
    for (const auto& row : rows)
        EXPECT_EQ(stores.of(row.path)->folder(), row.folder) << row.path.toStdString();
    EXPECT_EQ(stores.historyFor(false), nullptr) << "nothing changed yet";
    stores.showBeside({b}, 60, 4);
    EXPECT_EQ(stores.of(inner + "y2026/m3/d2/1.nv3")->folder(), a) << "hidden";
}

TEST(FolderStoresTest, DaysReadForACallerMergeEveryFolderAndNameOneThatCannotBeListed)
{
    QTemporaryDir top;
    const QString a = top.filePath("a/"), b = top.filePath("b/");
    const QDate day(2026, 3, 2);
    for (const QString& folder : {a, b}) {
        QDir().mkpath(folder + "y2026/m3/d2");
        QFile file(folder + "y2026/m3/d2/1.nv3");
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[AppointmentSettings]\r\nStartTimeHour=9\r\nEndTimeHour=10\r\n");
    }
    StoreService active;
    active.setFolder(a, 60);
    FolderStores stores(active);
    stores.showBeside({b}, 60, 4);
    std::optional<FolderStores::DaysRead> read;
    const auto readDay = [&] {
        read.reset();
        stores.readDays({day}, [&read](const FolderStores::DaysRead& days) { read = days; });
        return QTest::qWaitFor([&read] { return read.has_value(); }, 10000);
    };
    ASSERT_TRUE(readDay());
    EXPECT_EQ(filesOf(read->days.value(day)),
              (QStringList{a + "y2026/m3/d2/1.nv3", b + "y2026/m3/d2/1.nv3"}));
    EXPECT_TRUE(read->unreachable.isEmpty());
    EXPECT_FALSE(active.knownDay(day)) << "what the views know stays as it was";

    ASSERT_TRUE(QDir(b).removeRecursively());
    ASSERT_TRUE(readDay());
    EXPECT_EQ(read->unreachable, QStringList{b});
    EXPECT_EQ(filesOf(read->days.value(day)), QStringList{a + "y2026/m3/d2/1.nv3"});
}

} // namespace
