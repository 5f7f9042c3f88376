// The import window and the speed test window: their texts in both languages, the colour
// choice, the count message and the files told to the folder's jobs, the details that open when
// the test ends, and a share that stops answering meanwhile.
#include "StalledShare.h"
#include "TestFiles.h"
#include "service/FolderJobs.h"
#include "settings/Language.h"
#include "settings/Settings.h"
#include "store/DataAccess.h"
#include "tools/form_import.h"
#include "tools/form_performance.h"
#include "ui/ApiColorPicker.h"
#include "ui/ApiOpenSave.h"
#include "ui/PictureBox.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

template <typename T> T& child(QWidget& w, const char* name)
{
    return *w.findChild<T*>(QLatin1String(name));
}

class FormImportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        settings.setActiveFolder(data.path());
        settings.setColorText(6, "Holiday");
        ASSERT_TRUE(TestFiles::writeBytes(list.filePath("holidays.txt"),
                                          "[Germany 2004]\r\nNew Year, 2004/01/01\r\n"
                                          "Unity Day, 2004/10/03\r\n[Austria 2004]\r\n"
                                          "National Day, 2004/10/26\r\n"));
        hooks.message = [this](QWidget*, const QString&, const QString& text) { told << text; };
        hooks.error = [this](QWidget*, const QString&, const QString& text) { told << text; };
        QObject::connect(&jobs, &FolderJobs::written,
                         [this](const QStringList& paths) { written << paths; });
    }

    QTemporaryDir data;
    QTemporaryDir list;
    QTemporaryDir program;
    ProfileCache profiles{ThreadFileAccess()};
    Settings settings{profiles, program.path()};
    DataAccess store{profiles, settings};
    StalledShare share; // in front of the window's jobs; it answers until told to stall
    FolderJobs jobs{StalledFileAccess::maker(share)};
    form_import::Hooks hooks;
    QStringList told;
    QStringList written;
};

TEST_F(FormImportTest, ImportsTheTickedSectionsInTheChosenColourAndSaysHowMany)
{
    // A section named again, and a day no view shows.
    ASSERT_TRUE(TestFiles::writeBytes(list.filePath("holidays.txt"),
                                      TestFiles::readBytes(list.filePath("holidays.txt")) +
                                          "[Germany 2004]\r\nToo early, 1899/12/31\r\n"));
    const auto english = qScopeGuard([] { Language::apply("en"); });
    for (const char* lang : {"en", "de"}) {
        Language::apply(lang);
        form_import w(settings, jobs, list.filePath("holidays.txt"), hooks);
        ASSERT_TRUE(eventually([&] { return !w.isReading(); }));
        told << child<QLabel>(w, "label_repeated").text();
        auto& sections = child<QListWidget>(w, "list_sections");
        auto& colors = child<QComboBox>(w, "combo_color");
        ASSERT_EQ(sections.count(), 2);
        EXPECT_EQ(colors.count(), 14);
        EXPECT_EQ(colors.itemText(5), "06    Holiday");
        EXPECT_EQ(colors.itemIcon(5).pixmap(16).toImage().pixelColor(8, 8),
                  ColorOfRgbValue(settings.Color(6)))
            << "its swatch";
        sections.item(0)->setSelected(true);
        colors.setCurrentIndex(5);
        child<QPushButton>(w, "command_ok").click();
        ASSERT_TRUE(eventually([&] { return !w.isImporting(); }));
    }
    EXPECT_EQ(told, (QStringList{"These sections appear more than once in the list; their "
                                 "holidays are imported together: \"Germany 2004\"",
                                 "2 holidays imported.\r\n1 holiday skipped: it is dated before "
                                 "1900 or after 2200, where no view shows it.",
                                 "Diese Rubriken stehen mehrmals in der Liste; ihre Feiertage "
                                 "werden zusammen importiert: \"Germany 2004\"",
                                 "2 Feiertage importiert.\r\n1 Feiertag übersprungen: sein Datum "
                                 "liegt vor 1900 oder nach 2200, wo keine Ansicht ihn zeigt."}));
    const QString day1 = data.filePath("y2004/m1/d1/holiday.nv3");
    const QString day2 = data.filePath("y2004/m10/d3/holiday.nv3");
    const TerminPtr a = store.LoadAppointment(day2, QDate(2004, 10, 3));
    EXPECT_EQ(a->Text(), "Unity Day");
    EXPECT_EQ(a->ColorCode(), 6);
    // Told to the service, which reads these days again without waiting for the folder's watch.
    EXPECT_EQ(written, (QStringList{day1, day2, day1, day2}));
}

