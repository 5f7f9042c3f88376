// The small window helpers: notification-area icon, topmost windows, the folder, file and
// colour dialogs, opening documents, and the login name.
#include "ApiBrowseFolder.h"
#include "ApiColorPicker.h"
#include "ApiLoginName.h"
#include "ApiOpenSave.h"
#include "ApiShellExecute.h"
#include "ApiTaskBarIcon.h"
#include "PictureBox.h"
#include "TopMost.h"

#include <QApplication>
#include <QColorDialog>
#include <QDesktopServices>
#include <QMenu>
#include <QPointer>
#include <QProcess>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <gtest/gtest.h>

#include <functional>

// Receives the addresses the program asks the desktop to open.
class UrlCatcher : public QObject {
    Q_OBJECT

public:
    QList<QUrl> urls;

public slots:
    void open(const QUrl& url) { urls << url; }
};

namespace {

const QChar kNul(0);

// Notes how a window was last shown.
class ShowWatcher : public QObject {
public:
    int shows = 0;
    bool withoutActivating = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show) {
            ++shows;
            withoutActivating =
                static_cast<QWidget*>(watched)->testAttribute(Qt::WA_ShowWithoutActivating);
        }
        return false;
    }
};

// Acts on the next modal dialog once its own event loop runs, as a person would.
void whenModalShows(std::function<void(QWidget*)> act)
{
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act, tries = 0]() mutable {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal && ++tries < 500)
            return;
        timer->stop();
        timer->deleteLater();
        if (modal)
            act(modal);
    });
    timer->start();
}

// ---- Notification-area icon

TEST(TaskBarIconTest, WithoutANotificationAreaNothingIsAddedAndTheCallsSaySo)
{
    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable()) << "the tests run without a desktop";
    QWidget owner;
    EXPECT_FALSE(IsTrayAvailable());
    EXPECT_EQ(AddTrayIcon(1, &owner, "Norvane4"), nullptr);
    EXPECT_EQ(FindTrayIcon(1, &owner), nullptr);
    EXPECT_TRUE(owner.findChildren<TaskBarIcon*>().isEmpty());
    EXPECT_FALSE(RemoveTrayIcon(1, &owner));
}

TEST(TaskBarIconTest, TooltipIsCutTo63Characters)
{
    QWidget owner;
    const QString longText = QString("Norvane4 - ").append(QString(80, 'x'));
    TaskBarIcon cut(1, &owner, longText);
    EXPECT_EQ(cut.toolTip(), longText.left(63));
    TaskBarIcon fits(2, &owner, "Norvane4");
    EXPECT_EQ(fits.toolTip(), "Norvane4");
    EXPECT_EQ(fits.id(), 2);
    EXPECT_EQ(fits.owner(), &owner);
}

TEST(TaskBarIconTest, LeftAndRightPressesAreReportedAndOthersIgnored)
{
    QWidget owner;
    TaskBarIcon icon(1, &owner, "Norvane4");
    QSignalSpy left(&icon, &TaskBarIcon::LeftButtonDown);
    QSignalSpy right(&icon, &TaskBarIcon::RightButtonDown);

    emit icon.trayIcon()->activated(QSystemTrayIcon::Trigger);
    EXPECT_EQ(left.count(), 1);
    EXPECT_EQ(right.count(), 0);
    emit icon.trayIcon()->activated(QSystemTrayIcon::Context);
    EXPECT_EQ(right.count(), 1);
    emit icon.trayIcon()->activated(QSystemTrayIcon::DoubleClick);
    emit icon.trayIcon()->activated(QSystemTrayIcon::MiddleClick);
    EXPECT_EQ(left.count(), 1);
    EXPECT_EQ(right.count(), 1);

    // Where the desktop shows the menu itself, the window must not pop up a second one.
    QMenu menu;
    icon.setContextMenu(&menu);
    emit icon.trayIcon()->activated(QSystemTrayIcon::Context);
    EXPECT_EQ(right.count(), 1);
}

