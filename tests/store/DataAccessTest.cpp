// The store over a real data folder: what a day shows, caching, saving, filing an edited
// appointment, and what an unlucky or hostile share does to it.
#include "StoreFolderTest.h"

#include "store/Recurrence.h"

#include <QDir>
#include <QScopeGuard>

#include <fcntl.h>
#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace StoreFolder;

using DataAccessTest = StoreFolderTest;

TEST_F(DataAccessTest, AWeeklyAppointmentAppearsOnItsWeekdayWithinItsRangeAnd1990To2020Without)
{
    put("recurring/wd2/7.nv3",
        appointment(1, "recurring",
                    "Recurring=1\r\nRecurringFromYear=2003\r\nRecurringFromMonth=07\r\n"
                    "RecurringFromDay=07\r\nRecurringUntilYear=2003\r\nRecurringUntilMonth=07\r\n"
                    "RecurringUntilDay=21\r\n"));
    for (QDate d(2003, 7, 1); d <= QDate(2003, 7, 31); d = d.addDays(1)) {
        const bool expected =
            d == QDate(2003, 7, 7) || d == QDate(2003, 7, 14) || d == QDate(2003, 7, 21);
        EXPECT_EQ(store.GetAppointmentsOfDay(d).size(), expected ? 1 : 0)
            << qPrintable(d.toString());
        EXPECT_EQ(store.HasAppointments(d), expected) << qPrintable(d.toString());
    }
    const QString path = put("recurring/every/1.nv3", appointment(1, "no range"));
    for (const auto& [day, in] : {std::pair{QDate(1989, 12, 31), false},
                                  {QDate(1990, 1, 1), true},
                                  {QDate(2020, 12, 31), true},
                                  {QDate(2021, 1, 1), false}})
        EXPECT_EQ(store.IsInRecurringRange(path, day), in) << qPrintable(day.toString());
}

TEST_F(DataAccessTest, AChangedFileIsANewObjectEvenAtTheSameTimeAndSize)
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

    put("y2003/m7/d4/1.nv3", appointment(2, "old text"));
    const QDateTime time = QFileInfo(path).lastModified();
    ASSERT_EQ(textsOf(kDay), QStringList{"old text"});

    // Another user's copy writes a file of the same size and time and renames it over ours.
    const QString other = folder + "y2003/m7/d4/other.tmp";
    TestFiles::writeBytes(other, appointment(2, "new text"));
    TestFiles::setModified(other, time);
    ASSERT_EQ(::rename(QFile::encodeName(other).constData(), QFile::encodeName(path).constData()),
              0);
    ASSERT_EQ(QFileInfo(path).lastModified(), time);
    EXPECT_EQ(textsOf(kDay), QStringList{"new text"});
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

TEST_F(DataAccessTest, SavingCreatesTheDirectoriesMergesIntoTheFileAndKeepsForeignLines)
{
    ClassTermin made;
    made.setDatum(kDay);
    made.setFilename(folder + "y2003/m7/d4/42.nv3");
    EXPECT_TRUE(store.SaveAppointment(made).ok);
    EXPECT_TRUE(QFileInfo::exists(folder + "y2003/m7/d4/42.nv3"));

    const QString path =
        put("y2003/m7/d4/1.nv3", "; written elsewhere\r\n[AppointmentSettings]\r\nText=old\r\n"
                                 "Category=Work\r\n[Extra]\r\nx=1\r\n");
    ClassTermin a = *store.LoadAppointment(path, QDate(2003, 7, 4));
    a.setText("new");
    a.setIsReminder(false);
    a.setRemindMinutes(30); // without a reminder it is stored as zero
    ASSERT_TRUE(store.SaveAppointment(a).ok);
    const QByteArray bytes = TestFiles::readBytes(path);
    EXPECT_TRUE(bytes.startsWith("; written elsewhere\r\n[AppointmentSettings]\r\nText=new\r\n"
                                 "Category=Work\r\nDateYear=2003\r\n"));
    EXPECT_TRUE(bytes.contains("IsReminder=0\r\nRemindTime=0\r\n"));
    EXPECT_TRUE(bytes.endsWith("RecurringUntilDay=31\r\n[Extra]\r\nx=1\r\n"));
    EXPECT_EQ(store.LoadAppointment(path, QDate(2003, 7, 4))->Text(), QStringLiteral("new"));
}

