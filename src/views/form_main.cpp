#include "views/form_main.h"

#include "store/Recurrence.h"
#include "views/ClassDay.h"
#include "views/ViewGeometry.h"

#include "calendar/Formats.h"
#include "calendar/Names.h"
#include "edit/AppointmentEditing.h"
#include "profile/FileAccess.h"
#include "service/SettingsJobs.h"
#include "service/StoreService.h"
#include "settings/Settings.h"
#include "store/ApiLoginName.h"
#include "store/ClassTermin.h"
#include "store/Common.h"
#include "threads/WorkerThread.h"
#include "ui/ApiTaskBarIcon.h"
#include "ui/HeartbeatPause.h"
#include "ui/MousePointer.h"
#include "ui/OpenDialog.h"
#include "ui/PictureBox.h"
#include "ui/PlainText.h"
#include "ui/TopMost.h"
#include "views/AgendaView.h"
#include "views/Calendar.h"
#include "views/DayWeekView.h"
#include "views/LabelPool.h"
#include "views/MainWindowControls.h"
#include "views/MonthView.h"
#include "views/PersonLanesView.h"
#include "views/SearchPanel.h"
#include "views/form_info.h"
#include "views/form_tooltip.h"
#include "views/help_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QScreen>
#include <QSet>
#include <QSystemTrayIcon>
#include <QTimer>

#include <QToolButton>
#include <optional>
#include <set>

form_main::form_main(Settings& settings, SettingsJobs& settingsJobs, StoreService& service,
                     AppointmentEditing& editing, Hooks hooks, QWidget* parent)
    : QMainWindow(parent)
    , m_settings(settings)
    , m_settingsJobs(settingsJobs)
    , m_service(service)
    , m_stores(std::make_unique<FolderStores>(service))
    , m_editing(editing)
    , m_hooks(std::move(hooks))
    , m_now([] { return QDateTime::currentDateTime(); })
    , m_ui(std::make_unique<MainWindowControls>(this))
    , m_calendar1(std::make_unique<Calendar>())
    , m_calendar2(std::make_unique<Calendar>())
    , m_labels(std::make_unique<LabelPool>(m_ui->pic_view, this))
{
    setFocusPolicy(Qt::StrongFocus);
    m_view = std::make_unique<DayWeekView>(
        m_settings, shownDays(), *this,
        DayWeekView::Pictures{m_ui->picture_main, m_ui->pic_panel, m_ui->pic_view, m_ui->vscroll},
        [this] { return today(); });

    // The view follows the store service's answers; it never waits for them.
    connect(m_stores.get(), &FolderStores::daysChanged, this, &form_main::drawView);
    connect(m_stores.get(), &FolderStores::marksChanged, this, [this] {
        m_calendar1->DrawAll();
        m_calendar2->DrawAll();
    });
    connect(m_stores.get(), &FolderStores::folderChanged, this, [this] { LoadView(); });
    connect(m_stores.get(), &FolderStores::besideChanged, this, [this](bool again) {
        showDataSourceLabel();
        if (again)
            LoadView(true);
    });
    connect(&m_service, &StoreService::reachableChanged, this, [this](bool reachable) {
        m_dataFolderReachable = reachable;
        showDataSourceLabel();
    });
    connect(&m_service, &StoreService::answeringChanged, this, &form_main::serviceAnsweringChanged);
    connect(&m_service, &StoreService::unreadableFilesChanged, this,
            &form_main::showDataSourceLabel);
    for (const auto changed : {&StoreService::checkingChanged, &StoreService::crawlProgressed})
        connect(&m_service, changed, this, &form_main::showDataSourceLabel);
    m_refreshTimer = new QTimer(this);
    m_refreshTimer->setObjectName(QStringLiteral("timer_refresh_view"));
    m_refreshTimer->setInterval(50);
    m_refreshTimer->setSingleShot(true);
    connect(m_refreshTimer, &QTimer::timeout, this, &form_main::timer_refresh_view_Timer);
    m_globalTimer = new QTimer(this);
    m_globalTimer->setObjectName(QStringLiteral("Global_timer"));
    m_globalTimer->setInterval(1000);
    connect(m_globalTimer, &QTimer::timeout, this, &form_main::Global_timer_Timer);
    m_heartbeat.emplace(m_globalTimer);
    m_edits = std::make_unique<EditCoordinator>(*m_stores, m_editing, *m_heartbeat,
                                                static_cast<EditQuestions&>(*this));
    m_drag = std::make_unique<AppointmentDrag>(*m_view, m_settings, *m_heartbeat);
    connect(m_drag.get(), &AppointmentDrag::started, this, &form_main::label_appointment_MouseUp);
    connect(m_drag.get(), &AppointmentDrag::ended, this, [this] {
        if (m_viewPending)
            drawView();
    });

    connectControls();
    connectMenus();
    setupMonthView();
    setupListView();
    setupPeopleView();
    setupSearch();
}

