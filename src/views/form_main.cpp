#include "form_main.h"

#include "ApiLoginName.h"
#include "ApiTaskBarIcon.h"
#include "AppointmentEditing.h"
#include "Calendar.h"
#include "ClassDay.h"
#include "Common.h"
#include "DataAccess.h"
#include "HeartbeatPause.h"
#include "MousePointer.h"
#include "PictureBox.h"
#include "PlainText.h"
#include "Settings.h"
#include "TextTools.h"
#include "TopMost.h"
#include "ViewGeometry.h"
#include "form_info.h"
#include "form_tooltip.h"
#include "help_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>

namespace {

constexpr int kTwips = PictureBox::kTwipsPerPixel;
const QColor kGreyStrip(148, 148, 148);
const QColor kDarkBlue(0, 0, 192);
const QColor kUnreachableRed(255, 0, 0);

int px(int twips)
{
    return twips / kTwips;
}

QRect pxRect(int left, int top, int width, int height)
{
    return QRect(px(left), px(top), px(width), px(height));
}

// The 16 x 16 pictures of the navigation buttons, drawn rather than shipped.
QIcon arrowIcon(bool right, bool doubled)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    auto triangle = [&](int tipX) {
        const int back = right ? tipX - 6 : tipX + 6;
        const QPointF points[] = {{qreal(tipX), 8}, {qreal(back), 3}, {qreal(back), 13}};
        p.drawPolygon(points, 3);
    };
    if (doubled) {
        triangle(right ? 9 : 7);
        triangle(right ? 14 : 2);
    } else {
        triangle(right ? 12 : 4);
    }
    return QIcon(pixmap);
}

QIcon todayIcon()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::white, 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(8, 8), 5.5, 5.5);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(8, 8), 2, 2);
    return QIcon(pixmap);
}

QToolButton* pictureButton(QWidget* parent, const QIcon& icon, int left, int top)
{
    auto* button = new QToolButton(parent);
    button->setIcon(icon);
    button->setIconSize(QSize(16, 16));
    button->setAutoRaise(true);
    button->setCursor(Qt::PointingHandCursor);
    button->setFocusPolicy(Qt::NoFocus);
    button->setGeometry(pxRect(left, top, 255, 255));
    return button;
}

QWidget* strip(QWidget* parent, const QColor& color)
{
    auto* widget = new QWidget(parent);
    widget->setAutoFillBackground(true);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, color);
    widget->setPalette(palette);
    return widget;
}

QLabel* clickableLabel(QWidget* parent, bool bold, const QColor& color)
{
    auto* label = new QLabel(parent);
    QFont font(QStringLiteral("Arial"), 8);
    font.setBold(bold);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
    return label;
}

void setLabelColors(QLabel* label, const QColor& background, const QColor& text)
{
    label->setAutoFillBackground(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::WindowText, text);
    label->setPalette(palette);
}

} // namespace

form_main::form_main(Settings& settings, DataAccess& store, AppointmentEditing& editing,
                     Hooks hooks, QWidget* parent)
    : QMainWindow(parent)
    , m_settings(settings)
    , m_store(store)
    , m_editing(editing)
    , m_hooks(std::move(hooks))
    , m_now([] { return QDateTime::currentDateTime(); })
    , m_calendar1(std::make_unique<Calendar>())
    , m_calendar2(std::make_unique<Calendar>())
{
    setFocusPolicy(Qt::StrongFocus);
    buildControls();
    buildMenus();

    m_refreshTimer = new QTimer(this);
    m_refreshTimer->setInterval(50);
    m_refreshTimer->setSingleShot(true);
    connect(m_refreshTimer, &QTimer::timeout, this, &form_main::timer_refresh_view_Timer);
    m_globalTimer = new QTimer(this);
    m_globalTimer->setInterval(1000);
    connect(m_globalTimer, &QTimer::timeout, this, &form_main::Global_timer_Timer);

    for (Calendar* calendar : {m_calendar1.get(), m_calendar2.get()}) {
        calendar->setAppointmentSource(
            [this](const QDate& d) { return m_store.HasAppointments(d); });
        calendar->setWeekViewDays([this](int weekday) { return m_settings.ShowWeek(weekday); });
        calendar->setClock([this] { return today(); });
    }
    connect(m_calendar1.get(), &Calendar::DayClicked, this, [this] { LoadView(); });
    connect(m_calendar1.get(), &Calendar::WeekClicked, this, [this] { LoadView(); });
    connect(m_calendar1.get(), &Calendar::Display, this, &form_main::Calendar1_Display);
    connect(m_calendar2.get(), &Calendar::DayClicked, this, &form_main::Calendar2_DayClicked);
    connect(m_calendar2.get(), &Calendar::WeekClicked, this, &form_main::Calendar2_WeekClicked);
    connect(m_calendar2.get(), &Calendar::Display, this, &form_main::Calendar2_Display);
}