TEST_F(DataAccessTest, DeletingIgnoresErrors)
{
    const QString path = put("y2003/m7/d4/1.nv3", appointment(1, "gone soon"));
    const TerminPtr a = store.LoadAppointment(path, QDate(2003, 7, 4));
    store.DeleteAppointmentFile(*a);
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_TRUE(store.GetAppointmentsOfDay(QDate(2003, 7, 4)).isEmpty());
    store.DeleteAppointmentFile(*a); // already gone
    store.DeleteAppointmentFile(ClassTermin());
}

// Another user deletes a file, or swaps a FIFO in under its name, between our listing and our
// load.
TEST_F(DataAccessTest, AFileDeletedOrMadeAFifoAfterTheListingIsSkippedWithoutBlocking)
{
    for (const bool fifo : {false, true}) {
        SCOPED_TRACE(fifo ? "a FIFO" : "deleted");
        put("y2003/m7/d4/1.nv3", appointment(2, "stays"));
        const QString victim = put("y2003/m7/d4/2.nv3", appointment(2, "changed meanwhile"));
        FakeFileAccess::AfterListing racing([&] {
            if (QFile::remove(victim) && fifo)
                mkfifo(QFile::encodeName(victim).constData(), 0600);
        });
        ProfileCache cache(racing);
        DataAccess racingStore(cache, settings);
        EXPECT_EQ(textsOf(kDay, racingStore), QStringList{"stays"});
    }
}

