// The main window as a user meets it: its labels, menus, buttons, keys and timers.
#include "FormMainFixture.h"
#include "ShownText.h"
#include "edit/form_edit.h"
#include "profile/FileAccess.h"
#include "settings/Language.h"
#include "store/ApiLoginName.h"
#include "store/ClassTermin.h"
#include "store/DataAccess.h"
#include "ui/PictureBox.h"
#include "views/Calendar.h"
#include "views/form_tooltip.h"

#include <QDialog>
#include <QEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QScopeGuard>
#include <QScrollBar>
#include <QSignalSpy>
#include <QToolButton>
#include <QWindow>

#include <functional>

namespace {

// Texts from the share that a widget could take for markup, an access key or a title mark.
const QString kHtml = QStringLiteral("<b>bold</b> & <a href='x'>link</a>");

const auto shown = [](const QLabel* label) {
    return shownText(label->text(), label->textFormat());
};

TEST_F(FormMainTest, StartsWithTodaysAppointmentsAndChecksRemindersWithTheHeartbeatPaused)
{
    put(kNow.date(), 9, 10, "Standup");
    put(kNow.date(), 9, 11, "Review");
    put(kNow.date().addDays(1), 9, 10, "Tomorrow's");
    put(kNow.date(), 22, 23, "Late"); // past the day's end of the settings
    EXPECT_EQ(labelTexts(), (QStringList{"Late", "Review", "Standup"}));
    for (QLabel* label : appointmentLabels())
        EXPECT_TRUE(child<QWidget>("pic_view")->rect().contains(label->geometry()))
            << label->text().toStdString() << " lies inside the grid";
    EXPECT_EQ(view().DayColumnCount(), 1);
    EXPECT_EQ(view().DayColumn(1)->datum(), kNow.date());
    EXPECT_TRUE(heartbeat()->isActive());
    EXPECT_EQ(text("label_monat") + text("label_jahr") + text("label_monat2"), "July2003August");
    EXPECT_FALSE(window().HighlightToday()) << "today is tinted in the week view only";
    // Every MonthInterval ticks the reminders are checked with the heartbeat paused.
    ticks(settings.MonthInterval() - 1);
    EXPECT_EQ(reminderChecks, 0);
    ticks(settings.MonthInterval() + 1);
    EXPECT_EQ(reminderChecks, 2);
    EXPECT_FALSE(heartbeatOnDuringCheck);
    EXPECT_TRUE(heartbeat()->isActive()) << "back on after the check";
    trigger("mnu_file_import_ics"); // opens its window and returns
    ASSERT_TRUE(importDone);
    EXPECT_FALSE(heartbeat()->isActive()) << "off while the import window is open";
    std::exchange(importDone, {})();
    EXPECT_TRUE(heartbeat()->isActive()) << "back on once it is done";
}

// Help and About open over the window and the menu returns at once; the about box rests the
// heartbeat until it is closed, and each window is gone once closed.
TEST_F(FormMainTest, HelpAndAboutOpenOverTheWindowWithoutWaitingAndGoOnceClosed)
{
    const struct {
        const char* action;
        QString title;
        bool heartbeatRests;
    } rows[] = {
        {"mnu_help_info", "About Norvane", true},
        {"mnu_help_help", "Norvane \u2013 Help", false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.action);
        trigger(row.action);
        QList<QDialog*> opened;
        for (QDialog* dialog : window().findChildren<QDialog*>())
            if (dialog->isVisible())
                opened << dialog;
        ASSERT_EQ(opened.size(), 1);
        EXPECT_EQ(opened[0]->windowTitle(), row.title);
        EXPECT_EQ(opened[0]->windowModality(), Qt::WindowModal);
        EXPECT_EQ(heartbeat()->isActive(), !row.heartbeatRests);
        const QPointer<QDialog> closed(opened[0]);
        opened[0]->accept();
        EXPECT_TRUE(heartbeat()->isActive());
        QTRY_VERIFY(closed.isNull());
    }
}

TEST(FormMainStart, TheLanguageWindowShowsOnceAndTheWindowReopensWhereItWasClosed)
{
    QTemporaryDir program;
    int shown = 0;
    const QRect closedAt(30, 40, 640, 480);
    for (int start = 0; start < 2; ++start) {
        SCOPED_TRACE(start);
        ProfileCache profiles(ThreadFileAccess());
        Settings settings(profiles, program.path());
        StoreService service;
        SettingsJobs settingsJobs(service.jobs());
        std::optional<SettingsJobs::Start> loaded;
        QObject context;
        settingsJobs.loadForStart(&context, settings,
                                  [&](const SettingsJobs::Start& answer) { loaded = answer; });
        ASSERT_TRUE(QTest::qWaitFor([&] { return loaded.has_value(); }));
        settings.takeValues(loaded->settings);
        AppointmentEditing editing(service);
        form_main::Hooks hooks;
        hooks.showLanguageWindow = [&](QWidget*, form_main::Hooks::Done) { ++shown; };
        form_main w(settings, settingsJobs, service, editing, hooks);
        w.Form_Load(loaded->placement, loaded->firstStart);
        EXPECT_EQ(settings.GetDataFolder(), WithTrailingSeparator(program.path()));
        if (start == 1) {
            EXPECT_EQ(loaded->placement.geometry.size(), closedAt.size());
        }
        w.setGeometry(closedAt);
        EXPECT_TRUE(w.close());
        // The place is written once the settings' thread is let finish, as at exit.
    }
    EXPECT_EQ(shown, 1);
}

TEST_F(FormMainTest, AWarmRebuildOpensNoFileTheCalendarsAskNothingAndAResizeBurstRebuildsOnce)
{
    put(kNow.date(), 9, 10, "Standup");
    // A daily appointment shows on all five days, and is asked for once per rebuild.
    TestFiles::writeSettled(data.filePath("recurring/every/1.nv3"),
                            "[AppointmentSettings]\r\nStartTimeHour=7\r\nEndTimeHour=8\r\n"
                            "Text=Daily\r\nColor=2\r\nRecurringUntilYear=2099\r\n");
    click("label_week");
    heartbeat()->stop(); // only the rebuilds below read
    QTimer* refresh = child<QTimer>("timer_refresh_view");
    refresh->stop();
    settle();
    files.resetCounts();
    loadView();
    const int oneRebuild = files.counts().total();
    EXPECT_EQ(files.counts().reads, 0);
    // The two files, and the times of the directories' parents (the month's and recurring/,
    // whose listing tells that the recurring month's is missing).
    EXPECT_EQ(files.counts().metadataQueries, 2 + 2);
    EXPECT_GT(files.counts().listings, 0);
    files.resetCounts();
    window().calendar1().DrawAll(); // the lower calendar follows
    EXPECT_EQ(files.counts().total(), 0) << "day marks come from the cache within MonthInterval";

    // Five columns of the week with the bar and range text each, and the one appointment.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(child<QWidget>("pic_view")->findChildren<QLabel*>().size(), 5 * 2 + 1 + 5);

    // However slow the machine, the drag below lasts less than the refresh delay.
    refresh->setInterval(60000);
    files.resetCounts();
    for (int i = 0; i < 10; ++i) {
        window().resize(1000 + i * 5, 700 + i * 5);
        QCoreApplication::processEvents(); // each size reaches the window, as in a drag
    }
    settle();
    EXPECT_EQ(files.counts().total(), 0) << "nothing rebuilt during the drag";
    ASSERT_TRUE(refresh->isActive());
    QSignalSpy refreshed(refresh, &QTimer::timeout);
    refresh->setInterval(50);
    ASSERT_TRUE(refreshed.wait(10000));
    settle();
    EXPECT_EQ(files.counts().total(), oneRebuild) << "the folder is asked once";
}

TEST_F(FormMainTest, TheWeekViewShowsTheShownWeekdaysFromTheFirstWeekday)
{
    window().calendar1().setSelectedDate(QDate(2003, 7, 13)); // a Sunday
    click("label_week");
    ASSERT_EQ(view().DayColumnCount(), 5);
    for (int c = 1; c <= 5; ++c)
        EXPECT_EQ(view().DayColumn(c)->datum(), QDate(2003, 7, 6 + c)) << c;
    EXPECT_TRUE(window().HighlightToday());
    // A click on Tuesday's header opens that day.
    const int x = int(view().DayColumn(2)->StartX() + view().DayColumn(2)->EndX()) / 2;
    QTest::mouseClick(
        child<QWidget>("picture_main"), Qt::LeftButton, {},
        {PictureBox::toPixels(x + view().headerOffsetX()), PictureBox::toPixels(150)});
    EXPECT_EQ(view().DayColumnCount(), 1);
    EXPECT_EQ(view().DayColumn(1)->datum(), QDate(2003, 7, 8));
    click("label_week");
    for (int day = 1; day <= 7; ++day)
        settings.setShowWeek(day, true);
    loadView();
    ASSERT_EQ(view().DayColumnCount(), 7);
    EXPECT_EQ(view().DayColumn(7)->datum(), QDate(2003, 7, 13)) << "Monday to Sunday";
    for (int day = 1; day <= 7; ++day)
        settings.setShowWeek(day, false);
    settings.setGridEndTime(settings.GridStartTime());
    loadView();
    EXPECT_EQ(view().DayColumnCount(), 0) << "no weekday shown: an empty grid";
    click("label_day");
    EXPECT_EQ(view().Rows(), 0);
    EXPECT_EQ(view().DayColumnCount(), 1) << "a day without rows: an empty column";
    QTest::mousePress(child<QWidget>("pic_view"), Qt::LeftButton, {}, {140, 40});
    EXPECT_TRUE(heartbeat()->isActive()) << "no drag starts on it";
    QTest::mouseRelease(child<QWidget>("pic_view"), Qt::LeftButton, {}, {140, 80});
}

TEST_F(FormMainTest, KeysButtonsAndListsMoveTheView)
{
    const auto first = [this] { return view().DayColumn(1)->datum(); };
    key(Qt::Key_Right);
    EXPECT_EQ(first(), QDate(2003, 7, 10));
    key(Qt::Key_W);
    EXPECT_EQ(first(), QDate(2003, 7, 7));
    EXPECT_EQ(child<QToolButton>("pic_tomorrow")->toolTip(), "Show next week");
    click("pic_next");
    EXPECT_EQ(first(), QDate(2003, 7, 14));
    click("label_day");
    EXPECT_EQ(child<QToolButton>("pic_tomorrow")->toolTip(), "Tomorrow");
    click("pic_tomorrow");
    EXPECT_EQ(first(), QDate(2003, 7, 10)) << "counted from today";
    click("pic_month_next");
    EXPECT_EQ(text("label_monat") + text("label_monat2"), "AugustSeptember");
    EXPECT_EQ(window().calendar1().SelectedDate(), QDate(2003, 7, 10)) << "the selection stays";
    click("label_jahr"); // seven years, then the twelve months
    QMenu* list = child<QMenu>("mnu_popup_datum");
    EXPECT_TRUE(list->isVisible());
    list->hide();
    list->actions()[5]->trigger();
    click("label_monat");
    list->hide();
    list->actions()[1]->trigger();
    EXPECT_EQ(text("label_monat") + text("label_jahr2"), "February2005");
}

TEST_F(FormMainTest, AnotherUsersFileShowsAtTheDayTickOnlyItsDayIsLaidOutAndNoLabelHasAStyleSheet)
{
    heartbeat()->stop(); // ticks are driven by hand
    put(kNow.date(), 9, 10, "Standup");
    put(kNow.date().addDays(1), 9, 11, "Review");
    click("label_week");
    const QList<QLabel*> labels = appointmentLabels();
    ASSERT_EQ(labels.size(), 2);
    for (const QLabel* label : labels)
        EXPECT_TRUE(label->styleSheet().isEmpty()) << label->text().toStdString();
    const QList<QPointer<QLabel>> kept(labels.begin(), labels.end());
    const auto placed = [&kept] {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QStringList where;
        for (const QPointer<QLabel>& l : kept)
            where << (l && l->isVisibleTo(l->parentWidget())
                          ? QString::asprintf("%d,%d %dx%d", l->x(), l->y(), l->width(),
                                              l->height())
                          : QString("gone"));
        return where;
    };
    const QStringList before = placed();
    const int layouts = view().ColumnLayouts();
    // The heartbeat's refreshes and the rebuilds of a view nobody changed lay out nothing.
    ticks(2 * settings.DayInterval());
    loadView();
    EXPECT_EQ(placed(), before);
    EXPECT_EQ(view().ColumnLayouts(), layouts);
    // Another copy adds one on Friday: Friday's column alone is laid out again.
    put(kNow.date().addDays(2), 14, 15, "Late call");
    ticks(settings.DayInterval() - 1);
    EXPECT_EQ(labelTexts(), (QStringList{"Review", "Standup"}));
    ticks(1);
    EXPECT_EQ(labelTexts(), (QStringList{"Late call", "Review", "Standup"}));
    EXPECT_EQ(placed(), before);
    EXPECT_EQ(view().ColumnLayouts(), layouts + 1);
}

TEST_F(FormMainTest, ALocalFolderTellsOfOtherProcessesChangesAtOnceAndTheWatchFollowsTheView)
{
    heartbeat()->stop(); // no polling: only the watch can bring it
    loadView();
    // Only the watch brings them, however long a checked build takes for it; the wait ends as
    // soon as they show.
    constexpr int kPatience = 15000;
    put(kNow.date(), 14, 15, "From a colleague"); // a day directory that did not exist
    EXPECT_TRUE(QTest::qWaitFor([&] { return labelTexts() == QStringList{"From a colleague"}; },
                                kPatience));
    put(kNow.date(), 16, 17, "And another");
    EXPECT_TRUE(QTest::qWaitFor([&] { return labelTexts().size() == 2; }, kPatience));

    const qsizetype watched = service.watchedForTests().size();
    ASSERT_GT(watched, 0);
    for (int step = 0; step < 24; ++step)
        click("pic_month_next");
    EXPECT_LE(service.watchedForTests().size(), watched)
        << "the list follows the view, it never piles up";
    EXPECT_TRUE(service.watchedForTests().contains(data.filePath("y2003/m7/d9")))
        << "the day shown";
}

TEST_F(FormMainTest, AFolderChosenInTheMenuOrAddedInTheSettingsIsShownAndSurvivesARestart)
{
    put(kNow.date(), 8, 9, "Other team", other.path());
    const QList<QAction*> entries = child<QMenu>("mnu_datafolder")->actions();
    ASSERT_EQ(entries.size(), 3) << "the folders and which are shown beside the active one";
    entries[1]->trigger();
    settle();
    const QList<QAction*> rebuilt = child<QMenu>("mnu_datafolder")->actions();
    ASSERT_EQ(rebuilt.size(), 3);
    EXPECT_TRUE(!rebuilt[0]->isChecked() && rebuilt[1]->isChecked());
    EXPECT_EQ(window().windowTitle(),
              QStringLiteral("Norvane 4  -  ") + QDir(other.path()).dirName());
    EXPECT_EQ(labelTexts(), QStringList{"Other team"});
    const auto folderAfterRestart = [this] {
        ProfileCache fresh(ThreadFileAccess());
        Settings restarted(fresh, program.path());
        restarted.LoadActiveFolder();
        return restarted.GetDataFolder();
    };
    EXPECT_EQ(folderAfterRestart(), WithTrailingSeparator(other.path()));

    // A folder added in the settings is offered, and shown when the user says so.
    QTemporaryDir added;
    put(kNow.date(), 8, 9, "Added team", added.path());
    const QString addedFolder = WithTrailingSeparator(added.path());
    trigger("mnu_settings_program");
    settingsDone();
    settle();
    EXPECT_EQ(window().findChild<QMessageBox*>("message_show_folder"), nullptr)
        << "no folder added, nothing asked";
    for (const bool yes : {false, true}) {
        SCOPED_TRACE(yes ? "yes" : "no");
        settings.ClearDataFolders();
        settings.AddDataFolder(data.path());
        settings.AddDataFolder(other.path());
        trigger("mnu_settings_program");
        settings.AddDataFolder(addedFolder); // as the settings window's OK leaves them
        settingsDone();
        settle();
        QMessageBox* question = nullptr;
        for (QMessageBox* box : window().findChildren<QMessageBox*>("message_show_folder"))
            question = box->isVisible() ? box : question;
        ASSERT_NE(question, nullptr) << "asked, not waited for";
        EXPECT_TRUE(question->text().contains(QDir(added.path()).dirName()));
        EXPECT_TRUE(question->text().contains("Show this data folder now?"));
        question
            ->findChild<QAbstractButton*>(yes ? "button_show_folder_yes" : "button_show_folder_no")
            ->click();
        settle();
        EXPECT_EQ(labelTexts().contains("Added team"), yes);
        EXPECT_EQ(settings.GetDataFolder() == addedFolder, yes);
    }
    EXPECT_EQ(folderAfterRestart(), addedFolder) << "the choice survives a restart";
}

TEST_F(FormMainTest, AStaleOrMalformedTagDoesNothingAndTheCurrentOneDeletes)
{
    const QString path = put(kNow.date(), 9, 10, "Here");
    loadView();
    EXPECT_NE(view().FindAppointmentByTag("1|1"), nullptr);
    for (const char* tag : {"1|2", "1|0", "5|1", "0|1", "garbage", "", "|", "1|x", "x|1"})
        EXPECT_EQ(view().FindAppointmentByTag(tag), nullptr) << tag;

    // The view moves on to an empty day while the pop-up is open.
    QMenu* popup = child<QMenu>("mnu_popup_termin");
    QTest::mouseClick(appointmentLabels().first(), Qt::RightButton);
    EXPECT_TRUE(popup->isVisible());
    popup->hide();
    key(Qt::Key_Right);
    trigger("mnu_popup_termin_del_yes");
    trigger("mnu_popup_termin_edit");
    EXPECT_TRUE(QFileInfo::exists(path));
    key(Qt::Key_Left);
    QTest::mouseClick(appointmentLabels().first(), Qt::RightButton);
    popup->hide();
    trigger("mnu_popup_termin_del_yes");
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_TRUE(labelTexts().isEmpty());
    EXPECT_EQ(service.knownMark(kNow.date()), std::optional<bool>(false))
        << "the day mark goes at once";

    // Of a series, "Yes!" asks which occurrences go: Cancel keeps all, "only this" today's.
    const QString daily = data.filePath("recurring/every/1.nv3");
    TestFiles::writeSettled(daily, "[AppointmentSettings]\r\nStartTimeHour=9\r\nEndTimeHour=10\r\n"
                                   "Text=Daily\r\nRecurringUntilYear=2099\r\n");
    loadView();
    for (const char* answer : {"button_series_cancel", "button_series_this"}) {
        QTest::mouseClick(appointmentLabels().first(), Qt::RightButton);
        popup->hide();
        EXPECT_EQ(child<QAction>("mnu_popup_termin_del")->text(),
                  "Delete recurring appointment...");
        trigger("mnu_popup_termin_del_yes");
        EXPECT_TRUE(answerSeries(answer).startsWith("\"Daily\" repeats. Delete only the "
                                                    "appointment on Wednesday, 2003-07-09,"));
    }
    EXPECT_TRUE(labelTexts().isEmpty());
    EXPECT_TRUE(TestFiles::readBytes(daily).contains("RecurringUntilDay=8\r\n"));
    const QStringList rest = QDir(data.filePath("recurring/every")).entryList({"*.nv3"});
    ASSERT_EQ(rest.size(), 2) << "the part before and the part after";
    key(Qt::Key_Right);
    EXPECT_EQ(labelTexts(), QStringList{"[!] [>>] Daily"}) << "tomorrow's stays";
}

TEST_F(FormMainTest, NewAppointmentFromTheMenuStartsAtTheFullHourAndAFailedSaveIsTold)
{
    ClassTermin seen;
    editing.setEditor(FakeEditor::pressingOk([&](ClassTermin& a) { seen = a; }));
    trigger("mnu_appointment_new");
    const auto fields = [&] {
        return QStringLiteral("%1 %2-%3, %4 until %5")
            .arg(seen.datum().toString(Qt::ISODate))
            .arg(seen.StartTime().minutes())
            .arg(seen.EndTime().minutes())
            .arg(seen.RemindMinutes())
            .arg(seen.RecurringEndDate().toString(Qt::ISODate));
    };
    EXPECT_EQ(fields(), "2003-07-09 600-660, 5 until 2200-12-31");
    EXPECT_EQ(appointmentLabels().size(), 1) << "the new appointment is shown";
    EXPECT_TRUE(messages.isEmpty());
    now = QDateTime(kNow.date().addDays(1), QTime(23, 40));
    ASSERT_TRUE(TestFiles::writeBytes(settings.GetDataFolder() + "y2003/m7/d10", "no directory"));
    key(Qt::Key_Right);
    trigger("mnu_appointment_new");
    EXPECT_EQ(fields(), "2003-07-10 1020-1080, 5 until 2200-12-31") << "the grid's last hour";
    EXPECT_TRUE(messages.isEmpty()) << "the editor tells its own failures";
    editing.setEditor({}); // filed as proposed, the window tells
    trigger("mnu_appointment_new");
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith(QStringLiteral("The appointment could not be saved.\r\n")));
}

