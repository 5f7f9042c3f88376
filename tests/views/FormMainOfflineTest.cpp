// File > Work offline on the slow share: the window takes the folder along and says so, reads
// and writes the copy while the share stalls, stays offline while the share cannot take the
// changes back, and returns once it answers, the change made offline on the share.
#include "FormMainFixture.h"
#include "ShareWatchdog.h"
#include "SlowShare.h"
#include "offline/Reconcile.h"

#include <QDirIterator>

namespace {

class FormMainOfflineTest : public FormMainTest {
protected:
    FormMainOfflineTest()
    {
        if (!SlowShare::unavailable().isEmpty())
            return;
        share = std::make_unique<SlowShare>(1);
        TestFiles::writeBytes(
            program.filePath("Settings.ini"),
            "[DataFolders]\r\nFolderCount=1\r\nFolder1=" + share->mountPath().toUtf8() + "\r\n");
        settings.LoadActiveFolder();
        settings.LoadSettings();
    }
    ~FormMainOfflineTest() override { m_window.reset(); } // before the share goes

    QAction* offline() { return child<QAction>("mnu_file_offline"); }
    // The files of a folder holding text.
    QStringList holding(const QString& folder, const QByteArray& text)
    {
        QStringList found;
        QDirIterator it(folder, {"*.nv3"}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            if (TestFiles::readBytes(it.next()).contains(text))
                found << it.filePath();
        return found;
    }

    std::unique_ptr<SlowShare> share;
};

TEST_F(FormMainOfflineTest, TakesTheFolderAlongAndBringsTheChangesBack)
{
    if (!share)
        GTEST_SKIP() << SlowShare::unavailable().toStdString();
    ASSERT_TRUE(share->error().isEmpty()) << share->error().toStdString();
    put(kNow.date(), 8, 9, "Mine", share->backingPath());
    const QString copy = Offline::copyFolderOf(program.path(), share->mountPath());
    window();
    trigger("mnu_file_offline");
    ASSERT_TRUE(eventually([&] { return offline()->isChecked(); }));
    settle();
    EXPECT_TRUE(window().windowTitle().endsWith("(offline)"))
        << window().windowTitle().toStdString();
    EXPECT_TRUE(text("label_datasource").contains("(offline)"));
    EXPECT_EQ(labelTexts(), QStringList{"Mine"});
    EXPECT_EQ(holding(copy, "Text=Mine").size(), 1);

    // The share stalls: the window reads and writes the copy meanwhile.
    ShareWatchdog watchdog(*share, "the share was still stalled after 20 s");
    share->stall();
    editing.setEditor(FakeEditor::pressingOk([](ClassTermin& a) { a.setText("Offline"); }));
    trigger("mnu_appointment_new");
    EXPECT_EQ(labelTexts(), QStringList({"Mine", "Offline"}));
    EXPECT_EQ(holding(copy, "Text=Offline").size(), 1);
    EXPECT_TRUE(holding(share->backingPath(), "Text=Offline").isEmpty());

    // Asked to return while the share stalls, the window waits offline, its view alive.
    trigger("mnu_file_offline");
    loadView();
    EXPECT_TRUE(offline()->isChecked());
    EXPECT_EQ(labelTexts(), QStringList({"Mine", "Offline"}));
    share->resume();
    watchdog.finish();
    ASSERT_TRUE(eventually([&] { return !offline()->isChecked(); }));
    settle();
    EXPECT_EQ(holding(share->backingPath(), "Text=Offline").size(), 1);
    EXPECT_FALSE(window().windowTitle().contains("offline"));
    EXPECT_EQ(labelTexts(), QStringList({"Mine", "Offline"}));
}

} // namespace
