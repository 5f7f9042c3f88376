// What a save costs on a share, where every call is a round trip: the calls each kind of save
// makes through the file access, and the system calls they come to on the data folder.
//
// The requests a share really sees (the kernel adds lookups of its own) can be counted by
// hand over the FUSE rig: mount `tests/support/slow_share.py BACKING MOUNT --log LOG`, run
//   NORVANE_SAVE_FOLDER=MOUNT test_store --gtest_also_run_disabled_tests
//   --gtest_filter=SaveSystemCalls.DISABLED_OneOfEach
// and count the lines of LOG between the "/.mark-<step>" lookups.
#include "SystemCallTrace.h"
#include "TestFiles.h"
#include "store/AppointmentFiling.h"
#include "store/DataAccess.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QDate kDay(2026, 3, 4);

struct Step {
    const char* name;
    // Calls through the file access: Listings, Metadata, Reads, Writes, removals (D), Paths.
    const char* calls;
    int systemCalls; // on the data folder, closes apart
};

// Each within 7 system calls but a move: the one question where there is one (a change looks at
// its file, a move whether the name is free in the new day), the directory opened once, the
// temporary file created, written, synced and asked for its time, the rename. A new name is
// drawn without a question: the rename itself refuses one that is taken. A removal (a move's of
// the old file, a delete) opens the file's directory first, so that no linked directory can lead
// it out of the folder: a move takes 9. The first save into a day pays for the day's directory.
const Step kSteps[] = {
    {"new", "L0 M0 R0 W1 D0 P0", 6},        {"change", "L0 M1 R0 W1 D0 P0", 7},
    {"move", "L0 M1 R0 W1 D1 P0", 9},       {"import", "L0 M0 R0 W1 D0 P0", 6},
    {"fixed name", "L0 M0 R1 W1 D0 P0", 7}, {"new day", "L0 M0 R0 W1 D0 P0", 9},
    {"delete", "L0 M0 R0 W0 D1 P0", 2},
};

// One appointment through every kind of save the editor and the imports make, in the order of
// kSteps, on days whose directories are there unless the step says otherwise.
class SaveSteps {
public:
    SaveSteps(FileAccess& files, const QString& folder)
        : m_profiles(files)
        , m_store(m_profiles, StoreSource::fixed(folder))
        , m_day(DataAccess::DayDirectory(m_store.DataFolder(), kDay))
    {
        QDir().mkpath(m_day);
        QDir().mkpath(DataAccess::DayDirectory(m_store.DataFolder(), kDay.addDays(1)));
        m_a.setDatum(kDay);
    }

    // The appointment's file as the editor finds it: written a while ago, and loaded since.
    void settle()
    {
        if (m_a.isNew())
            return;
        // Both times at once: some shares ignore a change of the modification time alone.
        const timespec hourAgo{::time(nullptr) - 3600, 0};
        const timespec times[2] = {hourAgo, hourAgo};
        ::utimensat(AT_FDCWD, QFile::encodeName(m_a.filename()).constData(), times, 0);
        m_store.LoadAppointment(m_a.filename(), m_a.datum());
    }

    bool act(const QString& step)
    {
        ClassTermin b;
        b.setDatum(kDay);
        if (step == "change")
            m_a.setText(QStringLiteral("second draft"));
        if (step == "move")
            m_a.setDatum(kDay.addDays(1));
        if (step == "new" || step == "change" || step == "move")
            return m_filing.File(m_a).ok;
        if (step == "import")
            b.setFilename(m_day + m_store.UnusedFileName(m_day, [this] { return m_draw++; }));
        if (step == "fixed name")
            b.setFilename(m_day + QStringLiteral("holiday.nv3"));
        if (step == "import" || step == "fixed name")
            return m_store.SaveAppointment(b).ok;
        if (step == "new day") {
            b.setDatum(kDay.addDays(10));
            return m_filing.File(b).ok;
        }
        m_store.DeleteAppointmentFile(m_a);
        return true;
    }

private:
    ProfileCache m_profiles;
    DataAccess m_store;
    QString m_day;
    quint32 m_draw = 1000;
    AppointmentFiling m_filing{m_store, [this] { return m_draw++; }};
    ClassTermin m_a;
};

TEST(SaveRequests, EachKindOfSaveAsksOneQuestionAtMostBeforeItWritesAndANewOneNone)
{
    // What the write needs besides (the directories, the folder's presence, the new file's
    // time) it finds out on its own.
    QTemporaryDir data;
    CountingFileAccess files{ThreadFileAccess()};
    SaveSteps steps(files, data.path());
    for (const Step& step : kSteps) {
        steps.settle();
        files.resetCounts();
        EXPECT_TRUE(steps.act(step.name)) << step.name;
        const CountingFileAccess::Counts& c = files.counts();
        EXPECT_EQ(QString::asprintf("L%d M%d R%d W%d D%d P%d", c.listings, c.metadataQueries,
                                    c.reads, c.writes, c.removals, c.makePaths)
                      .toStdString(),
                  step.calls)
            << step.name;
    }
    // Whole files where they belong, and no temporary one anywhere.
    const auto names = [&](const char* day) {
        return QDir(data.filePath(day)).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    };
    EXPECT_EQ(names("y2026/m3/d4"), (QStringList{"1001.nv3", "holiday.nv3"}));
    EXPECT_EQ(names("y2026/m3/d5"), QStringList());
    EXPECT_EQ(names("y2026/m3/d14"), QStringList{"1002.nv3"});
}

TEST(SaveSystemCalls, ASaveOrImportStaysWithinSevenCallsOnTheFolderAndAMoveNine)
{
    QTemporaryDir data;
    const SystemCallTrace::Trace trace =
        SystemCallTrace::run("SaveSystemCalls.DISABLED_OneOfEach", "NORVANE_SAVE_FOLDER",
                             data.filePath(QStringLiteral("data")), data.path());
    if (!trace.skip.isEmpty())
        GTEST_SKIP() << trace.skip.toStdString();
    ASSERT_TRUE(trace.failure.isEmpty()) << trace.failure.toStdString();
    for (const Step& s : kSteps)
        EXPECT_EQ(trace.calls.value(s.name).size(), s.systemCalls)
            << s.name << ": " << SystemCallTrace::namesOf(trace.calls.value(s.name)).toStdString();
}

// Run by the test above under strace, or by hand over a FUSE mount: each step after a mark
// that shows in the trace.
TEST(SaveSystemCalls, DISABLED_OneOfEach)
{
    const QString folder = qEnvironmentVariable("NORVANE_SAVE_FOLDER");
    ASSERT_FALSE(folder.isEmpty()) << "NORVANE_SAVE_FOLDER names the data folder";
    SaveSteps steps(ThreadFileAccess(), folder);
    for (const Step& step : kSteps) {
        steps.settle();
        SystemCallTrace::mark(folder, step.name);
        EXPECT_TRUE(steps.act(step.name)) << step.name;
        SystemCallTrace::mark(folder, "between steps");
    }
}

} // namespace
