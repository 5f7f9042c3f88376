// The main window's Edit menu as a user meets it: duplicate, copy, cut and paste, each taken
// back and done again, and the question when another user changed what an undo would restore.
#include "FormMainFixture.h"
#include "ui/PictureBox.h"
#include "views/ViewGeometry.h"

#include <QClipboard>
#include <QDirIterator>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>

namespace {

class FormMainEditTest : public FormMainTest {
protected:
    // Right-clicks the first appointment, which selects it, and closes the pop-up menu.
    void pick()
    {
        ASSERT_FALSE(appointmentLabels().isEmpty());
        QTest::mouseClick(appointmentLabels().first(), Qt::RightButton);
        child<QMenu>("mnu_popup_termin")->hide();
    }
    QString undoText() { return child<QAction>("mnu_edit_undo")->text(); }
    int files() const
    {
        int count = 0;
        QDirIterator it(data.path(), {"*.nv3"}, QDir::Files, QDirIterator::Subdirectories);
        for (; it.hasNext(); it.next())
            ++count;
        return count;
    }
};

TEST_F(FormMainEditTest, DuplicateCopyCutAndPasteAreEachOneStepToUndoAndRedo)
{
    put(kNow.date(), 9, 10, "R&D: a title far too long for a menu entry of its own");
    loadView();
    pick();
    trigger("mnu_popup_termin_duplicate");
    EXPECT_EQ(undoText(), "Undo duplicate of 'R&&D: a title far too long for a menu en…'");
    trigger("mnu_edit_undo");
    pick();
    trigger("mnu_popup_termin_del_yes");
    trigger("mnu_edit_redo"); // nothing to redo after a new change
    EXPECT_EQ(files(), 0);
    put(kNow.date(), 9, 10, "Budget review");
    loadView();

    pick();
    trigger("mnu_popup_termin_duplicate");
    EXPECT_EQ(labelTexts(), (QStringList{"Budget review", "Budget review"}));
    EXPECT_EQ(files(), 2) << "a file of its own";
    EXPECT_EQ(undoText(), "Undo duplicate of 'Budget review'");
    trigger("mnu_edit_undo");
    EXPECT_EQ(labelTexts(), QStringList{"Budget review"});
    EXPECT_EQ(child<QAction>("mnu_edit_redo")->text(), "Redo duplicate of 'Budget review'");
    trigger("mnu_edit_redo");
    EXPECT_EQ(files(), 2);
    trigger("mnu_edit_undo");

    // Copied: iCalendar and plain text on the clipboard; pasted on the next day.
    pick();
    trigger("mnu_edit_copy");
    const QMimeData* clip = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(clip, nullptr);
    EXPECT_EQ(clip->data("text/calendar").count("BEGIN:VEVENT"), 1);
    EXPECT_TRUE(clip->text().endsWith("Budget review")) << clip->text().toStdString();
    key(Qt::Key_Right);
    trigger("mnu_edit_paste");
    EXPECT_EQ(labelTexts(), QStringList{"Budget review"});
    EXPECT_EQ(undoText(), "Undo paste of 'Budget review'");
    // A time clicked on the grid first: the copy starts there, as long as before.
    const ViewGeometry::TimeGrid grid = view().timeGrid();
    const ClassDay* column = view().DayColumn(1);
    const QPoint sixth(PictureBox::toPixels(int(column->StartX() + column->EndX()) / 2),
                       PictureBox::toPixels(int(grid.firstLineY + 6 * grid.slotHeight)));
    QTest::mouseClick(child<QWidget>("pic_view"), Qt::LeftButton, {}, sixth);
    trigger("mnu_edit_paste");
    QList<TimeOfDay> starts;
    for (const TerminPtr& a : service.knownDay(kNow.date().addDays(1)).value_or(QList<TerminPtr>()))
        starts << a->StartTime();
    const TimeOfDay clicked =
        TimeOfDay::fromMinutes(grid.dayStart.minutes() + 6 * grid.gridMinutes);
    EXPECT_TRUE(starts.contains(clicked)) << clicked.minutes();
    trigger("mnu_edit_undo");

    // Cut from there: gone, and back with one undo.
    pick();
    trigger("mnu_edit_cut");
    EXPECT_TRUE(labelTexts().isEmpty());
    EXPECT_EQ(undoText(), "Undo deletion of 'Budget review'");
    trigger("mnu_edit_undo");
    EXPECT_EQ(labelTexts(), QStringList{"Budget review"});
    EXPECT_EQ(files(), 2);
}

TEST_F(FormMainEditTest, ADragWithCtrlHeldCopiesAndTheOriginalStays)
{
    const QString path = put(kNow.date(), 9, 10, "Budget review");
    const QByteArray original = TestFiles::readBytes(path);
    click("label_week");
    QLabel* label = appointmentLabels().first();
    const QPoint pressed = label->rect().center();
    const ClassDay* column = view().DayColumn(4); // Thursday: the week starts on Monday
    ASSERT_EQ(column->datum(), kNow.date().addDays(1));
    QWidget* grid = child<QWidget>("pic_view");
    const QPoint to(PictureBox::toPixels(int(column->StartX() + column->EndX()) / 2),
                    label->mapTo(grid, pressed).y());
    QTest::mousePress(label, Qt::LeftButton, {}, pressed);
    QTest::mouseMove(label, label->mapFrom(grid, to));
    QTest::mouseRelease(label, Qt::LeftButton, Qt::ControlModifier, label->mapFrom(grid, to));
    settle();
    EXPECT_EQ(TestFiles::readBytes(path), original);
    EXPECT_EQ(files(), 2);
    EXPECT_EQ(undoText(), "Undo duplicate of 'Budget review'");
    // The days the labels stand on: the original's and the copy's, also after a refresh.
    const auto shownOn = [&] {
        QList<QDate> days;
        for (const QLabel* shown : appointmentLabels()) {
            const int x = PictureBox::toTwips(shown->geometry().center().x());
            for (int c = 1; c <= view().DayColumnCount(); ++c)
                if (view().DayColumn(c)->StartX() < x && x < view().DayColumn(c)->EndX())
                    days << view().DayColumn(c)->datum();
        }
        std::sort(days.begin(), days.end());
        return days;
    };
    const QList<QDate> both{kNow.date(), kNow.date().addDays(1)};
    EXPECT_EQ(shownOn(), both);
    loadView();
    EXPECT_EQ(shownOn(), both);
}

TEST_F(FormMainEditTest, AnUndoOverAnotherUsersChangeAsksAndKeepsTheirsWhenTold)
{
    const QString path = put(kNow.date(), 9, 10, "Budget review");
    loadView();
    pick();
    trigger("mnu_popup_termin_del_yes");
    ASSERT_EQ(undoText(), "Undo deletion of 'Budget review'");
    // Meanwhile Bob saves an appointment of that name.
    TestFiles::writeSettled(path, "[AppointmentSettings]\r\nText=Bob's\r\nProducer=bob\r\n");
    trigger("mnu_edit_undo");
    QMessageBox* question = nullptr;
    for (QMessageBox* box : window().findChildren<QMessageBox*>("message_undo_conflict"))
        if (box->isVisible())
            question = box;
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(question->text(), "\"Budget review\" was changed by bob since.");
    question->findChild<QAbstractButton*>("button_undo_theirs")->click();
    settle();
    EXPECT_TRUE(TestFiles::readBytes(path).contains("Bob's"));
    EXPECT_FALSE(child<QAction>("mnu_edit_undo")->isEnabled()) << "the step is given up";
}

} // namespace