// The window, not the editor nor the day column, owns an edit: it makes the appointment of a
// dragged-out range, and its heartbeat rests from the moment the editor opens until it closes.
TEST_F(FormMainTest, ARangeDraggedOnTheGridIsEditedWithTheHeartbeatRestingUntilTheEditorCloses)
{
    window();
    std::shared_ptr<EditHandOver> open;
    editing.setEditor([&](std::shared_ptr<EditHandOver> h) { open = std::move(h); });
    QWidget* grid = child<QWidget>("pic_view");
    const ClassDay* column = view().DayColumn(1);
    const ViewGeometry::TimeGrid lines = view().timeGrid();
    const auto line = [&](int k) {
        return QPoint(PictureBox::toPixels(int(column->StartX() + column->EndX()) / 2),
                      PictureBox::toPixels(int(lines.firstLineY + k * lines.slotHeight)));
    };
    QTest::mousePress(grid, Qt::LeftButton, {}, line(2));
    QTest::mouseMove(grid, line(5));
    QTest::mouseRelease(grid, Qt::LeftButton, {}, line(5));
    ASSERT_TRUE(open);
    EXPECT_TRUE(open->EditIsNew);
    const ClassTermin& a = open->appointment;
    EXPECT_FALSE(a.IsRecurring() || a.EmailEnable() || a.ReminderAll() || a.IsReminder());
    EXPECT_EQ(a.Producer(), GetLoginName());
    EXPECT_EQ(QStringLiteral("%1 %2-%3 colour %4, %5 %6..%7")
                  .arg(a.datum().toString(Qt::ISODate))
                  .arg(a.StartTime().minutes())
                  .arg(a.EndTime().minutes())
                  .arg(a.ColorCode())
                  .arg(a.RemindMinutes())
                  .arg(a.RecurringStartDate().toString(Qt::ISODate),
                       a.RecurringEndDate().toString(Qt::ISODate) + a.Text()),
              "2003-07-09 540-630 colour 1, 5 2002-07-09..2200-12-31");
    EXPECT_FALSE(heartbeat()->isActive()) << "while the editor is open";
    FakeEditor::pressingOk([](ClassTermin& edited) { edited.setText("Planning"); })(open);
    settle();
    EXPECT_TRUE(heartbeat()->isActive()) << "once it closed";
    ASSERT_EQ(labelTexts(), QStringList{"Planning"});

    // A double click edits, and Cancel gives the heartbeat back as well; one that was off
    // stays off.
    for (const bool beating : {true, false}) {
        beating ? heartbeat()->start() : heartbeat()->stop();
        open.reset();
        QTest::mouseDClick(appointmentLabels().first(), Qt::LeftButton);
        ASSERT_TRUE(open);
        EXPECT_EQ(open->appointment.Text(), "Planning");
        EXPECT_FALSE(heartbeat()->isActive());
        FakeEditor::finish(*open, false);
        settle();
        EXPECT_EQ(heartbeat()->isActive(), beating);
    }
}

