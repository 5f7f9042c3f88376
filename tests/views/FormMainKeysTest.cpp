// The main window's grid without the mouse: Tab reaches it, the arrows walk it, and Enter,
// Delete, Ctrl+N and Alt with the arrows edit, delete, make and move appointments on disk as
// the mouse does; a screen reader reads what the keyboard is on.
#include "FormMainFixture.h"

#include "ui/PictureBox.h"
#include "views/GridKeyboard.h"

#include <QAccessible>
#include <QApplication>
#include <QDirIterator>
#include <QRegularExpression>

namespace {

class FormMainKeysTest : public FormMainTest {
protected:
    // The window shown and active, its grid with the keyboard.
    PictureBox* grid()
    {
        auto* picture = child<PictureBox>("pic_view");
        if (!window().isVisible())
            window().show();
        // Again after a question took the activation away.
        if (!window().isActiveWindow()) {
            QApplication::setActiveWindow(&window());
            EXPECT_TRUE(QTest::qWaitForWindowActive(&window()));
        }
        if (!picture->hasFocus())
            picture->setFocus(Qt::TabFocusReason);
        return picture;
    }
    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(grid(), Qt::Key(key), modifiers);
        settle();
    }
    // "d<day> h:mm-h:mm" of the file whose text is text, "none" without one, "many" for more;
    // in the directory under only, when one is named.
    std::string onDisk(const QString& text, const QString& under = {})
    {
        QStringList found;
        QDirIterator it(data.filePath(under), {"*.nv3"}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            const QString bytes = QString::fromUtf8(TestFiles::readBytes(path));
            if (!bytes.contains("Text=" + text + "\r\n"))
                continue;
            const auto value = [&](const char* key) {
                return QRegularExpression(QStringLiteral("%1=(\\d+)").arg(key))
                    .match(bytes)
                    .captured(1);
            };
            found << QStringLiteral("%1 %2:%3-%4:%5")
                         .arg(QFileInfo(path).dir().dirName(), value("StartTimeHour"))
                         .arg(value("StartTimeMinute").toInt(), 2, 10, QLatin1Char('0'))
                         .arg(value("EndTimeHour"))
                         .arg(value("EndTimeMinute").toInt(), 2, 10, QLatin1Char('0'));
        }
        return found.isEmpty() ? "none" : found.size() > 1 ? "many" : found.first().toStdString();
    }
    // What a screen reader is told has the keyboard in the grid.
    std::string focusedName()
    {
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(grid());
        QAccessibleInterface* focused = iface ? iface->focusChild() : nullptr;
        return focused ? focused->text(QAccessible::Name).toStdString() : "nothing";
    }
    QMessageBox* deleteQuestion() { return window().findChild<QMessageBox*>("message_delete"); }
};

TEST_F(FormMainKeysTest, TabReachesTheGridAfterTheCalendarsOnTheSelectedDaysFirstAppointment)
{
    put(kNow.date(), 13, 14, "Beta");
    put(kNow.date(), 9, 10, "Alpha");
    loadView();
    grid();
    child<QWidget>("pic_calendar2")->setFocus(Qt::TabFocusReason);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), child<QWidget>("pic_view"));
    EXPECT_EQ(focusedName(), "09:00 - 10:00, Alpha");
    EXPECT_TRUE(child<QWidget>("grid_focus_frame")->isVisible());
    press(Qt::Key_Down);
    EXPECT_EQ(focusedName(), "10:00") << "the free step after it";
    press(Qt::Key_End);
    EXPECT_EQ(focusedName(), "13:00 - 14:00, Beta");
    press(Qt::Key_W);
    EXPECT_EQ(view().DayColumnCount(), 5) << "letters still reach the window";
}

TEST_F(FormMainKeysTest, AltArrowsMoveAndResizeTheFocusedAppointmentOnDisk)
{
    put(kNow.date(), 9, 10, "Alpha");
    loadView();
    grid();
    struct Step {
        int key;
        Qt::KeyboardModifiers modifiers;
        const char* onDisk;
    };
    const Qt::KeyboardModifiers alt = Qt::AltModifier;
    const Qt::KeyboardModifiers altShift = Qt::AltModifier | Qt::ShiftModifier;
    const Step steps[] = {
        {Qt::Key_Down, alt, "d9 9:30-10:30"},    {Qt::Key_Down, altShift, "d9 9:30-11:00"},
        {Qt::Key_Up, altShift, "d9 9:30-10:30"}, {Qt::Key_Up, alt, "d9 9:00-10:00"},
        {Qt::Key_Right, alt, "d10 9:00-10:00"},  {Qt::Key_Down, Qt::NoModifier, "d10 9:00-10:00"},
    };
    for (const Step& step : steps) {
        press(step.key, step.modifiers);
        EXPECT_EQ(onDisk("Alpha"), step.onDisk)
            << QKeySequence(step.key | step.modifiers).toString().toStdString();
    }
}

