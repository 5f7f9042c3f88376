// A private appointment as its owner and as everyone else reads it, on disk and in the store.
#include "store/Privacy.h"
#include "TestFiles.h"
#include "store/AppointmentCopy.h"
#include "store/AppointmentFile.h"
#include "store/DataAccess.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class PrivacyTest : public ::testing::Test {
protected:
    QString write(const QByteArray& keys, const QString& relative = "y2026/m12/d14/1.nv3")
    {
        const QString path = dir.filePath(relative);
        TestFiles::writeBytes(path,
                              "[AppointmentSettings]\r\nStartTimeHour=10\r\nStartTimeMinute=0\r\n"
                              "EndTimeHour=11\r\nEndTimeMinute=0\r\n"
                              "Text=Doctor##br##Location: Hall 2\r\n"
                              "Organizer=ORGANIZER:mailto:eve@example.org\r\n" +
                                  keys);
        return path;
    }
    TerminPtr readAs(const QString& viewer, const QString& path)
    {
        DataAccess store(cache, StoreSource::fixed(dir.path(), 60, viewer));
        return store.LoadAppointment(path, QDate(2026, 12, 14));
    }

    QTemporaryDir dir;
    ProfileCache cache{ThreadFileAccess()};
};

TEST_F(PrivacyTest, OthersReadAPrivateAppointmentAsBusyWithItsTimes)
{
    const struct {
        QByteArray keys;
        QString viewer;
        bool masked;
    } rows[] = {
        {"Producer=anna\r\nPrivate=1\r\n", "anna", false}, // its owner
        {"Producer=anna\r\nPrivate=1\r\n", "ben", true},
        {"Producer=anna\r\nPrivate=1\r\nFor=ben\r\n", "ben", true}, // for ben, owned by anna
        {"Producer=anna\r\nPrivate=1\r\n", "Anna", true},           // letter case counts
        {"Private=1\r\n", "ben", true},                             // owned by nobody
        {"Producer=anna\r\nPrivate=1\r\n", "", false},              // the sync reads it all
        {"Producer=anna\r\nPrivate=0\r\n", "ben", false},
        {"Producer=anna\r\n", "ben", false},
    };
    for (const auto& row : rows) {
        const TerminPtr a = readAs(row.viewer, write(row.keys));
        SCOPED_TRACE(row.keys.toStdString() + " as " + row.viewer.toStdString());
        EXPECT_EQ(a->isMasked(), row.masked);
        EXPECT_EQ(a->Text(), row.masked ? Privacy::busyText() : QStringLiteral("Doctor"));
        EXPECT_EQ(a->Location(), row.masked ? QString() : QStringLiteral("Hall 2"));
        EXPECT_EQ(a->Organizer().isEmpty(), row.masked);
        EXPECT_EQ(a->StartTime().minutes(), 600);
        EXPECT_EQ(a->EndTime().minutes(), 660);
    }
}

TEST_F(PrivacyTest, WhatOthersSeeIsNeverWrittenOverTheOwnersText)
{
    const QString path = write("Producer=anna\r\nPrivate=1\r\nRooms=Room 2\r\nUID=abc\r\n");
    const QByteArray before = TestFiles::readBytes(path);
    DataAccess store(cache, StoreSource::fixed(dir.path(), 60, "ben"));
    ClassTermin seen = *store.LoadAppointment(path, QDate(2026, 12, 14));
    EXPECT_EQ(seen.Rooms(), QStringList{"Room 2"});
    EXPECT_TRUE(seen.Uid().isEmpty());
    seen.setStartTime(TimeOfDay::fromHourMinute(12, 0)); // a drag, say
    const WriteOutcome saved = store.SaveAppointment(seen);
    EXPECT_FALSE(saved.ok);
    EXPECT_EQ(saved.cause, WriteOutcome::Cause::Refused);
    EXPECT_EQ(saved.error,
              "This private appointment belongs to anna: only its owner can change it.");
    EXPECT_EQ(TestFiles::readBytes(path), before);

    // A copy is the copier's own "Busy", nothing private about it.
    const ClassTermin copy = AppointmentCopy::of(seen, QDate(2026, 12, 15), "ben");
    EXPECT_EQ(copy.Text(), Privacy::busyText());
    EXPECT_FALSE(copy.isMasked());
    EXPECT_FALSE(copy.IsPrivate());
    EXPECT_EQ(copy.Producer(), "ben");
}

TEST_F(PrivacyTest, PrivateAndRoomsStandInTheFileOnlyWhenSet)
{
    const QString path = write("Producer=anna\r\n");
    ClassTermin a = *readAs("anna", path);
    a.setIsPrivate(true);
    a.setRooms(AppointmentFile::roomsOf(" Room 2 ;beamer; room 2;;x\x01y"));
    IniFile ini(cache, path);
    AppointmentFile::write(ini, a);
    ASSERT_TRUE(ini.commit().ok);
    EXPECT_TRUE(TestFiles::readBytes(path).contains("Private=1\r\n"));
    EXPECT_TRUE(TestFiles::readBytes(path).contains("Rooms=Room 2; beamer\r\n"));
    EXPECT_TRUE(readAs("anna", path)->IsPrivate());

    a.setIsPrivate(false);
    a.setRooms({});
    IniFile again(cache, path);
    AppointmentFile::write(again, a);
    ASSERT_TRUE(again.commit().ok);
    EXPECT_FALSE(TestFiles::readBytes(path).contains("Private="));
    EXPECT_FALSE(TestFiles::readBytes(path).contains("Rooms="));
}

} // namespace