TEST(HolidayFolderTest, TheInstalledListsBesideTheProgramOrNone)
{
    // A build holds its lists where an installation does.
    EXPECT_TRUE(
        QFileInfo::exists(QDir(InstalledHolidayFolder(QCoreApplication::applicationDirPath()))
                              .filePath("germany.txt")));
    QTemporaryDir prefix;
    ASSERT_TRUE(QDir(prefix.path()).mkpath("bin"));
    const QString bin = prefix.filePath("bin");
    EXPECT_EQ(InstalledHolidayFolder(bin), "") << "a program without lists beside it";
    ASSERT_TRUE(QDir(prefix.path()).mkpath("share/norvane/holidays"));
    EXPECT_EQ(InstalledHolidayFolder(bin), prefix.filePath("share/norvane/holidays"));
}

TEST_F(FormImportTest, UnusableListAndUnwritableFolder)
{
    ASSERT_TRUE(
        TestFiles::writeBytes(list.filePath("program.exe"), QByteArray("MZ\x90\0\x03\0", 6)));
    const auto english = qScopeGuard([] { Language::apply("en"); });
    const struct {
        const char *lang, *file;
        QString said;
    } rows[] = {
        {"en", "absent.txt", "/absent.txt cannot be read: No such file or directory"},
        {"en", "program.exe",
         "/program.exe is not a text file: line 1 holds a control character. It cannot be "
         "imported."},
        {"de", "program.exe",
         "/program.exe ist keine Textdatei: Zeile 1 enthält ein Steuerzeichen. Sie kann nicht "
         "importiert werden."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.file);
        Language::apply(row.lang);
        form_import w(settings, jobs, list.filePath(row.file), hooks);
        ASSERT_TRUE(eventually([&] { return !w.isReading(); }));
        EXPECT_FALSE(child<QPushButton>(w, "command_ok").isEnabled());
        EXPECT_EQ(child<QListWidget>(w, "list_sections").count(), 0);
        EXPECT_EQ(child<QLabel>(w, "label_liste").text(), list.path() + row.said);
    }

    Language::apply("en");
    ASSERT_TRUE(TestFiles::writeBytes(data.filePath("y2004"), "in the way"));
    // From the menu: the window opens over its parent, which goes on, and done comes at its end.
    setFileDialogAnswer([&](QFileDialog& dialog) {
        EXPECT_EQ(dialog.directory().absolutePath(),
                  InstalledHolidayFolder(QCoreApplication::applicationDirPath()))
            << "the dialog opens at the lists";
        dialog.selectFile(list.filePath("holidays.txt"));
        return int(QDialog::Accepted);
    });
    const auto noAnswer = qScopeGuard([] { setFileDialogAnswer({}); });
    QWidget parent;
    int done = 0;
    const auto ended = [&done] { ++done; };
    OpenHolidayImport(&parent, settings, jobs, ended, hooks);
    auto* w = parent.findChild<form_import*>();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->windowModality(), Qt::WindowModal);
    ASSERT_TRUE(eventually([&] { return !w->isReading(); }));
    child<QListWidget>(*w, "list_sections").selectAll();
    child<QPushButton>(*w, "command_ok").click();
    ASSERT_TRUE(eventually([&] { return !w->isImporting(); }));
    ASSERT_TRUE(eventually([&] { return done == 1 && !parent.findChild<form_import*>(); }));
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(
        told[0].startsWith("0 of 3 holidays imported.\r\n3 of 3 holidays could not be saved.\r\n"))
        << told[0].toStdString();
    EXPECT_TRUE(written.isEmpty());
}