form_main::~form_main()
{
    releaseDayColumns();
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

// ---------------------------------------------------------------------------------------
// Controls and menus

void form_main::buildControls()
{
    auto* central = new QWidget(this);
    setCentralWidget(central);
    resize(px(10560), px(7245) + menuBar()->sizeHint().height());

    m_pictureMain = new PictureBox(central);
    m_pictureMain->setGeometry(pxRect(120, 60, 7995, 7095));
    m_pictureMain->setFocusPolicy(Qt::NoFocus);
    m_vscroll = new QScrollBar(Qt::Vertical, m_pictureMain);
    m_vscroll->setGeometry(pxRect(7680, 0, 255, 7035));
    m_vscroll->setEnabled(false);
    m_vscroll->setFocusPolicy(Qt::NoFocus);
    m_picPanel = strip(m_pictureMain, Qt::white);
    m_picPanel->setGeometry(pxRect(0, 360, 7635, 6615));
    m_picView = new PictureBox(m_picPanel);
    m_picView->setGeometry(pxRect(60, 0, 7515, 6555));
    m_picView->setFocusPolicy(Qt::NoFocus);

    m_picNavigate = strip(central, kGreyStrip);
    m_picNavigate->setGeometry(pxRect(8220, 60, 2235, 255));
    m_picMonthBack = pictureButton(m_picNavigate, arrowIcon(false, true), 120, 0);
    m_picYesterday = pictureButton(m_picNavigate, arrowIcon(false, false), 720, 0);
    m_picToday = pictureButton(m_picNavigate, todayIcon(), 960, 0);
    m_picTomorrow = pictureButton(m_picNavigate, arrowIcon(true, false), 1200, 0);
    m_picMonthNext = pictureButton(m_picNavigate, arrowIcon(true, true), 1860, 0);

    m_picCal1 = strip(central, kGreyStrip);
    m_picCal1->setGeometry(pxRect(8220, 480, 2235, 255));
    m_labelMonat = clickableLabel(m_picCal1, true, kDarkBlue);
    m_labelMonat->setGeometry(pxRect(60, 30, 1155, 195));
    m_labelMonat->setCursor(Qt::PointingHandCursor);
    m_labelJahr = clickableLabel(m_picCal1, true, kDarkBlue);
    m_labelJahr->setGeometry(pxRect(1680, 30, 495, 195));
    m_labelJahr->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_labelJahr->setCursor(Qt::PointingHandCursor);
    m_picCalendar1 = new PictureBox(central);
    m_picCalendar1->setGeometry(pxRect(8220, 720, 2235, 1755));
    m_picCalendar1->setFocusPolicy(Qt::NoFocus);

    m_picCal2 = strip(central, kGreyStrip);
    m_picCal2->setGeometry(pxRect(8220, 2640, 2235, 255));
    m_labelMonat2 = clickableLabel(m_picCal2, false, Qt::black);
    m_labelMonat2->setGeometry(pxRect(60, 30, 1215, 195));
    m_labelJahr2 = clickableLabel(m_picCal2, false, Qt::black);
    m_labelJahr2->setGeometry(pxRect(1320, 30, 855, 195));
    m_labelJahr2->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_picCalendar2 = new PictureBox(central);
    m_picCalendar2->setGeometry(pxRect(8220, 2880, 2235, 1755));
    m_picCalendar2->setFocusPolicy(Qt::NoFocus);

    m_labelDatasource = new QLabel(central);
    m_labelDatasource->setGeometry(pxRect(8220, 4740, 2235, 555));
    m_labelDatasource->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_labelDatasource->setWordWrap(false);
    m_labelDatasource->setTextFormat(Qt::PlainText);

    m_picDayweek = strip(central, kGreyStrip);
    m_picDayweek->setGeometry(pxRect(8220, 6840, 2235, 315));
    m_picBack = pictureButton(m_picDayweek, arrowIcon(false, false), 120, 30);
    m_picNext = pictureButton(m_picDayweek, arrowIcon(true, false), 1860, 30);
    m_labelDay = clickableLabel(m_picDayweek, true, kDarkBlue);
    m_labelDay->setGeometry(pxRect(360, 45, 735, 225));
    m_labelWeek = clickableLabel(m_picDayweek, true, kDarkBlue);
    m_labelWeek->setGeometry(pxRect(1080, 45, 735, 225));
    for (QLabel* label : {m_labelDay, m_labelWeek}) {
        label->setAlignment(Qt::AlignCenter);
        label->setCursor(Qt::PointingHandCursor);
    }

    for (QWidget* clickable :
         {static_cast<QWidget*>(m_labelMonat), static_cast<QWidget*>(m_labelJahr),
          static_cast<QWidget*>(m_labelDay), static_cast<QWidget*>(m_labelWeek)})
        clickable->installEventFilter(this);

    m_calendar1->Bind(m_picCalendar1);
    m_calendar2->Bind(m_picCalendar2);

    connect(m_picMonthBack, &QToolButton::clicked, this, &form_main::pic_month_back_Click);
    connect(m_picYesterday, &QToolButton::clicked, this, &form_main::pic_yesterday_Click);
    connect(m_picToday, &QToolButton::clicked, this, &form_main::pic_today_Click);
    connect(m_picTomorrow, &QToolButton::clicked, this, &form_main::pic_tomorrow_Click);
    connect(m_picMonthNext, &QToolButton::clicked, this, &form_main::pic_month_next_Click);
    connect(m_picBack, &QToolButton::clicked, this, &form_main::pic_back_Click);
    connect(m_picNext, &QToolButton::clicked, this, &form_main::pic_next_Click);
    connect(m_vscroll, &QScrollBar::valueChanged, this, &form_main::ScrollView);
    connect(m_pictureMain, &PictureBox::MouseDown, this,
            [this](Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) {
                picture_main_MouseDown(x, y);
            });
    connect(m_pictureMain, &PictureBox::MouseMove, this,
            [this](Qt::MouseButtons, Qt::KeyboardModifiers, int x, int y) {
                picture_main_MouseMove(x, y);
            });
    connect(m_picView, &PictureBox::MouseMove, this,
            [this](Qt::MouseButtons, Qt::KeyboardModifiers, int x, int) { pic_view_MouseMove(x); });
    connect(m_pictureMain, &PictureBox::Resized, this, &form_main::picture_main_Resize);
}

void form_main::buildMenus()
{
    auto named = [this](QMenu* menu, const char* name) {
        QAction* a = menu->addAction(QString());
        a->setObjectName(QLatin1String(name));
        return a;
    };
    m_mnuFile = menuBar()->addMenu(QString());
    QAction* import = named(m_mnuFile, "mnu_file_import");
    m_mnuFile->addSeparator();
    QAction* print = named(m_mnuFile, "mnu_file_print");
    print->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    m_mnuFile->addSeparator();
    QAction* exit = named(m_mnuFile, "mnu_file_exit");

    m_mnuAppointment = menuBar()->addMenu(QString());
    QAction* newAppointment = named(m_mnuAppointment, "mnu_appointment_new");
    newAppointment->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));

    m_mnuSettings = menuBar()->addMenu(QString());
    QAction* program = named(m_mnuSettings, "mnu_settings_program");
    program->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));

    m_mnuDatafolder = menuBar()->addMenu(QString());

    m_mnuHelp = menuBar()->addMenu(QString());
    QAction* help = named(m_mnuHelp, "mnu_help_help");
    help->setShortcut(QKeySequence(Qt::Key_F1));
    m_mnuHelp->addSeparator();
    QAction* info = named(m_mnuHelp, "mnu_help_info");
    info->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));

    m_mnuPopupTermin = new QMenu(this);
    QAction* edit = named(m_mnuPopupTermin, "mnu_popup_termin_edit");
    m_mnuPopupTermin->addSeparator();
    m_mnuPopupTerminDel = m_mnuPopupTermin->addMenu(QString());
    m_mnuPopupTerminDel->menuAction()->setObjectName(QStringLiteral("mnu_popup_termin_del"));
    QAction* deleteYes = named(m_mnuPopupTerminDel, "mnu_popup_termin_del_yes");

    m_mnuTaskbar = new QMenu(this);
    QAction* show = named(m_mnuTaskbar, "mnu_taskbar_show");
    show->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    m_mnuTaskbar->addSeparator();
    QAction* taskbarExit = named(m_mnuTaskbar, "mnu_taskbar_exit");
    taskbarExit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F4));

    m_mnuPopupDatum = new QMenu(this);
    for (int i = 0; i < 12; ++i) {
        QAction* entry = m_mnuPopupDatum->addAction(QString());
        entry->setCheckable(true);
        connect(entry, &QAction::triggered, this, [this, i] { mnu_popup_datum_array_Click(i); });
        m_datumActions.append(entry);
    }

    import->setEnabled(bool(m_hooks.showImport));
    print->setEnabled(bool(m_hooks.showPrint));
    program->setEnabled(bool(m_hooks.showSettings));

    // Every modal window runs with the heartbeat off, so no refresh or reminder runs inside it.
    auto modal = [this](const std::function<void()>& open) {
        const HeartbeatPause pause(m_globalTimer);
        open();
    };
    connect(import, &QAction::triggered, this, [=, this] {
        modal([this] { m_hooks.showImport(this); });
        ShowDataSource();
        LoadView();
    });
    connect(print, &QAction::triggered, this, [=, this] {
        modal([this] {
            m_hooks.showPrint(this, m_calendar1->SelectedDate(), m_calendar1->IsWeekSelected());
        });
    });
    connect(program, &QAction::triggered, this, [=, this] {
        modal([this] { m_hooks.showSettings(this); });
        SetLanguageTexts();
        ShowDataSource();
    });
    connect(exit, &QAction::triggered, this, &form_main::mnu_file_exit_Click);
    connect(newAppointment, &QAction::triggered, this, &form_main::mnu_appointment_new_Click);
    connect(help, &QAction::triggered, this, [this] { ShowHelp(this, m_settings.LangCode()); });
    connect(info, &QAction::triggered, this, [=, this] {
        modal([this] {
            form_info about(m_settings.LangCode(), GetLoginName(), this);
            about.exec();
        });
    });
    connect(edit, &QAction::triggered, this, &form_main::mnu_popup_termin_edit_Click);
    connect(deleteYes, &QAction::triggered, this, &form_main::mnu_popup_termin_del_yes_Click);
    connect(show, &QAction::triggered, this, &form_main::restoreFromTray);
    connect(taskbarExit, &QAction::triggered, this, &form_main::exitProgram);
}

