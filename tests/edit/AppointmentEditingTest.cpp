// EditMe: the heartbeat pauses while the editor is open, Cancel writes nothing, OK files.
#include "AppointmentEditing.h"
#include "AppointmentFiling.h"
#include "DataAccess.h"
#include "Settings.h"
#include "TestFiles.h"

#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

class AppointmentEditingTest : public ::testing::Test {
protected:
    AppointmentEditingTest() { settings.setActiveFolder(data.path()); }

    QTemporaryDir data;
    QTemporaryDir program;
    ProfileCache profiles{RealFileAccess::instance()};
    Settings settings{profiles, program.path()};
    DataAccess store{profiles, settings};
    AppointmentFiling filing{store, settings};
    AppointmentEditing editing{filing};
    QTimer heartbeat;
};

TEST_F(AppointmentEditingTest, TheHeartbeatRestsWhileTheEditorIsOpenAndComesBackAsItWas)
{
    for (const bool wasOn : {true, false}) {
        wasOn ? heartbeat.start(1000) : heartbeat.stop();
        ClassTermin fresh;
        fresh.setDatum(QDate(2003, 7, 4));
        bool onDuringEdit = true;
        bool sawHandOver = false;
        editing.setEditor([&](EditHandOver& h) {
            onDuringEdit = heartbeat.isActive();
            sawHandOver = h.EditIsNew && h.EditedAppointment == &fresh && !h.EditCancelled;
        });
        const AppointmentEditing::Result result = editing.EditMe(fresh, true, &heartbeat);
        EXPECT_TRUE(result.saved);
        EXPECT_FALSE(onDuringEdit);
        EXPECT_TRUE(sawHandOver);
        EXPECT_EQ(heartbeat.isActive(), wasOn);
        EXPECT_TRUE(QFileInfo::exists(fresh.filename()));
    }
}

TEST_F(AppointmentEditingTest, CancelWritesNothing)
{
    ClassTermin a;
    a.setDatum(QDate(2003, 7, 4));
    a.setText(QStringLiteral("Budget"));
    ASSERT_TRUE(filing.File(a).saved);
    const QByteArray before = TestFiles::readBytes(a.filename());
    editing.setEditor([](EditHandOver& h) {
        h.EditedAppointment->setText(QStringLiteral("changed in the editor"));
        h.EditCancelled = true;
    });
    heartbeat.start(1000);
    const AppointmentEditing::Result result = editing.EditMe(a, true, &heartbeat);
    EXPECT_TRUE(result.cancelled);
    EXPECT_FALSE(result.saved);
    EXPECT_EQ(TestFiles::readBytes(a.filename()), before);
    EXPECT_TRUE(heartbeat.isActive());
}

} // namespace
