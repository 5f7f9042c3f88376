// Copies on several machines book one room for the same or overlapping hours at the same
// moment, on the local disk and on a slow share: exactly one booking lands, every other copy
// says why it did not, and no claim is left behind.
#include "CliRun.h"
#include "OlderCopy.h"
#include "SlowShare.h"
#include "TestFiles.h"
#include "store/FolderClaim.h"

#include <QDir>
#include <QRegularExpression>

#include <memory>
#include <vector>

namespace {

void raceOn(const QString& folder, int rounds, int copies)
{
    ASSERT_TRUE(QDir().mkpath(folder));
    for (int round = 0; round < rounds; ++round) {
        const QString day = QDate(2027, 3, 1).addDays(round).toString(Qt::ISODate);
        std::vector<std::unique_ptr<QProcess>> running;
        for (int copy = 0; copy < copies; ++copy) {
            // Every other copy half an hour later: still overlapping.
            const QString start = copy % 2 ? "10:30" : "10:00";
            const QString end = copy % 2 ? "11:30" : "11:00";
            running.push_back(std::make_unique<QProcess>());
            running.back()->start(QStringLiteral(NORVANE_CLI_PATH),
                                  {"new", day, start, end, QString("copy%1").arg(copy), "--room",
                                   copy % 3 ? "Room 2" : "room 2", "--folder", folder});
        }
        int booked = 0;
        for (auto& copy : running) {
            ASSERT_TRUE(copy->waitForFinished(60000));
            const QString err = QString::fromUtf8(copy->readAllStandardError());
            if (copy->exitCode() == 0) {
                ++booked;
                continue;
            }
            EXPECT_EQ(copy->exitCode(), 1);
            EXPECT_TRUE(err.contains(QRegularExpression(
                "[Rr]oom 2 is (booked by \\S+, 10:[03]0\u201311:[03]0|being booked by another "
                "copy just now. Please try again.)")))
                << err.toStdString();
        }
        EXPECT_EQ(booked, 1) << "round " << round;
        const auto shown = OlderCopy::shown(folder, QDate::fromString(day, Qt::ISODate),
                                            QDate::fromString(day, Qt::ISODate));
        EXPECT_EQ(shown.value(QDate::fromString(day, Qt::ISODate)).size(), 1);
    }
    EXPECT_EQ(QDir(folder).entryList({"*.claim"}, QDir::Files | QDir::Hidden), QStringList());
}

TEST(RoomRaceTest, CopiesBookingOneRoomAtOnceLandOneBooking)
{
    QTemporaryDir data;
    raceOn(data.path() + '/', 4, 8);
}

TEST(RoomRaceTest, CopiesBookingOneRoomAtOnceOnASlowShareLandOneBooking)
{
    if (const QString why = SlowShare::unavailable(); !why.isEmpty())
        GTEST_SKIP() << "no slow share on this machine: " << why.toStdString();
    SlowShare share(1);
    ASSERT_EQ(share.error(), "");
    raceOn(QDir(share.mountPath()).absolutePath() + '/', 2, 6);
}

TEST(RoomRaceTest, TheClaimOfACopyThatDiedIsTakenOverOnceOld)
{
    QTemporaryDir data;
    const QString folder = data.path() + '/';
    const QString claim = FolderClaim::roomPath(folder, "Room 2");
    ASSERT_TRUE(TestFiles::writeBytes(claim, "crashed 99\n"));
    const QStringList args{"new",    "2027-03-01", "10:00",    "11:00", "Talk",
                           "--room", "Room 2",     "--folder", folder};
    const CliRun held = cli(args);
    EXPECT_EQ(held.code, 1);
    EXPECT_TRUE(held.err.contains("being booked by another copy")) << held.err.toStdString();
    TestFiles::setModified(claim, QDateTime::currentDateTime().addSecs(-120));
    const CliRun taken = cli(args);
    EXPECT_EQ(taken.code, 0) << taken.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(claim));
}

} // namespace
