// The store over a real data folder: which appointments a day shows, caching, saving.
#include "DataAccess.h"
#include "FakeFileAccess.h"
#include "Settings.h"
#include "TestFiles.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray appointment(int color, const char* text, const QByteArray& extra = {})
{
    return "[AppointmentSettings]\r\nDateYear=2003\r\nDateMonth=7\r\nDateDay=4\r\n"
           "StartTimeHour=9\r\nStartTimeMinute=0\r\nEndTimeHour=10\r\nEndTimeMinute=0\r\n"
           "Color=" +
           QByteArray::number(color) + "\r\nText=" + text + "\r\n" + extra;
}

QByteArray recurring(const char* from, const char* until)
{
    QByteArray range;
    if (from) {
        const QList<QByteArray> p = QByteArray(from).split('-');
        range += "RecurringFromYear=" + p[0] + "\r\nRecurringFromMonth=" + p[1] +
                 "\r\nRecurringFromDay=" + p[2] + "\r\n";
    }
    if (until) {
        const QList<QByteArray> p = QByteArray(until).split('-');
        range += "RecurringUntilYear=" + p[0] + "\r\nRecurringUntilMonth=" + p[1] +
                 "\r\nRecurringUntilDay=" + p[2] + "\r\n";
    }
    return appointment(1, "recurring", "Recurring=1\r\n" + range);
}

class DataAccessTest : public ::testing::Test {
protected:
    DataAccessTest()
    {
        settings.setActiveFolder(data.path());
        folder = settings.GetDataFolder();
    }

    QString put(const QString& relative, const QByteArray& content)
    {
        const QString path = folder + relative;
        TestFiles::writeBytes(path, content);
        return path;
    }

    QStringList textsOf(const QDate& date)
    {
        QStringList texts;
        for (const TerminPtr& a : store.GetAppointmentsOfDay(date))
            texts << a->Text();
        return texts;
    }

    QTemporaryDir data;
    QTemporaryDir program;
    QDateTime clock{QDate(2003, 7, 4), QTime(12, 0)};
    ProfileCache profiles{RealFileAccess::instance()};
    Settings settings{profiles, program.path()};
    DataAccess store{profiles, settings, [this] { return clock; }};
    QString folder;
};

TEST_F(DataAccessTest, ADayWithoutDirectoryIsEmpty)
{
    EXPECT_TRUE(store.GetAppointmentsOfDay(QDate(2003, 7, 4)).isEmpty());
    EXPECT_FALSE(store.HasAppointments(QDate(2003, 7, 4)));
}

TEST_F(DataAccessTest, OnlyAppointmentFilesOfTheDayCount)
{
    put("y2003/m7/d4/1.nv3", appointment(1, "one"));
    put("y2003/m7/d4/2.NV3", appointment(1, "upper case extension"));
    put("y2003/m7/d4/notes.txt", appointment(1, "not an appointment"));
    put("y2003/m7/d4/3.nv3.tmp", appointment(1, "half written"));
    put("y2003/m7/d5/4.nv3", appointment(1, "next day"));
    QStringList texts = textsOf(QDate(2003, 7, 4));
    texts.sort();
    EXPECT_EQ(texts, (QStringList{"one", "upper case extension"}));
    EXPECT_TRUE(store.HasAppointments(QDate(2003, 7, 4)));
    EXPECT_FALSE(store.HasAppointments(QDate(2003, 7, 6)));
}

TEST_F(DataAccessTest, AWeeklyAppointmentAppearsOnItsWeekdayWithinItsRange)
{
    put("recurring/wd2/7.nv3", recurring("2003-07-07", "2003-07-21"));
    for (QDate d(2003, 7, 1); d <= QDate(2003, 7, 31); d = d.addDays(1)) {
        const bool expected =
            d == QDate(2003, 7, 7) || d == QDate(2003, 7, 14) || d == QDate(2003, 7, 21);
        EXPECT_EQ(store.GetAppointmentsOfDay(d).size(), expected ? 1 : 0)
            << qPrintable(d.toString());
        EXPECT_EQ(store.HasAppointments(d), expected) << qPrintable(d.toString());
    }
}