QAction* form_main::action(const QString& name) const
{
    return findChild<QAction*>(name);
}

// ---------------------------------------------------------------------------------------
// Start-up, texts, data source

void form_main::Form_Load()
{
    SetMousePointer(11);
    m_calendar1->setSelectedDate(today());
    m_calendar1->setShowDate(m_calendar1->SelectedDate());

    m_trayIcon = AddTrayIcon(1, this, QStringLiteral("Norvane4"));
    if (m_trayIcon) {
        connect(m_trayIcon, &TaskBarIcon::LeftButtonDown, this, &form_main::restoreFromTray);
        connect(m_trayIcon, &TaskBarIcon::RightButtonDown, this,
                [this](QPoint at) { m_mnuTaskbar->popup(at); });
    }

    if (m_settings.IsFirstStart() && m_hooks.showLanguageWindow) {
        const HeartbeatPause pause(m_globalTimer);
        SetMousePointer(0);
        m_hooks.showLanguageWindow(this);
        SetMousePointer(11);
    }
    Form_Resize();
    ShowDataSource();
    SetLanguageTexts();
    QMainWindow::show();
    SetMousePointer(0);
    m_globalTimer->start();
}

void form_main::SetLanguageTexts()
{
    SetMousePointer(11);
    const auto set = [this](const char* name, const QString& text) {
        if (QAction* a = action(QLatin1String(name)))
            a->setText(text);
    };
    m_mnuFile->setTitle(tr("&File"));
    set("mnu_file_import", tr("&Import holidays"));
    set("mnu_file_print", tr("&Print..."));
    set("mnu_file_exit", tr("&Exit"));
    m_mnuAppointment->setTitle(tr("&Appointment"));
    set("mnu_appointment_new", tr("&New appointment..."));
    m_mnuSettings->setTitle(tr("&Settings"));
    set("mnu_settings_program", tr("&Programsettings"));
    m_mnuDatafolder->setTitle(tr("Data&source"));
    m_mnuHelp->setTitle(tr("&?"));
    set("mnu_help_help", tr("Online &Help..."));
    set("mnu_help_info", tr("&Info"));
    set("mnu_popup_termin_edit", tr("Edit"));
    m_mnuPopupTerminDel->setTitle(tr("Delete appointment..."));
    set("mnu_popup_termin_del_yes", tr("Yes!"));
    set("mnu_taskbar_show", tr("Show"));
    set("mnu_taskbar_exit", tr("Exit Norvane4"));

    m_picMonthBack->setToolTip(tr("previous month"));
    m_picMonthNext->setToolTip(tr("next month"));
    m_picToday->setToolTip(tr("Today"));
    m_picTomorrow->setToolTip(tr("Tomorrow"));
    m_picYesterday->setToolTip(tr("Yesterday"));
    m_labelDay->setText(tr("Day"));
    m_labelWeek->setText(tr("Week"));

    for (Calendar* calendar : {m_calendar1.get(), m_calendar2.get()})
        calendar->SetSettings(m_settings.FirstWeekday(), m_settings.LangCode(),
                              m_settings.FirstCW());
    if (m_settings.StartWithWeek())
        m_calendar1->SelectWeek();
    m_calendar1->DrawAll();
    m_calendar1->FireEvent();
    SetMousePointer(0);
}

