// Taking an import back: what its record names is followed only inside the data folder's
// appointment tree, and a file changed since the import stays, named in the summary.
#include "exchange/ImportRecord.h"
#include "TestFiles.h"
#include "exchange/IcsImport.h"
#include "profile/FileAccess.h"
#include "settings/Language.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QByteArray kImported = "[AppointmentSettings]\r\nText=Imported\r\n";

QByteArray bytesLine(const QString& relative, const QByteArray& content)
{
    return "bytes=" + QCryptographicHash::hash(content, QCryptographicHash::Sha256).toHex() + ' ' +
           QByteArray::number(content.size()) + ' ' + relative.toUtf8() + '\n';
}

QByteArray recordOf(const QByteArray& lines)
{
    return "Norvane import record\nsource=/home/anna/club.ics\nuser=anna\n"
           "started=2026-03-01T10:00:00\n" +
           lines + "finished=2026-03-01T10:00:05\n";
}

class ImportRecordTest : public ::testing::Test {
protected:
    QString folder() const { return dir.filePath("data"); }
    QString record() const { return folder() + "/ImportRecords/1-anna.txt"; }
    QString outside(const QString& name) const { return dir.filePath("outside/" + name); }

    QTemporaryDir dir;
};

// Lines of a record that lead out of the folder are never followed: the files there stay, and
// the summary says what was left.
TEST_F(ImportRecordTest, WhatLeadsOutOfTheFolderIsLeftAndSaid)
{
    ASSERT_TRUE(TestFiles::writeBytes(outside("x.nv3"), kImported));
    ASSERT_TRUE(TestFiles::writeBytes(outside("day/5.nv3"), kImported));
    ASSERT_TRUE(QDir().mkpath(folder() + "/y2026/m3"));
    ASSERT_TRUE(QFile::link(outside("day"), folder() + "/y2026/m3/d10"));
    ASSERT_TRUE(TestFiles::writeBytes(folder() + "/y2026/m3/d11/6.nv3", kImported));
    const struct {
        QByteArray line;
        QString said;
    } rows[] = {
        {"new=../outside/x.nv3\n",
         "Ignored, as they name no appointment of the data folder: ../outside/x.nv3"},
        {"new=" + outside("x.nv3").toUtf8() + '\n',
         "Ignored, as they name no appointment of the data folder: " + outside("x.nv3")},
        {"new=y2026/m3/d10/5.nv3\n" + bytesLine("y2026/m3/d10/5.nv3", kImported),
         "Left alone, as a link leads them out of the data folder: y2026/m3/d10/5.nv3"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.line.toStdString());
        ASSERT_TRUE(
            TestFiles::writeBytes(record(), recordOf(row.line + "new=y2026/m3/d11/6.nv3\n" +
                                                     bytesLine("y2026/m3/d11/6.nv3", kImported))));
        const UndoOutcome undone = UndoImport(record(), ThreadFileAccess());
        EXPECT_TRUE(UndoSummary(undone).contains(row.said)) << UndoSummary(undone).toStdString();
        EXPECT_EQ(undone.removed, 1);
        EXPECT_EQ(TestFiles::readBytes(outside("x.nv3")), kImported);
        EXPECT_EQ(TestFiles::readBytes(outside("day/5.nv3")), kImported);
        ASSERT_TRUE(TestFiles::writeBytes(folder() + "/y2026/m3/d11/6.nv3", kImported));
    }
}

