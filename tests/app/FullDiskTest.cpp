// Every writer on a disk that is really full: the program reports the failure, the files that
// were there keep their bytes, and nothing empty, half written or temporary is left behind.
#include "CliRun.h"
#include "TestFiles.h"
#include "profile/ProfileCache.h"
#include "settings/Settings.h"
#include "store/AppointmentFiling.h"
#include "store/DataAccess.h"

#include <QDirIterator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>

#include <sys/mount.h>

namespace {

const QDate kDay(2027, 1, 4);

// A small tmpfs of its own, mounted where the test may mount one, then filled up.
class FullDiskTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(mountPoint.isValid());
        if (::mount("tmpfs", QFile::encodeName(mountPoint.path()).constData(), "tmpfs", 0,
                    "size=256k") != 0)
            GTEST_SKIP() << "cannot mount a small tmpfs here (needs root or CAP_SYS_ADMIN): "
                         << std::strerror(errno);
        mounted = true;
        old = {
            {path("data/y2027/m1/d4/1.nv3"), appointmentBytes("Budget")},
            {path("Norvane4.ini"), "[Settings]\r\nTimeFormat=1\r\nStartHour=7\r\n"},
            {path("week.pdf"), "%PDF-1.4 the old printout\n"},
        };
        for (const auto& [file, bytes] : old)
            ASSERT_TRUE(TestFiles::writeBytes(file, bytes));
        fill();
    }
    void TearDown() override
    {
        if (mounted)
            ::umount2(QFile::encodeName(mountPoint.path()).constData(), MNT_DETACH);
    }

    QString path(const QString& name) const { return mountPoint.filePath(name); }
    static QByteArray appointmentBytes(const char* text)
    {
        return QByteArray("[AppointmentSettings]\r\nDateYear=2027\r\nDateMonth=1\r\nDateDay=4\r\n"
                          "StartTimeHour=9\r\nEndTimeHour=10\r\nText=") +
               text + "\r\n";
    }
    // Leaves no byte free: the last block goes to a file of single bytes.
    void fill()
    {
        QFile filler(path("filler"));
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
        const QByteArray block(4096, 'f');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
        filler.close();
    }
    // Every old file as it was, and no file that is empty or was left by a write.
    void expectNothingLost() const
    {
        for (const auto& [file, bytes] : old)
            EXPECT_EQ(TestFiles::readBytes(file), bytes) << qPrintable(file);
        QStringList left;
        for (QDirIterator it(mountPoint.path(), QDir::Files | QDir::Hidden,
                             QDirIterator::Subdirectories);
             it.hasNext();) {
            const QFileInfo file(it.next());
            if (file.fileName() != "filler" && !old.count(file.filePath()))
                left << file.filePath();
        }
        EXPECT_EQ(left, QStringList());
    }

    QTemporaryDir mountPoint;
    bool mounted = false;
    std::map<QString, QByteArray> old;
};

TEST_F(FullDiskTest, TheCommandsSayWhatWasNotWrittenAndExitWithOne)
{
    QTemporaryDir sources;
    const QString ics = sources.filePath("two.ics");
    ASSERT_TRUE(TestFiles::writeBytes(
        ics, "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\nUID:a\r\nSUMMARY:One\r\n"
             "DTSTART:20270105T090000\r\nEND:VEVENT\r\nBEGIN:VEVENT\r\nUID:b\r\nSUMMARY:Two\r\n"
             "DTSTART:20270106T090000\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n"));
    const QString holidays = sources.filePath("holidays.txt");
    ASSERT_TRUE(TestFiles::writeBytes(holidays, "[Here]\r\nNew Year, 2027/01/01\r\n"));
    const QStringList folder{"--folder", path("data")};
    const QStringList commands[] = {
        QStringList{"import-ics", ics} + folder,
        QStringList{"import-holidays", holidays, "--section", "Here"} + folder,
        QStringList{"pdf", "week", "2027-01-04", path("week.pdf")} + folder,
    };
    for (const QStringList& args : commands) {
        SCOPED_TRACE(args.join(' ').toStdString());
        const CliRun run = cli(args);
        EXPECT_EQ(run.code, 1) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains("No space left on device")) << run.err.toStdString();
        expectNothingLost();
    }
}

TEST_F(FullDiskTest, ASavedAppointmentAndTheSettingsKeepTheirOldBytes)
{
    ProfileCache profiles(ThreadFileAccess());
    DataAccess store(profiles, StoreSource::fixed(path("data/")));
    AppointmentFiling filing(store);
    const QList<TerminPtr> day = store.GetAppointmentsOfDay(kDay);
    ASSERT_EQ(day.size(), 1);
    ClassTermin changed = *day[0];
    changed.setText(QString(2000, QLatin1Char('x')));
    const WriteOutcome saved = filing.File(changed);
    EXPECT_FALSE(saved.ok);
    EXPECT_EQ(saved.error, QStringLiteral("No space left on device"));

    Settings settings(profiles, mountPoint.path());
    settings.LoadSettings();
    ASSERT_EQ(settings.Path(), path("Norvane4.ini"));
    settings.setSoundFile(QString(2000, QLatin1Char('s')));
    const WriteOutcome settingsSaved = settings.SaveSettings();
    EXPECT_FALSE(settingsSaved.ok);
    EXPECT_EQ(settingsSaved.error, QStringLiteral("No space left on device"));
    expectNothingLost();
}

} // namespace