void form_main::ShowDataSource()
{
    SetMousePointer(11);
    m_mnuDatafolder->clear();
    const QString active = m_settings.GetDataFolder();
    const QStringList folders = m_settings.dataFolders();
    for (int i = 0; i < folders.size(); ++i) {
        QAction* entry = m_mnuDatafolder->addAction(menuText(LastPathPart(folders[i])));
        entry->setData(folders[i]);
        entry->setCheckable(true);
        entry->setChecked(WithTrailingSeparator(folders[i]) == active);
        connect(entry, &QAction::triggered, this, [this, i] { mnu_datafolder_array_Click(i); });
    }
    m_dataFolderReachable = m_store.IsDataFolderReachable();
    showDataSourceLabel();
    setWindowTitle(QStringLiteral("Norvane 4  -  ") + titleText(LastPathPart(active)));
    SetMousePointer(0);
}

void form_main::showDataSourceLabel()
{
    const QString folderName = LastPathPart(m_settings.GetDataFolder());
    const QString source = m_dataFolderReachable
                               ? tr("Datasource: ") + folderName
                               : tr("Datasource: %1 (unreachable)").arg(folderName);
    m_labelDatasource->setText(source + QLatin1Char('\n') + tr("User: ") + GetLoginName());
    QPalette palette; // the window's own colours
    if (!m_dataFolderReachable)
        palette.setColor(QPalette::WindowText, kUnreachableRed);
    m_labelDatasource->setPalette(palette);
}

// ---------------------------------------------------------------------------------------
// Layout

void form_main::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void form_main::Form_Resize()
{
    if (isMinimized())
        return;
    // The right-hand column keeps its design width; the view takes the rest.
    const int w = PictureBox::toTwips(centralWidget()->width());
    const int h = PictureBox::toTwips(centralWidget()->height());
    if (w > 7500) {
        m_pictureMain->resize(px(w - 2565), m_pictureMain->height());
        for (QWidget* control : {m_picNavigate, static_cast<QWidget*>(m_picCalendar1),
                                 static_cast<QWidget*>(m_picCalendar2), m_picCal1, m_picCal2,
                                 m_picDayweek, static_cast<QWidget*>(m_labelDatasource)})
            control->move(px(w - 2340), control->y());
    }
    if (h > 5800) {
        m_pictureMain->resize(m_pictureMain->width(), px(h - 150));
        m_picDayweek->move(m_picDayweek->x(), px(h - 405));
    }
    picture_main_Resize();
}

void form_main::picture_main_Resize()
{
    if (isMinimized())
        return;
    const int w = m_pictureMain->ScaleWidth();
    const int h = m_pictureMain->ScaleHeight();
    const int s = PictureBox::toTwips(m_vscroll->width());
    const int panelTop = PictureBox::toTwips(m_picPanel->y());
    int panelHeight = PictureBox::toTwips(m_picPanel->height());
    if (h > 1000) {
        m_vscroll->setGeometry(px(w - s - 60), 0, m_vscroll->width(), px(h - 60));
        panelHeight = h - panelTop - 120;
    } else {
        m_vscroll->move(px(w - s - 60), 0);
    }
    const QSize panel(px(std::max(0, w - s - 150)), px(panelHeight));
    if (panel != m_picPanel->size()) {
        m_picPanel->resize(panel);
        pic_panel_Resize();
    }
}

void form_main::pic_panel_Resize()
{
    const int panelWidth = PictureBox::toTwips(m_picPanel->width());
    if (panelWidth > 1000)
        m_picView->resize(px(panelWidth - 60), m_picView->height());
    StartRefreshTimer();
}

int form_main::headerOffsetX() const
{
    return PictureBox::toTwips(m_picView->x() + m_picPanel->x());
}

