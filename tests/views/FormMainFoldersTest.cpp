// The main window with three data folders shown at once, one of them on a real share that
// stalls: each folder's appointments drawn and named, a folder hidden and shown again, an edit
// and its undo in the folder of its file, a new appointment in the folder chosen, and the
// stalled folder named alone while the others go on.
#include "FormMainFixture.h"
#include "ShareWatchdog.h"
#include "SlowShare.h"
#include "views/FolderLegend.h"

#include <QCoreApplication>
#include <QFile>
#include <QMenu>
#include <QToolButton>

namespace {

class FormMainFoldersTest : public FormMainTest {
protected:
    FormMainFoldersTest()
    {
        if (!SlowShare::unavailable().isEmpty())
            return;
        share = std::make_unique<SlowShare>(1);
        // The active folder, and two beside it: one on the share.
        TestFiles::writeBytes(program.filePath("Settings.ini"),
                              "[DataFolders]\r\nFolderCount=3\r\nFolder1=" + data.path().toUtf8() +
                                  "\r\nFolder2=" + other.path().toUtf8() + "\r\nShown2=1\r\n" +
                                  "Folder3=" + share->mountPath().toUtf8() + "\r\nShown3=1\r\n");
        settings.LoadActiveFolder();
        settings.LoadSettings();
    }
    ~FormMainFoldersTest() override { m_window.reset(); } // before the share goes

    // Until every folder's service answered what was asked, the queued menu clicks first.
    void settleAll()
    {
        QCoreApplication::processEvents();
        ASSERT_TRUE(
            eventually([this] { return window().stores().idle() && settingsJobs.pending() == 0; }));
    }
    QLabel* labelOf(const QString& text)
    {
        for (QLabel* label : appointmentLabels())
            if (label->text() == text)
                return label;
        ADD_FAILURE() << "no label " << text.toStdString();
        return nullptr;
    }
    QStringList shownAfterRestart()
    {
        ProfileCache fresh(ThreadFileAccess());
        Settings restarted(fresh, program.path());
        restarted.LoadActiveFolder();
        restarted.LoadSettings();
        return restarted.ShownFolders();
    }
    QString legendText(int entry)
    {
        return child<QToolButton>(QString("legend_folder_%1").arg(entry).toLatin1())->text();
    }
    // Edits the appointment of the label with an editor that appends to its text.
    void editLabel(const QString& text)
    {
        editing.setEditor(
            FakeEditor::pressingOk([](ClassTermin& a) { a.setText(a.Text() + " edited"); }));
        QTest::mouseDClick(labelOf(text), Qt::LeftButton);
        settleAll();
    }

    std::unique_ptr<SlowShare> share;
};

TEST_F(FormMainFoldersTest, ShownHiddenEditedEachInItsOwnFolderAndAStalledOneNamedAlone)
{
    if (!share)
        GTEST_SKIP() << SlowShare::unavailable().toStdString();
    ASSERT_TRUE(share->error().isEmpty()) << share->error().toStdString();
    const QString otherName = QDir(other.path()).dirName();
    const QString shareName = QDir(share->mountPath()).dirName();
    put(kNow.date(), 8, 9, "Mine");
    const QString team = put(kNow.date(), 10, 11, "Team", other.path());
    const QString holiday = put(kNow.date(), 12, 13, "Holiday", share->backingPath());
    window();
    settleAll();
    EXPECT_EQ(labelTexts(), QStringList({"Holiday", "Mine", "Team"}));
    EXPECT_FALSE(labelOf("Mine")->toolTip().contains("Calendar:"));
    EXPECT_TRUE(labelOf("Team")->toolTip().contains("Calendar: " + otherName));
    const QList<QAction*> marks = child<QMenu>("mnu_datafolder_shown")->actions();
    ASSERT_EQ(marks.size(), 3);
    EXPECT_TRUE(marks[0]->isChecked() && !marks[0]->isEnabled()) << "the active one stays";
    EXPECT_TRUE(marks[1]->isChecked() && marks[2]->isChecked());
    EXPECT_EQ(legendText(2), otherName);

    // Hidden with a click on the legend, shown again from the menu; the pointer file keeps it.
    child<QToolButton>("legend_folder_2")->click();
    settleAll();
    EXPECT_EQ(labelTexts(), QStringList({"Holiday", "Mine"}));
    EXPECT_EQ(shownAfterRestart(), QStringList{share->mountPath()});
    child<QAction>("mnu_datafolder_shown_2")->trigger();
    settleAll();
    EXPECT_EQ(labelTexts(), QStringList({"Holiday", "Mine", "Team"}));
    EXPECT_EQ(shownAfterRestart(), QStringList({other.path(), share->mountPath()}));

    // Each edit lands in the file's own folder, and its undo there too.
    editLabel("Team");
    editLabel("Holiday");
    EXPECT_TRUE(TestFiles::readBytes(team).contains("Team edited"));
    EXPECT_TRUE(TestFiles::readBytes(holiday).contains("Holiday edited"));
    trigger("mnu_edit_undo");
    settleAll();
    EXPECT_TRUE(TestFiles::readBytes(holiday).contains("Text=Holiday\r\n")) << "the last change";
    EXPECT_TRUE(TestFiles::readBytes(team).contains("Team edited"));

    // A new appointment goes where the editor's choice says: the active folder first.
    QStringList offered;
    editing.setEditor([&](std::shared_ptr<EditHandOver> h) {
        for (const EditHandOver::Calendar& calendar : h->calendars)
            offered << calendar.name;
        h->filer = h->calendars.value(1).filer.get();
        FakeEditor::pressingOk([](ClassTermin& a) { a.setText("New team"); })(h);
    });
    trigger("mnu_appointment_new");
    settleAll();
    EXPECT_EQ(offered, QStringList({data.dirName(), otherName, shareName}));
    EXPECT_EQ(QDir(other.filePath("y2003/m7/d9")).entryList(QDir::Files).size(), 2);

    // The stalled folder is named alone; the others are read and written meanwhile.
    ShareWatchdog watchdog(*share, "the share was still stalled after 20 s");
    share->stall();
    window().LoadView();
    ASSERT_TRUE(eventually([&] { return legendText(3).contains("not answering"); }));
    EXPECT_EQ(legendText(2), otherName);
    EXPECT_TRUE(text("label_stale").contains(shareName));
    EXPECT_FALSE(text("label_datasource").contains("not answering"));
    editing.setEditor(FakeEditor::pressingOk([](ClassTermin& a) { a.setText("While stalled"); }));
    trigger("mnu_appointment_new");
    EXPECT_EQ(labelTexts(),
              QStringList({"Holiday", "Mine", "New team", "Team edited", "While stalled"}));
    share->resume();
    watchdog.finish();
    ASSERT_TRUE(eventually([&] { return legendText(3) == shareName; }));
    settleAll();
}

} // namespace