TEST_F(DataAccessTest, AFileThatCannotBeReadOrIsNoRegularFileIsNeverWrittenNorWaitedFor)
{
    const QString path = put("y2003/m7/d4/1.nv3", appointment(2, "Board", "[Other]\r\nkeep=1\r\n"));
    files.failing.insert(path);

    ClassTermin shown = *store.LoadAppointment(path, kDay);
    EXPECT_EQ(shown.Text(), QString()) << "defaults while it cannot be read";
    shown.setText(QStringLiteral("edited over the defaults"));
    const WriteOutcome saved = store.SaveAppointment(shown);
    EXPECT_FALSE(saved.ok);
    EXPECT_EQ(saved.cause, WriteOutcome::Cause::Unreadable);
    EXPECT_EQ(saved.path, path);
    EXPECT_EQ(saved.error, QStringLiteral("Input/output error"));
    EXPECT_EQ(TestFiles::readBytes(path), appointment(2, "Board", "[Other]\r\nkeep=1\r\n"));

    // Nothing of the failed read was kept: the real text comes back once the share answers.
    files.failing.clear();
    EXPECT_EQ(store.LoadAppointment(path, kDay)->Text(), QStringLiteral("Board"));

    const QString fifo = folder + "y2003/m7/d4/2.nv3";
    put("y2003/m7/d4/1.nv3", appointment(2, "Board"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QDir().mkpath(folder + "y2003/m7/d4/3.nv3"); // a directory with an appointment's name

    EXPECT_EQ(textsOf(kDay), QStringList{"Board"});
    for (const QString& odd : {fifo, folder + "y2003/m7/d4/3.nv3"}) {
        IniFile ini(profiles, odd, folder);
        EXPECT_TRUE(ini.unreadable());
        ini.WriteIniString("AppointmentSettings", "Text", "x");
        EXPECT_FALSE(ini.commit().ok) << qPrintable(odd);
    }
    struct stat st {};
    ASSERT_EQ(stat(QFile::encodeName(fifo).constData(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

// A file whose metadata never changes, as on a share with coarse timestamps: only its content
// does.
class FrozenMetadata : public ForwardingFileAccess {
public:
    FrozenMetadata()
        : ForwardingFileAccess(ThreadFileAccess())
    {
    }
    std::optional<FileMeta> metadata(const QString& path) override
    {
        return m_inner.metadata(path) ? std::optional(frozen) : std::nullopt;
    }
    ReadOutcome read(const QString& path, qint64 maxBytes, const QString& root) override
    {
        ReadOutcome outcome = m_inner.read(path, maxBytes, root);
        outcome.meta = frozen;
        return outcome;
    }
    FileMeta frozen;
};

TEST(ProfileCacheTiming, AFileReadWhileItsTimeWasYoungIsReadAgainAndCostsByItsBytes)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("a.ini");
    FrozenMetadata files;
    const QDateTime written(QDate(2026, 1, 1), QTime(12, 0));
    files.frozen.modified = written;
    files.frozen.size = 10;
    QDateTime now = written.addMSecs(500);
    ProfileCache cache(files, 10, 1 << 20, [&] { return now; });

    TestFiles::writeBytes(path, "[S]\r\nk=1\r\n");
    EXPECT_EQ(IniFile(cache, path).ReadIniLong("S", "k", 0), 1);
    // Rewritten within the same timestamp tick: time and size stay the same.
    TestFiles::writeBytes(path, "[S]\r\nk=2\r\n");
    now = written.addSecs(10);
    EXPECT_EQ(IniFile(cache, path).ReadIniLong("S", "k", 0), 2);

    const QString text(1024 * 1024, QLatin1Char('\n')); // a mebibyte of line breaks
    const size_t before = mallinfo2().uordblks;
    ProfileDocument document(text);
    document.setValue("S", "k", "v");
    const size_t held = mallinfo2().uordblks - before;
    EXPECT_EQ(document.value("S", "k"), QStringLiteral("v"));
    EXPECT_LT(held, size_t(8) * 1024 * 1024) << "about two bytes per character, not per line";

    QTemporaryDir many;
    ProfileCache bounded(ThreadFileAccess(), 100, 4 * 1024 * 1024);
    for (int i = 0; i < 10; ++i) {
        const QString file = many.filePath(QStringLiteral("%1.ini").arg(i));
        TestFiles::writeBytes(file, QByteArray(1000 * 1000, '\n'));
        bounded.lookup(file);
        EXPECT_LE(bounded.bytesHeld(), 4 * 1024 * 1024);
    }
}

TEST_F(DataAccessTest, OnlyAppointmentFilesCountAndHasAndDayAgreeOnEveryOddEntry)
{
    put("y2003/m7/d3/1.nv3", appointment(1, "one"));
    put("y2003/m7/d3/2.NV3", appointment(1, "upper case extension"));
    put("y2003/m7/d3/notes.txt", appointment(1, "not an appointment"));
    put("y2003/m7/d3/3.nv3.tmp", appointment(1, "half written"));
    QStringList texts = textsOf(kDay.addDays(-1));
    texts.sort();
    EXPECT_EQ(texts, (QStringList{"one", "upper case extension"}));
    EXPECT_FALSE(store.HasAppointments(kDay.addDays(2)));

    QDir().mkpath(folder + "y2003/m7/d4");
    // A name that is not valid in the file-name encoding, a link to a device, a FIFO.
    const QByteArray badName = QFile::encodeName(folder + "y2003/m7/d4/") + "caf\xe9.nv3";
    const int fd = ::open(badName.constData(), O_CREAT | O_WRONLY, 0600);
    // Qt cannot name it, so the temporary folder could not remove it either.
    const auto removeBadName = qScopeGuard([&] { ::unlink(badName.constData()); });
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, appointment(2, "x").constData(), 10), 10);
    ::close(fd);
    ASSERT_TRUE(QFile::link("/dev/zero", folder + "y2003/m7/d4/dev.nv3"));
    ASSERT_EQ(mkfifo(QFile::encodeName(folder + "y2003/m7/d4/fifo.nv3").constData(), 0600), 0);

    EXPECT_TRUE(textsOf(kDay).isEmpty());
    EXPECT_FALSE(store.HasAppointments(kDay));
    const QStringList skipped = store.takeSkippedNames();
    ASSERT_EQ(skipped.size(), 1);
    EXPECT_TRUE(skipped[0].endsWith(QStringLiteral("caf\\xe9.nv3"))) << qPrintable(skipped[0]);
    textsOf(kDay);
    EXPECT_TRUE(store.takeSkippedNames().isEmpty()) << "each name is reported once";

    clock = clock.addSecs(settings.MonthInterval() + 1); // the day's mark asked afresh
    const QString target = outside.filePath("private.nv3");
    TestFiles::writeSettled(target, appointment(2, "someone else's"));
    const QString link = folder + "y2003/m7/d4/z.nv3";
    ASSERT_TRUE(QFile::link(target, link));
    ASSERT_TRUE(QFile::link("/dev/null", folder + "y2003/m7/d4/null.nv3"));
    // A link that stays inside the folder is an appointment like any other.
    const QString inside = put("y2003/m7/d6/1.nv3", appointment(2, "linked inside"));
    QDir().mkpath(folder + "y2003/m7/d5");
    ASSERT_TRUE(QFile::link(inside, folder + "y2003/m7/d5/1.nv3"));

    EXPECT_TRUE(textsOf(kDay).isEmpty());
    EXPECT_FALSE(store.HasAppointments(kDay));
    EXPECT_EQ(textsOf(kDay.addDays(1)), QStringList{"linked inside"});
    EXPECT_TRUE(store.HasAppointments(kDay.addDays(1)));

    ClassTermin a = *store.LoadAppointment(link, kDay);
    a.setText(QStringLiteral("written through the link"));
    EXPECT_FALSE(store.SaveAppointment(a).ok);
    EXPECT_EQ(TestFiles::readBytes(target), appointment(2, "someone else's"));
}

TEST_F(DataAccessTest, AbsurdDatesMeanFarAwayNotOverflow)
{
    put("recurring/every/1.nv3",
        appointment(2, "until far away",
                    "RecurringFromYear=2000\r\nRecurringUntilYear=178956971\r\n"
                    "RecurringUntilMonth=12\r\nRecurringUntilDay=31\r\n"));
    put("recurring/every/2.nv3", appointment(2, "from far away",
                                             "RecurringFromYear=2147483647\r\n"
                                             "RecurringUntilYear=2147483647\r\n"));
    put("recurring/every/3.nv3", appointment(2, "until long ago",
                                             "RecurringFromYear=-2147483647\r\n"
                                             "RecurringUntilYear=-5\r\n"));
    EXPECT_EQ(textsOf(QDate(2026, 12, 7)), QStringList{"until far away"});

    // A date of any numbers carries forward and clamps.
    const struct {
        int year, month, day;
        QDate expected;
    } cases[] = {
        {2003, 2, 30, QDate(2003, 3, 2)},
        {2003, 13, 1, QDate(2004, 1, 1)},
        {2003, 0, 0, QDate(2002, 11, 30)},
        {178956971, 12, 31, QDate(9999, 12, 31)},
        {2147483647, 2147483647, 2147483647, QDate(9999, 12, 31)},
        {-2147483647 - 1, -2147483647 - 1, -2147483647 - 1, QDate(1, 1, 1)},
        {0, 1, 1, QDate(1, 1, 1)},
        {2003, 1, 2147483647, QDate(2003, 1, 1).addDays(2147483646)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DateSerial(c.year, c.month, c.day), c.expected)
            << c.year << "-" << c.month << "-" << c.day;
}

TEST(RecurrenceLayout, OnlyTheDirectoriesInsideTheDataFolderCount)
{
    using K = Recurrence::Kind;
    const std::pair<const char*, K> cases[] = {
        {"/srv/team/recurring/every/1.nv3", K::Daily},
        {"/srv/team/recurring/wd3/1.nv3", K::Weekly},
        {"/srv/team/recurring/d17/1.nv3", K::Monthly},
        {"/srv/team/recurring/m7/d4/1.nv3", K::Yearly},
        {"C:\\team\\recurring\\wd1\\1.nv3", K::Weekly},
        {"/srv/team/y2003/m7/d4/1.nv3", K::None},
        {"/srv/recurring/team/y2003/m7/d4/1.nv3", K::None},
        {"/srv/recurring/y2003/m7/d4/1.nv3", K::None},
        {"/srv/recurring/every/y2003/m7/d4/1.nv3", K::None},
        {"/srv/recurring/recurring/every/1.nv3", K::Daily},
    };
    for (const auto& [path, kind] : cases)
        EXPECT_EQ(Recurrence::ofPath(QString::fromLatin1(path)), kind) << path;

    // Both ways: every kind's directory on a Sunday, 6 July 2003, reads back as that kind.
    const QDate sunday(2003, 7, 6);
    const std::pair<K, const char*> directories[] = {{K::None, "y2003/m7/d6/"},
                                                     {K::Daily, "recurring/every/"},
                                                     {K::Weekly, "recurring/wd1/"},
                                                     {K::Monthly, "recurring/d6/"},
                                                     {K::Yearly, "recurring/m7/d6/"}};
    for (const auto& [kind, dir] : directories) {
        const QString path = Recurrence::directory("/data/", kind, sunday);
        EXPECT_EQ(QDir::fromNativeSeparators(path), QStringLiteral("/data/") + dir);
        EXPECT_EQ(Recurrence::ofPath(path + "1.nv3"), kind) << dir;
        EXPECT_EQ(Recurrence::ofCode(Recurrence::code(kind)), kind == K::None ? K::Yearly : kind);
    }
}

TEST_F(DataAccessTest, TheDataFolderIsTakenAsItIsBelowARecurringDirectoryAndNeverMade)
{
    const QString team = folder + "recurring/team/";
    settings.setActiveFolder(team);
    const QString path = team + "y2003/m7/d4/1.nv3";
    TestFiles::writeSettled(path, appointment(2, "one time"));
    ClassTermin a = *store.LoadAppointment(path, kDay);
    EXPECT_FALSE(a.IsRecurring());

    ASSERT_TRUE(filing.File(a).ok);
    EXPECT_EQ(a.filename(), path) << "stays where it was";
    EXPECT_EQ(textsOf(kDay), QStringList{"one time"});

    const QString gone = folder + "unmounted/";
    settings.setActiveFolder(gone);
    ClassTermin b;
    b.setDatum(kDay);
    b.setText(QStringLiteral("would split the team's data"));

    const WriteOutcome result = filing.File(b);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.cause, WriteOutcome::Cause::FolderUnreachable);
    EXPECT_EQ(result.path, gone);
    EXPECT_FALSE(QFileInfo::exists(gone));
    EXPECT_FALSE(store.IsDataFolderReachable());
}

// Filing an edited appointment.

// Where a move lands in each recurrence kind's directory under its old name: the editor's test.
TEST_F(DataAccessTest, AFailedMoveLeavesTheFileAndTheRecordWhereTheyWere)
{
    const auto a = stored();
    const QString oldPath = a->filename();
    EXPECT_EQ(oldPath, folder + "y2003/m7/d4/12345678.nv3");
    // A regular file where the new day's directory would go: the save must fail.
    TestFiles::writeBytes(folder + "y2004", "not a directory");
    a->setDatum(QDate(2004, 1, 2));
    EXPECT_FALSE(filing.File(*a).ok);
    EXPECT_TRUE(QFileInfo::exists(oldPath));
    EXPECT_EQ(a->filename(), oldPath) << "the record still points at its file";
}

TEST_F(DataAccessTest, AMoveNeverOverwritesAnotherAppointmentAndLeavesAnotherFolder)
{
    const auto a = stored();
    const QByteArray other = "[AppointmentSettings]\r\nText=someone else's\r\n";
    TestFiles::writeBytes(folder + "y2003/m7/d5/12345678.nv3", other);
    a->setDatum(QDate(2003, 7, 5));
    ASSERT_TRUE(filing.File(*a).ok);
    EXPECT_EQ(a->filename(), folder + "y2003/m7/d5/87654321.nv3");
    EXPECT_EQ(TestFiles::readBytes(folder + "y2003/m7/d5/12345678.nv3"), other);
    const QString oldPath = a->filename();
    QTemporaryDir otherFolder;
    settings.setActiveFolder(otherFolder.path());
    ASSERT_TRUE(filing.File(*a).ok);
    EXPECT_TRUE(a->filename().startsWith(settings.GetDataFolder()));
    EXPECT_FALSE(QFileInfo::exists(oldPath));
}

} // namespace
