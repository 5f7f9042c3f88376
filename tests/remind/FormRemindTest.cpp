// The reminder window: its texts, the delay that brings it back, and many reminders at once
// cascading up to a limit and listed in one window beyond it.
#include "TestFiles.h"
#include "remind/ApiMCI.h"
#include "remind/DesktopReminders.h"
#include "remind/form_remind.h"
#include "remind/form_remind_list.h"
#include "settings/Settings.h"
#include "store/ClassTermin.h"
#include "ui/TopMost.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class FormRemindTest : public ::testing::Test {
protected:
    FormRemindTest()
    {
        settings.setTimeFormat("24h");
        settings.setDateFormat("yyyy-mm-dd");
        a.setDatum(QDate(2003, 7, 4));
        a.setStartTime(TimeOfDay::fromHourMinute(9, 0));
        a.setEndTime(TimeOfDay::fromHourMinute(10, 30));
        a.setProducer("<i>anna</i>");
        a.setText("Budget & <b>figures</b>\r\nRoom 4");
        a.setIsReminder(true);
    }

    QString shown(form_remind& w, const char* label)
    {
        return w.findChild<QLabel*>(QLatin1String(label))->text();
    }
    QComboBox& choice(form_remind& w) { return *w.findChild<QComboBox*>("combo_remind"); }

    QTemporaryDir program;
    ProfileCache profiles{ThreadFileAccess()};
    Settings settings{profiles, program.path()};
    SoundPlayer sound;
    ClassTermin a;
};

TEST_F(FormRemindTest, TextsInBothLanguagesTheAppointmentAsWrittenAndTheAnimation)
{
    const struct {
        const char* lang;
        QStringList texts; // title, the five choices, then the list window's title and heading
    } languages[] = {
        {"en",
         {"Norvane4 Reminder", "Don't remind again", "Remind again in 05 minutes",
          "Remind again in 15 minutes", "Remind again in 30 minutes", "Remind again in 60 minutes",
          "Norvane4 Reminder", "Further reminders: 1"}},
        {"de",
         {"Norvane4 Erinnerung", "Nicht mehr erinnern", "In 05 Minuten wieder erinnern",
          "In 15 Minuten wieder erinnern", "In 30 Minuten wieder erinnern",
          "In 60 Minuten wieder erinnern", "Norvane4 Erinnerung", "Weitere Erinnerungen: 1"}},
    };
    for (const auto& language : languages) {
        settings.setLangCode(language.lang);
        form_remind w(settings, sound);
        QStringList texts{w.windowTitle()};
        for (int i = 0; i < choice(w).count(); ++i)
            texts << choice(w).itemText(i);
        form_remind_list list(settings);
        list.add(a);
        texts << list.windowTitle() << list.findChild<QLabel*>("label_heading")->text();
        EXPECT_EQ(texts, language.texts);
        EXPECT_EQ(choice(w).currentIndex(), 0);
    }
    form_remind w(settings, sound);
    w.ShowData(a);
    EXPECT_EQ(shown(w, "label_date") + " " + shown(w, "label_time") + " " +
                  shown(w, "label_producer"),
              "2003-07-04 09:00 - 10:30 <i>anna</i>");
    EXPECT_EQ(shown(w, "label_text"), "[!] Budget & <b>figures</b>\r\nRoom 4");
    for (QLabel* label : w.findChildren<QLabel*>())
        EXPECT_TRUE(label->text().isEmpty() || label->textFormat() == Qt::PlainText)
            << label->objectName().toStdString();

    // The animation runs through its three frames backwards.
    form_remind animated(settings, sound);
    QList<int> frames{animated.frame()};
    for (int tick = 0; tick < 4; ++tick) {
        animated.timer_anim_Timer();
        frames << animated.frame();
    }
    EXPECT_EQ(frames, (QList<int>{0, 2, 1, 0, 2}));
    const QLabel* pic = animated.findChild<QLabel*>("pic");
    EXPECT_FALSE(pic->pixmap().isNull());
}

