// The people in the main window: the day as lanes per person, and the person filter of the side
// panel, which the lanes, the day view and the list follow.
#include "FakeEditor.h"
#include "FormMainFixture.h"
#include "ShownText.h"
#include "TestFiles.h"
#include "store/ApiLoginName.h"
#include "views/AgendaView.h"
#include "views/PersonLanesView.h"
#include "views/SearchPanel.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>

namespace {

class FormMainPeopleTest : public FormMainTest {
protected:
    FormMainPeopleTest()
        : FormMainTest(false, true) // with an index, for the search
    {
    }

    // The owner and whom it is for, as another copy writes them.
    void own(const QString& path, const QByteArray& keys)
    {
        TestFiles::writeSettled(path, TestFiles::readBytes(path) + keys);
    }
    static QStringList textsOf(const QList<AgendaLayout::Group>& groups)
    {
        QStringList texts;
        for (const AgendaLayout::Group& group : groups)
            for (const AgendaLayout::Line& line : group.lines)
                texts << line.text;
        return texts;
    }
    QStringList found() { return textsOf(window().search().results().groups()); }
    QStringList listed() { return textsOf(child<AgendaView>("agenda_view")->groups()); }
    QString lanes()
    {
        QStringList shown;
        for (const PersonLanesView::Lane& lane : child<PersonLanesView>("people_view")->lanes()) {
            QStringList texts;
            for (const PersonLanesView::Box& box : lane.boxes)
                texts << box.appointment->Text();
            shown << lane.accessibleName.section(',', 0, 0) + ":" + texts.join('+');
        }
        return shown.join(' ');
    }
};

TEST_F(FormMainPeopleTest, LanesPerPersonAndAFilterThatEveryViewFollows)
{
    settings.setTeamMembers({{"anna", "Anna Meier", -1}, {"ben", {}, -1}});
    own(put({2003, 7, 9}, 9, 10, "Planning review"), "Producer=anna\r\nFor=ben\r\n");
    own(put({2003, 7, 9}, 11, 12, "Audit review"), "Producer=carla\r\n");
    window();
    trigger("mnu_view_people");
    settle();
    ASSERT_TRUE(child<PersonLanesView>("people_view")->isVisible());
    EXPECT_EQ(lanes(), "Anna Meier:Planning review ben:Planning review carla:Audit review");

    // A team changed while the window is open gets its boxes, shown.
    settings.setTeamMembers({{"anna", "Anna Meier", -1}, {"ben", {}, -1}, {"dora", {}, -1}});
    window().ShowDataSource();
    ASSERT_TRUE(child<QCheckBox>("check_person_dora")->isVisible());
    child<QCheckBox>("check_person_ben")->click();
    settle();
    EXPECT_EQ(lanes(), "Anna Meier:Planning review dora:")
        << "ben hidden, and carla's is for nobody shown";
    key(Qt::Key_D);
    EXPECT_EQ(labelTexts(), QStringList{"Planning review"});
    key(Qt::Key_L);
    const auto& groups = child<AgendaView>("agenda_view")->groups();
    ASSERT_EQ(groups.size(), 1);
    ASSERT_EQ(groups[0].lines.size(), 1);
    EXPECT_EQ(groups[0].lines[0].text, "Planning review");
    QTest::keyClicks(child<QLineEdit>("text_search"), "review");
    EXPECT_TRUE(
        QTest::qWaitFor([this] { return found() == QStringList{"Planning review"}; }, 15000))
        << found().join(" | ").toStdString();
    QTest::keyClick(child<QLineEdit>("text_search"), Qt::Key_Escape);

    child<QCheckBox>("check_person_ben")->click();
    key(Qt::Key_P);
    EXPECT_EQ(lanes(), "Anna Meier:Planning review ben:Planning review dora: carla:Audit review")
        << "everyone again";

    // The last box ticked stays: a filter of nobody would look like an empty calendar.
    const QList<QCheckBox*> boxes = child<QWidget>("person_filter")->findChildren<QCheckBox*>();
    for (QCheckBox* box : boxes)
        box->click();
    EXPECT_EQ(
        std::count_if(boxes.begin(), boxes.end(), [](QCheckBox* b) { return b->isChecked(); }), 1);
}

// The View menu's category filter: the day view and the list keep the appointments of the
// categories checked, letter case aside; the list names them.
TEST_F(FormMainPeopleTest, TheCategoryFilterOfTheViewMenuIsFollowedByEveryView)
{
    settings.setTeamCategories({{"Board", 255}, {"Travel", -1}});
    own(put({2003, 7, 9}, 9, 10, "Planning"), "Categories=board; Finance\r\n");
    put({2003, 7, 9}, 11, 12, "Audit");
    window();
    settle();
    const auto entry = [this](const QString& text) {
        for (QAction* action : child<QMenu>("mnu_view_categories")->actions())
            if (action->text() == text)
                return action;
        return static_cast<QAction*>(nullptr);
    };
    ASSERT_TRUE(entry("Travel") && entry("Board"));
    entry("Board")->trigger();
    key(Qt::Key_D);
    EXPECT_EQ(labelTexts(), QStringList{"Planning"});
    const QImage shot = ShownLabels::of(window()).value(0)->grab().toImage();
    EXPECT_EQ(shot.pixelColor(2, shot.height() / 2), QColor(255, 0, 0)) << "Board's band";
    key(Qt::Key_L);
    EXPECT_EQ(listed(), QStringList{"Planning [board, Finance]"});
    entry("All categories")->trigger();
    EXPECT_EQ(listed(), (QStringList{"Planning [board, Finance]", "Audit"}));
}

// Anna's private appointment and one of the user's own, as every surface of the window shows them.
TEST_F(FormMainPeopleTest, APrivateAppointmentIsBusyToEveryoneButItsOwner)
{
    own(put({2003, 7, 9}, 9, 10, "Dentist secret"), "Producer=anna\r\nPrivate=1\r\n");
    own(put({2003, 7, 9}, 11, 12, "Dentist mine"),
        "Producer=" + GetLoginName().toUtf8() + "\r\nPrivate=1\r\n");
    window();
    settle();
    const QString mine = GetLoginName() + ":Dentist mine";
    const struct {
        const char* surface;
        std::function<QString()> shown;
        QString expected;
    } rows[] = {
        {"day view", [this] { return labelTexts().join('+'); }, "Busy+Dentist mine"},
        {"tooltip",
         [this] { return shownText(ShownLabels::of(window()).value(0)->toolTip()).simplified(); },
         "Busy"},
        {"lanes",
         [this] {
             key(Qt::Key_P);
             return lanes();
         },
         "anna:Busy " + mine},
        {"list",
         [this] {
             key(Qt::Key_L);
             return listed().join('+');
         },
         "Busy+Dentist mine"},
    };
    for (const auto& row : rows) {
        const QString shown = row.shown();
        EXPECT_TRUE(shown.contains(row.expected)) << row.surface << ": " << shown.toStdString();
        EXPECT_FALSE(shown.contains("secret")) << row.surface;
    }
    QTest::keyClicks(child<QLineEdit>("text_search"), "dentist");
    EXPECT_TRUE(QTest::qWaitFor([this] { return found() == QStringList{"Dentist mine"}; }, 15000))
        << found().join(" | ").toStdString();
    QTest::keyClick(child<QLineEdit>("text_search"), Qt::Key_Escape);

    // Opened to change: refused with a word why, and the file stays as anna wrote it.
    key(Qt::Key_D);
    bool edited = false;
    editing.setEditor(FakeEditor::pressingOk([&](ClassTermin&) { edited = true; }));
    QTest::mouseDClick(ShownLabels::of(window()).value(0), Qt::LeftButton);
    settle();
    EXPECT_FALSE(edited);
    EXPECT_EQ(messages.value(0),
              "This private appointment belongs to anna: only its owner can change it.");
}

} // namespace