TEST_F(FormMainTest, ATooSmallPanelScrollsAndARefreshKeepsThePosition)
{
    settings.setGrid15Minutes(true);
    settings.setGridStartTime(TimeOfDay::fromHourMinute(0, 0));
    settings.setGridEndTime(TimeOfDay::fromHourMinute(23, 30));
    loadView();
    auto* vscroll = child<QScrollBar>("vscroll");
    EXPECT_EQ(view().RowHeight(), 225);
    EXPECT_TRUE(vscroll->isEnabled());
    EXPECT_GT(vscroll->maximum(), 40);
    vscroll->setValue(40);
    EXPECT_EQ(child<QWidget>("pic_view")->y(), -40);
    loadView();
    EXPECT_EQ(vscroll->value(), 40);
}

TEST_F(FormMainTest, AVanishedDataFolderIsNamedInRedUntilItComesBackAndGermanTextsAreTranslated)
{
    const struct {
        const char *lang, *source, *unreachable;
    } languages[] = {{"en", "Datasource: ", " (unreachable)"},
                     {"de", "Datenquelle: ", " (nicht erreichbar)"}};
    const auto english = qScopeGuard([] { Language::apply("en"); });
    put(kNow.date(), 9, 10, "Standup");
    heartbeat()->stop();
    QLabel* label = child<QLabel>("label_datasource");
    const auto seen = [&] { // its first line, and whether in red
        const bool red = label->palette().color(QPalette::WindowText) == QColor(255, 0, 0);
        return label->text().section('\n', 0, 0) + (red ? " in red" : "");
    };
    for (const auto& language : languages) {
        SCOPED_TRACE(language.lang);
        settings.setLangCode(language.lang);
        Language::apply(language.lang);
        window().SetLanguageTexts();
        window().ShowDataSource();
        const QString source = language.source + data.dirName();
        EXPECT_EQ(seen(), source);
        ASSERT_TRUE(data.removeRecursively());
        ticks(settings.DayInterval());
        EXPECT_EQ(seen(), source + language.unreachable + " in red");
        EXPECT_TRUE(labelTexts().isEmpty());
        ASSERT_TRUE(QDir().mkpath(data.path()));
        put(kNow.date(), 9, 10, "Standup");
        ticks(settings.DayInterval());
        EXPECT_EQ(seen(), source);
        EXPECT_EQ(labelTexts(), QStringList{"Standup"});
    }
    // The other German texts come from the translations too.
    click("label_week");
    EXPECT_EQ(window().menuBar()->actions().first()->text(), "&Datei");
    EXPECT_EQ(child<QAction>("mnu_popup_termin_del_yes")->text(), "Ja!");
    EXPECT_EQ(child<QAction>("mnu_taskbar_exit")->text(), "Norvane4 beenden");
    EXPECT_EQ(text("label_day") + text("label_monat"), "TagJuli");
    EXPECT_EQ(child<QToolButton>("pic_today")->toolTip(), "Aktuelle Woche anzeigen");
}