form_main::~form_main()
{
    m_drag.reset();
    m_view->ReleaseDayColumns();
    RemoveTrayIcon(1, this);
}

void form_main::setClock(std::function<QDateTime()> now)
{
    m_now = std::move(now);
}

QDate form_main::today() const
{
    return m_now().date();
}

void form_main::connectControls()
{
    for (QWidget* clickable :
         {m_ui->label_monat, m_ui->label_jahr, m_ui->label_day, m_ui->label_week})
        clickable->installEventFilter(this);

    m_calendar1->Bind(m_ui->pic_calendar1);
    m_calendar2->Bind(m_ui->pic_calendar2);
    for (Calendar* calendar : {m_calendar1.get(), m_calendar2.get()}) {
        calendar->setAppointmentSource([this](const QDate& d) { return m_stores->knownMark(d); });
        calendar->setWeekViewDays([this](int weekday) { return m_settings.ShowWeek(weekday); });
        calendar->setClock([this] { return today(); });
    }
    // A click in either calendar goes by the rules, so a week picked selects a shown day.
    for (Calendar* calendar : {m_calendar1.get(), m_calendar2.get()}) {
        connect(calendar, &Calendar::DayClicked, this,
                [this](const QDate& date) { navigate(navigation().pickDay(viewState(), date)); });
        connect(calendar, &Calendar::WeekClicked, this,
                [this](const QDate& date) { navigate(navigation().pickWeek(viewState(), date)); });
    }
    connect(m_calendar1.get(), &Calendar::Display, this, &form_main::Calendar1_Display);
    connect(m_calendar2.get(), &Calendar::Display, this, &form_main::Calendar2_Display);

    const auto step = [this](QToolButton* button, auto rule) {
        connect(button, &QToolButton::clicked, this,
                [this, rule] { navigate(rule(navigation(), viewState())); });
    };
    using Nav = ViewNavigation;
    using State = ViewNavigation::State;
    step(m_ui->pic_month_back, [](const Nav& n, const State& s) { return n.stepMonth(s, -1); });
    step(m_ui->pic_yesterday, [](const Nav& n, const State& s) { return n.aroundToday(s, -1); });
    step(m_ui->pic_today, [](const Nav& n, const State& s) { return n.aroundToday(s, 0); });
    step(m_ui->pic_tomorrow, [](const Nav& n, const State& s) { return n.aroundToday(s, 1); });
    step(m_ui->pic_month_next, [](const Nav& n, const State& s) { return n.stepMonth(s, 1); });
    step(m_ui->pic_back, [](const Nav& n, const State& s) { return n.stepView(s, -1); });
    step(m_ui->pic_next, [](const Nav& n, const State& s) { return n.stepView(s, 1); });

    // A day header of the week view opens that day.
    connect(m_view.get(), &DayWeekView::HeaderClicked, this, [this](const QDate& date) {
        if (m_viewMode == ViewMode::Week)
            navigate(navigation().pickDay(viewState(), date));
    });
    connect(m_ui->picture_main, &PictureBox::Resized, this, [this] {
        if (m_ui->picture_main_Resize())
            StartRefreshTimer();
    });
}

