// The small window helpers: notification-area icon, topmost windows, the folder, file and
// colour dialogs, opening documents, the login name, and the drawing surface.
#include "store/ApiLoginName.h"
#include "ui/ApiBrowseFolder.h"
#include "ui/ApiColorPicker.h"
#include "ui/ApiOpenSave.h"
#include "ui/ApiShellExecute.h"
#include "ui/ApiTaskBarIcon.h"
#include "ui/PictureBox.h"
#include "ui/PlainText.h"
#include "ui/TopMost.h"

#include <QColorDialog>
#include <QDesktopServices>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

#include <memory>
#include <optional>

// Receives the addresses the program asks the desktop to open.
class UrlCatcher : public QObject {
    Q_OBJECT

public:
    Q_INVOKABLE void open(const QUrl& url) { urls << url; }
    QList<QUrl> urls;
};

namespace {

const QChar kNul(0);

// Notes whether a window was last shown without being activated.
class ShowWatcher : public QObject {
public:
    bool withoutActivating = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show)
            withoutActivating =
                static_cast<QWidget*>(watched)->testAttribute(Qt::WA_ShowWithoutActivating);
        return false;
    }
};

TEST(TaskBarIconTest, WithoutANotificationAreaNothingIsAddedAndAnIconGoesByIdOrWithItsOwner)
{
    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable()) << "the tests run without a desktop";
    auto* owner = new QWidget;
    EXPECT_FALSE(IsTrayAvailable());
    EXPECT_EQ(AddTrayIcon(1, owner, "Norvane4"), nullptr);
    EXPECT_TRUE(owner->findChildren<TaskBarIcon*>().isEmpty());
    EXPECT_FALSE(RemoveTrayIcon(1, owner));
    new TaskBarIcon(1, owner, "Norvane4");
    QPointer<TaskBarIcon> second = new TaskBarIcon(2, owner, "Other");
    EXPECT_TRUE(RemoveTrayIcon(1, owner));
    EXPECT_EQ(FindTrayIcon(1, owner), nullptr);
    EXPECT_FALSE(RemoveTrayIcon(1, owner)) << "already gone";
    EXPECT_EQ(FindTrayIcon(2, owner), second);
    delete owner;
    EXPECT_TRUE(second.isNull()) << "no icon outlives its window";

    // The icon comes from the owner's picture; there is always one.
    PictureBox picture;
    picture.resizeTwips(480, 480);
    picture.setBackColor(QColor(0, 0, 255));
    const QImage fromPicture = TaskBarIcon::IconFor(&picture, QIcon()).pixmap(32, 32).toImage();
    EXPECT_EQ(fromPicture.pixelColor(16, 16), QColor(0, 0, 255));
    QWidget plain;
    EXPECT_FALSE(TaskBarIcon::IconFor(&plain, QIcon()).isNull());
}

TEST(TaskBarIconTest, TooltipIsCutTo63CharactersAndOnlyLeftAndRightPressesAreReported)
{
    QWidget owner;
    for (int length : {8, 63, 64, 91}) {
        const QString text = QString("Norvane4 - ").append(QString(length, 'x')).left(length);
        EXPECT_EQ(TaskBarIcon(1, &owner, text).toolTip(), text.left(63)) << length;
    }
    TaskBarIcon icon(1, &owner, "Norvane4");
    QSignalSpy left(&icon, &TaskBarIcon::LeftButtonDown);
    QSignalSpy right(&icon, &TaskBarIcon::RightButtonDown);
    emit icon.trayIcon()->activated(QSystemTrayIcon::Trigger);
    EXPECT_EQ(right.count(), 0);
    // A double click reports nothing further; middle and unknown presses are ignored.
    for (const auto reason : {QSystemTrayIcon::Context, QSystemTrayIcon::DoubleClick,
                              QSystemTrayIcon::MiddleClick, QSystemTrayIcon::Unknown})
        emit icon.trayIcon()->activated(reason);
    EXPECT_EQ(left.count(), 1);
    EXPECT_EQ(right.count(), 1);
}