TEST_F(FormMainKeysTest, DeleteAsksFirstAndEnterEditsOrMakesOne)
{
    put(kNow.date(), 9, 10, "Alpha");
    loadView();
    ClassTermin seen;
    editing.setEditor(FakeEditor::pressingOk([&](ClassTermin& a) { seen = a; }));
    press(Qt::Key_Return);
    EXPECT_EQ(seen.Text(), "Alpha") << "Enter edits the appointment in the frame";

    press(Qt::Key_Delete);
    ASSERT_NE(deleteQuestion(), nullptr);
    EXPECT_TRUE(deleteQuestion()->text().contains("\"Alpha\" on Wednesday, 9 July 2003"));
    deleteQuestion()->findChild<QAbstractButton*>("button_delete_no")->click();
    settle();
    EXPECT_EQ(onDisk("Alpha"), "d9 9:00-10:00") << "Cancel keeps it";
    press(Qt::Key_Delete);
    deleteQuestion()->findChild<QAbstractButton*>("button_delete_yes")->click();
    settle();
    EXPECT_EQ(onDisk("Alpha"), "none");
    EXPECT_EQ(focusedName(), "09:00") << "the keyboard stays where it was";

    press(Qt::Key_Down);
    press(Qt::Key_Return);
    EXPECT_TRUE(seen.isNew() || seen.Text().isEmpty());
    EXPECT_EQ(seen.StartTime(), TimeOfDay::fromHourMinute(9, 30)) << "Enter on a free step";
    grid();
    trigger("mnu_appointment_new");
    EXPECT_EQ(seen.StartTime(), TimeOfDay::fromHourMinute(9, 30)) << "Ctrl+N at the frame";
    EXPECT_EQ(seen.datum(), kNow.date());
}

TEST_F(FormMainKeysTest, AMovedSeriesAppointmentAsksWhichDaysAsADropDoes)
{
    TestFiles::writeSettled(data.filePath("recurring/every/7.nv3"),
                            "[AppointmentSettings]\r\nDateYear=2003\r\nDateMonth=7\r\nDateDay=1\r\n"
                            "StartTimeHour=9\r\nStartTimeMinute=0\r\nEndTimeHour=10\r\n"
                            "EndTimeMinute=0\r\nText=Daily\r\n");
    loadView();
    press(Qt::Key_Down, Qt::AltModifier);
    const QString question = answerSeries("button_series_this");
    EXPECT_TRUE(question.contains("\"Daily\" repeats. Move only the appointment on Wednesday"));
    EXPECT_EQ(onDisk("Daily"), "many") << "the series and its moved day";
}

TEST_F(FormMainKeysTest, AClickedAppointmentTakesTheKeysAndCtrlVPastesWhereTheFrameIs)
{
    put(kNow.date(), 9, 10, "Alpha");
    put(kNow.date(), 13, 14, "Beta");
    click("label_week");
    grid();
    window().setFocus(Qt::OtherFocusReason); // the keys with the window, as after the Week label
    // To whichever widget has the keyboard, the window active again after the tooltip went.
    const auto typed = [&](int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QApplication::setActiveWindow(&window());
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), modifiers);
        settle();
    };
    QLabel* beta = nullptr;
    for (QLabel* label : appointmentLabels())
        beta = label->text() == "Beta" ? label : beta;
    ASSERT_NE(beta, nullptr);
    QTest::mouseClick(beta, Qt::LeftButton);
    settle();
    typed(Qt::Key_Down, Qt::AltModifier);
    EXPECT_EQ(onDisk("Beta"), "d9 13:30-14:30") << "Alt+Down moves the appointment clicked";
    EXPECT_EQ(onDisk("Alpha"), "d9 9:00-10:00");

    trigger("mnu_edit_copy");
    typed(Qt::Key_Right);
    typed(Qt::Key_Down);
    EXPECT_EQ(focusedName(), "14:00");
    typed(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(onDisk("Beta", "y2003/m7/d10"), "d10 14:00-15:00") << "the frame's day and time";
    EXPECT_EQ(onDisk("Beta", "y2003/m7/d9"), "d9 13:30-14:30") << "not on the selected day";
}

} // namespace