void form_main::connectMenus()
{
    for (int i = 0; i < m_ui->mnu_popup_datum_array.size(); ++i)
        connect(m_ui->mnu_popup_datum_array[i], &QAction::triggered, this,
                [this, i] { mnu_popup_datum_array_Click(i); });

    m_ui->mnu_file_import->setEnabled(bool(m_hooks.showImport));
    m_ui->mnu_file_import_ics->setEnabled(bool(m_hooks.importIcs));
    m_ui->mnu_file_export_ics->setEnabled(bool(m_hooks.exportIcs));
    m_ui->mnu_file_undo_import->setEnabled(bool(m_hooks.undoImport));
    m_ui->mnu_file_print->setEnabled(bool(m_hooks.showPrint));
    m_ui->mnu_file_export_pdf->setEnabled(bool(m_hooks.exportPdf));
    m_ui->mnu_settings_program->setEnabled(bool(m_hooks.showSettings));

    connect(m_ui->mnu_file_import, &QAction::triggered, this, [this] {
        m_hooks.showImport(this, pauseUntilDone([this] {
                               ShowDataSource();
                               showOwnChange();
                           }));
    });
    connect(m_ui->mnu_file_import_ics, &QAction::triggered, this,
            [this] { m_hooks.importIcs(this, pauseUntilDone([this] { showOwnChange(); })); });
    connect(m_ui->mnu_file_undo_import, &QAction::triggered, this,
            [this] { m_hooks.undoImport(this, pauseUntilDone([this] { showOwnChange(); })); });
    connectSubscribe();
    connect(m_ui->mnu_file_export_ics, &QAction::triggered, this,
            [this] { m_hooks.exportIcs(this, m_calendar1->SelectedDate(), pauseUntilDone()); });
    connect(m_ui->mnu_file_print, &QAction::triggered, this, [this] {
        m_hooks.showPrint(this, m_calendar1->SelectedDate(), m_viewMode, pauseUntilDone());
    });
    connect(m_ui->mnu_file_export_pdf, &QAction::triggered, this, [this] {
        m_hooks.exportPdf(this, m_calendar1->SelectedDate(), m_viewMode, pauseUntilDone());
    });
    connect(m_ui->mnu_settings_program, &QAction::triggered, this, [this] {
        m_hooks.showSettings(this, pauseUntilDone([this, before = m_settings.dataFolders()] {
                                 SetLanguageTexts();
                                 ShowDataSource();
                                 offerAddedFolder(before);
                             }));
    });
    connect(m_ui->mnu_file_exit, &QAction::triggered, this, &form_main::mnu_file_exit_Click);
    connect(m_ui->mnu_appointment_new, &QAction::triggered, this,
            &form_main::mnu_appointment_new_Click);
    connect(m_ui->mnu_help_help, &QAction::triggered, this,
            [this] { ShowHelp(this, m_settings.LangCode()); });
    // As every window of the menu, the about box rests the heartbeat until it is closed.
    connect(m_ui->mnu_help_info, &QAction::triggered, this, [this] {
        openDialog(new form_info(m_settings.LangCode(), GetLoginName(), this), pauseUntilDone());
    });
    connect(m_ui->mnu_popup_termin_edit, &QAction::triggered, this,
            &form_main::mnu_popup_termin_edit_Click);
    connect(m_ui->mnu_popup_termin_del_yes, &QAction::triggered, this,
            &form_main::mnu_popup_termin_del_yes_Click);
    connectEditMenu();
    connectClipboard();
    connectFindTime();
    connectGridKeys();
    connectCalendarKeys();
    connect(m_ui->mnu_taskbar_show, &QAction::triggered, this, &form_main::restoreFromTray);
    connect(m_ui->mnu_taskbar_exit, &QAction::triggered, this, &form_main::exitProgram);
}