// ---------------------------------------------------------------------------------------
// The view

void form_main::releaseDayColumns()
{
    for (auto& column : m_dayColumns)
        column.reset();
}

ClassDay* form_main::DayColumn(int index) const
{
    return index >= 1 && index <= 7 ? m_dayColumns[size_t(index)].get() : nullptr;
}

int form_main::DayColumnCount() const
{
    int count = 0;
    for (int c = 1; c <= 7; ++c)
        count += m_dayColumns[size_t(c)] != nullptr;
    return count;
}

void form_main::LoadView()
{
    SetMousePointer(11);
    const bool week = m_calendar1->IsWeekSelected();
    releaseDayColumns();
    // An unmounted share shows an empty calendar: every rebuild, the heartbeat's too, asks
    // again, so the label says so while it lasts and turns back when the folder returns.
    const bool reachable = m_store.IsDataFolderReachable();
    if (reachable != m_dataFolderReachable) {
        m_dataFolderReachable = reachable;
        showDataSourceLabel();
    }

    m_rows = ViewGeometry::Rows(m_settings.GridStartTime(), m_settings.GridEndTime(),
                                m_settings.GridMinutes());
    const int panelHeight = PictureBox::toTwips(m_picPanel->height());
    m_rowHeight = ViewGeometry::RowHeight(panelHeight, m_rows);
    const int viewHeight = m_rowHeight * m_rows + ViewGeometry::kGridMargin;
    m_picView->resize(m_picView->width(), px(viewHeight));
    m_picView->Cls();

    const ViewGeometry::Scroll scroll =
        ViewGeometry::ScrollFor(viewHeight, panelHeight, m_rowHeight);
    if (!scroll.enabled) {
        if (m_vscroll->isEnabled()) {
            m_vscroll->setValue(0);
            m_vscroll->setEnabled(false);
        }
        m_vscroll->setRange(0, 0);
    } else {
        m_vscroll->setRange(0, scroll.maximum);
        m_vscroll->setPageStep(scroll.largeChange);
        m_vscroll->setSingleStep(std::max(1, scroll.smallChange));
        m_vscroll->setEnabled(true);
    }
    ScrollView();

    m_picView->setForeColor(Qt::black);
    drawHourLabels();

    const int offX = headerOffsetX();
    m_pictureMain->FillBox(offX, 60, m_pictureMain->ScaleWidth(), 390, Qt::white);
    const int viewWidth = m_picView->ScaleWidth();
    const QString lang = m_settings.LangCode();
    const QStringList dayNames = DayNames(lang);

    auto makeColumn = [&](int c, const QDate& d, int startX, int endX) {
        auto column = std::make_unique<ClassDay>(m_store, m_settings, m_editing, this,
                                                 [this] { return today(); });
        column->Bind(m_picView);
        column->setDatum(d);
        column->setStartX(startX);
        column->setEndX(endX);
        column->setStartY(0);
        column->setEndY(viewHeight - ViewGeometry::kColumnBottomMargin);
        column->LoadAppointments(true);
        column->DisplayAppointments(c);
        m_dayColumns[size_t(c)] = std::move(column);
        return m_dayColumns[size_t(c)].get();
    };

    if (week) {
        m_highlightToday = true;
        int n = 0;
        for (int day = 1; day <= 7; ++day)
            n += m_settings.ShowWeek(day);
        const QDate weekStart = StartOfWeek(m_calendar1->SelectedDate(), m_settings.FirstWeekday());
        int c = 0;
        for (int i = 0; i < 7; ++i) {
            const QDate d = weekStart.addDays(i);
            if (!m_settings.ShowWeek(Weekday(d)))
                continue;
            ++c;
            const ViewGeometry::ColumnSpan span = ViewGeometry::WeekColumn(viewWidth, n, c);
            ClassDay* column = makeColumn(c, d, span.startX, span.endX);
            const QString text = ViewGeometry::WeekHeader(
                dayNames[Weekday(d)], FormatDate(d, m_settings.DateFormat()),
                FormatDateNoYear(d, m_settings.DateFormat()), span.endX - span.startX,
                [this](const QString& t) { return m_pictureMain->TextWidth(t); });
            drawHeader(*column, text);
        }
    } else {
        const QDate d = m_calendar1->SelectedDate();
        ClassDay* column = makeColumn(1, d, ViewGeometry::kTimeLabelColumn, viewWidth - 15);
        m_highlightToday = false;
        drawHeader(*column, dayNames[Weekday(d)] + QStringLiteral(", ") +
                                FormatDate(d, m_settings.DateFormat()));
    }
    SetMousePointer(0);
}

void form_main::drawHourLabels()
{
    const auto labels = ViewGeometry::HourLabels(m_settings.GridStartTime(), m_rows,
                                                 m_settings.GridMinutes(), m_settings.TimeFormat());
    for (const ViewGeometry::HourLabel& label : labels) {
        const int y = m_rowHeight * label.row;
        if (!label.hour.isEmpty()) {
            m_picView->Print(0, y, label.hour);
            if (!label.dayHalf.isEmpty())
                m_picView->Print(0, y + m_rowHeight, label.dayHalf);
        }
        m_picView->Print(230, y, label.minutes);
    }
}

void form_main::drawHeader(const ClassDay& column, const QString& text)
{
    const int offX = headerOffsetX();
    const int left = int(column.StartX()) + offX;
    const int right = int(column.EndX()) + offX;
    const bool isToday = column.datum() == today();
    const QColor band = m_highlightToday && isToday ? QColor(234, 234, 255) : QColor(246, 246, 246);
    m_pictureMain->FillBox(left, 60, right, 360, band);
    m_pictureMain->setForeColor(isToday ? QColor(255, 0, 0) : QColor(0, 0, 255));
    m_pictureMain->Print((left + right) / 2 - m_pictureMain->TextWidth(text) / 2, 135, text);
    m_pictureMain->Box(left, 60, right, 345, Qt::black);
}