TEST(TaskBarIconTest, IconBelongsToItsOwnerAndIsRemovedById)
{
    auto* owner = new QWidget;
    QPointer<TaskBarIcon> first = new TaskBarIcon(1, owner, "Norvane4");
    QPointer<TaskBarIcon> second = new TaskBarIcon(2, owner, "Other");
    EXPECT_EQ(FindTrayIcon(1, owner), first);
    EXPECT_EQ(FindTrayIcon(2, owner), second);

    EXPECT_TRUE(RemoveTrayIcon(1, owner));
    EXPECT_EQ(FindTrayIcon(1, owner), nullptr);
    EXPECT_FALSE(RemoveTrayIcon(1, owner)) << "already gone";
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull());

    delete owner;
    EXPECT_TRUE(second.isNull()) << "no icon outlives its window";
}

TEST(TaskBarIconTest, IconComesFromTheOwnersPictureUnlessOneIsGiven)
{
    PictureBox picture;
    picture.resizeTwips(480, 480);
    picture.setBackColor(QColor(0, 0, 255));
    const QImage fromPicture = TaskBarIcon::IconFor(&picture, QIcon()).pixmap(32, 32).toImage();
    EXPECT_EQ(fromPicture.pixelColor(16, 16), QColor(0, 0, 255));

    QPixmap red(16, 16);
    red.fill(Qt::red);
    const QImage given = TaskBarIcon::IconFor(&picture, QIcon(red)).pixmap(16, 16).toImage();
    EXPECT_EQ(given.pixelColor(8, 8), QColor(Qt::red));

    QWidget plain;
    EXPECT_FALSE(TaskBarIcon::IconFor(&plain, QIcon()).isNull()) << "there is always an icon";
}

// ---- Topmost and bringing to the front

// Whether the focus stays where it was is up to the window system (offscreen activates every
// window shown), so this checks what is asked of it.
TEST(TopMostTest, MakeTopMostKeepsPlaceAndSizeAndAsksNotToActivate)
{
    QWidget reminder;
    reminder.setGeometry(200, 150, 320, 180);
    reminder.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&reminder));
    EXPECT_FALSE(IsTopMost(&reminder));
    ShowWatcher watcher;
    reminder.installEventFilter(&watcher);

    MakeTopMost(&reminder);

    EXPECT_EQ(watcher.shows, 1);
    EXPECT_TRUE(watcher.withoutActivating);
    EXPECT_TRUE(IsTopMost(&reminder));
    EXPECT_TRUE(reminder.isVisible());
    EXPECT_EQ(reminder.geometry(), QRect(200, 150, 320, 180));
    EXPECT_FALSE(reminder.testAttribute(Qt::WA_ShowWithoutActivating))
        << "only this show is a quiet one";
}

TEST(TopMostTest, MakeTopMostOnAHiddenWindowLeavesItHidden)
{
    QWidget reminder;
    MakeTopMost(&reminder);
    EXPECT_TRUE(IsTopMost(&reminder));
    EXPECT_FALSE(reminder.isVisible());
    MakeTopMost(nullptr);
}

TEST(TopMostTest, BringToFrontRestoresAHiddenWindowWithoutMakingItTopMost)
{
    QWidget main;
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));

    BringToFront(&main);

    EXPECT_TRUE(main.isVisible());
    EXPECT_TRUE(QTest::qWaitForWindowActive(&main));
    EXPECT_FALSE(IsTopMost(&main));
}

TEST(TopMostTest, BringToFrontRestoresAMinimizedWindow)
{
    QWidget main;
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    main.showMinimized();
    ASSERT_TRUE(main.isMinimized());

    BringToFront(&main);

    EXPECT_FALSE(main.isMinimized());
    EXPECT_TRUE(main.isVisible());
    EXPECT_FALSE(IsTopMost(&main));
}

// ---- Filter text and the file dialog

TEST(OpenSaveTest, AddFileFilterBuildsDescriptionAndPatternPairs)
{
    QString filter;
    AddFileFilter(filter, "Holiday Definitions (*.TXT)", "*.TXT");
    AddFileFilter(filter, "All files");
    EXPECT_EQ(filter, QString("Holiday Definitions (*.TXT)") + kNul + "*.TXT" + kNul + "All files" +
                          kNul + "*.*" + kNul);
}

