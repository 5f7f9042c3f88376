// norvane-cli offline over real folders: what lands in the copy and on the share, the status
// line and the exit codes.
#include "CliRun.h"
#include "TestFiles.h"
#include "store/ApiLoginName.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(OfflineCommandTest, TakesTheCopyAndBringsItsChangesBack)
{
    QTemporaryDir dir;
    const QString share = dir.path() + "/share/";
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_DATA_HOME", dir.path() + "/data");
    const QDate today = QDate::currentDate();
    QStringList paths;
    for (int i = 0; i < 8; ++i)
        paths << TestFiles::putAppointment(share, today.addDays(i), 9, QString("Talk %1").arg(i));
    const auto offline = [&](const QStringList& args) {
        return cli(QStringList{"offline"} + args + QStringList{"--folder", share}, environment);
    };

    const struct {
        QStringList args;
        int code;
    } refused[] = {{{}, 2}, {{"fly"}, 2}, {{"take", "--days-back", "x"}, 2}, {{"return"}, 1}};
    for (const auto& row : refused)
        EXPECT_EQ(offline(row.args).code, row.code) << row.args.join(' ').toStdString();
    EXPECT_EQ(cli({"offline", "take", "--folder", dir.path() + "/none"}, environment).code, 1);

    ASSERT_EQ(offline({"take"}).code, 0);
    const QJsonObject status = QJsonDocument::fromJson(offline({"status"}).out.toUtf8()).object();
    const QString copy = status.value("copy").toString();
    EXPECT_TRUE(status.value("taken").toBool());
    EXPECT_EQ(status.value("files").toInt(), 8);
    const QString first = paths[0].mid(share.size());
    EXPECT_EQ(TestFiles::readBytes(copy + first), TestFiles::readBytes(paths[0]));

    // Offline: one changed, one new; both reach the share on return.
    TestFiles::writeBytes(copy + first, "[AppointmentSettings]\r\nText=Changed offline\r\n");
    const QString added = TestFiles::putAppointment(copy, today, 14, "New offline");
    EXPECT_EQ(
        QJsonDocument::fromJson(offline({"status"}).out.toUtf8()).object().value("changed").toInt(),
        2);
    const CliRun back = offline({"return"});
    EXPECT_EQ(back.code, 0) << back.err.toStdString();
    EXPECT_EQ(TestFiles::readBytes(paths[0]), "[AppointmentSettings]\r\nText=Changed offline\r\n");
    EXPECT_EQ(TestFiles::readBytes(share + added.mid(copy.size())), TestFiles::readBytes(added));

    // Changed on both sides: both versions kept, the copy's marked with who changed it.
    TestFiles::writeBytes(copy + first, "[AppointmentSettings]\r\nText=Laptop\r\n");
    TestFiles::writeBytes(paths[0], "[AppointmentSettings]\r\nText=Office\r\n");
    EXPECT_EQ(offline({"take"}).code, 0);
    const QString day = QFileInfo(paths[0]).path();
    QStringList texts;
    for (const QString& name : QDir(day).entryList(QDir::Files))
        texts << TestFiles::readBytes(day + '/' + name);
    EXPECT_EQ(texts.filter("Text=Office\r\n").size(), 1);
    EXPECT_EQ(
        texts.filter("Text=Laptop (conflict copy, changed offline by " + GetLoginName() + ")\r\n")
            .size(),
        1);
    EXPECT_EQ(TestFiles::readBytes(copy + first), TestFiles::readBytes(paths[0]));

    // A share that comes back emptied takes nothing from the copy.
    for (const QString& path : paths)
        QFile::remove(path);
    EXPECT_EQ(offline({"return"}).code, 3);
    EXPECT_TRUE(QFile::exists(copy + paths[1].mid(share.size())));
}

} // namespace