void form_main::ScrollView()
{
    m_picView->move(m_picView->x(), -m_vscroll->value());
}

// ---------------------------------------------------------------------------------------
// Label pool

QLabel* form_main::CreateLabelResource()
{
    auto* label = new QLabel(m_picView);
    label->setFont(QFont(QStringLiteral("Arial"), 8));
    label->hide();
    label->installEventFilter(this);
    // Free elements are reused by index before the pool grows. No scans: a crowded day
    // takes and returns thousands of labels on every rebuild.
    int index = int(m_labelPool.size());
    if (!m_freeLabels.empty()) {
        index = *m_freeLabels.begin();
        m_freeLabels.erase(m_freeLabels.begin());
        m_labelPool[index] = label;
        m_labelInUse[index] = true;
    } else {
        m_labelPool.append(label);
        m_labelInUse.append(true);
    }
    m_labelIndex.insert(label, index);
    return label;
}

void form_main::ReleaseLabelResource(QLabel* label)
{
    const auto found = m_labelIndex.constFind(label);
    if (found == m_labelIndex.cend())
        return;
    const int i = *found;
    m_labelIndex.erase(found);
    if (!m_labelInUse[i] || m_labelPool[i] != label)
        return;
    // The label may be the one whose mouse event is running right now.
    label->hide();
    label->removeEventFilter(this);
    label->deleteLater();
    m_labelPool[i] = nullptr;
    m_labelInUse[i] = false;
    m_freeLabels.insert(i);
}

QList<QLabel*> form_main::labelsInUse() const
{
    QList<QLabel*> labels;
    for (int i = 0; i < m_labelPool.size(); ++i) {
        if (m_labelInUse[i] && m_labelPool[i])
            labels.append(m_labelPool[i]);
    }
    return labels;
}

ClassTermin* form_main::FindAppointmentByTag(const QString& tag) const
{
    const QStringList parts = SplitText(tag, QStringLiteral("|"));
    if (parts.size() < 2)
        return nullptr;
    bool columnOk = false;
    bool positionOk = false;
    const int column = parts[0].toInt(&columnOk);
    const int position = parts[1].toInt(&positionOk);
    ClassDay* day = columnOk && positionOk ? DayColumn(column) : nullptr;
    return day ? day->Appointment(position) : nullptr;
}