TEST_F(FormMainTest, WithoutANotificationAreaClosingEndsInsteadOfHiding)
{
    settings.setMinimizeToTray(true);
    window().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window()));
    window().showMinimized();
    // A hide into the tray would come from a zero timer set by the minimizing; one set after
    // it fires after it.
    bool handled = false;
    QTimer::singleShot(0, &window(), [&handled] { handled = true; });
    ASSERT_TRUE(QTest::qWaitFor([&handled] { return handled; }));
    EXPECT_TRUE(window().isVisible()) << "minimized normally, not hidden into a missing tray";
    EXPECT_TRUE(window().close());
    EXPECT_FALSE(heartbeat()->isActive()) << "the program ended";
    EXPECT_EQ(view().DayColumnCount(), 0);
}

TEST_F(FormMainTest, TextsFromTheShareShowAsWritten)
{
    settings.setColorText(1, kHtml);
    ClassTermin appointment;
    appointment.setDatum(kNow.date());
    appointment.setStartTime(TimeOfDay::fromHourMinute(9, 0));
    appointment.setEndTime(TimeOfDay::fromHourMinute(10, 0));
    appointment.setColorCode(1);
    appointment.setText(kHtml);
    appointment.setProducer(kHtml);
    appointment.setFilename(DataAccess::DayDirectory(settings.GetDataFolder(), kNow.date()) +
                            QStringLiteral("12345.nv3"));
    DataAccess otherCopy(profiles, settings);
    ASSERT_TRUE(otherCopy.SaveAppointment(appointment).ok);
    heartbeat()->stop();
    ASSERT_EQ(appointmentLabels().size(), 1);
    const QLabel* dayLabel = appointmentLabels().first();
    form_tooltip tooltip;
    tooltip.SetAppointment(appointment, "en", "24h", "yyyy-mm-dd");
    form_edit editor(
        std::make_shared<EditHandOver>(EditHandOver{appointment, false, nullptr, {}, {}, {}}),
        settings, QStringLiteral("bert"));
    const auto in = [](const QWidget& w, const char* name) {
        return shown(w.findChild<QLabel*>(QLatin1String(name)));
    };
    const struct {
        const char* place;
        std::function<QString()> shown;
        QString written;
    } places[] = {
        {"day column label", [&] { return shown(dayLabel); }, kHtml},
        {"day column tooltip", [&] { return shownText(dayLabel->toolTip()); }, kHtml},
        {"tooltip window text", [&] { return in(tooltip, "label_text"); }, kHtml},
        {"tooltip window producer", [&] { return in(tooltip, "label_producer"); }, kHtml},
        {"editor producer", [&] { return in(editor, "label_producer"); }, kHtml},
        {"editor file", [&] { return in(editor, "label_file"); }, appointment.filename()},
        {"editor colour name", [&] { return in(editor, "label_color_array_0"); }, kHtml},
        {"data folder menu",
         [&] {
             return ShownLabels::withoutAccessKey(
                 child<QMenu>("mnu_datafolder")->actions().value(0)->text());
         },
         kFolderHtml},
        {"data source label",
         [&] { return shown(child<QLabel>("label_datasource")).section('\n', 0, 0); },
         "Datasource: " + kFolderHtml},
        {"window title", [&] { return window().windowHandle()->title(); },
         "Norvane 4  -  " + kFolderHtml},
    };
    for (const auto& place : places)
        EXPECT_EQ(place.shown().toStdString(), place.written.toStdString()) << place.place;
}