TEST(OpenSaveTest, CutAtNulKeepsWhatComesBeforeTheFirstNul)
{
    EXPECT_EQ(CutAtNul(QString("/home/anna/plan.txt") + kNul + "garbage" + kNul),
              "/home/anna/plan.txt");
    EXPECT_EQ(CutAtNul("no nul here"), "no nul here");
    EXPECT_EQ(CutAtNul(QString(kNul) + "x"), "");
    EXPECT_EQ(CutAtNul(""), "");
}

TEST(OpenSaveTest, FilterTextBecomesTheDialogsNameFilters)
{
    QString filter;
    AddFileFilter(filter, "Holiday Definitions (*.TXT)", "*.TXT");
    AddFileFilter(filter, "Pictures", "*.png;*.jpg");
    AddFileFilter(filter, "All files (*.*)");
    AddFileFilter(filter, "Notes (my own)", "*.txt");
    AddFileFilter(filter, "", "*.nv3");
    EXPECT_EQ(NameFilters(filter), QStringList({
                                       "Holiday Definitions (*.TXT *.txt)",
                                       "Pictures (*.png *.PNG *.jpg *.JPG)",
                                       "All files (*)",
                                       "Notes (my own) (*.txt *.TXT)",
                                       "*.nv3 *.NV3",
                                   }));
}

TEST(OpenSaveTest, AnEmptyPairOrAMissingPatternEndsTheFilterList)
{
    const QString filter =
        QString("Text") + kNul + "*.txt" + kNul + kNul + kNul + "Late" + kNul + "*.x" + kNul;
    EXPECT_EQ(NameFilters(filter), QStringList({"Text (*.txt *.TXT)"}));
    EXPECT_EQ(NameFilters(QString("Lonely description")), QStringList());
    EXPECT_EQ(NameFilters(""), QStringList());
}

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder.isValid()); }
    void TearDown() override
    {
        setFileDialogAnswer({});
        setFolderDialogAnswer({});
        setColorDialogAnswer({});
    }

    QString makeFile(const QString& name)
    {
        QFile file(folder.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        return file.fileName();
    }

    QTemporaryDir folder;
};

TEST_F(DialogTest, OpenDialogIsPreparedFromTheArgumentsAndReturnsTheChosenPath)
{
    const QString holidays = makeFile("holidays.txt");
    QString filter;
    AddFileFilter(filter, "All files");
    AddFileFilter(filter, "Holiday Definitions (*.TXT)", "*.TXT");
    QFileDialog::Options flags = QFileDialog::DontResolveSymlinks;

    QStringList seenFilters;
    QString seenFilter, seenTitle, seenDirectory;
    bool seenOpen = false;
    setFileDialogAnswer([&](QFileDialog& dialog) {
        seenFilters = dialog.nameFilters();
        seenFilter = dialog.selectedNameFilter();
        seenTitle = dialog.windowTitle();
        seenDirectory = dialog.directory().absolutePath();
        seenOpen = dialog.acceptMode() == QFileDialog::AcceptOpen &&
                   dialog.fileMode() == QFileDialog::ExistingFile;
        dialog.selectFile(holidays);
        return int(QDialog::Accepted);
    });

    const QString chosen =
        ShowFileDialog(nullptr, filter, 2, &flags, "", "", "Import holidays", folder.path(), true);

    EXPECT_EQ(chosen, holidays);
    EXPECT_EQ(seenFilters, QStringList({"All files (*)", "Holiday Definitions (*.TXT *.txt)"}));
    EXPECT_EQ(seenFilter, "Holiday Definitions (*.TXT *.txt)");
    EXPECT_EQ(seenTitle, "Import holidays");
    EXPECT_EQ(seenDirectory, QDir(folder.path()).absolutePath());
    EXPECT_TRUE(seenOpen);
    EXPECT_TRUE(flags.testFlag(QFileDialog::DontResolveSymlinks)) << "flags come back";
}

