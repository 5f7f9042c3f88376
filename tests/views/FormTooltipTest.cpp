// The appointment tooltip window: what it says in either language, and how it goes away.
#include "ClassTermin.h"
#include "Language.h"
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

TEST(FormTooltipTest, KindTextInTheLanguageAsked)
{
    const struct {
        bool recurring, reminder;
        const char* english;
        const char* german;
    } cases[] = {
        {false, false, "Single appointment", "Einmaliger Termin"},
        {true, false, "Appointment recurring ", "Termin wiederkehrend "}, // the blank stays
        {false, true, "Appointment with reminder", "Termin mit Erinnerung"},
        {true, true, "Appointment recurring with reminder", "Termin wiederkehrend mit Erinnerung"},
    };
    // Whatever translation is installed.
    Language::apply("de");
    for (const auto& c : cases) {
        form_tooltip tooltip;
        tooltip.SetAppointment(appointment(c.recurring, c.reminder), "en", "24h", "yyyy-mm-dd");
        EXPECT_EQ(tooltip.label_recurring()->text(), c.english);
        tooltip.SetAppointment(appointment(c.recurring, c.reminder), "de", "24h", "yyyy-mm-dd");
        EXPECT_EQ(tooltip.label_recurring()->text(), c.german);
    }
    Language::apply("en");
}

TEST(FormTooltipTest, ShowsTextDateTimeAndOwnerOnACard)
{
    form_tooltip tooltip;
    tooltip.SetAppointment(appointment(true, true), "en", "24h", "yyyy-mm-dd");
    EXPECT_EQ(tooltip.label_text()->text(), "Budget meeting\nRoom 4, bring the figures");
    EXPECT_EQ(tooltip.label_datum()->text(), "2003-07-04");
    EXPECT_EQ(tooltip.label_zeit()->text(), "09:00 - 10:30");
    EXPECT_EQ(tooltip.label_producer()->text(), "jdoe");

    ClassTermin anonymous = appointment(false, false);
    anonymous.setProducer("");
    tooltip.SetAppointment(anonymous, "en", "12h", "dd.mm.yyyy");
    EXPECT_EQ(tooltip.label_datum()->text(), "04.07.2003");
    EXPECT_EQ(tooltip.label_zeit()->text(), "09:00 am - 10:30 am");
    EXPECT_TRUE(tooltip.label_producer()->text().isEmpty()) << "nothing from the last showing";

    tooltip.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&tooltip));
    EXPECT_TRUE(tooltip.windowFlags().testFlag(Qt::FramelessWindowHint));
    const QImage seen = tooltip.grab().toImage();
    EXPECT_EQ(QColor(seen.pixel(0, 0)), form_tooltip::kBorder);
    EXPECT_EQ(QColor(seen.pixel(3, seen.height() - 3)), form_tooltip::kBackground);
    for (QLabel* label : {tooltip.label_text(), tooltip.label_recurring(), tooltip.label_producer(),
                          tooltip.label_datum(), tooltip.label_zeit()})
        EXPECT_TRUE(tooltip.rect().contains(label->geometry()))
            << label->objectName().toStdString();
}

TEST(FormTooltipTest, AClickOrLosingTheActivationClosesIt)
{
    for (bool click : {true, false}) {
        form_tooltip tooltip;
        tooltip.SetAppointment(appointment(false, false), "en", "24h", "yyyy-mm-dd");
        tooltip.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&tooltip));
        if (click) { // on the kind text: the labels let a click through to the window
            QTest::mouseClick(&tooltip, Qt::LeftButton, {},
                              tooltip.label_recurring()->geometry().center());
        } else {
            QEvent deactivate(QEvent::WindowDeactivate);
            QCoreApplication::sendEvent(&tooltip, &deactivate);
        }
        EXPECT_FALSE(tooltip.isVisible()) << (click ? "click" : "deactivation");
    }
}

} // namespace