// The appointment tooltip window: what it says in either language, and how it goes away.
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

TEST(FormTooltipTest,
     ACardWithTextDateTimeOwnerAndKindInTheLanguageAskedThatAClickOrLosingFocusCloses)
{
    form_tooltip tooltip;
    const auto card = [&] {
        return QStringList{tooltip.label_text()->text(), tooltip.label_datum()->text(),
                           tooltip.label_zeit()->text(), tooltip.label_producer()->text(),
                           tooltip.label_recurring()->text()};
    };
    const QString text = "Budget meeting\nRoom 4, bring the figures";
    const auto english = qScopeGuard([] { Language::apply("en"); });
    Language::apply("de"); // the language asked for wins over the installed translation
    tooltip.SetAppointment(appointment(true, true), "en", "24h", "yyyy-mm-dd");
    EXPECT_EQ(card(), (QStringList{text, "2003-07-04", "09:00 - 10:30", "jdoe",
                                   "Appointment recurring with reminder"}));
    ClassTermin anonymous = appointment(false, false);
    anonymous.setProducer("");
    anonymous.setText("Budget meeting\rRoom 4, bring the figures"); // a lone CR breaks it too
    tooltip.SetAppointment(anonymous, "en", "12h", "dd.mm.yyyy");
    EXPECT_EQ(card(),
              (QStringList{text, "04.07.2003", "09:00 am - 10:30 am", "", "Single appointment"}))
        << "no producer from the last showing";
    EXPECT_TRUE(tooltip.label_rooms()->isHidden());
    ClassTermin booking = appointment(false, false);
    booking.setRooms({"Room 2", "Beamer"});
    EXPECT_TRUE(tooltip.label_location()->isHidden());
    booking.setLocation("Hall 2");
    EXPECT_TRUE(tooltip.label_categories()->isHidden());
    booking.setCategories({"Board", "Travel"});
    tooltip.SetAppointment(booking, "de", "24h", "dd.mm.yyyy");
    EXPECT_EQ(tooltip.label_categories()->text(), "Kategorien: Board, Travel");
    EXPECT_EQ(tooltip.label_rooms()->text(), "Räume: Room 2; Beamer");
    EXPECT_FALSE(tooltip.label_rooms()->isHidden());
    EXPECT_EQ(tooltip.label_location()->text(), "Ort: Hall 2");
    EXPECT_FALSE(tooltip.label_location()->isHidden());
    EXPECT_TRUE(tooltip.label_people()->isHidden());
    booking.setOrganizer("ORGANIZER;CN=Anna:mailto:anna@example.org");
    booking.setAttendees({"ATTENDEE;CN=Ben;PARTSTAT=TENTATIVE:mailto:ben@example.org",
                          "ATTENDEE;PARTSTAT=NEEDS-ACTION:mailto:cleo@example.org"});
    tooltip.SetAppointment(booking, "de", "24h", "dd.mm.yyyy");
    EXPECT_EQ(tooltip.label_people()->text(), "Organisator: Anna\nTeilnehmer: Ben (vorläufig), "
                                              "cleo@example.org (Antwort ausstehend)");
    EXPECT_FALSE(tooltip.label_people()->isHidden());
    const struct {
        bool recurring, reminder;
        const char* german;
    } kinds[] = {{false, false, "Einmaliger Termin"},
                 {true, false, "Termin wiederkehrend "}, // the blank stays
                 {false, true, "Termin mit Erinnerung"},
                 {true, true, "Termin wiederkehrend mit Erinnerung"}};
    for (const auto& kind : kinds) {
        tooltip.SetAppointment(appointment(kind.recurring, kind.reminder), "de", "24h",
                               "yyyy-mm-dd");
        EXPECT_EQ(tooltip.label_recurring()->text(), kind.german);
    }
    ClassTermin holiday = appointment(false, false);
    holiday.setStartTime(TimeOfDay::fromMinutes(0));
    holiday.setEndTime(TimeOfDay::fromMinutes(TimeOfDay::kEndOfDay));
    tooltip.SetAppointment(holiday, "de", "24h", "yyyy-mm-dd");
    EXPECT_EQ(tooltip.label_zeit()->text(), QStringLiteral("ganztägig")) << "not 00:00 - 24:00";
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
    // On the kind text: the labels let a click through to the window.
    QTest::mouseClick(&tooltip, Qt::LeftButton, {}, tooltip.label_recurring()->geometry().center());
    EXPECT_FALSE(tooltip.isVisible()) << "click";
    tooltip.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&tooltip));
    QEvent deactivate(QEvent::WindowDeactivate);
    QCoreApplication::sendEvent(&tooltip, &deactivate);
    EXPECT_FALSE(tooltip.isVisible()) << "deactivation";
}

} // namespace