// ---------------------------------------------------------------------------------------
// Start-up, texts, data source

void form_main::Form_Load(const Settings::WindowPlacement& placement, bool firstStart)
{
    SetMousePointer(11);
    m_calendar1->setSelectedDate(today());
    m_calendar1->setShowDate(m_calendar1->SelectedDate());

    m_trayIcon = AddTrayIcon(1, this, QStringLiteral("Norvane4"));
    if (m_trayIcon) {
        connect(m_trayIcon, &TaskBarIcon::LeftButtonDown, this, &form_main::restoreFromTray);
        connect(m_trayIcon, &TaskBarIcon::RightButtonDown, this,
                [this](QPoint at) { m_ui->mnu_taskbar->popup(at); });
    }

    const bool chooseLanguage = firstStart && bool(m_hooks.showLanguageWindow);
    QList<QRect> screens;
    for (const QScreen* screen : QGuiApplication::screens())
        screens << screen->availableGeometry();
    if (QScreen* primary = QGuiApplication::primaryScreen())
        screens.prepend(primary->availableGeometry());
    setGeometry(ViewGeometry::InitialWindowGeometry(placement.geometry, screens, size()));
    if (m_ui->Form_Resize())
        StartRefreshTimer();
    ShowDataSource();
    SetLanguageTexts();
    // The keys are the view's from the start, not the search field's.
    setFocus(Qt::OtherFocusReason);
    if (placement.maximized && placement.geometry.isValid())
        QMainWindow::showMaximized();
    else
        QMainWindow::show();
    SetMousePointer(0);
    m_globalTimer->start();
    // Over the window, which then speaks the language chosen.
    if (chooseLanguage)
        m_hooks.showLanguageWindow(this, pauseUntilDone([this] { SetLanguageTexts(); }));
}

form_main::Hooks::Done form_main::pauseUntilDone(std::function<void()> then)
{
    // Every copy of done shares the one holder; the first run lets it go.
    return [window = QPointer<form_main>(this), then = std::move(then),
            held = std::make_shared<HeartbeatPause::Holder>(m_heartbeat->hold())] {
        if (!window || !*held)
            return;
        held->release();
        if (then)
            then();
    };
}

void form_main::SetLanguageTexts()
{
    SetMousePointer(11);
    m_ui->SetLanguageTexts();
    m_search->setLanguageTexts();
    for (Calendar* calendar : {m_calendar1.get(), m_calendar2.get()})
        calendar->SetSettings(m_settings.FirstWeekday(), m_settings.LangCode(),
                              m_settings.FirstCW());
    // A week shown stays a week around a shown day, whatever weekdays the settings show now.
    const ViewNavigation::State state = viewState();
    const bool week =
        (m_settings.StartWithWeek() && state.mode == ViewMode::Day) || state.mode == ViewMode::Week;
    navigate(week ? navigation().weekMode(state) : ViewNavigation::Step{state});
    SetMousePointer(0);
}

