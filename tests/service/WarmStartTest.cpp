// The first show of a folder drawn from the local index at once, marked as being checked and
// never written back, until the share's answer replaces it; without an index, nothing early.
#include "StalledShare.h"
#include "TestFiles.h"
#include "index/AppointmentIndex.h"
#include "service/StoreService.h"
#include "store/ClassTermin.h"

#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QDate kDay(2024, 5, 14);

QStringList textsOf(const std::optional<QList<TerminPtr>>& day)
{
    QStringList texts;
    for (const TerminPtr& appointment : day.value_or(QList<TerminPtr>()))
        texts << appointment->Text();
    texts.sort();
    return texts;
}

class WarmStartTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        kept = TestFiles::putAppointment(data.path(), kDay, 9, "Kept from last time");
        changed = TestFiles::putAppointment(data.path(), kDay, 11, "As it was");
    }
    // Last session: the folder read and crawled to its end, so its index knows all of it.
    void lastSession(const QString& indexDirectory)
    {
        StoreService::Options options;
        options.watchFolders = false;
        options.indexDirectory = indexDirectory;
        StoreService last(options);
        last.setFolder(data.path(), 60);
        last.show({.viewDays = {kDay}, .markDays = {}, .warmDays = {}});
        ASSERT_TRUE(eventually([&] {
            return AppointmentIndex::lookUp(indexDirectory, last.folder(), {}, {}, {}).complete;
        }));
    }
    // This session, on a share that does not answer yet.
    std::unique_ptr<StoreService> stalledStart(const QString& indexDirectory)
    {
        StoreService::Options options;
        options.files = StalledFileAccess::maker(share);
        options.watchFolders = false;
        options.indexDirectory = indexDirectory;
        auto service = std::make_unique<StoreService>(options);
        share.stall();
        service->setFolder(data.path(), 60);
        service->show({.viewDays = {kDay}, .markDays = {}, .warmDays = {}});
        return service;
    }
    // The search thread has answered everything asked of it before.
    static bool searchesAnswered(StoreService& service)
    {
        bool answered = false;
        service.search({}, kDay, kDay, [&](const AppointmentIndex::Answer&) { answered = true; });
        return eventually([&] { return answered; });
    }

    QTemporaryDir data;
    QTemporaryDir cache;
    StalledShare share;
    QString kept;
    QString changed;
};

TEST_F(WarmStartTest, LastSessionsDayShowsAtOnceIsNotWrittenAndTheShareReplacesIt)
{
    lastSession(cache.path());
    TestFiles::writeSettled(changed, "[AppointmentSettings]\r\nStartTimeHour=11\r\n"
                                     "EndTimeHour=12\r\nText=Changed meanwhile\r\n");
    const std::unique_ptr<StoreService> service = stalledStart(cache.path());
    QSignalSpy checking(service.get(), &StoreService::checkingChanged);
    ASSERT_TRUE(eventually([&] { return service->knownDay(kDay).has_value(); }));
    EXPECT_EQ(textsOf(service->knownDay(kDay)), (QStringList{"As it was", "Kept from last time"}));
    EXPECT_TRUE(service->checking());
    EXPECT_TRUE(service->provisional(kept));

    // The index keeps what the views draw, not the whole file: an edit of it is refused at
    // once, a deletion too, and the file stays as it is.
    ClassTermin early = *service->knownDay(kDay)->first();
    early.setText("Edited too early");
    std::optional<WriteOutcome> filed;
    service->file(early, [&](const WriteOutcome& outcome, const ClassTermin&) { filed = outcome; });
    std::optional<bool> removed;
    service->remove(kept, [&](bool gone) { removed = gone; });
    ASSERT_TRUE(filed && removed);
    EXPECT_FALSE(filed->ok);
    EXPECT_FALSE(*removed);

    share.resume();
    ASSERT_TRUE(eventually([&] { return !service->checking(); }));
    EXPECT_EQ(textsOf(service->knownDay(kDay)),
              (QStringList{"Changed meanwhile", "Kept from last time"}));
    EXPECT_FALSE(service->provisional(kept));
    EXPECT_EQ(checking.count(), 2);
    EXPECT_TRUE(TestFiles::readBytes(kept).contains("Text=Kept from last time"));
    EXPECT_EQ(share.callsFromOwner(), 0);
}

TEST_F(WarmStartTest, WithoutACompleteIndexNothingShowsBeforeTheShareAnswers)
{
    QTemporaryDir noIndex;
    const std::unique_ptr<StoreService> service = stalledStart(noIndex.path());
    ASSERT_TRUE(searchesAnswered(*service));
    EXPECT_FALSE(service->knownDay(kDay).has_value());
    EXPECT_FALSE(service->checking());
    share.resume();
    ASSERT_TRUE(eventually([&] { return service->knownDay(kDay).has_value(); }));
    EXPECT_EQ(textsOf(service->knownDay(kDay)), (QStringList{"As it was", "Kept from last time"}));
    EXPECT_FALSE(service->checking());
}

} // namespace