TEST_F(DataAccessTest, EveryRecurringKindFindsItsDays)
{
    put("recurring/every/1.nv3", recurring("2003-01-01", "2003-12-31"));
    put("recurring/d31/2.nv3", recurring("2003-01-01", "2003-12-31"));
    put("recurring/m2/d29/3.nv3", recurring("2000-01-01", "2010-12-31"));
    EXPECT_EQ(store.GetAppointmentsOfDay(QDate(2003, 5, 31)).size(), 2);
    EXPECT_EQ(store.GetAppointmentsOfDay(QDate(2003, 6, 30)).size(), 1);
    // The daily one ended with 2003; the yearly one on 29 February remains.
    EXPECT_EQ(store.GetAppointmentsOfDay(QDate(2004, 2, 29)).size(), 1);
    EXPECT_TRUE(store.HasAppointments(QDate(2004, 2, 29)));
    EXPECT_FALSE(store.HasAppointments(QDate(2005, 3, 1)));
}

TEST_F(DataAccessTest, ARecurringFileWithoutRangeAppliesFrom1990To2020)
{
    const QString path = put("recurring/every/1.nv3", appointment(1, "no range"));
    EXPECT_FALSE(store.IsInRecurringRange(path, QDate(1989, 12, 31)));
    EXPECT_TRUE(store.IsInRecurringRange(path, QDate(1990, 1, 1)));
    EXPECT_TRUE(store.IsInRecurringRange(path, QDate(2020, 12, 31)));
    EXPECT_FALSE(store.IsInRecurringRange(path, QDate(2021, 1, 1)));
}

TEST_F(DataAccessTest, ColourGroupsKeepTheirOrderOfFirstAppearance)
{
    ColorGroups groups;
    int added = 0;
    for (int color : {2, 5, 2, 7, 5}) {
        auto a = std::make_shared<ClassTermin>();
        a->setColorCode(qint16(color));
        a->setText(QString::number(added++));
        groups.add(a);
    }
    QStringList order;
    for (const TerminPtr& a : groups.list())
        order << QStringLiteral("%1:%2").arg(a->ColorCode()).arg(a->Text());
    EXPECT_EQ(order, (QStringList{"2:0", "2:2", "5:1", "5:4", "7:3"}));
}

TEST_F(DataAccessTest, AnUnchangedFileGivesTheSameObjectAndAChangedOneANewObject)
{
    const QString path = put("y2003/m7/d4/1.nv3", appointment(3, "first"));
    const TerminPtr a = store.LoadAppointment(path, QDate(2003, 7, 4));
    EXPECT_EQ(store.LoadAppointment(path, QDate(2003, 7, 4)), a);

    // Another user's copy saves the file.
    TestFiles::writeBytes(path, appointment(3, "other"));
    TestFiles::setModified(path, QDateTime::currentDateTime().addSecs(10));
    const TerminPtr b = store.LoadAppointment(path, QDate(2003, 7, 4));
    EXPECT_NE(b, a);
    EXPECT_EQ(b->Text(), QStringLiteral("other"));
}

TEST_F(DataAccessTest, TheAppointmentCacheHoldsTwoHundred)
{
    QStringList paths;
    for (int i = 0; i < DataAccess::kAppointmentCacheSize + 1; ++i)
        paths << put(QStringLiteral("y2003/m7/d4/%1.nv3").arg(i), appointment(1, "x"));
    const TerminPtr first = store.LoadAppointment(paths[0], QDate(2003, 7, 4));
    const TerminPtr second = store.LoadAppointment(paths[1], QDate(2003, 7, 4));
    for (int i = 2; i < paths.size(); ++i)
        store.LoadAppointment(paths[i], QDate(2003, 7, 4));
    EXPECT_NE(store.LoadAppointment(paths[0], QDate(2003, 7, 4)), first);
    // Loading the first again evicted the second, the oldest by then.
    EXPECT_NE(store.LoadAppointment(paths[1], QDate(2003, 7, 4)), second);
}

TEST_F(DataAccessTest, DayMarksExpireAfterMonthIntervalAndBelongToTheirFolder)
{
    const QDate day(2003, 7, 4);
    EXPECT_FALSE(store.HasAppointments(day));
    put("y2003/m7/d4/1.nv3", appointment(1, "late"));
    EXPECT_FALSE(store.HasAppointments(day)) << "answered from the cache";
    clock = clock.addSecs(settings.MonthInterval() + 1);
    EXPECT_TRUE(store.HasAppointments(day));

    QTemporaryDir other;
    settings.setActiveFolder(other.path());
    EXPECT_FALSE(store.HasAppointments(day)) << "the other folder has nothing";
}

