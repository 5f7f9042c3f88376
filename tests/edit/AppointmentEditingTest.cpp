// EditMe: the heartbeat pauses while the editor is open, Cancel writes nothing, OK files.
#include "edit/AppointmentEditing.h"
#include "TestFiles.h"
#include "settings/Settings.h"
#include "store/AppointmentFiling.h"
#include "store/DataAccess.h"

#include <QTemporaryDir>
#include <QTimer>
#include <QTranslator>

#include <gtest/gtest.h>

namespace {

class AppointmentEditingTest : public ::testing::Test {
protected:
    AppointmentEditingTest() { settings.setActiveFolder(data.path()); }

    QTemporaryDir data;
    QTemporaryDir program;
    ProfileCache profiles{ThreadFileAccess()};
    Settings settings{profiles, program.path()};
    DataAccess store{profiles, settings};
    AppointmentFiling filing{store};
    AppointmentEditing editing{filing};
    QTimer heartbeat;
};

// Cancel writes nothing even when the editor changed the record; OK files a new one.
TEST_F(AppointmentEditingTest, TheHeartbeatRestsWhileTheEditorIsOpenAndComesBackAsItWas)
{
    for (const bool cancel : {false, true}) {
        for (const bool wasOn : {true, false}) {
            SCOPED_TRACE(std::string(cancel ? "cancel" : "ok") + (wasOn ? ", beating" : ""));
            wasOn ? heartbeat.start(1000) : heartbeat.stop();
            ClassTermin a;
            a.setDatum(QDate(2003, 7, 4));
            a.setText(QStringLiteral("Budget"));
            ASSERT_TRUE(!cancel || filing.File(a).ok);
            const QByteArray before = cancel ? TestFiles::readBytes(a.filename()) : QByteArray();
            bool onDuringEdit = true;
            editing.setEditor([&](EditHandOver& h) {
                onDuringEdit = heartbeat.isActive();
                h.EditedAppointment->setText(QStringLiteral("changed in the editor"));
                h.EditCancelled = cancel;
            });
            const AppointmentEditing::Result result = editing.EditMe(a, true, &heartbeat);
            EXPECT_EQ(result.saved, !cancel);
            EXPECT_EQ(result.cancelled, cancel);
            EXPECT_FALSE(onDuringEdit);
            EXPECT_EQ(heartbeat.isActive(), wasOn);
            EXPECT_TRUE(cancel ? TestFiles::readBytes(a.filename()) == before
                               : QFileInfo::exists(a.filename()));
        }
    }
}

TEST(AppointmentEditingMessages, EveryCauseInBothLanguages)
{
    using C = WriteOutcome::Cause;
    const struct {
        WriteOutcome outcome;
        const char* english;
        const char* german;
    } cases[] = {
        {WriteOutcome::failed(C::FolderUnreachable, "/srv/team/"),
         "The appointment could not be saved.\r\nThe data folder /srv/team/ cannot be reached.",
         "Der Termin konnte nicht gespeichert werden.\r\nDer Datenordner /srv/team/ ist nicht "
         "erreichbar."},
        {WriteOutcome::failed(C::Unreadable, "/srv/1.nv3", "Input/output error"),
         "The appointment could not be saved.\r\n/srv/1.nv3 is there but could not be read; it "
         "was left as it is.\r\n\r\nInput/output error",
         "Der Termin konnte nicht gespeichert werden.\r\n/srv/1.nv3 ist vorhanden, konnte aber "
         "nicht gelesen werden; die Datei bleibt, wie sie ist.\r\n\r\nInput/output error"},
        {WriteOutcome::failed(C::System, "/srv/1.nv3", "No space left on device"),
         "The appointment could not be saved.\r\nPlease ensure the accessibility of the "
         "datasource folder and check your privileges.\r\n\r\nNo space left on device",
         "Der Termin konnte nicht gespeichert werden.\r\nBitte prüfen Sie die Verfügbarkeit des "
         "Datenordners und Ihre Zugriffsrechte.\r\n\r\nNo space left on device"},
    };
    QTranslator german;
    ASSERT_TRUE(german.load(QStringLiteral(":/i18n/edit_de.qm")));
    for (const auto& c : cases) {
        EXPECT_EQ(AppointmentEditing::failureMessage(c.outcome), QString::fromUtf8(c.english));
        QCoreApplication::installTranslator(&german);
        EXPECT_EQ(AppointmentEditing::failureMessage(c.outcome), QString::fromUtf8(c.german));
        QCoreApplication::removeTranslator(&german);
    }
}

} // namespace
