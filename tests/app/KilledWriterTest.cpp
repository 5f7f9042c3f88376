// A copy of the program killed in the middle of an import leaves only whole appointment
// files: each one is written beside its place and renamed over it when complete.
#include "TestFiles.h"

#include <QDeadlineTimer>
#include <QDirIterator>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>

namespace {

TEST(KilledWriterTest, AnImportKilledHalfWayLeavesOnlyCompleteAppointments)
{
    QTemporaryDir data;
    QTemporaryDir lists;
    QByteArray list = "[Many]\r\n";
    for (QDate day(2000, 1, 1); day < QDate(2008, 1, 1); day = day.addDays(1))
        list += "Day " + day.toString(Qt::ISODate).toUtf8() + ", " +
                day.toString("yyyy/MM/dd").toUtf8() + "\r\n";
    ASSERT_TRUE(TestFiles::writeBytes(lists.filePath("many.txt"), list));

    QProcess import;
    import.start(QStringLiteral(NORVANE_CLI_PATH), {"import-holidays", lists.filePath("many.txt"),
                                                    "--section", "Many", "--folder", data.path()});
    ASSERT_TRUE(import.waitForStarted());
    const auto written = [&] {
        int count = 0;
        QDirIterator it(data.path(), {"*.nv3"}, QDir::Files, QDirIterator::Subdirectories);
        for (; it.hasNext(); it.next())
            ++count;
        return count;
    };
    const QDeadlineTimer patience(30000);
    while (written() < 200 && !patience.hasExpired())
        QThread::msleep(5);
    ::kill(pid_t(import.processId()), SIGKILL);
    import.waitForFinished();
    ASSERT_LT(written(), 2922) << "killed before the end, or the test proves nothing";

    QDirIterator it(data.path(), {"*.nv3"}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QByteArray bytes = TestFiles::readBytes(path);
        EXPECT_TRUE(bytes.startsWith("[AppointmentSettings]\r\n") &&
                    bytes.contains("\r\nProducer=Import\r\n") &&
                    bytes.contains("\r\nRecurringUntilDay=") && bytes.endsWith("\r\n"))
            << qPrintable(path);
    }
}

} // namespace
