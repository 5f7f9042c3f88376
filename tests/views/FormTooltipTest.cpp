// The appointment tooltip window: what it says in either language, and how it goes away.
#include "ClassTermin.h"
#include "Language.h"
#include "Screenshots.h"
#include "form_tooltip.h"

#include <QEvent>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

namespace {

ClassTermin appointment(bool recurring, bool reminder)
{
    ClassTermin a;
    a.setDatum(QDate(2003, 7, 4));
    a.setStartTime(TimeOfDay::fromHourMinute(9, 0));
    a.setEndTime(TimeOfDay::fromHourMinute(10, 30));
    a.setText("Budget meeting\r\nRoom 4, bring the figures");
    a.setProducer("jdoe");
    a.setIsRecurring(recurring);
    a.setIsReminder(reminder);
    return a;
}

class FormTooltipTest : public ::testing::Test {
protected:
    void TearDown() override { Language::apply("en"); }

    void fill(const ClassTermin& a, const QString& lang = "en")
    {
        tooltip.SetAppointment(a, lang, "24h", "yyyy-mm-dd");
    }

    QString kindShown() const { return tooltip.label_recurring()->text(); }

    form_tooltip tooltip;
};

} // namespace

TEST_F(FormTooltipTest, KindTextInEnglish)
{
    fill(appointment(false, false));
    EXPECT_EQ(kindShown(), "Single appointment");
    fill(appointment(true, false));
    EXPECT_EQ(kindShown(), "Appointment recurring ") << "the trailing blank stays";
    fill(appointment(false, true));
    EXPECT_EQ(kindShown(), "Appointment with reminder");
    fill(appointment(true, true));
    EXPECT_EQ(kindShown(), "Appointment recurring with reminder");
}

TEST_F(FormTooltipTest, KindTextInGerman)
{
    fill(appointment(false, false), "de");
    EXPECT_EQ(kindShown(), "Einmaliger Termin");
    fill(appointment(true, false), "de");
    EXPECT_EQ(kindShown(), "Termin wiederkehrend ");
    fill(appointment(false, true), "de");
    EXPECT_EQ(kindShown(), "Termin mit Erinnerung");
    fill(appointment(true, true), "de");
    EXPECT_EQ(kindShown(), "Termin wiederkehrend mit Erinnerung");
}

TEST_F(FormTooltipTest, TheLanguageArgumentDecidesWhateverIsInstalled)
{
    Language::apply("de");
    EXPECT_EQ(form_tooltip::KindText(false, false, "en"), "Single appointment");
    Language::apply("en");
    EXPECT_EQ(form_tooltip::KindText(false, true, "de"), "Termin mit Erinnerung");
}

TEST_F(FormTooltipTest, ShowsTextDateTimeAndOwner)
{
    fill(appointment(true, true));
    EXPECT_EQ(tooltip.label_text()->text(), "Budget meeting\nRoom 4, bring the figures");
    EXPECT_EQ(tooltip.label_datum()->text(), "2003-07-04");
    EXPECT_EQ(tooltip.label_zeit()->text(), "09:00 - 10:30");
    EXPECT_EQ(tooltip.label_producer()->text(), "jdoe");

    tooltip.SetAppointment(appointment(false, false), "en", "12h", "dd.mm.yyyy");
    EXPECT_EQ(tooltip.label_datum()->text(), "04.07.2003");
    EXPECT_EQ(tooltip.label_zeit()->text(), "09:00 am - 10:30 am");

    tooltip.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&tooltip));
    const QImage seen = tooltip.grab().toImage();
    EXPECT_EQ(QColor(seen.pixel(0, 0)), form_tooltip::kBorder);
    EXPECT_EQ(QColor(seen.pixel(3, seen.height() - 3)), form_tooltip::kBackground);
    for (QLabel* label : {tooltip.label_text(), tooltip.label_recurring(), tooltip.label_producer(),
                          tooltip.label_datum(), tooltip.label_zeit()})
        EXPECT_TRUE(tooltip.rect().contains(label->geometry()))
            << label->objectName().toStdString();
}

TEST_F(FormTooltipTest, AnEmptyOwnerLeavesItsLineEmpty)
{
    fill(appointment(true, true));
    ClassTermin a = appointment(false, false);
    a.setProducer("");
    fill(a);
    EXPECT_TRUE(tooltip.label_producer()->text().isEmpty()) << "nothing from the last showing";
}

TEST_F(FormTooltipTest, LooksLikeACard)
{
    fill(appointment(true, true));
    tooltip.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&tooltip));
    EXPECT_TRUE(tooltip.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_GT(tooltip.width(), tooltip.label_zeit()->width());
    Screenshots::save(&tooltip, "tooltip");
}

TEST_F(FormTooltipTest, AClickClosesIt)
{
    fill(appointment(false, false));
    tooltip.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&tooltip));
    // On the kind text: the labels let a click through to the window.
    QTest::mouseClick(&tooltip, Qt::LeftButton, {}, tooltip.label_recurring()->geometry().center());
    EXPECT_FALSE(tooltip.isVisible());
}

TEST_F(FormTooltipTest, LosingTheActivationClosesIt)
{
    fill(appointment(false, false));
    tooltip.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&tooltip));
    QEvent deactivate(QEvent::WindowDeactivate);
    QCoreApplication::sendEvent(&tooltip, &deactivate);
    EXPECT_FALSE(tooltip.isVisible());
}