void form_main::ShowDataSource()
{
    SetMousePointer(11);
    m_ui->mnu_datafolder->clear();
    const QString active = m_settings.GetDataFolder();
    const QStringList folders = m_settings.dataFolders();
    for (int i = 0; i < folders.size(); ++i) {
        QAction* entry = m_ui->mnu_datafolder->addAction(menuText(LastPathPart(folders[i])));
        entry->setData(folders[i]);
        entry->setCheckable(true);
        entry->setChecked(WithTrailingSeparator(folders[i]) == m_settings.ChosenDataFolder());
        connect(entry, &QAction::triggered, this, [this, i] { mnu_datafolder_array_Click(i); });
    }
    addShownFoldersMenu();
    if (m_hooks.syncNow) {
        m_ui->mnu_datafolder->addSeparator();
        QAction* sync = m_ui->mnu_datafolder->addAction(tr("S&ync now"));
        sync->setObjectName(QStringLiteral("mnu_datafolder_sync"));
        connect(sync, &QAction::triggered, this, [this] { m_hooks.syncNow(); });
    }
    m_service.setParallelRequests(m_settings.ParallelRequests());
    m_service.setFolder(active, m_settings.MonthInterval());
    m_service.setTeam(m_settings);
    showBeside();
    m_dataFolderReachable = m_service.reachable();
    showDataSourceLabel();
    setWindowTitle(QStringLiteral("Norvane 4  -  ") + titleText(shownFolderName()));
    SetMousePointer(0);
}

void form_main::showSyncResult(const QDateTime& at, const QString& failure)
{
    m_syncAt = at;
    m_syncFailure = failure;
    showDataSourceLabel();
}

QString form_main::unreadableFilesNotice() const
{
    const QList<DataAccess::UnreadableFile>& files = m_service.unreadableFiles();
    if (files.isEmpty())
        return {};
    const DataAccess::UnreadableFile& first = files.first();
    const QString named = QDir::toNativeSeparators(first.path) + QStringLiteral(" (") +
                          first.reason + QLatin1Char(')');
    return files.size() == 1
               ? tr("A file in the data folder cannot be read and is not shown: %1").arg(named)
               : tr("%n files in the data folder cannot be read and are not shown, among them "
                    "%1",
                    nullptr, int(files.size()))
                     .arg(named);
}

void form_main::serviceAnsweringChanged(bool answering)
{
    showDataSourceLabel();
    // Back again: whatever others changed meanwhile shows at once.
    if (answering)
        LoadView(true);
}

// ---------------------------------------------------------------------------------------
// The view

void form_main::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    if (m_ui->Form_Resize())
        StartRefreshTimer();
    showLegend();
}

void form_main::LoadView(bool freshMarks)
{
    m_service.setParallelRequests(m_settings.ParallelRequests());
    m_service.setFolder(m_settings.GetDataFolder(), m_settings.MonthInterval());
    m_service.setTeam(m_settings);
    drawView();
    askForShownDays(freshMarks);
}

void form_main::drawView()
{
    // A rebuild now could hand the label held to another appointment.
    m_viewPending = m_drag && m_drag->held();
    if (m_viewPending)
        return;
    m_monthView->setVisible(m_viewMode == ViewMode::Month);
    m_listView->setVisible(m_viewMode == ViewMode::List);
    m_peopleView->setVisible(m_viewMode == ViewMode::People);
    if (m_viewMode == ViewMode::Month)
        drawMonth();
    else if (m_viewMode == ViewMode::List)
        drawList();
    else if (m_viewMode == ViewMode::People)
        drawPeople();
    else
        m_view->LoadView(m_calendar1->SelectedDate(), m_viewMode == ViewMode::Week);
    watchShownDirectories();
    m_search->raise();
    selectWhenRead();
}

void form_main::askForShownDays(bool freshMarks)
{
    if (m_viewMode == ViewMode::Month) {
        askForMonthDays(freshMarks);
        return;
    }
    if (m_viewMode == ViewMode::List) {
        askForListDays(freshMarks);
        return;
    }
    if (m_viewMode == ViewMode::People) {
        const QDate day = m_calendar1->SelectedDate();
        m_stores->show({{day}, calendarDays(), {day.addDays(-1), day.addDays(1)}, freshMarks});
        return;
    }
    StoreService::Request request;
    request.freshMarks = freshMarks;
    for (int c = 1; c <= m_view->DayColumnCount(); ++c)
        if (const ClassDay* column = m_view->DayColumn(c))
            request.viewDays << column->datum();
    request.markDays = calendarDays();
    // The neighbours of the view, so the next step shows at once.
    const bool week = m_viewMode == ViewMode::Week;
    for (const QDate& day : std::as_const(request.viewDays))
        for (int step : week ? QList<int>{-7, 7} : QList<int>{-1, 1, -7, 7})
            if (!request.viewDays.contains(day.addDays(step)) &&
                !request.warmDays.contains(day.addDays(step)))
                request.warmDays << day.addDays(step);
    m_stores->show(request);
}