// Whether the focus stays where it was is up to the window system (offscreen activates every
// window shown), so this checks what is asked of it.
TEST(TopMostTest, MakeTopMostKeepsPlaceSizeAndVisibilityAndAsksNotToActivate)
{
    QWidget reminder;
    reminder.setGeometry(200, 150, 320, 180);
    reminder.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&reminder));
    EXPECT_FALSE(IsTopMost(&reminder));
    ShowWatcher watcher;
    reminder.installEventFilter(&watcher);
    MakeTopMost(&reminder);
    EXPECT_TRUE(watcher.withoutActivating);
    EXPECT_TRUE(IsTopMost(&reminder));
    EXPECT_TRUE(reminder.isVisible());
    EXPECT_EQ(reminder.geometry(), QRect(200, 150, 320, 180));
    EXPECT_FALSE(reminder.testAttribute(Qt::WA_ShowWithoutActivating))
        << "only this show is a quiet one";
    QWidget hidden;
    MakeTopMost(&hidden);
    EXPECT_TRUE(IsTopMost(&hidden));
    EXPECT_FALSE(hidden.isVisible()) << "a hidden window stays hidden";
}

TEST(TopMostTest, BringToFrontRestoresAHiddenOrMinimizedWindowWithoutMakingItTopMost)
{
    for (const bool minimized : {false, true}) {
        SCOPED_TRACE(minimized ? "minimized" : "hidden");
        QWidget other;
        other.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
        QWidget main;
        if (minimized) {
            main.show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
            main.showMinimized();
        }
        BringToFront(&main);
        EXPECT_FALSE(main.isMinimized());
        EXPECT_TRUE(main.isVisible());
        EXPECT_TRUE(QTest::qWaitForWindowActive(&main));
        EXPECT_FALSE(IsTopMost(&main));
    }
}

// Patterns come in both letter cases; "*.*" is every file; an empty pair or a description
// without a pattern ends the list.
TEST(OpenSaveTest, FilterTextBecomesTheDialogsNameFilters)
{
    const auto pairs = [](const QStringList& texts) { return texts.join(kNul) + kNul; };
    const std::pair<QString, QStringList> cases[] = {
        {pairs({"Holiday Definitions (*.TXT)", "*.TXT", "Pictures", "*.png;*.jpg"}),
         {"Holiday Definitions (*.TXT *.txt)", "Pictures (*.png *.PNG *.jpg *.JPG)"}},
        {pairs({"All files (*.*)", "*.*", "Notes (my own)", "*.txt", "", "*.nv3"}),
         {"All files (*)", "Notes (my own) (*.txt *.TXT)", "*.nv3 *.NV3"}},
        {pairs({"Text", "*.txt", "", "", "Late", "*.x"}), {"Text (*.txt *.TXT)"}},
        {"Lonely description", {}},
        {"", {}}};
    for (const auto& [filter, expected] : cases)
        EXPECT_EQ(NameFilters(filter), expected) << qPrintable(expected.join(", "));
}

class DialogTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        setFileDialogAnswer({});
        setFolderDialogAnswer({});
        setColorDialogAnswer({});
    }

    QTemporaryDir folder;
};

TEST_F(DialogTest, OpenDialogIsPreparedFromTheArgumentsAndAnswersTheChosenPathOrNothing)
{
    QFile holidays(folder.filePath("holidays.txt"));
    ASSERT_TRUE(holidays.open(QIODevice::WriteOnly));
    QString filter;
    AddFileFilter(filter, "All files");
    AddFileFilter(filter, "Holiday Definitions (*.TXT)", "*.TXT");
    QStringList seen;
    setFileDialogAnswer([&](QFileDialog& dialog) {
        seen << dialog.nameFilters() << dialog.selectedNameFilter() << dialog.windowTitle()
             << dialog.directory().absolutePath() << dialog.selectedFiles().value(0);
        EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptOpen);
        EXPECT_EQ(dialog.fileMode(), QFileDialog::ExistingFile);
        EXPECT_EQ(dialog.defaultSuffix(), "txt");
        return int(QDialog::Accepted);
    });
    std::optional<QString> chosen;
    QFileDialog::Options flags;
    const auto open = [&](const QString& title) {
        ShowFileDialog(nullptr, filter, 2, QFileDialog::DontResolveSymlinks, "txt", "holidays.txt",
                       title, folder.path(), true,
                       [&](const QString& path, QFileDialog::Options options) {
                           chosen = path;
                           flags = options;
                       });
    };
    open("Import holidays");
    EXPECT_EQ(chosen, holidays.fileName());
    EXPECT_EQ(seen, QStringList({"All files (*)", "Holiday Definitions (*.TXT *.txt)",
                                 "Holiday Definitions (*.TXT *.txt)", "Import holidays",
                                 QDir(folder.path()).absolutePath(), holidays.fileName()}));
    EXPECT_TRUE(flags.testFlag(QFileDialog::DontResolveSymlinks)) << "flags come back";

    setFileDialogAnswer([&](QFileDialog& dialog) {
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        return int(QDialog::Rejected);
    });
    chosen.reset();
    open("");
    EXPECT_EQ(chosen, "");
    EXPECT_EQ(flags, QFileDialog::DontResolveSymlinks) << "a cancel leaves the flags";
}