TEST_F(DialogTest, SaveDialogAddsTheDefaultExtensionAndStartsInTheCurrentDirectory)
{
    QString seenDirectory;
    bool seenSave = false;
    setFileDialogAnswer([&](QFileDialog& dialog) {
        seenDirectory = dialog.directory().absolutePath();
        seenSave = dialog.acceptMode() == QFileDialog::AcceptSave;
        EXPECT_EQ(dialog.defaultSuffix(), "pdf");
        dialog.setDirectory(folder.path());
        dialog.selectFile("planner");
        return int(QDialog::Accepted);
    });
    QString filter;
    AddFileFilter(filter, "PDF", "*.pdf");

    const QString chosen = ShowFileDialog(nullptr, filter, 1, nullptr, ".pdf", "", "", "", false);

    EXPECT_TRUE(seenSave);
    EXPECT_EQ(seenDirectory, QDir::current().absolutePath());
    EXPECT_EQ(chosen, QDir(folder.path()).filePath("planner.pdf"));
}

TEST_F(DialogTest, FileNameGivenIsPreselected)
{
    const QString plan = makeFile("plan.txt");
    QString selected;
    setFileDialogAnswer([&](QFileDialog& dialog) {
        selected = dialog.selectedFiles().value(0);
        return int(QDialog::Accepted);
    });
    EXPECT_EQ(ShowFileDialog(nullptr, "", 1, nullptr, "", "plan.txt", "", folder.path()), plan);
    EXPECT_EQ(selected, plan);
}

TEST_F(DialogTest, CancellingTheFileDialogGivesAnEmptyTextAndLeavesTheFlags)
{
    QFileDialog::Options flags = QFileDialog::ReadOnly;
    setFileDialogAnswer([&](QFileDialog& dialog) {
        dialog.selectFile(makeFile("x.txt"));
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        return int(QDialog::Rejected);
    });
    EXPECT_EQ(ShowFileDialog(nullptr, "", 1, &flags, "", "", "", folder.path()), "");
    EXPECT_EQ(flags, QFileDialog::ReadOnly);
}

TEST_F(DialogTest, TheRealFileDialogCanBeDismissed)
{
    whenModalShows([](QWidget* modal) {
        EXPECT_NE(qobject_cast<QFileDialog*>(modal), nullptr);
        modal->close();
    });
    EXPECT_EQ(ShowFileDialog(nullptr, "", 1, nullptr, "", "", "Open", folder.path()), "");
}

TEST_F(DialogTest, FolderBrowserReturnsTheChosenFolderOrNothing)
{
    QDir(folder.path()).mkdir("team");
    const QString team = QDir(folder.path()).filePath("team");
    bool directoriesOnly = false;
    QString seenTitle;
    setFolderDialogAnswer([&](QFileDialog& dialog) {
        directoriesOnly = dialog.fileMode() == QFileDialog::Directory &&
                          dialog.testOption(QFileDialog::ShowDirsOnly);
        seenTitle = dialog.windowTitle();
        dialog.setDirectory(team);
        return int(QDialog::Accepted);
    });
    EXPECT_EQ(BrowseForFolder(nullptr, "Add a data folder"), team);
    EXPECT_TRUE(directoriesOnly);
    EXPECT_EQ(seenTitle, "Add a data folder");

    setFolderDialogAnswer([&](QFileDialog& dialog) {
        dialog.setDirectory(team);
        return int(QDialog::Rejected);
    });
    EXPECT_EQ(BrowseForFolder(nullptr, "Add a data folder"), "");
}

// ---- Colour dialog

TEST(ColorValueTest, RedLivesInTheLowByte)
{
    EXPECT_EQ(RgbValue(QColor(255, 0, 0)), 0x0000ff);
    EXPECT_EQ(RgbValue(QColor(0, 0, 255)), 0xff0000);
    EXPECT_EQ(RgbValue(QColor(0x12, 0x34, 0x56)), 0x563412);
    EXPECT_EQ(ColorOfRgbValue(0x563412), QColor(0x12, 0x34, 0x56));
    EXPECT_EQ(kNoColorChosen, RgbValue(QColor(1, 1, 1)));
}

