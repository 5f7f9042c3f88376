// The main window: start-up, the view, navigation, timers, data folders, labels.
#include "AppointmentEditing.h"
#include "AppointmentFiling.h"
#include "Calendar.h"
#include "ClassDay.h"
#include "DataAccess.h"
#include "Language.h"
#include "PictureBox.h"
#include "Screenshots.h"
#include "Settings.h"
#include "TestFiles.h"
#include "form_main.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScopeGuard>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

// Wednesday 9 July 2003, 10:20.
const QDateTime kNow(QDate(2003, 7, 9), QTime(10, 20));

QByteArray appointmentFile(const QDate& d, int startHour, int endHour, const char* text,
                           int color = 1)
{
    return QStringLiteral("[AppointmentSettings]\r\nDateYear=%1\r\nDateMonth=%2\r\nDateDay=%3\r\n"
                          "StartTimeHour=%4\r\nStartTimeMinute=0\r\nEndTimeHour=%5\r\n"
                          "EndTimeMinute=0\r\nColor=%6\r\nText=%7\r\nIsReminder=0\r\n")
        .arg(d.year())
        .arg(d.month())
        .arg(d.day())
        .arg(startHour)
        .arg(endHour)
        .arg(color)
        .arg(QString::fromUtf8(text))
        .toUtf8();
}

class FormMainTest : public ::testing::Test {
protected:
    FormMainTest()
    {
        TestFiles::writeBytes(program.filePath("Settings.ini"),
                              "[DataFolders]\r\nFolderCount=2\r\nFolder1=" + data.path().toUtf8() +
                                  "\r\nFolder2=" + other.path().toUtf8() + "\r\n");
        TestFiles::writeBytes(
            program.filePath("Norvane4.ini"),
            "[International]\r\nLangCode=en\r\nFirstWeekday=2\r\nTimeFormat=24h\r\n"
            "[Application]\r\nFirstStart=0\r\n");
        settings.LoadActiveFolder();
        settings.LoadSettings();
        editing.setEditor([this](EditHandOver& h) {
            ++editorShown;
            h.EditCancelled = cancelEditor;
        });
    }

    form_main& window()
    {
        if (!m_window) {
            form_main::Hooks hooks;
            hooks.showLanguageWindow = [this](QWidget*) { ++languageWindowShown; };
            hooks.message = [this](QWidget*, const QString&, const QString& text) {
                messages << text;
            };
            m_window = std::make_unique<form_main>(settings, store, editing, hooks);
            m_window->setClock([] { return kNow; });
            m_window->resize(1000, 700);
            m_window->Form_Load();
        }
        return *m_window;
    }

    QString put(const QDate& d, int start, int end, const char* text, int color = 1)
    {
        static int number = 100;
        const QString path = data.filePath(QStringLiteral("y%1/m%2/d%3/%4.nv3")
                                               .arg(d.year())
                                               .arg(d.month())
                                               .arg(d.day())
                                               .arg(++number));
        TestFiles::writeSettled(path, appointmentFile(d, start, end, text, color));
        return path;
    }

    QStringList labelTexts()
    {
        QStringList texts;
        for (QLabel* label : window().labelsInUse())
            if (label->isVisibleTo(window().pic_view()) && !label->text().isEmpty())
                texts << label->text();
        texts.sort();
        return texts;
    }

    void key(int k, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QTest::keyClick(&window(), Qt::Key(k), mods);
    }

    QDate selected() { return window().calendar1().SelectedDate(); }

    QTemporaryDir program;
    QTemporaryDir data;
    QTemporaryDir other;
    CountingFileAccess files{RealFileAccess::instance()};
    ProfileCache profiles{files};
    Settings settings{profiles, program.path()};
    DataAccess store{profiles, settings, [] { return kNow; }};
    AppointmentFiling filing{store, settings};
    AppointmentEditing editing{filing};
    int editorShown = 0;
    bool cancelEditor = false;
    int languageWindowShown = 0;
    QStringList messages;
    std::unique_ptr<form_main> m_window;
};