// The colour's byte order and the cancel: the opened dialogs below.
TEST_F(DialogTest, TheColourDialogStartsAtTheColourWithEmptyCustomColoursAndDropsTransparency)
{
    QColorDialog::setCustomColor(0, Qt::red);
    QColorDialog::setCustomColor(QColorDialog::customCount() - 1, Qt::green);
    setColorDialogAnswer([&](QColorDialog& dialog) {
        EXPECT_EQ(QColorDialog::customColor(0), QColor(Qt::white));
        EXPECT_EQ(QColorDialog::customColor(QColorDialog::customCount() - 1), QColor(Qt::white));
        EXPECT_FALSE(dialog.testOption(QColorDialog::ShowAlphaChannel));
        EXPECT_EQ(dialog.currentColor(), QColor(0x80, 0x40, 0x20));
        dialog.setCurrentColor(QColor(1, 2, 3, 100));
        return int(QDialog::Accepted);
    });
    std::optional<qint64> chosen;
    PickColor(nullptr, QColor(0x80, 0x40, 0x20), [&](qint64 rgb) { chosen = rgb; });
    EXPECT_EQ(chosen, 0x030201);
}

// Without a test's answer each dialog opens over its owner and the call returns before the
// user answers; the answer comes when the dialog closes (cancel: the colour RGB(1, 1, 1), no
// path, the warning closed all the same), and never once the owner is gone.
class OpenedDialogTest : public ::testing::Test {
protected:
    using Answered = std::function<void(QString)>;
    struct Row {
        const char* name;
        // Opens the dialog over owner; answered notes the answer as text.
        std::function<void(QWidget* owner, Answered answered)> open;
        // Makes the user's choice in the opened dialog.
        std::function<void(QDialog& dialog)> choose;
        QString expected;
        QString cancelled;
    };

    std::vector<Row> rows()
    {
        team = QDir(folder.path()).filePath("team");
        QDir(folder.path()).mkdir("team");
        return {
            {"colour",
             [](QWidget* w, Answered done) {
                 PickColor(w, Qt::red, [done](qint64 rgb) { done(QString::number(rgb, 16)); });
             },
             [](QDialog& d) {
                 static_cast<QColorDialog&>(d).setCurrentColor(QColor(0x12, 0x34, 0x56));
             },
             "563412", "10101"},
            {"folder",
             [](QWidget* w, Answered done) { BrowseForFolder(w, "Add a data folder", done); },
             [this](QDialog& dialog) {
                 auto& files = static_cast<QFileDialog&>(dialog);
                 EXPECT_EQ(files.fileMode(), QFileDialog::Directory);
                 EXPECT_TRUE(files.testOption(QFileDialog::ShowDirsOnly));
                 EXPECT_EQ(files.windowTitle(), "Add a data folder");
                 files.setDirectory(team);
             },
             team, ""},
            {"save", // in the current directory when none is given
             [](QWidget* w, Answered done) {
                 ShowFileDialog(w, "", 1, {}, ".pdf", "", "Export", "", false,
                                [done](const QString& path, QFileDialog::Options) { done(path); });
             },
             [this](QDialog& dialog) {
                 auto& files = static_cast<QFileDialog&>(dialog);
                 EXPECT_EQ(files.acceptMode(), QFileDialog::AcceptSave);
                 EXPECT_EQ(files.defaultSuffix(), "pdf");
                 EXPECT_EQ(files.directory().absolutePath(), QDir::current().absolutePath());
                 files.setDirectory(folder.path());
                 files.selectFile("planner");
             },
             QDir(folder.path()).filePath("planner.pdf"), ""},
            {"warning",
             [](QWidget* w, Answered done) {
                 showPlainWarning(w, "Norvane", "<b>R&D</b> [*]", [done] { done("closed"); });
             },
             [](QDialog& dialog) {
                 auto& box = static_cast<QMessageBox&>(dialog);
                 EXPECT_EQ(box.textFormat(), Qt::PlainText);
                 EXPECT_EQ(box.text(), "<b>R&D</b> [*]") << "shown as written";
                 EXPECT_EQ(box.standardButtons(), QMessageBox::Ok);
             },
             "closed", "closed"},
        };
    }