QList<QDate> form_main::calendarDays() const
{
    QList<QDate> days;
    const QDate first = m_calendar1->ShowDate();
    for (QDate day = first; day < first.addMonths(2); day = day.addDays(1))
        days << day;
    return days;
}

void form_main::watchShownDirectories()
{
    // The days of the view and of both month calendars, in every directory they read.
    const QList<QDate> marked = calendarDays();
    std::set<QDate> days(marked.cbegin(), marked.cend()); // in order: the same view, the same list
    for (int c = 1; c <= m_view->DayColumnCount() && showsDayColumns(m_viewMode); ++c)
        if (const ClassDay* column = m_view->DayColumn(c))
            days.insert(column->datum());
    if (m_viewMode == ViewMode::Month)
        for (const QDate& day : monthDays(0))
            days.insert(day);
    if (m_viewMode == ViewMode::List)
        for (const QDate& day : listDays(0))
            days.insert(day);
    if (m_viewMode == ViewMode::People)
        days.insert(m_calendar1->SelectedDate());
    for (StoreService* service : m_stores->all()) {
        QStringList directories;
        QSet<QString> seen;
        for (const QDate& day : days)
            for (const QString& directory : Recurrence::directoriesOfDay(service->folder(), day))
                if (!seen.contains(directory)) {
                    seen.insert(directory);
                    directories << directory;
                }
        service->watch(directories);
    }
}

QLabel* form_main::CreateLabelResource()
{
    return m_labels->CreateLabelResource();
}

void form_main::ReleaseLabelResource(QLabel* label)
{
    m_labels->ReleaseLabelResource(label);
}

bool form_main::HighlightToday() const
{
    return m_view->HighlightToday();
}

// ---------------------------------------------------------------------------------------
// Navigation

ViewNavigation form_main::navigation() const
{
    return ViewNavigation(m_settings.FirstWeekday(), today(),
                          m_settings.LangCode() == QLatin1String("de"),
                          [this](int weekday) { return m_settings.ShowWeek(weekday); });
}

ViewNavigation::State form_main::viewState() const
{
    return {m_calendar1->SelectedDate(), m_calendar1->ShowDate(), m_viewMode};
}

void form_main::navigate(const ViewNavigation::Step& step)
{
    if (step.redraw == ViewNavigation::Redraw::Nothing)
        return;
    m_calendar1->setShowDate(step.state.shown);
    m_calendar1->setSelectedDate(step.state.selected);
    m_viewMode = step.state.mode;
    m_calendar1->setIsWeekSelected(m_viewMode == ViewMode::Week);
    m_calendar1->DrawAll();
    if (step.redraw == ViewNavigation::Redraw::View)
        LoadView();
}

void form_main::keyPressEvent(QKeyEvent* event)
{
    if (!windowKey(event->key(), event->modifiers()))
        QMainWindow::keyPressEvent(event);
}

bool form_main::windowKey(int key, Qt::KeyboardModifiers modifiers)
{
    const std::optional<ViewNavigation::Step> step = navigation().key(viewState(), key, modifiers);
    if (step)
        navigate(*step);
    return step.has_value();
}