bool form_main::eventFilter(QObject* watched, QEvent* event)
{
    auto* label = qobject_cast<QLabel*>(watched);
    if (!label)
        return QMainWindow::eventFilter(watched, event);
    if (event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (label == m_labelMonat) {
            label_monat_MouseDown();
        } else if (label == m_labelJahr) {
            label_jahr_MouseDown();
        } else if (label == m_labelDay) {
            label_day_Click();
        } else if (label == m_labelWeek) {
            label_week_Click();
        } else if (label->property("tag").isValid()) {
            label_appointment_MouseDown(label, mouse->button(), mouse->position().toPoint());
        }
        return true;
    }
    if (event->type() == QEvent::MouseButtonRelease && label->property("tag").isValid()) {
        label_appointment_MouseUp();
        return true;
    }
    if (event->type() == QEvent::MouseButtonDblClick && label->property("tag").isValid()) {
        label_appointment_MouseUp();
        editAppointment(FindAppointmentByTag(label->property("tag").toString()));
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void form_main::label_appointment_MouseDown(QLabel* label, Qt::MouseButton button, const QPoint& at)
{
    const QString tag = label->property("tag").toString();
    if (button == Qt::RightButton) {
        m_popupTag = tag;
        m_mnuPopupTermin->popup(label->mapToGlobal(at));
        return;
    }
    if (button != Qt::LeftButton)
        return;
    ClassTermin* appointment = FindAppointmentByTag(tag);
    if (!appointment)
        return;
    label_appointment_MouseUp();
    m_tooltip = new form_tooltip(this);
    m_tooltip->SetAppointment(*appointment, m_settings.LangCode(), m_settings.TimeFormat(),
                              m_settings.DateFormat());
    m_tooltip->adjustSize();
    QPoint topLeft = label->mapToGlobal(at) + QPoint(px(180), 0);
    const QRect screen = this->screen() ? this->screen()->availableGeometry() : QRect();
    if (screen.isValid()) {
        if (topLeft.y() + m_tooltip->height() > screen.bottom())
            topLeft.setY(screen.bottom() - m_tooltip->height());
        if (topLeft.x() + m_tooltip->width() > screen.right())
            topLeft.setX(screen.right() - m_tooltip->width());
        topLeft.setX(std::max(topLeft.x(), screen.left()));
        topLeft.setY(std::max(topLeft.y(), screen.top()));
    }
    m_tooltip->move(topLeft);
    m_tooltip->show();
}

void form_main::label_appointment_MouseUp()
{
    if (m_tooltip) {
        m_tooltip->close();
        m_tooltip->deleteLater();
        m_tooltip = nullptr;
    }
}

void form_main::editAppointment(ClassTermin* appointment)
{
    if (!appointment)
        return;
    // The view is rebuilt below and releases its appointments: keep this one alive meanwhile.
    ClassTermin copy = *appointment;
    const HeartbeatPause pause(m_globalTimer);
    const AppointmentEditing::Result result = m_editing.EditMe(copy, true, m_globalTimer);
    if (!result.failure.isEmpty())
        ShowFailure(result.failure);
    LoadView();
}

void form_main::mnu_popup_termin_edit_Click()
{
    editAppointment(FindAppointmentByTag(m_popupTag));
}

void form_main::mnu_popup_termin_del_yes_Click()
{
    if (ClassTermin* appointment = FindAppointmentByTag(m_popupTag))
        m_store.DeleteAppointmentFile(*appointment);
    LoadView();
}

// ---------------------------------------------------------------------------------------
// Navigation

void form_main::showSelection()
{
    m_calendar1->DrawAll();
    m_calendar1->FireEvent();
}

bool form_main::outOfSight(const QDate& date) const
{
    return date.month() != m_calendar1->ShowDate().month() &&
           date.month() != m_calendar2->ShowDate().month();
}

void form_main::Calendar1_Display(const QDate& date)
{
    const QStringList months = MonthNames(m_settings.LangCode());
    m_labelMonat->setText(months[date.month()]);
    m_labelJahr->setText(QString::number(date.year()));
    ShowDayWeekSelection();
    m_calendar2->setSelectedDate(m_calendar1->SelectedDate());
    m_calendar2->setShowDate(m_calendar1->ShowDate().addMonths(1));
    m_calendar2->setIsWeekSelected(m_calendar1->IsWeekSelected());
    m_calendar2->DrawAll();
    if (m_calendar1->IsWeekSelected()) {
        m_picTomorrow->setToolTip(tr("Show next week"));
        m_picYesterday->setToolTip(tr("Show last week"));
        m_picToday->setToolTip(tr("Show actual week"));
    } else {
        m_picTomorrow->setToolTip(tr("Tomorrow"));
        m_picYesterday->setToolTip(tr("Yesterday"));
        m_picToday->setToolTip(tr("Today"));
    }
}

void form_main::Calendar2_Display(const QDate& date)
{
    m_labelMonat2->setText(MonthNames(m_settings.LangCode())[date.month()]);
    m_labelJahr2->setText(QString::number(date.year()));
}

void form_main::Calendar2_DayClicked(const QDate& date)
{
    m_calendar1->setIsWeekSelected(false);
    m_calendar1->setSelectedDate(date);
    showSelection();
}

void form_main::Calendar2_WeekClicked(const QDate& date)
{
    m_calendar1->setIsWeekSelected(true);
    m_calendar1->setSelectedDate(date);
    showSelection();
}

void form_main::ShowDayWeekSelection()
{
    const bool week = m_calendar1->IsWeekSelected();
    QLabel* selected = week ? m_labelWeek : m_labelDay;
    QLabel* other = week ? m_labelDay : m_labelWeek;
    setLabelColors(selected, kDarkBlue, Qt::white);
    setLabelColors(other, kGreyStrip, kDarkBlue);
}

void form_main::stepSelectedDate(int days, int months, bool forward)
{
    const QDate date = m_calendar1->SelectedDate().addMonths(months).addDays(days);
    m_calendar1->setSelectedDate(date);
    if (outOfSight(date))
        m_calendar1->setShowDate(forward ? date.addMonths(-1) : date);
}

void form_main::stepView(int sign)
{
    const bool week = m_calendar1->IsWeekSelected();
    stepSelectedDate(sign * (week ? 7 : 1), 0, sign > 0);
    if (week)
        m_calendar1->SelectWeek();
    showSelection();
}

void form_main::pic_next_Click()
{
    stepView(1);
}

void form_main::pic_back_Click()
{
    stepView(-1);
}

void form_main::showAroundToday(int sign)
{
    // Counted from the current date, not from the selection.
    const QDate date = today().addDays(sign * (m_calendar1->IsWeekSelected() ? 7 : 1));
    m_calendar1->setShowDate(date);
    m_calendar1->setSelectedDate(date);
    if (m_calendar1->IsWeekSelected())
        m_calendar1->SelectWeek();
    m_calendar1->DrawAll();
    LoadView();
}

void form_main::pic_today_Click()
{
    showAroundToday(0);
}

void form_main::pic_tomorrow_Click()
{
    showAroundToday(1);
}

void form_main::pic_yesterday_Click()
{
    showAroundToday(-1);
}

void form_main::pic_month_back_Click()
{
    m_calendar1->setShowDate(m_calendar1->ShowDate().addMonths(-1));
    m_calendar1->DrawAll();
}

void form_main::pic_month_next_Click()
{
    const QDate d = m_calendar1->ShowDate().addMonths(1);
    if (d.year() > today().year() + 20)
        return;
    m_calendar1->setShowDate(d);
    m_calendar1->DrawAll();
}

void form_main::label_day_Click()
{
    m_calendar1->setIsWeekSelected(false);
    showSelection();
}

void form_main::label_week_Click()
{
    m_calendar1->setIsWeekSelected(true);
    m_calendar1->SelectWeek();
    showSelection();
}

void form_main::label_jahr_MouseDown()
{
    const int shownYear = m_calendar1->ShowDate().year();
    for (int i = 0; i < 12; ++i) {
        QAction* entry = m_datumActions[i];
        entry->setVisible(i < 7);
        if (i >= 7)
            continue;
        const int year = shownYear - 3 + i;
        entry->setText(QString::number(year));
        entry->setData(year);
        entry->setChecked(year == shownYear);
    }
    m_mnuPopupDatum->popup(m_labelJahr->mapToGlobal(QPoint(0, m_labelJahr->height())));
}

void form_main::label_monat_MouseDown()
{
    const QStringList months = MonthNames(m_settings.LangCode());
    const int shownMonth = m_calendar1->ShowDate().month();
    for (int i = 0; i < 12; ++i) {
        QAction* entry = m_datumActions[i];
        entry->setVisible(true);
        entry->setText(months[i + 1]);
        entry->setData(i + 1);
        entry->setChecked(i + 1 == shownMonth);
    }
    m_mnuPopupDatum->popup(m_labelMonat->mapToGlobal(QPoint(0, m_labelMonat->height())));
}

void form_main::mnu_popup_datum_array_Click(int index)
{
    const int v = m_datumActions.value(index) ? m_datumActions[index]->data().toInt() : 0;
    const QDate shown = m_calendar1->ShowDate();
    if (v >= 1 && v <= 12)
        m_calendar1->setShowDate(DateSerial(shown.year(), v, shown.day()));
    else if (v > 12)
        m_calendar1->setShowDate(DateSerial(v, shown.month(), shown.day()));
    showSelection();
}

void form_main::keyPressEvent(QKeyEvent* event)
{
    const bool week = m_calendar1->IsWeekSelected();
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    const bool german = m_settings.LangCode() == QLatin1String("de");
    const int key = event->key();
    const bool forward = key == Qt::Key_Right || key == Qt::Key_Down;
    const bool backward = key == Qt::Key_Left || key == Qt::Key_Up;

    if (forward || backward) {
        const int sign = forward ? 1 : -1;
        if (mods == Qt::NoModifier) {
            stepView(sign);
            return;
        }
        if (week)
            return; // modifiers do nothing in the week view
        if (mods == Qt::ShiftModifier)
            stepSelectedDate(sign * 7, 0, forward);
        else
            stepSelectedDate(0, sign, forward);
        showSelection();
        return;
    }

    const auto dayMode = [this] {
        m_calendar1->setIsWeekSelected(false);
        m_calendar1->setShowDate(m_calendar1->SelectedDate());
    };
    switch (key) {
    case Qt::Key_H:
        if (!german)
            return;
        m_calendar1->setSelectedDate(today());
        dayMode();
        break;
    case Qt::Key_T:
        if (!german)
            m_calendar1->setSelectedDate(today());
        dayMode();
        break;
    case Qt::Key_D:
        if (german)
            return;
        dayMode();
        break;
    case Qt::Key_W:
        m_calendar1->SelectWeek();
        break;
    default:
        QMainWindow::keyPressEvent(event);
        return;
    }
    showSelection();
}

void form_main::picture_main_MouseDown(int x, int y)
{
    if (!m_calendar1->IsWeekSelected() || y >= 300)
        return;
    const int offX = headerOffsetX();
    for (int c = 1; c <= 7 && m_dayColumns[size_t(c)]; ++c) {
        const ClassDay& column = *m_dayColumns[size_t(c)];
        if (column.StartX() + offX < x && x < column.EndX() + offX) {
            m_calendar1->setSelectedDate(column.datum());
            m_calendar1->setIsWeekSelected(false);
            showSelection();
            return;
        }
    }
}

void form_main::picture_main_MouseMove(int x, int y)
{
    const bool overHeader = y < 300 && x > headerOffsetX() + ViewGeometry::kTimeLabelColumn;
    m_pictureMain->setCursor(overHeader ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void form_main::pic_view_MouseMove(int x)
{
    m_picView->setCursor(x >= ViewGeometry::kTimeLabelColumn ? Qt::CrossCursor : Qt::ArrowCursor);
}

// ---------------------------------------------------------------------------------------
// Commands

void form_main::mnu_appointment_new_Click()
{
    const QDateTime now = m_now();
    ClassTermin appointment;
    appointment.setDatum(m_calendar1->SelectedDate());
    const int hour = now.time().hour() == 23 ? 22 : now.time().hour();
    appointment.setStartTime(TimeOfDay::fromHourMinute(hour, 0));
    appointment.setEndTime(TimeOfDay::fromHourMinute(hour + 1, 0));
    appointment.setProducer(GetLoginName());
    appointment.setRecurringStartDate(now.date());
    appointment.setRecurringEndDate(now.date().addYears(1));
    appointment.setRemindMinutes(5);
    const AppointmentEditing::Result result = m_editing.EditMe(appointment, true, m_globalTimer);
    if (!result.failure.isEmpty())
        ShowFailure(result.failure);
    LoadView();
}

void form_main::mnu_datafolder_array_Click(int index)
{
    const QStringList folders = m_settings.dataFolders();
    if (index < 0 || index >= folders.size())
        return;
    m_settings.setActiveFolder(folders[index]);
    const WriteOutcome saved = m_settings.SaveActiveFolder();
    if (!saved.ok)
        ShowFailure(tr("The choice of the data folder could not be saved.") + QLatin1Char('\n') +
                    saved.error);
    SetLanguageTexts();
    ShowDataSource();
    LoadView();
}

// ---------------------------------------------------------------------------------------
// Timers

void form_main::StartRefreshTimer()
{
    m_refreshTimer->start();
}

void form_main::timer_refresh_view_Timer()
{
    m_refreshTimer->stop();
    LoadView();
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
            const HeartbeatPause pause(m_globalTimer);
            m_hooks.checkReminders();
        }
    }
}

void form_main::ShowFailure(const QString& message)
{
    if (m_hooks.message)
        m_hooks.message(this, QStringLiteral("Norvane"), message);
    else
        showPlainWarning(this, QStringLiteral("Norvane"), message);
}

// ---------------------------------------------------------------------------------------
// Tray, close and exit

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
    m_globalTimer->stop();
    m_refreshTimer->stop();
    RemoveTrayIcon(1, this);
    m_trayIcon = nullptr;
    releaseDayColumns();
    close();
    QCoreApplication::quit();
}
