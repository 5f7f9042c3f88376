// Filing an edited appointment: which directory, which name, moving without losing it.
#include "AppointmentFiling.h"
#include "DataAccess.h"
#include "Settings.h"
#include "TestFiles.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class AppointmentFilingTest : public ::testing::Test {
protected:
    AppointmentFilingTest()
    {
        settings.setActiveFolder(data.path());
        folder = settings.GetDataFolder();
    }

    // A stored one-time appointment on 4 July 2003.
    TerminPtr stored()
    {
        auto a = std::make_shared<ClassTermin>();
        a->setDatum(QDate(2003, 7, 4));
        a->setStartTime(TimeOfDay::fromHourMinute(9, 0));
        a->setEndTime(TimeOfDay::fromHourMinute(10, 0));
        a->setText("Budget");
        EXPECT_TRUE(filing.File(*a).ok);
        return a;
    }

    QStringList filesUnder(const QString& relative) const
    {
        return QDir(folder + relative).entryList(QDir::Files);
    }

    QTemporaryDir data;
    QTemporaryDir program;
    ProfileCache profiles{RealFileAccess::instance()};
    Settings settings{profiles, program.path()};
    DataAccess store{profiles, settings};
    QList<quint32> draws{12345678, 87654321, 555};
    AppointmentFiling filing{store, settings,
                             [this] { return draws.isEmpty() ? 1u : draws.takeFirst(); }};
    QString folder;
};

TEST_F(AppointmentFilingTest, ANewAppointmentGetsARandomNameInItsDayDirectory)
{
    const TerminPtr a = stored();
    EXPECT_EQ(a->filename(), folder + "y2003/m7/d4/12345678.nv3");
    EXPECT_EQ(filesUnder("y2003/m7/d4"), QStringList{"12345678.nv3"});
}

TEST_F(AppointmentFilingTest, EachRecurrenceKindHasItsDirectoryAndTheNameIsKept)
{
    const TerminPtr a = stored();
    a->setDatum(QDate(2003, 7, 6)); // a Sunday
    a->setIsRecurring(true);
    const QList<std::pair<QString, QString>> kinds = {{"d", "recurring/every"},
                                                      {"wd", "recurring/wd1"},
                                                      {"m", "recurring/d6"},
                                                      {"y", "recurring/m7/d6"}};
    for (const auto& [code, dir] : kinds) {
        a->Recurring_code = code;
        ASSERT_TRUE(filing.File(*a).ok) << qPrintable(code);
        EXPECT_EQ(a->filename(), folder + dir + "/12345678.nv3");
        EXPECT_EQ(filesUnder(dir), QStringList{"12345678.nv3"}) << qPrintable(code);
    }
    // Back to a one-time appointment on another day: the recurring file is gone.
    a->setIsRecurring(false);
    a->setDatum(QDate(2003, 7, 8));
    ASSERT_TRUE(filing.File(*a).ok);
    EXPECT_EQ(a->filename(), folder + "y2003/m7/d8/12345678.nv3");
    for (const auto& [code, dir] : kinds)
        EXPECT_TRUE(filesUnder(dir).isEmpty()) << qPrintable(dir);
    EXPECT_TRUE(filesUnder("y2003/m7/d4").isEmpty());
}

TEST_F(AppointmentFilingTest, AFailedMoveKeepsTheOldFileAndReportsIt)
{
    const TerminPtr a = stored();
    const QString oldPath = a->filename();
    // A regular file where the new day's directory would go: the save must fail.
    TestFiles::writeBytes(folder + "y2004", "not a directory");
    a->setDatum(QDate(2004, 1, 2));
    const auto result = filing.File(*a);
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(QFileInfo::exists(oldPath));
    EXPECT_EQ(a->filename(), oldPath) << "the record still points at its file";
}

TEST_F(AppointmentFilingTest, AMoveNeverOverwritesAnotherAppointmentOfTheSameName)
{
    const TerminPtr a = stored();
    const QByteArray other = "[AppointmentSettings]\r\nText=someone else's\r\n";
    TestFiles::writeBytes(folder + "y2003/m7/d5/12345678.nv3", other);
    a->setDatum(QDate(2003, 7, 5));
    ASSERT_TRUE(filing.File(*a).ok);
    EXPECT_EQ(a->filename(), folder + "y2003/m7/d5/87654321.nv3");
    EXPECT_EQ(TestFiles::readBytes(folder + "y2003/m7/d5/12345678.nv3"), other);
}

TEST_F(AppointmentFilingTest, AnAppointmentOfAnotherFolderMovesIntoTheActiveOne)
{
    const TerminPtr a = stored();
    const QString oldPath = a->filename();
    QTemporaryDir otherFolder;
    settings.setActiveFolder(otherFolder.path());
    ASSERT_TRUE(filing.File(*a).ok);
    EXPECT_TRUE(a->filename().startsWith(settings.GetDataFolder()));
    EXPECT_FALSE(QFileInfo::exists(oldPath));
}

} // namespace