    QTemporaryDir folder;
    QString team;
};

TEST_F(OpenedDialogTest, TheAnswerComesWhenTheUserClosesTheDialogAndNeverOnceTheOwnerIsGone)
{
    for (const Row& row : rows()) {
        SCOPED_TRACE(row.name);
        QWidget owner;
        owner.show();
        QStringList answers;
        row.open(&owner, [&](const QString& answer) { answers << answer; });
        auto* dialog = owner.findChild<QDialog*>();
        ASSERT_NE(dialog, nullptr);
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(dialog->windowModality(), Qt::WindowModal);
        EXPECT_TRUE(answers.isEmpty()) << "nothing is answered before the user chose";
        QPointer<QDialog> closed(dialog);
        row.choose(*dialog);
        dialog->accept();
        EXPECT_EQ(answers, QStringList{row.expected});
        QTRY_VERIFY(closed.isNull()); // it deletes itself once closed
        row.open(&owner, [&](const QString& answer) { answers << answer; });
        owner.findChild<QDialog*>()->reject();
        EXPECT_EQ(answers, (QStringList{row.expected, row.cancelled}));

        auto gone = std::make_unique<QWidget>();
        gone->show();
        bool answered = false;
        row.open(gone.get(), [&](const QString&) { answered = true; });
        QPointer<QDialog> orphan = gone->findChild<QDialog*>();
        ASSERT_FALSE(orphan.isNull());
        gone.reset();
        EXPECT_TRUE(orphan.isNull()) << "the dialog went with its owner";
        EXPECT_FALSE(answered);
    }
}

TEST(OpenDocumentTest, WebPagesAndMailAddressesGoToTheDesktopOnlyForOpen)
{
    UrlCatcher catcher;
    for (const char* scheme : {"https", "http", "mailto"})
        QDesktopServices::setUrlHandler(scheme, &catcher, "open");
    EXPECT_TRUE(OpenDocument(nullptr, "Open", "https://norvane.example/help"));
    EXPECT_TRUE(OpenDocument(nullptr, "open", "mailto:team@norvane.example"));
    EXPECT_TRUE(OpenDocument(nullptr, "", "www.norvane.example"));
    EXPECT_FALSE(OpenDocument(nullptr, "Print", "https://norvane.example/print"));
    EXPECT_FALSE(OpenDocument(nullptr, "Open", ""));
    for (const char* scheme : {"https", "http", "mailto"})
        QDesktopServices::unsetUrlHandler(scheme);
    ASSERT_EQ(catcher.urls.size(), 3);
    EXPECT_EQ(catcher.urls[0], QUrl("https://norvane.example/help"));
    EXPECT_EQ(catcher.urls[1], QUrl("mailto:team@norvane.example"));
    EXPECT_EQ(catcher.urls[2].host(), "www.norvane.example");
}

TEST(LoginNameTest, IsTheUserNameOfThisProcess)
{
    QProcess id;
    id.start("id", {"-un"});
    ASSERT_TRUE(id.waitForFinished(10000));
    const QString expected = QString::fromLocal8Bit(id.readAllStandardOutput()).trimmed();
    ASSERT_FALSE(expected.isEmpty());
    EXPECT_EQ(GetLoginName(), expected);
}

TEST(PictureBoxTest, TheDrawingSurvivesAResizeAndClsClearsIt)
{
    PictureBox box;
    box.resizeTwips(1500, 1500); // 100 x 100 pixels
    box.Cls();
    box.FillBox(150, 150, 600, 600, QColor(0, 0, 192));
    const auto at = [&](int x, int y) { return box.grab().toImage().pixelColor(x, y); };
    EXPECT_EQ(at(20, 20), QColor(0, 0, 192));
    box.resizeTwips(3000, 3000);
    box.repaint();
    EXPECT_EQ(at(20, 20), QColor(0, 0, 192));
    EXPECT_EQ(at(150, 150), QColor(Qt::white));
    box.Cls();
    EXPECT_EQ(at(20, 20), QColor(Qt::white));
}

} // namespace

#include "WindowHelpersTest.moc"