TEST_F(DialogTest, CancellingTheColourDialogGivesAlmostBlack)
{
    whenModalShows([](QWidget* modal) {
        auto* dialog = qobject_cast<QColorDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        dialog->setCurrentColor(QColor(200, 100, 50));
        dialog->reject();
    });
    EXPECT_EQ(PickColor(nullptr), RgbValue(QColor(1, 1, 1)));
}

TEST_F(DialogTest, ChosenColourIsReturnedWithRedInTheLowByte)
{
    whenModalShows([](QWidget* modal) {
        auto* dialog = qobject_cast<QColorDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        dialog->setCurrentColor(QColor(0x12, 0x34, 0x56));
        dialog->accept();
    });
    EXPECT_EQ(PickColor(nullptr), 0x563412);
}

TEST_F(DialogTest, ColourDialogStartsWithEmptyCustomColoursAndNoAlpha)
{
    QColorDialog::setCustomColor(0, Qt::red);
    QColorDialog::setCustomColor(QColorDialog::customCount() - 1, Qt::green);
    bool customEmpty = false;
    bool alphaShown = true;
    setColorDialogAnswer([&](QColorDialog& dialog) {
        customEmpty =
            QColorDialog::customColor(0) == QColor(Qt::white) &&
            QColorDialog::customColor(QColorDialog::customCount() - 1) == QColor(Qt::white);
        alphaShown = dialog.testOption(QColorDialog::ShowAlphaChannel);
        dialog.setCurrentColor(QColor(1, 2, 3, 100));
        return int(QDialog::Accepted);
    });
    EXPECT_EQ(PickColor(nullptr), 0x030201) << "transparency is dropped";
    EXPECT_TRUE(customEmpty);
    EXPECT_FALSE(alphaShown);
}

// ---- Opening documents

class OpenDocumentTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QDesktopServices::setUrlHandler("https", &catcher, "open");
        QDesktopServices::setUrlHandler("http", &catcher, "open");
        QDesktopServices::setUrlHandler("mailto", &catcher, "open");
    }
    void TearDown() override
    {
        QDesktopServices::unsetUrlHandler("https");
        QDesktopServices::unsetUrlHandler("http");
        QDesktopServices::unsetUrlHandler("mailto");
    }
    UrlCatcher catcher;
};

TEST_F(OpenDocumentTest, WebPagesAndMailAddressesGoToTheDesktop)
{
    EXPECT_TRUE(OpenDocument(nullptr, "Open", "https://norvane.example/help"));
    EXPECT_TRUE(OpenDocument(nullptr, "open", "mailto:team@norvane.example"));
    EXPECT_TRUE(OpenDocument(nullptr, "", "www.norvane.example"));
    ASSERT_EQ(catcher.urls.size(), 3);
    EXPECT_EQ(catcher.urls[0], QUrl("https://norvane.example/help"));
    EXPECT_EQ(catcher.urls[1], QUrl("mailto:team@norvane.example"));
    EXPECT_EQ(catcher.urls[2].host(), "www.norvane.example");
}

TEST_F(OpenDocumentTest, UnknownOperationsAndEmptyTargetsOpenNothing)
{
    EXPECT_FALSE(OpenDocument(nullptr, "Print", "https://norvane.example/help"));
    EXPECT_FALSE(OpenDocument(nullptr, "Open", ""));
    EXPECT_TRUE(catcher.urls.isEmpty());
}

// ---- Login name

TEST(LoginNameTest, IsTheUserNameOfThisProcess)
{
    QProcess id;
    id.start("id", {"-un"});
    ASSERT_TRUE(id.waitForFinished(10000));
    const QString expected = QString::fromLocal8Bit(id.readAllStandardOutput()).trimmed();
    ASSERT_FALSE(expected.isEmpty());
    EXPECT_EQ(GetLoginName(), expected);
}

} // namespace

#include "WindowHelpersTest.moc"