// A share that stops answering leaves the window alive, and Cancel stops the import after the
// holiday being saved.
TEST_F(FormImportTest, AStalledShareLeavesTheWindowAliveAndCancelTellsWhatLanded)
{
    QByteArray longList = "[Days 2005]\r\n";
    for (QDate day(2005, 1, 1); day.year() == 2005 && day.month() <= 6; day = day.addDays(1))
        longList += "Day, " + day.toString("yyyy/MM/dd").toLatin1() + "\r\n";
    ASSERT_TRUE(TestFiles::writeBytes(list.filePath("long.txt"), longList));
    const struct {
        const char *what, *file;
        int entries, cancelAt; // cancelAt: the holiday being saved when the share stops answering
        bool fromWindow;       // the window's Cancel, else the progress window's
    } rows[] = {
        {"while the first one is saved", "holidays.txt", 3, 1, true},
        {"half way through a long list", "long.txt", 181, 100, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        ASSERT_TRUE(QDir(data.path()).removeRecursively() && QDir().mkpath(data.path()));
        told.clear();
        share.stall();
        form_import w(settings, jobs, list.filePath(row.file), hooks);
        ASSERT_TRUE(eventually([&] { return share.held() == 1; })); // reading the list
        EXPECT_TRUE(timersRun());
        share.resume();
        ASSERT_TRUE(eventually([&] { return !w.isReading(); }));
        child<QListWidget>(w, "list_sections").selectAll();
        share.stallAtWrite(row.cancelAt);
        child<QPushButton>(w, "command_ok").click();
        ASSERT_TRUE(eventually([&] { return share.held() == 1; }));
        EXPECT_TRUE(timersRun());
        EXPECT_FALSE(child<QComboBox>(w, "combo_color").isEnabled());
        if (row.fromWindow) {
            child<QPushButton>(w, "command_cancel").click();
        } else {
            const auto progress = [&] { return w.findChild<QProgressDialog*>("progress_import"); };
            ASSERT_TRUE(eventually([&] { return progress() && progress()->isVisible(); }));
            progress()->findChild<QPushButton*>()->click();
        }
        EXPECT_TRUE(w.isImporting());
        share.resume();
        ASSERT_TRUE(eventually([&] { return !w.isImporting(); }));

        int files = 0;
        for (QDirIterator it(data.path(), {"*.nv3"}, QDir::Files, QDirIterator::Subdirectories);
             it.hasNext(); it.next())
            ++files;
        EXPECT_EQ(files, row.cancelAt); // the one being saved when Cancel was pressed landed
        EXPECT_EQ(told, QStringList{QString("Import cancelled: %1 of %2 holidays imported.")
                                        .arg(row.cancelAt)
                                        .arg(row.entries)});
        EXPECT_EQ(share.overdue(), 0);
        EXPECT_EQ(share.callsFromOwner(), 0);
    }
}

// Appends and reads nothing: the window's logic without a disk; with a share, each call first
// waits while it stalls.
struct NoFiles : SpeedTestFiles {
    std::optional<Failure> append(const QString&, const QByteArray&) override
    {
        return pass(failure);
    }
    std::optional<Failure> readWhole(const QString&) override { return pass(); }
    std::optional<Failure> remove(const QString&) override { return pass(); }
    std::optional<Failure> pass(std::optional<Failure> outcome = {})
    {
        if (share)
            share->pass();
        return outcome;
    }
    std::optional<Failure> failure;
    StalledShare* share = nullptr;
};

TEST(FormPerformanceTest, VerdictsAdviceAndDetails)
{
    NoFiles files;
    FolderJobs jobs;
    const struct {
        const char* lang;
        qint64 nanoseconds; // none: the write fails
        QString status, tips;
    } rows[] = {
        {"en", 1'000'000'000, "Access to the selected folder is fast enough.",
         "Result:\n\nThe performance of the selected folder is ok. Norvane can use this folder. "},
        {"de", 1'000'000'000, "Die Zugriffsgeschwindigkeit für das Verzeichnis ist ausreichend.",
         "Ergebnis:\n\nDie Zugriffsgeschwindigkeit für das gewählte Verzeichnis ist ausreichend. "
         "Norvane kann mit diesem Verzeichnis arbeiten. "},
        {"en", 5'000'000'000, "Access to the selected folder is rather slow.",
         "Result:\n\nThe performance of the folder"},
        {"de", 5'000'000'000,
         "Die Zugriffsgeschwindigkeit für das Verzeichnis bedarf einer Verbesserung.",
         "Ergebnis:\n\nDie Zugriffsgeschwindigkeit für das gewählte Verzeichnis ist eher langsam."},
        {"de", 0, "Beim Zugriff auf das Verzeichnis ist ein Fehler aufgetreten.",
         "write /share/NorvanePerformanceTest.txt: Permission denied"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.lang) + row.status.toStdString());
        files.failure.reset();
        if (row.nanoseconds == 0)
            files.failure = SpeedTestFiles::Failure{"write", "Permission denied"};
        qint64 now = 0;
        form_performance w("/share", row.lang, jobs,
                           FolderSpeedTest(files, [&] { return now += row.nanoseconds; }));
        auto& detail = child<QPushButton>(w, "command_detail");
        EXPECT_EQ(w.windowTitle(), *row.lang == 'd'
                                       ? "Performance des Verzeichniszugriffs wird überprüft..."
                                       : "Testing performance of folder...");
        EXPECT_EQ(child<QLabel>(w, "label_pfad").text(), "/share");
        EXPECT_FALSE(w.detailsExpanded());
        EXPECT_FALSE(detail.isEnabled());

        w.timer_test_Timer();
        ASSERT_TRUE(eventually([&] { return !w.isRunning(); }));
        EXPECT_EQ(child<QLabel>(w, "label_status").text(), row.status);
        EXPECT_TRUE(child<QPlainTextEdit>(w, "text_tips").toPlainText().startsWith(row.tips));
        EXPECT_TRUE(w.detailsExpanded());
        EXPECT_EQ(w.height(), PictureBox::toPixels(5220));
        EXPECT_EQ(detail.text(), "<< Details");
        EXPECT_EQ(child<PictureBox>(w, "pic_bar").image().pixelColor(w.width() - 40, 5),
                  QColor(0, 0, 255));
        detail.click();
        EXPECT_EQ(w.height(), PictureBox::toPixels(3030));
        EXPECT_EQ(detail.text(), "Details >>");
    }
}

