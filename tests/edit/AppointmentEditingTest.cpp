// EditMe: the editor files on OK, Cancel writes nothing, and without the editor it files at once.
#include "edit/AppointmentEditing.h"
#include "TestFiles.h"
#include "settings/Settings.h"
#include "store/AppointmentFiling.h"
#include "store/DataAccess.h"

#include <QTemporaryDir>
#include <QTranslator>

#include <gtest/gtest.h>

#include <optional>

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
};

// Without the editor the appointment is filed as it is; the editor files on OK only, and
// Cancel writes nothing even when the editor changed its copy. The answer comes once.
TEST_F(AppointmentEditingTest, TheEditorFilesOnOkOnlyAndWithoutItTheAppointmentIsFiledAsItIs)
{
    enum Way { kNoEditor, kOk, kCancel };
    for (const Way way : {kNoEditor, kOk, kCancel}) {
        SCOPED_TRACE(way);
        ClassTermin a;
        a.setDatum(QDate(2003, 7, 4));
        a.setText(QStringLiteral("Budget"));
        ASSERT_TRUE(filing.File(a).ok);
        const QByteArray before = TestFiles::readBytes(a.filename());
        editing.setEditor([way](std::shared_ptr<EditHandOver> h) {
            EXPECT_FALSE(h->EditIsNew);
            h->appointment.setText(QStringLiteral("changed in the editor"));
            if (way == kCancel)
                return h->finished(false);
            h->filer->file(h->appointment,
                           [h](const WriteOutcome& outcome, const ClassTermin& filed) {
                               h->appointment = filed;
                               h->finished(outcome.ok);
                           });
        });
        QList<AppointmentEditing::Result> results;
        editing.EditMe(a, way != kNoEditor,
                       [&](const AppointmentEditing::Result& r) { results << r; });
        ASSERT_EQ(results.size(), 1);
        EXPECT_EQ(results[0].saved, way != kCancel);
        EXPECT_EQ(results[0].cancelled, way == kCancel);
        EXPECT_TRUE(results[0].failure.isEmpty());
        EXPECT_EQ(results[0].appointment.Text(), way == kOk ? "changed in the editor" : "Budget");
        EXPECT_EQ(TestFiles::readBytes(a.filename()) == before, way != kOk);
    }
}

// A failed save without the editor comes back with the message for the user.
TEST_F(AppointmentEditingTest, AFailedSaveWithoutTheEditorSaysWhy)
{
    ASSERT_TRUE(TestFiles::writeBytes(settings.GetDataFolder() + "y2003", "not a directory"));
    ClassTermin a;
    a.setDatum(QDate(2003, 7, 4));
    std::optional<AppointmentEditing::Result> result;
    editing.EditMe(a, false, [&](const AppointmentEditing::Result& r) { result = r; });
    ASSERT_TRUE(result);
    EXPECT_FALSE(result->saved);
    EXPECT_TRUE(result->failure.startsWith("The appointment could not be saved.\r\n"));
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