TEST_F(DataAccessTest, SavingMergesIntoTheFileAndKeepsForeignLines)
{
    const QString path =
        put("y2003/m7/d4/1.nv3", "; written elsewhere\r\n[AppointmentSettings]\r\nText=old\r\n"
                                 "Category=Work\r\n[Extra]\r\nx=1\r\n");
    const TerminPtr a = store.LoadAppointment(path, QDate(2003, 7, 4));
    a->setText("new");
    ASSERT_TRUE(store.SaveAppointment(*a).ok);
    const QByteArray bytes = TestFiles::readBytes(path);
    EXPECT_TRUE(bytes.startsWith("; written elsewhere\r\n[AppointmentSettings]\r\nText=new\r\n"
                                 "Category=Work\r\nDateYear=2003\r\n"));
    EXPECT_TRUE(bytes.endsWith("RecurringUntilDay=31\r\n[Extra]\r\nx=1\r\n"));
    EXPECT_EQ(store.LoadAppointment(path, QDate(2003, 7, 4))->Text(), QStringLiteral("new"));
}

TEST_F(DataAccessTest, SavingCreatesTheDirectoriesAndReportsAFolderThatCannotExist)
{
    ClassTermin a;
    a.setDatum(QDate(2003, 7, 4));
    a.setFilename(folder + "y2003/m7/d4/42.nv3");
    EXPECT_TRUE(store.SaveAppointment(a).ok);
    EXPECT_TRUE(QFileInfo::exists(folder + "y2003/m7/d4/42.nv3"));

    // A regular file where a directory should be: no rights can help here.
    TestFiles::writeBytes(folder + "blocked", "x");
    a.setFilename(folder + "blocked/y2003/m7/d4/42.nv3");
    EXPECT_FALSE(store.SaveAppointment(a).ok);
}

TEST_F(DataAccessTest, ASavedAppointmentWithoutReminderStoresZeroMinutes)
{
    ClassTermin a;
    a.setFilename(folder + "y2003/m7/d4/1.nv3");
    a.setRemindMinutes(30);
    a.setIsReminder(false);
    ASSERT_TRUE(store.SaveAppointment(a).ok);
    EXPECT_EQ(a.RemindMinutes(), 0);
    EXPECT_TRUE(TestFiles::readBytes(a.filename()).contains("IsReminder=0\r\nRemindTime=0\r\n"));
}

TEST_F(DataAccessTest, DeletingIgnoresErrorsAndTheFileDisappearsFromTheDay)
{
    const QString path = put("y2003/m7/d4/1.nv3", appointment(1, "gone soon"));
    const TerminPtr a = store.LoadAppointment(path, QDate(2003, 7, 4));
    store.DeleteAppointmentFile(*a);
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_TRUE(store.GetAppointmentsOfDay(QDate(2003, 7, 4)).isEmpty());
    store.DeleteAppointmentFile(*a); // already gone
    store.DeleteAppointmentFile(ClassTermin());
}

TEST_F(DataAccessTest, NewNamesNeverTakeAnExistingFile)
{
    put("y2003/m7/d4/17.nv3", appointment(1, "taken"));
    QList<quint32> draws{17, 17, 23};
    const QString name =
        store.UnusedFileName(folder + "y2003/m7/d4/", [&] { return draws.takeFirst(); });
    EXPECT_EQ(name, QStringLiteral("23.nv3"));
    EXPECT_EQ(TestFiles::readBytes(folder + "y2003/m7/d4/17.nv3"), appointment(1, "taken"));
}

TEST_F(DataAccessTest, AFileDeletedBetweenListingAndLoadingIsSkipped)
{
    put("y2003/m7/d4/1.nv3", appointment(1, "stays"));
    const QString victim = put("y2003/m7/d4/2.nv3", appointment(1, "deleted meanwhile"));
    // Another user deletes a file between our listing and our load.
    FakeFileAccess::AfterListing files([&] { QFile::remove(victim); });
    ProfileCache cache(files);
    DataAccess racing(cache, settings);
    const QList<TerminPtr> day = racing.GetAppointmentsOfDay(QDate(2003, 7, 4));
    ASSERT_EQ(day.size(), 1);
    EXPECT_EQ(day[0]->Text(), QStringLiteral("stays"));
}

} // namespace
