// A new appointment's name is drawn without asking the folder, and its save takes the name only
// while nothing has it: another copy's file, or anything else that came under the name, is
// never written over, and the appointment lands under the next name drawn.
#include "SlowShare.h"
#include "TestFiles.h"
#include "profile/WriteSteps.h"
#include "store/AppointmentFiling.h"
#include "store/Common.h"
#include "store/DataAccess.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const QByteArray kTheirs = "[Appointment]\r\nText=theirs\r\n";

// What another copy, or anyone, may have put under the name.
enum class There { Nothing, File, Fifo, DanglingLink, Directory };

void put(There there, const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    switch (there) {
    case There::Nothing:
        return;
    case There::File:
        TestFiles::writeBytes(path, kTheirs);
        return;
    case There::Fifo:
        ASSERT_EQ(::mkfifo(name.constData(), 0644), 0);
        return;
    case There::DanglingLink:
        ASSERT_EQ(::symlink("/nonexistent/elsewhere.nv3", name.constData()), 0);
        return;
    case There::Directory:
        ASSERT_TRUE(QDir().mkpath(path));
        return;
    }
}

// The kind of entry under path, as lstat tells it, or 0 for none.
mode_t kindAt(const QString& path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & S_IFMT : 0;
}

QStringList hiddenOrNot(const QString& dir)
{
    return QDir(dir).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

TEST(NewName, AWriteOfANewFileTakesNoNameThatAnythingHas)
{
    const struct {
        There there;
        bool written;
        mode_t left; // what stays under the name
    } cases[] = {
        {There::Nothing, true, S_IFREG},    {There::File, false, S_IFREG},
        {There::Fifo, false, S_IFIFO},      {There::DanglingLink, false, S_IFLNK},
        {There::Directory, false, S_IFDIR},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.there));
        QTemporaryDir folder;
        const QString dir = folder.filePath(QStringLiteral("y2026/m3/d4"));
        ASSERT_TRUE(QDir().mkpath(dir));
        const QString path = dir + QStringLiteral("/17.nv3");
        put(c.there, path);
        const WriteOutcome outcome =
            ThreadFileAccess().writeNew(path, "[Appointment]\r\nText=ours\r\n", folder.path());
        EXPECT_EQ(outcome.ok, c.written);
        if (!c.written) {
            EXPECT_EQ(outcome.cause, WriteOutcome::Cause::NameTaken);
        }
        EXPECT_EQ(kindAt(path), c.left);
        if (c.there == There::File) {
            EXPECT_EQ(TestFiles::readBytes(path), kTheirs);
        }
        EXPECT_EQ(hiddenOrNot(dir), QStringList{QStringLiteral("17.nv3")}) << "no temporary left";
    }
}

// The folder's file system as it may be: a local disk, a share that refuses a taken name in
// the rename itself (the client-like one, as an SMB server) and one that cannot, where the
// name is looked at first (the harsh one, as NFS or an older FUSE share).
class NewNameOnFolder : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override
    {
        const std::string where = GetParam();
        if (where == "local")
            return;
        const auto kind = where == "harsh" ? SlowShare::Kind::Harsh : SlowShare::Kind::ClientLike;
        if (const QString why = SlowShare::unavailable(kind); !why.isEmpty())
            GTEST_SKIP() << why.toStdString();
        share = std::make_unique<SlowShare>(0, kind);
        ASSERT_TRUE(share->error().isEmpty()) << share->error().toStdString();
    }
    QString path() const { return share ? share->mountPath() : local.path(); }
    // Where another copy writes.
    QString backing() const { return share ? share->backingPath() : local.path(); }

    QTemporaryDir local;
    std::unique_ptr<SlowShare> share;
};

TEST_P(NewNameOnFolder, ANewAppointmentDrawnOntoAnotherCopysNameLandsUnderTheNextOne)
{
    // On a share the new file's time is asked beside its rename.
    EXPECT_EQ(OnNetworkFileSystem(QFile::encodeName(path())), share != nullptr);
    ProfileCache profiles(ThreadFileAccess());
    DataAccess store(profiles, StoreSource::fixed(path()));
    const QDate day(2026, 3, 4);
    const QString theirDay = DataAccess::DayDirectory(backing() + u'/', day);
    // The day is read (nothing in it) before the other copy saves.
    ASSERT_TRUE(QDir().mkpath(theirDay));
    EXPECT_TRUE(store.GetAppointmentsOfDay(day).isEmpty());
    TestFiles::writeBytes(theirDay + QStringLiteral("17.nv3"), kTheirs);

    QList<quint32> draws{17, 17, 23};
    AppointmentFiling filing(store, [&] { return draws.takeFirst(); });
    ClassTermin ours;
    ours.setDatum(day);
    ours.setText(QStringLiteral("ours"));
    ASSERT_TRUE(filing.File(ours).ok);

    EXPECT_EQ(FileNameOfPath(ours.filename()), QStringLiteral("23.nv3"));
    EXPECT_EQ(TestFiles::readBytes(theirDay + QStringLiteral("17.nv3")), kTheirs);
    EXPECT_EQ(hiddenOrNot(theirDay), (QStringList{"17.nv3", "23.nv3"}));
    const TerminPtr read = store.LoadAppointment(ours.filename(), day);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->Text(), QStringLiteral("ours"));
}

INSTANTIATE_TEST_SUITE_P(Folders, NewNameOnFolder,
                         ::testing::Values("local", "harsh", "clientlike"),
                         [](const auto& info) { return std::string(info.param); });

} // namespace