// An ImportRecords directory that is a link out of the folder is neither read nor written.
TEST_F(ImportRecordTest, ALinkedRecordDirectoryIsNeitherReadNorWritten)
{
    ASSERT_TRUE(QDir().mkpath(folder()));
    ASSERT_TRUE(
        TestFiles::writeBytes(outside("records/1-anna.txt"), recordOf("new=y2026/m3/d11/6.nv3\n")));
    ASSERT_TRUE(QFile::link(outside("records"), folder() + "/ImportRecords"));
    ASSERT_TRUE(TestFiles::writeBytes(folder() + "/y2026/m3/d11/6.nv3", kImported));

    const UndoOutcome undone = UndoImport(record(), ThreadFileAccess());
    EXPECT_FALSE(undone.record.ok);
    EXPECT_EQ(UndoSummary(undone).toStdString(),
              "The import record cannot be read: It is no file inside the data folder " +
                  folder().toStdString() + ".");
    EXPECT_TRUE(QFile::exists(folder() + "/y2026/m3/d11/6.nv3"));
    EXPECT_TRUE(QFile::exists(outside("records/1-anna.txt")));
    EXPECT_EQ(LastImportRecord(folder(), "anna", ThreadFileAccess()), "");

    QString error;
    EXPECT_EQ(ImportRecord::start(folder(), "club.ics", "anna", &error), nullptr);
    EXPECT_TRUE(error.endsWith(folder() + "/ImportRecords is no directory of the data folder."))
        << error.toStdString();
    EXPECT_EQ(QDir(outside("records")).entryList(QDir::Files).size(), 1);
}

// A file is removed only while it is as imported: its bytes where the record notes them, else
// its time against the record's last line (a record of an older version).
TEST_F(ImportRecordTest, AFileChangedSinceTheImportIsKeptAndNamed)
{
    const QString day = "y2026/m3/d10/";
    const QDateTime recordTime = QDateTime::currentDateTime().addSecs(-600);
    const struct {
        const char* name;
        QByteArray bytes; // noted for it; empty: none, as an older version wrote
        QByteArray now;   // the file
        int modifiedAgo;  // seconds before now; the record's last line is 600 ago
        bool removed;
    } rows[] = {
        {"1.nv3", kImported, kImported, 900, true},
        {"2.nv3", kImported, kImported + "Text=Edited\r\n", 900, false},
        {"3.nv3", kImported, kImported, 0, true}, // the same bytes saved again
        {"4.nv3", kImported, "[AppointmentSettings]\r\nText=Imparted\r\n", 900, false},
        {"5.nv3", "", kImported, 900, true},
        {"6.nv3", "", kImported, 0, false},
    };
    QByteArray lines;
    for (const auto& row : rows) {
        const QString path = folder() + '/' + day + row.name;
        ASSERT_TRUE(TestFiles::writeBytes(path, row.now));
        ASSERT_TRUE(
            TestFiles::setModified(path, QDateTime::currentDateTime().addSecs(-row.modifiedAgo)));
        lines += "new=" + (day + row.name).toUtf8() + '\n';
        if (!row.bytes.isEmpty())
            lines += bytesLine(day + row.name, row.bytes);
    }
    ASSERT_TRUE(TestFiles::writeBytes(record(), recordOf(lines)));
    ASSERT_TRUE(TestFiles::setModified(record(), recordTime));

    const UndoOutcome undone = UndoImport(record(), ThreadFileAccess());
    for (const auto& row : rows)
        EXPECT_EQ(QFile::exists(folder() + '/' + day + row.name), !row.removed) << row.name;
    EXPECT_EQ(undone.removed, 3);
    EXPECT_EQ(UndoSummary(undone).section('\n', 1).toStdString(),
              "3 appointments were changed since the import and were kept: y2026/m3/d10/2.nv3, "
              "y2026/m3/d10/4.nv3, y2026/m3/d10/6.nv3");
    EXPECT_FALSE(QFile::exists(record()));

    Language::apply("de");
    const auto english = qScopeGuard([] { Language::apply("en"); });
    UndoOutcome one;
    one.record.ok = true;
    one.kept = QStringList{day + "2.nv3"};
    EXPECT_TRUE(UndoSummary(one).endsWith("\n1 Termin wurde seit dem Import geändert und "
                                          "bleibt erhalten: y2026/m3/d10/2.nv3"))
        << UndoSummary(one).toStdString();
}

} // namespace
