// The day as lanes per person on screen: where each lane and its appointments lie, what a screen
// reader hears in both languages, the person filter, and clicks on an appointment.
#include "views/PersonLanesView.h"
#include "TestDays.h"
#include "settings/Language.h"
#include "settings/Settings.h"

#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

TerminPtr owned(const QString& times, const QString& owner, const QStringList& forUsers = {})
{
    auto a = std::make_shared<ClassTermin>(*dayOf(times).first());
    a->setProducer(owner);
    a->setForUsers(forUsers);
    return a;
}

class PersonLanesViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        settings.setTimeFormat("24h");
        settings.setTeamMembers({{"anna", "Anna Meier", 0xff}, {"ben", "", -1}});
        view.resize(600, 400);
        view.setDate(kTuesday);
    }

    const QDate kTuesday{2026, 12, 8};
    const QList<TerminPtr> day = {owned("9-10", "anna", {"ben"}), owned("9-11", "anna"),
                                  owned("0-24", "carl")};
    QTemporaryDir program;
    ProfileCache profiles{ThreadFileAccess()};
    Settings settings{profiles, program.path()};
    PersonLanesView view{
        [this](const QDate& d) { return d == kTuesday ? day : QList<TerminPtr>(); }, settings};
};

} // namespace

TEST_F(PersonLanesViewTest, EachPersonHasALaneWithTheirAppointmentsAndAScreenReaderName)
{
    const auto english = qScopeGuard([] { Language::apply("en"); });
    const QList<PersonLanesView::Lane>& lanes = view.lanes();
    ASSERT_EQ(lanes.size(), 3);
    const QRect plan = lanes[0].boxes[0].rect, call = lanes[0].boxes[1].rect;
    EXPECT_EQ(lanes[0].boxes[0].appointment, day[0]);
    EXPECT_TRUE(plan.top() == call.top() && plan.right() < call.left()) << "side by side";
    EXPECT_EQ(call.height(), 2 * plan.height());
    const QRect forBen = lanes[1].boxes.value(0).rect;
    EXPECT_EQ(std::make_pair(forBen.top(), forBen.height()),
              std::make_pair(plan.top(), plan.height()))
        << "the same appointment in Ben's lane, as wide as the lane";
    EXPECT_GT(forBen.width(), 3 * plan.width() / 2);
    EXPECT_TRUE(lanes[1].area.contains(forBen) && lanes[0].area.contains(call));
    EXPECT_LT(lanes[2].boxes.value(0).rect.bottom(), plan.top()) << "all day: in the strip above";
    EXPECT_TRUE(lanes[0].header.right() < lanes[1].header.left() &&
                lanes[1].header.right() < lanes[2].header.left());

    const struct {
        const char* lang;
        const char* day;
    } languages[] = {{"en", "Tuesday 8 December 2026"}, {"de", "Dienstag, 8. Dezember 2026"}};
    for (const auto& l : languages) {
        settings.setLangCode(l.lang);
        Language::apply(l.lang);
        view.reload();
        QStringList names;
        for (const AccessibleItem& lane : view.accessibleTree().children)
            names << lane.name + ": " + QString::number(lane.children.size());
        EXPECT_EQ(names, QStringList({QString("Anna Meier, %1: 2").arg(l.day),
                                      QString("ben, %1: 1").arg(l.day),
                                      QString("carl, %1: 1").arg(l.day)}));
    }
    view.setPersonFilter({"ben"});
    ASSERT_EQ(view.lanes().size(), 1);
    EXPECT_EQ(view.lanes()[0].person.login, "ben");
}

TEST_F(PersonLanesViewTest, AClickOrDoubleClickOnAnAppointmentTellsWhichOne)
{
    QSignalSpy clicked(&view, &PersonLanesView::appointmentClicked);
    QSignalSpy opened(&view, &PersonLanesView::appointmentDoubleClicked);
    const QPoint onBen = view.lanes()[1].boxes[0].rect.center();
    QTest::mouseClick(&view, Qt::LeftButton, {}, onBen);
    QTest::mouseDClick(&view, Qt::LeftButton, {}, onBen);
    QTest::mouseClick(&view, Qt::LeftButton, {}, view.lanes()[1].area.bottomLeft() - QPoint(-2, 2));
    ASSERT_EQ(clicked.size(), 1) << "the free place tells nothing";
    EXPECT_EQ(clicked[0][0].value<TerminPtr>(), day[0]);
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened[0][0].value<TerminPtr>(), day[0]);
}
