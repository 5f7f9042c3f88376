// What an unlucky or hostile share does to the store: unreadable files, FIFOs, links out of the
// data folder, changes that keep time and size, absurd numbers, huge files, a missing folder.
#include "AppointmentFiling.h"
#include "DataAccess.h"
#include "FakeFileAccess.h"
#include "Recurrence.h"
#include "Settings.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QDate kDay{2003, 7, 4};

QByteArray appointment(const char* text, const QByteArray& extra = {})
{
    return "[AppointmentSettings]\r\nDateYear=2003\r\nDateMonth=7\r\nDateDay=4\r\n"
           "StartTimeHour=9\r\nStartTimeMinute=0\r\nEndTimeHour=10\r\nEndTimeMinute=0\r\n"
           "Color=2\r\nText=" +
           QByteArray(text) + "\r\n" + extra;
}

class HostileShareTest : public ::testing::Test {
protected:
    HostileShareTest()
    {
        folder = WithTrailingSeparator(data.path());
        settings.setActiveFolder(folder);
    }

    QString put(const QString& relative, const QByteArray& content)
    {
        TestFiles::writeSettled(folder + relative, content);
        return folder + relative;
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
    QTemporaryDir outside;
    FakeFileAccess::FlakyReads files;
    ProfileCache profiles{files};
    Settings settings{profiles, program.path()};
    DataAccess store{profiles, settings};
    QString folder;
};

TEST_F(HostileShareTest, AFileThatCannotBeReadIsNeverWrittenOver)
{
    const QString path = put("y2003/m7/d4/1.nv3", appointment("Board", "[Other]\r\nkeep=1\r\n"));
    files.failing.insert(path);

    const TerminPtr shown = store.LoadAppointment(path, kDay);
    EXPECT_EQ(shown->Text(), QString()) << "defaults while it cannot be read";
    shown->setText(QStringLiteral("edited over the defaults"));
    const WriteOutcome saved = store.SaveAppointment(*shown);
    EXPECT_FALSE(saved.ok);
    EXPECT_EQ(saved.cause, WriteOutcome::Cause::Unreadable);
    EXPECT_EQ(saved.path, path);
    EXPECT_EQ(saved.error, QStringLiteral("Input/output error"));
    EXPECT_EQ(TestFiles::readBytes(path), appointment("Board", "[Other]\r\nkeep=1\r\n"));

    // Nothing of the failed read was kept: the real text comes back once the share answers.
    files.failing.clear();
    EXPECT_EQ(store.LoadAppointment(path, kDay)->Text(), QStringLiteral("Board"));
}

TEST_F(HostileShareTest, NoRegularFileUnderTheNameIsNeitherReadNorWrittenNorWaitedFor)
{
    const QString fifo = folder + "y2003/m7/d4/2.nv3";
    put("y2003/m7/d4/1.nv3", appointment("Board"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QDir().mkpath(folder + "y2003/m7/d4/3.nv3"); // a directory with an appointment's name

    EXPECT_EQ(textsOf(kDay), QStringList{"Board"});
    for (const QString& path : {fifo, folder + "y2003/m7/d4/3.nv3"}) {
        IniFile ini(profiles, path, folder);
        EXPECT_TRUE(ini.unreadable());
        ini.WriteIniString("AppointmentSettings", "Text", "x");
        EXPECT_FALSE(ini.commit().ok) << qPrintable(path);
    }
    struct stat st {};
    ASSERT_EQ(stat(QFile::encodeName(fifo).constData(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

TEST_F(HostileShareTest, AFifoSwappedInAfterTheListingIsSkippedWithoutBlocking)
{
    put("y2003/m7/d4/1.nv3", appointment("stays"));
    // Another user's copy swaps a FIFO in under a name after our listing saw a regular file.
    const QString victim = put("y2003/m7/d4/2.nv3", appointment("becomes a FIFO"));
    FakeFileAccess::AfterListing racing([&] {
        if (QFile::remove(victim))
            mkfifo(QFile::encodeName(victim).constData(), 0600);
    });
    ProfileCache cache(racing);
    DataAccess racingStore(cache, settings);
    QStringList texts;
    for (const TerminPtr& a : racingStore.GetAppointmentsOfDay(kDay))
        texts << a->Text();
    EXPECT_EQ(texts, QStringList{"stays"});
}

TEST_F(HostileShareTest, ARenameOverWithTheSameTimeAndSizeIsSeen)
{
    const QString path = put("y2003/m7/d4/1.nv3", appointment("old text"));
    const QDateTime time = QFileInfo(path).lastModified();
    ASSERT_EQ(textsOf(kDay), QStringList{"old text"});

    // Another user's copy writes a file of the same size and time and renames it over ours.
    const QString other = folder + "y2003/m7/d4/other.tmp";
    TestFiles::writeBytes(other, appointment("new text"));
    TestFiles::setModified(other, time);
    ASSERT_EQ(::rename(QFile::encodeName(other).constData(), QFile::encodeName(path).constData()),
              0);
    ASSERT_EQ(QFileInfo(path).lastModified(), time);
    EXPECT_EQ(textsOf(kDay), QStringList{"new text"});
}

// A file whose metadata never changes, as on a share with coarse timestamps: only its content
// does.
class FrozenMetadata : public ForwardingFileAccess {
public:
    FrozenMetadata()
        : ForwardingFileAccess(RealFileAccess::instance())
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

TEST(ProfileCacheTiming, AFileReadWhileItsTimeWasYoungIsReadAgain)
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
}

TEST_F(HostileShareTest, ALinkOutOfTheDataFolderIsNoAppointment)
{
    const QString target = outside.filePath("private.nv3");
    TestFiles::writeSettled(target, appointment("someone else's"));
    QDir().mkpath(folder + "y2003/m7/d4");
    const QString link = folder + "y2003/m7/d4/z.nv3";
    ASSERT_TRUE(QFile::link(target, link));
    ASSERT_TRUE(QFile::link("/dev/null", folder + "y2003/m7/d4/null.nv3"));
    // A link that stays inside the folder is an appointment like any other.
    const QString inside = put("y2003/m7/d6/1.nv3", appointment("linked inside"));
    QDir().mkpath(folder + "y2003/m7/d5");
    ASSERT_TRUE(QFile::link(inside, folder + "y2003/m7/d5/1.nv3"));

    EXPECT_TRUE(textsOf(kDay).isEmpty());
    EXPECT_FALSE(store.HasAppointments(kDay));
    EXPECT_EQ(textsOf(kDay.addDays(1)), QStringList{"linked inside"});
    EXPECT_TRUE(store.HasAppointments(kDay.addDays(1)));

    ClassTermin a = *store.LoadAppointment(link, kDay);
    a.setText(QStringLiteral("written through the link"));
    EXPECT_FALSE(store.SaveAppointment(a).ok);
    store.DeleteAppointmentFile(link);
    EXPECT_EQ(TestFiles::readBytes(target), appointment("someone else's"));
}

TEST_F(HostileShareTest, HasAndDayAgreeOnEveryOddEntry)
{
    QDir().mkpath(folder + "y2003/m7/d4");
    // A name that is not valid in the file-name encoding, a link to a device, a FIFO.
    const QByteArray badName = QFile::encodeName(folder + "y2003/m7/d4/") + "caf\xe9.nv3";
    const int fd = ::open(badName.constData(), O_CREAT | O_WRONLY, 0600);
    // Qt cannot name it, so the temporary folder could not remove it either.
    const auto removeBadName = qScopeGuard([&] { ::unlink(badName.constData()); });
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, appointment("x").constData(), 10), 10);
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
}

TEST_F(HostileShareTest, AbsurdRecurrenceYearsMeanFarAwayNotOverflow)
{
    put("recurring/every/1.nv3",
        appointment("until far away", "RecurringFromYear=2000\r\nRecurringUntilYear=178956971\r\n"
                                      "RecurringUntilMonth=12\r\nRecurringUntilDay=31\r\n"));
    put("recurring/every/2.nv3", appointment("from far away", "RecurringFromYear=2147483647\r\n"
                                                              "RecurringUntilYear=2147483647\r\n"));
    put("recurring/every/3.nv3", appointment("until long ago", "RecurringFromYear=-2147483647\r\n"
                                                               "RecurringUntilYear=-5\r\n"));
    EXPECT_EQ(textsOf(QDate(2026, 12, 7)), QStringList{"until far away"});
}

struct DateCase {
    int year, month, day;
    QDate expected;
};

TEST(DateSerialBounds, CarriesForwardAndClampsInsteadOfOverflowing)
{
    const DateCase cases[] = {
        {2003, 2, 30, QDate(2003, 3, 2)},
        {2003, 13, 1, QDate(2004, 1, 1)},
        {2003, 0, 0, QDate(2002, 11, 30)},
        {178956971, 12, 31, QDate(9999, 12, 31)},
        {2147483647, 2147483647, 2147483647, QDate(9999, 12, 31)},
        {-2147483647 - 1, -2147483647 - 1, -2147483647 - 1, QDate(1, 1, 1)},
        {0, 1, 1, QDate(1, 1, 1)},
        {2003, 1, 2147483647, QDate(2003, 1, 1).addDays(2147483646)},
    };
    for (const DateCase& c : cases)
        EXPECT_EQ(DateSerial(c.year, c.month, c.day), c.expected)
            << c.year << "-" << c.month << "-" << c.day;
}

TEST(ProfileMemory, AFileCostsMemoryInProportionToItsBytes)
{
    const QString text(1024 * 1024, QLatin1Char('\n')); // a mebibyte of line breaks
    const size_t before = mallinfo2().uordblks;
    ProfileDocument document(text);
    document.setValue("S", "k", "v");
    const size_t held = mallinfo2().uordblks - before;
    EXPECT_EQ(document.value("S", "k"), QStringLiteral("v"));
    EXPECT_LT(held, size_t(8) * 1024 * 1024) << "about two bytes per character, not per line";

    QTemporaryDir dir;
    ProfileCache cache(RealFileAccess::instance(), 100, 4 * 1024 * 1024);
    for (int i = 0; i < 10; ++i) {
        const QString path = dir.filePath(QStringLiteral("%1.ini").arg(i));
        TestFiles::writeBytes(path, QByteArray(1000 * 1000, '\n'));
        cache.lookup(path);
        EXPECT_LE(cache.bytesHeld(), 4 * 1024 * 1024);
    }
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

TEST_F(HostileShareTest, ADataFolderBelowARecurringDirectoryKeepsOneTimeAppointments)
{
    const QString team = folder + "recurring/team/";
    settings.setActiveFolder(team);
    const QString path = team + "y2003/m7/d4/1.nv3";
    TestFiles::writeSettled(path, appointment("one time"));
    ClassTermin a = *store.LoadAppointment(path, kDay);
    EXPECT_FALSE(a.IsRecurring());

    AppointmentFiling filing(store, settings);
    ASSERT_TRUE(filing.File(a).ok);
    EXPECT_EQ(a.filename(), path) << "stays where it was";
    EXPECT_EQ(textsOf(kDay), QStringList{"one time"});
}

TEST_F(HostileShareTest, ASaveNeverCreatesAMissingDataFolder)
{
    const QString gone = folder + "unmounted/";
    settings.setActiveFolder(gone);
    ClassTermin a;
    a.setDatum(kDay);
    a.setText(QStringLiteral("would split the team's data"));

    AppointmentFiling filing(store, settings);
    const WriteOutcome result = filing.File(a);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.cause, WriteOutcome::Cause::FolderUnreachable);
    EXPECT_EQ(result.path, gone);
    EXPECT_FALSE(QFileInfo::exists(gone));
    EXPECT_FALSE(store.IsDataFolderReachable());
}

} // namespace
