// What an unlucky share does to the store, one fault at a time: nothing hangs, nothing crashes,
// nothing is lost, and a failed save says so.
#include "StoreFolderTest.h"

#include <QDir>

#include <sys/stat.h>

namespace {

using namespace StoreFolder;

class HostileShareTest : public StoreFolderTest {
protected:
    QStringList texts()
    {
        QStringList shown = textsOf(kDay);
        shown.sort();
        return shown;
    }
};

TEST_F(HostileShareTest, AReadOnlyFolderRefusesSavesMovesAndDeletesAndKeepsEveryFile)
{
    const QString path = put("y2003/m7/d4/1.nv3", appointment(1, "Budget"));
    const QByteArray before = TestFiles::readBytes(path);
    ClassTermin a = *store.LoadAppointment(path, kDay);
    files.readOnly = true;
    a.setText("Changed");
    const WriteOutcome saved = filing.File(a);
    EXPECT_FALSE(saved.ok);
    EXPECT_EQ(saved.error, "Read-only file system");
    a.setDatum(kDay.addDays(1));
    EXPECT_FALSE(filing.File(a).ok) << "a move neither";
    store.DeleteAppointmentFile(path);
    EXPECT_EQ(TestFiles::readBytes(path), before);
    EXPECT_EQ(texts(), QStringList{"Budget"});
    files.readOnly = false;
    EXPECT_TRUE(filing.File(a).ok) << "writable again, it works again";
}

TEST_F(HostileShareTest, LoopsHugeFilesAndSwappedKindsNeitherHangNorCrash)
{
    put("y2003/m7/d4/1.nv3", appointment(1, "Budget"));
    QDir(data.path()).mkpath("recurring");
    // A link loop, and a recurring directory that leads back to the folder itself.
    ASSERT_TRUE(QFile::link("loop", data.filePath("y2003/m7/d4/loop.nv3")));
    ASSERT_TRUE(QFile::link(data.path(), data.filePath("recurring/every")));
    // 100 MB of nothing, and a directory under an appointment's name.
    QFile huge(data.filePath("y2003/m7/d4/2.nv3"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    ASSERT_TRUE(huge.resize(100LL * 1024 * 1024));
    huge.close();
    QDir(data.path()).mkpath("y2003/m7/d4/3.nv3");
    EXPECT_EQ(texts(), QStringList{"Budget"}) << "the huge file is skipped, not read in part";
    ASSERT_EQ(store.takeUnreadableFiles().size(), 1);
    EXPECT_TRUE(texts().size() == 1 && store.takeUnreadableFiles().isEmpty()) << "named once";
    EXPECT_TRUE(store.HasAppointments(kDay));

    // The day's directory replaced by a file: an empty day (a save there: DataAccessTest).
    ASSERT_TRUE(QDir(data.filePath("y2003/m7/d4")).removeRecursively());
    TestFiles::writeBytes(data.filePath("y2003/m7/d4"), "not a directory");
    EXPECT_TRUE(texts().isEmpty());
}

TEST_F(HostileShareTest, ADirectoryLinkOutOfTheFolderIsNeitherWrittenThroughNorMadeInto)
{
    // The month leads out of the folder: one day of it is there, the next still to be made.
    QTemporaryDir outside;
    QDir(data.path()).mkpath("y2003");
    ASSERT_TRUE(QFile::link(outside.path(), data.filePath("y2003/m7")));
    QDir(outside.path()).mkpath("d4");
    for (const QDate& day : {kDay, kDay.addDays(1)}) {
        ClassTermin a;
        a.setDatum(day);
        const WriteOutcome saved = filing.File(a);
        EXPECT_FALSE(saved.ok);
        EXPECT_EQ(saved.cause, WriteOutcome::Cause::OutsideFolder) << qPrintable(saved.error);
    }
    EXPECT_EQ(QDir(outside.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{"d4"});
    EXPECT_TRUE(QDir(outside.filePath("d4"))
                    .isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
}

// Whatever became of the month the last day was made in, a new day lands where its path says.
TEST_F(HostileShareTest, ANewDayLandsWhereItsPathSaysWhateverBecameOfTheMonthItWasMadeIn)
{
    const auto fileOn = [this](const QDate& day) {
        ClassTermin a;
        a.setDatum(day);
        return filing.File(a).ok;
    };
    for (const auto& [what, filesThere] :
         {std::pair{"removed", 1}, {"moved", 1}, {"link out", 0}, {"day made", 2}}) {
        SCOPED_TRACE(what);
        QTemporaryDir folder;
        QTemporaryDir away;
        settings.setActiveFolder(folder.path());
        const QString month = folder.filePath("y2003/m7");
        ASSERT_TRUE(fileOn(kDay));
        store.ListAppointmentFiles(kDay, kDay.addDays(1)); // the listings know the next day missing
        if (what == std::string("removed"))
            QDir(month).removeRecursively();
        else if (what == std::string("moved"))
            QDir().rename(month, folder.filePath("y2003/m7x"));
        else if (what == std::string("link out"))
            ASSERT_TRUE(QDir(month).removeRecursively() && QFile::link(away.path(), month));
        else
            TestFiles::writeSettled(month + "/d5/9.nv3", appointment(9, "Theirs"));
        EXPECT_EQ(fileOn(kDay.addDays(1)), filesThere > 0);
        EXPECT_EQ(QDir(month + "/d5").entryList({"*.nv3"}).size(), filesThere);
        EXPECT_TRUE(QDir(away.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot));
        EXPECT_FALSE(QFileInfo::exists(folder.filePath("y2003/m7x/d5")));
    }
}

// A deletion by any path that leads out of the folder, through a linked directory or "..",
// removes nothing there; a link to a file outside is removed itself, never its target.
TEST_F(HostileShareTest, ADeletionNeverReachesAFileOutsideTheFolder)
{
    const struct {
        const char* linked;  // the directory of the folder that is a link to outside, if any
        const char* deleted; // what is deleted, relative to the folder
    } cases[] = {
        {"y2003", "y2003/m7/d4/a.nv3"},
        {"y2003/m7", "y2003/m7/d4/a.nv3"},
        {"y2003/m7/d4", "y2003/m7/d4/a.nv3"},
        {"recurring", "recurring/every/a.nv3"},
        {"recurring/wd2", "recurring/wd2/a.nv3"},
        {nullptr, "y2003/m7/d4/../../../../outside/a.nv3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.deleted);
        QTemporaryDir folder;
        QTemporaryDir outside;
        QDir(folder.path()).mkpath(QStringLiteral("y2003/m7/d4"));
        QDir(folder.path()).mkpath(QStringLiteral("recurring"));
        const QString relative = QString::fromLatin1(c.deleted);
        QString victim;
        if (c.linked) {
            const QString link = folder.filePath(QString::fromLatin1(c.linked));
            QDir(link).removeRecursively();
            ASSERT_TRUE(QFile::link(outside.path(), link));
            // The part of the path below the link, made outside.
            const QString below = relative.mid(QString::fromLatin1(c.linked).size() + 1);
            victim = outside.filePath(below);
        } else {
            QDir(folder.path()).mkpath(QStringLiteral("../outside"));
            victim = QDir::cleanPath(folder.filePath(relative));
        }
        QDir().mkpath(QFileInfo(victim).path());
        TestFiles::writeSettled(victim, "[AppointmentSettings]\r\nText=theirs\r\n");

        settings.setActiveFolder(folder.path());
        store.DeleteAppointmentFile(folder.filePath(relative));
        EXPECT_FALSE(files.remove(folder.filePath(relative), folder.path()));
        EXPECT_TRUE(QFileInfo::exists(victim));
        if (!c.linked)
            QDir(QFileInfo(victim).path()).removeRecursively();
    }

    // A link in the folder to a file outside: the link goes, the file stays.
    QTemporaryDir outside;
    const QString target = outside.filePath(QStringLiteral("report.odt"));
    TestFiles::writeSettled(target, "report");
    QDir(data.path()).mkpath(QStringLiteral("y2003/m7/d4"));
    const QString link = data.filePath(QStringLiteral("y2003/m7/d4/link.nv3"));
    ASSERT_TRUE(QFile::link(target, link));
    EXPECT_TRUE(files.remove(link, data.path()));
    EXPECT_FALSE(QFileInfo(link).isSymLink());
    EXPECT_TRUE(QFileInfo::exists(target));
}

} // namespace

// The listing of a window of days takes only what the tree lays out, named as the store names
// it, and never follows a linked directory: what the sync reads of the folder.
TEST_F(HostileShareTest, AWindowListsOnlyTheTreesOwnFilesInsideTheFolder)
{
    QTemporaryDir outside;
    const char* const present[] = {
        "y2003/m7/d4/in.nv3", "y2003/m7/d31/lastday.nv3", "recurring/every/daily.nv3",
        "recurring/wd2/tuesday.nv3", "recurring/m2/d29/leap.nv3",
        // not listed: outside the window, spelled otherwise, no real date, no appointment name
        "y2003/m8/d1/after.nv3", "y2003/m07/d4/zero.nv3", "y2003/m6/d31/nodate.nv3",
        "y2003/m7/d4/.hidden.nv3", "y2003/m7/d4/notes.txt", "recurring/other/x.nv3",
        "recurring/wd8/x.nv3"};
    for (const char* path : present)
        put(QString::fromLatin1(path), appointment(1, "x"));
    QDir(data.path()).mkpath("y2003/m7/d5/dir.nv3");
    QDir(outside.path()).mkpath("d6");
    TestFiles::writeSettled(outside.filePath("d6/theirs.nv3"), "[AppointmentSettings]\r\n");
    ASSERT_TRUE(QFile::link(outside.filePath("d6"), data.filePath("y2003/m7/d6")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(data.filePath("y2003/m7/d4/fifo.nv3")), 0600), 0);

    QStringList listed;
    for (const DataAccess::ListedAppointment& file :
         store.ListAppointmentFiles(QDate(2003, 7, 1), QDate(2003, 7, 31))) {
        listed << file.path;
        EXPECT_GT(file.meta.size, 0) << qPrintable(file.path);
    }
    listed.sort();
    EXPECT_EQ(listed, QStringList({"recurring/every/daily.nv3", "recurring/m2/d29/leap.nv3",
                                   "recurring/wd2/tuesday.nv3", "y2003/m7/d31/lastday.nv3",
                                   "y2003/m7/d4/in.nv3"}));
}