void form_main::Calendar1_Display(const QDate& date)
{
    m_ui->label_monat->setText(MonthNames(m_settings.LangCode())[date.month()]);
    m_ui->label_jahr->setText(QString::number(date.year()));
    m_ui->ShowDayWeekSelection(m_viewMode);
    m_calendar2->setSelectedDate(m_calendar1->SelectedDate());
    m_calendar2->setShowDate(m_calendar1->ShowDate().addMonths(1));
    m_calendar2->setIsWeekSelected(m_calendar1->IsWeekSelected());
    m_calendar2->DrawAll();
    // Tomorrow, yesterday, today, back and next, by what they step.
    const QString tips[][5] = {
        {tr("Tomorrow"), tr("Yesterday"), tr("Today"), tr("Previous day"), tr("Next day")},
        {tr("Show next week"), tr("Show last week"), tr("Show actual week"), tr("Previous week"),
         tr("Next week")},
        {tr("Show next month"), tr("Show last month"), tr("Show actual month"),
         tr("Previous month"), tr("Next month")},
    };
    const QString* tip = tips[int(stepUnitOf(m_viewMode))];
    QToolButton* const buttons[] = {m_ui->pic_tomorrow, m_ui->pic_yesterday, m_ui->pic_today,
                                    m_ui->pic_back, m_ui->pic_next};
    for (int i = 0; i < 5; ++i)
        buttons[i]->setToolTip(tip[i]);
    m_ui->NameButtonsByTooltips();
}

void form_main::Calendar2_Display(const QDate& date)
{
    m_ui->label_monat2->setText(MonthNames(m_settings.LangCode())[date.month()]);
    m_ui->label_jahr2->setText(QString::number(date.year()));
}

// ---------------------------------------------------------------------------------------
// Timers

void form_main::StartRefreshTimer()
{
    m_refreshTimer->start();
}

void form_main::timer_refresh_view_Timer()
{
    // After a resize, or an appointment dragged out in a day column.
    m_refreshTimer->stop();
    showOwnChange();
}

void form_main::Global_timer_Timer()
{
    // The intervals are at least 1 (the settings see to it), so nothing divides by zero.
    ++m_timerTicks;
    if (m_timerTicks % m_settings.DayInterval() == 0)
        LoadView();
    if (m_timerTicks >= m_settings.MonthInterval() || m_timerTicks >= 30000) {
        m_timerTicks = 0;
        m_calendar1->DrawAll();
        if (m_hooks.checkReminders) {
            const HeartbeatPause::Holder pause = m_heartbeat->hold();
            m_hooks.checkReminders();
        }
    }
}

// ---------------------------------------------------------------------------------------
// Tray, close and exit

void form_main::ShowTrayMessage(const QString& title, const QString& text)
{
    if (m_trayIcon)
        m_trayIcon->trayIcon()->showMessage(title, text.toHtmlEscaped());
}

bool form_main::canHideIntoTray() const
{
    // Without a notification area a hidden window could never be reached again.
    return m_settings.MinimizeToTray() && m_trayIcon != nullptr;
}

void form_main::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isMinimized() && canHideIntoTray())
        QTimer::singleShot(0, this, [this] { hide(); });
}

void form_main::closeEvent(QCloseEvent* event)
{
    if (!m_exiting && canHideIntoTray()) {
        event->ignore();
        hide();
        return;
    }
    event->accept();
    exitProgram();
}

void form_main::restoreFromTray()
{
    BringToFront(this);
}

void form_main::mnu_file_exit_Click()
{
    exitProgram();
}

void form_main::exitProgram()
{
    if (m_exiting)
        return;
    m_exiting = true;
    // Where the window is goes with this machine's pointer file; a failure costs only that.
    m_settingsJobs.saveWindowPlacement(m_settings, {normalGeometry(), isMaximized()});
    // An edit still under way ends unseen, and its end must not wake the heartbeat.
    m_edits->stop();
    m_heartbeat->abandon();
    m_refreshTimer->stop();
    RemoveTrayIcon(1, this);
    m_trayIcon = nullptr;
    m_view->ReleaseDayColumns();
    close();
    QCoreApplication::quit();
}