TEST_F(FormRemindTest, ADelayHidesTheWindowAndBringsItBackTopmostWithTheSound)
{
    const QString bell = program.filePath("bell.wav");
    ASSERT_TRUE(TestFiles::writeBytes(bell, "RIFF"));
    settings.setSoundFile(bell);
    for (const bool withSound : {true, false}) {
        settings.setPlaySound(withSound);
        sound.PlaySoundFile({});
        form_remind w(settings, sound);
        w.ShowData(a);
        w.show();
        choice(w).setCurrentIndex(2);
        w.command_ok_Click();
        EXPECT_FALSE(w.isVisible());
        EXPECT_EQ(w.countdown(), 900);
        for (int tick = 1; tick < 900; ++tick)
            w.timer_again_Timer();
        EXPECT_FALSE(w.isVisible());
        EXPECT_TRUE(sound.playing().isEmpty());
        w.timer_again_Timer();
        EXPECT_TRUE(w.isVisible());
        EXPECT_TRUE(IsTopMost(&w));
        EXPECT_EQ(w.countdown(), 0);
        EXPECT_EQ(choice(w).currentIndex(), 0);
        EXPECT_EQ(sound.playing(), withSound ? QUrl::fromLocalFile(bell) : QUrl());
    }
    sound.PlaySoundFile(program.filePath("missing.wav"));
    EXPECT_TRUE(sound.playing().isEmpty()) << "silence, and the bell stopped";
}

// A screen reader meets a dialog described by the appointment; Enter answers OK from the list
// of choices as from the button.
TEST_F(FormRemindTest, AScreenReaderMeetsADialogOfTheAppointmentAndEnterAnswersOk)
{
    QPointer<form_remind> w = new form_remind(settings, sound);
    w->ShowData(a);
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w));
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(w);
    EXPECT_EQ(window->role(), QAccessible::Dialog);
    EXPECT_EQ(window->text(QAccessible::Description),
              "2003-07-04\n09:00 - 10:30\n<i>anna</i>\n[!] Budget & <b>figures</b>\r\nRoom 4");
    choice(*w).setFocus();
    choice(*w).setCurrentIndex(1);
    QTest::keyClick(&choice(*w), Qt::Key_Return);
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(w->countdown(), 300);
    for (int tick = 0; tick < 300; ++tick)
        w->timer_again_Timer();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(w.isNull()) << "dismissed and gone";
}

TEST_F(FormRemindTest, EachAppointmentHasItsWindowUpToALimitAndTheRestGoToOneList)
{
    DesktopReminders reminders(settings);
    reminders.showReminder(a, a.datum());
    a.setText("Second");
    reminders.showReminder(a, a.datum());
    const QList<form_remind*> windows = reminders.windows();
    ASSERT_EQ(windows.size(), 2);
    EXPECT_TRUE(windows[0]->isVisible() && windows[1]->isVisible());
    EXPECT_TRUE(IsTopMost(windows[1]));
    QPointer<form_remind> first = windows[0];
    first->command_ok_Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull()) << "closed and released";
    EXPECT_EQ(reminders.windows().size(), 1);
    EXPECT_EQ(shown(*reminders.windows()[0], "label_text"), "[!] Second");

    // Many at once cascade on the screen and the rest go to one list.
    constexpr int kDue = 200;
    DesktopReminders many(settings);
    for (int n = 1; n <= kDue; ++n) {
        a.setText(QString::number(n));
        many.showReminder(a, a.datum());
    }
    const QList<form_remind*> cascade = many.windows();
    ASSERT_EQ(cascade.size(), DesktopReminders::kMaxWindows);
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const QPoint step(DesktopReminders::kCascadeStep, DesktopReminders::kCascadeStep);
    for (qsizetype i = 0; i < cascade.size(); ++i) {
        EXPECT_TRUE(area.contains(cascade[i]->geometry())) << i;
        if (i > 0) {
            const QPoint at = cascade[i]->pos();
            EXPECT_TRUE(at == cascade[i - 1]->pos() + step || at == area.topLeft()) << i;
        }
    }
    const form_remind_list* list = many.listWindow();
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->isVisible());
    EXPECT_EQ(list->count(), kDue - DesktopReminders::kMaxWindows);
    EXPECT_EQ(list->line(0), "2003-07-04 09:00 - 10:30  [!] 11");
    EXPECT_EQ(list->line(list->count() - 1), "2003-07-04 09:00 - 10:30  [!] 200");
}

} // namespace
