// Find a time in the main window: the dialog reads the days through the folders' services, finds
// the first time around the appointments of those asked, and hands it to the editor.
#include "FormMainFixture.h"
#include "TestDays.h"
#include "store/ApiLoginName.h"
#include "views/FindTimeDialog.h"

#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>

namespace {

class FormMainFindTimeTest : public FormMainTest {
protected:
    void own(const QString& path, const QByteArray& keys)
    {
        TestFiles::writeSettled(path, TestFiles::readBytes(path) + keys);
    }
    // Ticks exactly the people and rooms named, then looks and waits for the answer.
    void findFor(FindTimeDialog& dialog, const QStringList& named)
    {
        for (const char* list : {"list_people", "list_rooms"}) {
            auto* choices = dialog.findChild<QListWidget*>(list);
            for (int row = 0; row < choices->count(); ++row) {
                QListWidgetItem* item = choices->item(row);
                item->setCheckState(named.contains(item->data(Qt::UserRole).toString())
                                        ? Qt::Checked
                                        : Qt::Unchecked);
            }
        }
        QSignalSpy answered(&dialog, &FindTimeDialog::answered);
        QTest::mouseClick(dialog.findChild<QPushButton*>("button_find"), Qt::LeftButton);
        ASSERT_TRUE(answered.wait(10000));
    }
    FindTimeDialog* dialogOver(QWidget* parent)
    {
        for (FindTimeDialog* dialog : parent->findChildren<FindTimeDialog*>())
            if (dialog->isVisible())
                return dialog;
        ADD_FAILURE() << "no dialog open";
        return nullptr;
    }
};

TEST_F(FormMainFindTimeTest, FindsATimeAroundTheBusyOnesAndOpensTheEditorForThePeople)
{
    // Wednesday, 10:20: anna is busy till 11, ben (for whom carl's is) till 12, dora after,
    // and zoe has the room Blue after her.
    settings.setTeamMembers({{"anna", "Anna Meier", -1}, {"ben", {}, -1}});
    settings.setTeamRooms({{"Blue", "12 seats"}});
    own(put(kNow.date(), 8, 11, "Planning"), "Producer=anna\r\n");
    own(put(kNow.date(), 11, 12, "Audit"), "Producer=carl\r\nFor=ben\r\n");
    own(put(kNow.date(), 12, 13, "Lunch"), "Producer=dora\r\n");
    own(put(kNow.date(), 13, 14, "Workshop"), "Producer=zoe\r\nRooms=Blue\r\n");
    std::shared_ptr<EditHandOver> handed;
    editing.setEditor([&handed](std::shared_ptr<EditHandOver> h) { handed = std::move(h); });
    window();
    trigger("mnu_edit_find_time");
    FindTimeDialog* dialog = dialogOver(&window());
    ASSERT_TRUE(dialog);
    EXPECT_FALSE(dialog->isModal()) << "the window stays usable beside it";

    findFor(*dialog, {"anna", "ben"});
    using Slot = FreeSlots::Slot;
    ASSERT_GE(dialog->found().size(), 2);
    EXPECT_EQ(dialog->found()[0], (Slot{kNow.date(), at(12), at(13)})) << "dora's not asked";
    EXPECT_EQ(dialog->found()[1], (Slot{kNow.date(), at(13), at(14)}));
    findFor(*dialog, {"anna", "ben", "dora", "Blue"});
    ASSERT_FALSE(dialog->found().isEmpty());
    EXPECT_EQ(dialog->found()[0], (Slot{kNow.date(), at(14), at(15)}));

    QTest::mouseClick(dialog->findChild<QPushButton*>("button_take"), Qt::LeftButton);
    ASSERT_TRUE(handed);
    const ClassTermin& made = handed->appointment;
    EXPECT_TRUE(handed->EditIsNew);
    EXPECT_EQ(made.datum(), kNow.date());
    EXPECT_EQ(made.StartTime(), at(14));
    EXPECT_EQ(made.EndTime(), at(15));
    EXPECT_EQ(made.Producer(), GetLoginName());
    EXPECT_EQ(made.ForUsers(), (QStringList{"anna", "ben", "dora"}));
    EXPECT_EQ(made.Rooms(), QStringList{"Blue"});
    dialog->close();

    // The editor's button asks the same, for its own people, rooms and length; the time taken
    // goes back into it and the dialog closes.
    ASSERT_TRUE(handed->findTime);
    QWidget editor(&window(), Qt::Window);
    ClassTermin draft = made;
    draft.setProducer("anna");
    draft.setForUsers({"ben"});
    draft.setStartTime(at(9));
    draft.setEndTime(at(11)); // two hours
    draft.setRooms({"blue"}); // as typed
    QStringList taken;
    handed->findTime({draft, &editor,
                      [&taken](const QDate& day, TimeOfDay start, TimeOfDay end,
                               const QStringList& forUsers, const QStringList& rooms) {
                          taken << day.toString(Qt::ISODate) << QString::number(start.hour())
                                << QString::number(end.hour()) << forUsers << rooms;
                      }});
    dialog = dialogOver(&editor);
    ASSERT_TRUE(dialog);
    QSignalSpy answered(dialog, &FindTimeDialog::answered);
    ASSERT_TRUE(answered.wait(10000));
    QTest::mouseClick(dialog->findChild<QPushButton*>("button_take"), Qt::LeftButton);
    EXPECT_EQ(taken, (QStringList{"2003-07-09", "14", "16", "ben", "Blue"}));
    EXPECT_FALSE(dialog->isVisible());
}

} // namespace