TEST_F(FormMainTest, StartsWithTodayAndTheDataSource)
{
    form_main& w = window();
    EXPECT_EQ(selected(), kNow.date());
    EXPECT_FALSE(w.calendar1().IsWeekSelected());
    EXPECT_EQ(w.DayColumnCount(), 1);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Norvane 4  -  ") + QDir(data.path()).dirName());
    EXPECT_TRUE(w.label_datasource()->text().startsWith(QStringLiteral("Datasource: ")));
    EXPECT_TRUE(w.Global_timer()->isActive());
    EXPECT_EQ(w.label_monat()->text(), QStringLiteral("July"));
    EXPECT_EQ(w.label_jahr()->text(), QStringLiteral("2003"));
    EXPECT_EQ(w.label_monat2()->text(), QStringLiteral("August"));
    EXPECT_EQ(languageWindowShown, 0);
}

TEST(FormMainFirstStart, TheLanguageWindowShowsOnceOnAFreshInstallation)
{
    QTemporaryDir program;
    int shown = 0;
    for (int start = 0; start < 2; ++start) {
        ProfileCache profiles(RealFileAccess::instance());
        Settings settings(profiles, program.path());
        settings.LoadActiveFolder();
        settings.LoadSettings();
        DataAccess store(profiles, settings);
        AppointmentFiling filing(store, settings);
        AppointmentEditing editing(filing);
        form_main::Hooks hooks;
        hooks.showLanguageWindow = [&](QWidget*) { ++shown; };
        form_main w(settings, store, editing, hooks);
        w.Form_Load();
        EXPECT_EQ(settings.GetDataFolder(), WithTrailingSeparator(program.path()));
    }
    EXPECT_EQ(shown, 1);
}

TEST_F(FormMainTest, TheDayViewShowsTheDaysAppointmentsAsLabels)
{
    put(kNow.date(), 9, 10, "Standup");
    put(kNow.date(), 9, 11, "Review", 3);
    put(kNow.date().addDays(1), 9, 10, "Tomorrow's");
    window().LoadView();
    EXPECT_EQ(labelTexts(), (QStringList{"Review", "Standup"}));
    EXPECT_EQ(window().Rows(), 20);
    EXPECT_EQ(window().RowHeight() % 15, 0);
    Screenshots::save(&window(), "mainwindow_day");
}

TEST_F(FormMainTest, AWarmRebuildOpensNoFileAndTheCalendarsAskNothingAgain)
{
    put(kNow.date(), 9, 10, "Standup");
    window().label_week()->setFocus();
    window().label_week_Click();
    files.resetCounts();
    window().LoadView();
    EXPECT_EQ(files.counts().reads, 0);
    EXPECT_GT(files.counts().listings, 0);
    files.resetCounts();
    window().calendar1().DrawAll();
    window().calendar2().DrawAll();
    EXPECT_EQ(files.counts().total(), 0) << "day marks come from the cache within MonthInterval";
}

TEST_F(FormMainTest, TheWeekViewShowsTheShownWeekdaysFromTheFirstWeekday)
{
    window().calendar1().setSelectedDate(QDate(2003, 7, 13)); // a Sunday
    window().label_week_Click();
    form_main& w = window();
    ASSERT_EQ(w.DayColumnCount(), 5);
    EXPECT_EQ(w.DayColumn(1)->datum(), QDate(2003, 7, 7));
    EXPECT_EQ(w.DayColumn(5)->datum(), QDate(2003, 7, 11));
    const double width = w.DayColumn(1)->EndX() - w.DayColumn(1)->StartX();
    for (int c = 2; c <= 5; ++c)
        EXPECT_DOUBLE_EQ(w.DayColumn(c)->EndX() - w.DayColumn(c)->StartX(), width);
    EXPECT_TRUE(w.HighlightToday());
    Screenshots::save(&w, "mainwindow_week");
}