TEST(FormPerformanceTest, AFolderThatStopsAnsweringLeavesTheWindowAliveUntilItAnswers)
{
    StalledShare share;
    NoFiles files;
    files.share = &share;
    share.stallAfter(51); // half way
    FolderJobs jobs;
    form_performance w("/share", "en", jobs, FolderSpeedTest(files, [] { return 0; }));
    w.timer_test_Timer();
    ASSERT_TRUE(eventually([&] { return share.held() == 1; }));
    EXPECT_TRUE(timersRun());
    EXPECT_TRUE(w.isRunning());
    EXPECT_FALSE(child<QPushButton>(w, "command_ok").isEnabled());
    const QImage bar = child<PictureBox>(w, "pic_bar").image();
    EXPECT_EQ(bar.pixelColor(bar.width() / 8, 5), QColor(0, 0, 255)); // the passes so far
    EXPECT_NE(bar.pixelColor(bar.width() * 3 / 4, 5), QColor(0, 0, 255));
    share.resume();
    ASSERT_TRUE(eventually([&] { return !w.isRunning(); }));
    EXPECT_EQ(child<QLabel>(w, "label_status").text(),
              "Access to the selected folder is fast enough.");
    EXPECT_TRUE(child<QPushButton>(w, "command_ok").isEnabled());
    EXPECT_EQ(share.overdue(), 0);
    EXPECT_EQ(share.callsFromOwner(), 0);
}

} // namespace