TEST_F(FormMainTest, NoWeekdayShownOrAnEmptyDayGiveAnEmptyGrid)
{
    for (int day = 1; day <= 7; ++day)
        settings.setShowWeek(day, false);
    window().label_week_Click();
    EXPECT_EQ(window().DayColumnCount(), 0);
    settings.setGridStartTime(TimeOfDay::fromHourMinute(9, 0));
    settings.setGridEndTime(TimeOfDay::fromHourMinute(9, 0));
    window().label_day_Click();
    EXPECT_EQ(window().Rows(), 0);
    EXPECT_EQ(window().DayColumnCount(), 1);
}

TEST_F(FormMainTest, ArrowKeysInTheDayAndWeekView)
{
    window();
    key(Qt::Key_Right);
    EXPECT_EQ(selected(), QDate(2003, 7, 10));
    key(Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(selected(), QDate(2003, 7, 17));
    key(Qt::Key_Left, Qt::ControlModifier);
    EXPECT_EQ(selected(), QDate(2003, 6, 17));
    key(Qt::Key_Up);
    EXPECT_EQ(selected(), QDate(2003, 6, 16));

    key(Qt::Key_W);
    EXPECT_TRUE(window().calendar1().IsWeekSelected());
    EXPECT_EQ(selected(), QDate(2003, 6, 16)) << "a Monday starts its own week";
    key(Qt::Key_Right);
    EXPECT_EQ(selected(), QDate(2003, 6, 23));
    key(Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(selected(), QDate(2003, 6, 23)) << "Shift does nothing in the week view";
}

TEST_F(FormMainTest, LetterKeysDependOnTheLanguage)
{
    window();
    key(Qt::Key_Right);
    key(Qt::Key_H);
    EXPECT_EQ(selected(), QDate(2003, 7, 10)) << "H means nothing in English";
    key(Qt::Key_T);
    EXPECT_EQ(selected(), kNow.date()) << "T is today in English";

    settings.setLangCode("de");
    key(Qt::Key_Right);
    key(Qt::Key_W);
    ASSERT_TRUE(window().calendar1().IsWeekSelected());
    key(Qt::Key_D);
    EXPECT_TRUE(window().calendar1().IsWeekSelected()) << "D means nothing in German";
    key(Qt::Key_T);
    EXPECT_FALSE(window().calendar1().IsWeekSelected()) << "T is the day view in German";
    key(Qt::Key_H);
    EXPECT_EQ(selected(), kNow.date());
}

TEST_F(FormMainTest, SteppingOutOfSightScrollsTheCalendars)
{
    window().calendar1().setSelectedDate(QDate(2003, 8, 31)); // last day of the lower month
    key(Qt::Key_Right);
    EXPECT_EQ(selected(), QDate(2003, 9, 1));
    EXPECT_EQ(window().calendar1().ShowDate(), QDate(2003, 8, 1));
    EXPECT_EQ(window().calendar2().ShowDate(), QDate(2003, 9, 1));

    window().calendar1().setSelectedDate(QDate(2003, 8, 1)); // first day of the upper month
    window().calendar1().setShowDate(QDate(2003, 8, 1));
    key(Qt::Key_Left);
    EXPECT_EQ(window().calendar1().ShowDate(), QDate(2003, 7, 1));
}

TEST_F(FormMainTest, ButtonsGoToTodayTomorrowAndAMonthAway)
{
    window().calendar1().setSelectedDate(QDate(2003, 1, 1));
    window().pic_tomorrow_Click();
    EXPECT_EQ(selected(), QDate(2003, 7, 10)) << "counted from today, not from the selection";
    window().pic_yesterday_Click();
    EXPECT_EQ(selected(), QDate(2003, 7, 8));
    window().pic_today_Click();
    EXPECT_EQ(selected(), kNow.date());
    window().pic_month_next_Click();
    EXPECT_EQ(window().calendar1().ShowDate(), QDate(2003, 8, 1));
    EXPECT_EQ(selected(), kNow.date()) << "the selection stays";
    window().calendar1().setShowDate(QDate(2023, 12, 1));
    window().pic_month_next_Click();
    EXPECT_EQ(window().calendar1().ShowDate(), QDate(2023, 12, 1)) << "no further than 20 years";
    EXPECT_EQ(window().pic_tomorrow()->toolTip(), QStringLiteral("Tomorrow"));
    window().label_week_Click();
    EXPECT_EQ(window().pic_tomorrow()->toolTip(), QStringLiteral("Show next week"));
}

TEST_F(FormMainTest, TheYearListOffersSevenYearsAroundTheShownOne)
{
    window().calendar1().setShowDate(QDate(2003, 7, 31));
    window().label_jahr_MouseDown();
    const QList<QAction*> entries = window().mnu_popup_datum_array();
    EXPECT_EQ(entries[0]->text(), QStringLiteral("2000"));
    EXPECT_EQ(entries[6]->text(), QStringLiteral("2006"));
    EXPECT_TRUE(entries[3]->isChecked());
    EXPECT_FALSE(entries[7]->isVisible());
    window().mnu_popup_datum()->hide();
    window().mnu_popup_datum_array_Click(5);
    EXPECT_EQ(window().calendar1().ShowDate(), QDate(2005, 7, 1));

    window().label_monat_MouseDown();
    EXPECT_EQ(entries[11]->text(), QStringLiteral("December"));
    window().mnu_popup_datum()->hide();
    window().mnu_popup_datum_array_Click(1);
    EXPECT_EQ(window().calendar1().ShowDate(), QDate(2005, 2, 1));
}

TEST_F(FormMainTest, OtherUsersFilesAppearAtTheNextDayIntervalTick)
{
    window().Global_timer()->stop(); // ticks are driven by hand
    put(kNow.date(), 9, 10, "Mine");
    window().LoadView();
    put(kNow.date(), 14, 15, "From a colleague");
    for (int tick = 1; tick < settings.DayInterval(); ++tick)
        window().Global_timer_Timer();
    EXPECT_EQ(labelTexts(), QStringList{"Mine"});
    window().Global_timer_Timer();
    EXPECT_EQ(labelTexts(), (QStringList{"From a colleague", "Mine"}));
}

TEST_F(FormMainTest, TheMonthIntervalRedrawsTheCalendarsAndChecksReminders)
{
    int checks = 0;
    form_main::Hooks hooks;
    hooks.checkReminders = [&] { ++checks; };
    form_main w(settings, store, editing, hooks);
    w.setClock([] { return kNow; });
    w.Form_Load();
    w.Global_timer()->stop();
    for (int tick = 0; tick < settings.MonthInterval() * 2; ++tick)
        w.Global_timer_Timer();
    EXPECT_EQ(checks, 2);
    EXPECT_EQ(w.TimerTicks(), 0);
}

TEST_F(FormMainTest, ChoosingADataFolderMovesTheCheckAndSurvivesARestart)
{
    TestFiles::writeBytes(other.filePath(QStringLiteral("y2003/m7/d9/1.nv3")),
                          appointmentFile(kNow.date(), 8, 9, "Other team"));
    window().mnu_datafolder_array_Click(1);
    const QList<QAction*> entries = window().mnu_datafolder()->actions();
    ASSERT_EQ(entries.size(), 2);
    EXPECT_FALSE(entries[0]->isChecked());
    EXPECT_TRUE(entries[1]->isChecked());
    EXPECT_EQ(window().windowTitle(),
              QStringLiteral("Norvane 4  -  ") + QDir(other.path()).dirName());
    EXPECT_EQ(labelTexts(), QStringList{"Other team"});

    ProfileCache fresh(RealFileAccess::instance());
    Settings restarted(fresh, program.path());
    restarted.LoadActiveFolder();
    restarted.LoadSettings();
    EXPECT_EQ(restarted.GetDataFolder(), WithTrailingSeparator(other.path()));
}

TEST_F(FormMainTest, DeletingThroughThePopUpRemovesFileAndLabel)
{
    const QString path = put(kNow.date(), 9, 10, "Obsolete");
    window().LoadView();
    ASSERT_EQ(window().labelsInUse().size(), 3); // the appointment and the two selection labels
    QLabel* label = window().labelsInUse().first();
    QTest::mouseClick(label, Qt::RightButton);
    EXPECT_TRUE(window().mnu_popup_termin()->isVisible());
    window().mnu_popup_termin()->hide();
    window().mnu_popup_termin_del_yes_Click();
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_TRUE(labelTexts().isEmpty());
}

TEST_F(FormMainTest, AStaleTagDoesNothing)
{
    put(kNow.date(), 9, 10, "Here");
    window().LoadView();
    EXPECT_NE(window().FindAppointmentByTag("1|1"), nullptr);
    EXPECT_EQ(window().FindAppointmentByTag("1|2"), nullptr);
    EXPECT_EQ(window().FindAppointmentByTag("5|1"), nullptr);
    EXPECT_EQ(window().FindAppointmentByTag("garbage"), nullptr);
}

TEST_F(FormMainTest, NewAppointmentFromTheMenuStartsAtTheFullHour)
{
    ClassTermin seen;
    editing.setEditor([&](EditHandOver& h) { seen = *h.EditedAppointment; });
    window().mnu_appointment_new_Click();
    EXPECT_EQ(seen.datum(), kNow.date());
    EXPECT_EQ(seen.StartTime(), TimeOfDay::fromHourMinute(10, 0));
    EXPECT_EQ(seen.EndTime(), TimeOfDay::fromHourMinute(11, 0));
    EXPECT_EQ(seen.RemindMinutes(), 5);
    EXPECT_EQ(seen.RecurringEndDate(), kNow.date().addYears(1));
    EXPECT_EQ(labelTexts().size(), 0) << "an empty text";
    EXPECT_EQ(window().labelsInUse().size(), 3) << "the new appointment is shown";

    window().setClock([] { return QDateTime(kNow.date(), QTime(23, 40)); });
    window().mnu_appointment_new_Click();
    EXPECT_EQ(seen.StartTime(), TimeOfDay::fromHourMinute(22, 0));
    EXPECT_EQ(seen.EndTime(), TimeOfDay::fromHourMinute(23, 0));
}

TEST_F(FormMainTest, AHeaderClickInTheWeekViewOpensThatDay)
{
    window().label_week_Click();
    ClassDay* tuesday = window().DayColumn(2);
    ASSERT_NE(tuesday, nullptr);
    const int x = int(tuesday->StartX() + tuesday->EndX()) / 2 + window().headerOffsetX();
    QTest::mouseClick(window().picture_main(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(PictureBox::toPixels(x), PictureBox::toPixels(150)));
    EXPECT_FALSE(window().calendar1().IsWeekSelected());
    EXPECT_EQ(selected(), QDate(2003, 7, 8));
    QTest::mouseClick(window().picture_main(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(PictureBox::toPixels(x), PictureBox::toPixels(150)));
    EXPECT_EQ(selected(), QDate(2003, 7, 8)) << "in the day view the header does nothing";
}

TEST_F(FormMainTest, ATooSmallPanelScrolls)
{
    settings.setGrid15Minutes(true);
    settings.setGridStartTime(TimeOfDay::fromHourMinute(0, 0));
    settings.setGridEndTime(TimeOfDay::fromHourMinute(23, 30));
    window().LoadView();
    EXPECT_EQ(window().RowHeight(), 225);
    EXPECT_TRUE(window().vscroll()->isEnabled());
    EXPECT_GT(window().vscroll()->maximum(), 0);
    window().vscroll()->setValue(40);
    EXPECT_EQ(window().pic_view()->y(), -40);
    window().LoadView();
    EXPECT_EQ(window().vscroll()->value(), 40) << "a refresh keeps the scroll position";
}

TEST_F(FormMainTest, ResizeBurstsRebuildOnce)
{
    window().Global_timer()->stop();
    int rebuilds = 0;
    QObject::connect(window().timer_refresh_view(), &QTimer::timeout, [&] { ++rebuilds; });
    for (int i = 0; i < 10; ++i)
        window().resize(1000 + i * 5, 700 + i * 5);
    QTest::qWait(200);
    EXPECT_EQ(rebuilds, 1);
}

TEST_F(FormMainTest, GermanTextsComeFromTheTranslations)
{
    settings.setLangCode("de");
    Language::apply("de");
    window().SetLanguageTexts();
    window().ShowDataSource();
    EXPECT_EQ(window().menuBar()->actions().first()->text(), QStringLiteral("&Datei"));
    EXPECT_EQ(window().action("mnu_popup_termin_del_yes")->text(), QStringLiteral("Ja!"));
    EXPECT_EQ(window().action("mnu_taskbar_exit")->text(), QStringLiteral("Norvane4 beenden"));
    EXPECT_EQ(window().label_day()->text(), QStringLiteral("Tag"));
    EXPECT_EQ(window().label_monat()->text(), QStringLiteral("Juli"));
    EXPECT_TRUE(window().label_datasource()->text().startsWith(QStringLiteral("Datenquelle: ")));
    window().label_week_Click();
    EXPECT_EQ(window().pic_today()->toolTip(), QStringLiteral("Aktuelle Woche anzeigen"));
    Screenshots::save(&window(), "mainwindow_german");
    Language::apply("en");
}

TEST_F(FormMainTest, AVanishedDataFolderIsNamedInRedUntilItComesBack)
{
    const struct {
        const char* lang;
        QString normal;
        QString unreachable;
    } languages[] = {
        {"en", "Datasource: %1", "Datasource: %1 (unreachable)"},
        {"de", "Datenquelle: %1", "Datenquelle: %1 (nicht erreichbar)"},
    };
    const auto english = qScopeGuard([] { Language::apply("en"); });
    const QString name = QDir(data.path()).dirName();
    put(kNow.date(), 9, 10, "Standup");
    form_main& w = window();
    w.Global_timer()->stop();
    const auto firstLine = [&] { return w.label_datasource()->text().section('\n', 0, 0); };
    const auto shownRed = [&] {
        return w.label_datasource()->palette().color(QPalette::WindowText) == QColor(255, 0, 0);
    };
    // The heartbeat rebuilds the view every DayInterval seconds.
    const auto heartbeat = [&] {
        for (int tick = 0; tick < settings.DayInterval(); ++tick)
            w.Global_timer_Timer();
    };
    for (const auto& language : languages) {
        SCOPED_TRACE(language.lang);
        settings.setLangCode(language.lang);
        Language::apply(language.lang);
        w.SetLanguageTexts();
        w.ShowDataSource();
        EXPECT_EQ(firstLine(), language.normal.arg(name));
        EXPECT_FALSE(shownRed());

        ASSERT_TRUE(QDir(data.path()).removeRecursively());
        heartbeat();
        EXPECT_EQ(firstLine(), language.unreachable.arg(name));
        EXPECT_TRUE(shownRed());
        EXPECT_TRUE(labelTexts().isEmpty());

        ASSERT_TRUE(QDir().mkpath(data.path()));
        put(kNow.date(), 9, 10, "Standup");
        heartbeat();
        EXPECT_EQ(firstLine(), language.normal.arg(name));
        EXPECT_FALSE(shownRed());
        EXPECT_EQ(labelTexts(), QStringList{"Standup"});
    }
}

TEST_F(FormMainTest, WithoutANotificationAreaClosingEndsInsteadOfHiding)
{
    settings.setMinimizeToTray(true);
    window().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window()));
    window().showMinimized();
    QTest::qWait(20);
    EXPECT_TRUE(window().isVisible()) << "minimized normally, not hidden into a missing tray";
    EXPECT_TRUE(window().close());
    EXPECT_FALSE(window().Global_timer()->isActive()) << "the program ended";
    EXPECT_EQ(window().DayColumnCount(), 0);
}

} // namespace
