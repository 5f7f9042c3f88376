#pragma once

#include "DayColumnHost.h"

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QMainWindow>
#include <QPointer>

#include <array>
#include <functional>
#include <memory>
#include <set>

class AppointmentEditing;
class Calendar;
class ClassDay;
class ClassTermin;
class DataAccess;
class PictureBox;
class QAction;
class QLabel;
class QMenu;
class QScrollBar;
class QTimer;
class QToolButton;
class Settings;
class TaskBarIcon;
class form_tooltip;

// The main window: the day or week view of the active data folder beside two month
// calendars, the menus through which every other window opens, and the heartbeat that keeps
// the view fresh. Calendar1's selected date and day/week mode are what the view shows.
class form_main : public QMainWindow, public DayColumnHost {
    Q_OBJECT

public:
    // Windows and actions that other parts of the program provide; an empty one leaves its
    // menu entry disabled.
    struct Hooks {
        std::function<void(QWidget* parent)> showLanguageWindow; // first start
        std::function<void(QWidget* parent)> showSettings;
        std::function<void(QWidget* parent)> showImport;
        std::function<void(QWidget* parent, const QDate& date, bool week)> showPrint;
        std::function<void()> checkReminders;
        std::function<void(QWidget* parent, const QString& title, const QString& text)> message;
    };

    form_main(Settings& settings, DataAccess& store, AppointmentEditing& editing, Hooks hooks = {},
              QWidget* parent = nullptr);
    ~form_main() override;

    // Start-up: settings, calendars, tray icon, first-start language window, layout, texts,
    // the first view, then the heartbeat.
    void Form_Load();
    void SetLanguageTexts();
    // Menu of the data folders, label_datasource and the window caption.
    void ShowDataSource();
    // Rebuilds the whole view from Calendar1's date and mode.
    void LoadView();

    // Timer handlers, callable directly.
    void Global_timer_Timer();
    void timer_refresh_view_Timer();

    // "Today" and "now" for tests; the clock by default.
    void setClock(std::function<QDateTime()> now);

    // DayColumnHost
    QLabel* CreateLabelResource() override;
    void ReleaseLabelResource(QLabel* label) override;
    bool HighlightToday() const override { return m_highlightToday; }
    QTimer* heartbeat() override { return m_globalTimer; }
    void StartRefreshTimer() override;
    void ShowFailure(const QString& message) override;

    // The appointment behind a label's tag "column|position"; nullptr when the view has
    // changed since.
    ClassTermin* FindAppointmentByTag(const QString& tag) const;

    // Navigation, as the buttons, labels and menus call it.
    void pic_back_Click();
    void pic_next_Click();
    void pic_today_Click();
    void pic_yesterday_Click();
    void pic_tomorrow_Click();
    void pic_month_back_Click();
    void pic_month_next_Click();
    void label_day_Click();
    void label_week_Click();
    void mnu_appointment_new_Click();
    void mnu_datafolder_array_Click(int index);
    void mnu_popup_termin_edit_Click();
    void mnu_popup_termin_del_yes_Click();
    void mnu_popup_datum_array_Click(int index);
    void mnu_file_exit_Click();
    void label_jahr_MouseDown();
    void label_monat_MouseDown();

    // What tests and the layout look at.
    Calendar& calendar1() const { return *m_calendar1; }
    Calendar& calendar2() const { return *m_calendar2; }
    PictureBox* picture_main() const { return m_pictureMain; }
    PictureBox* pic_view() const { return m_picView; }
    QWidget* pic_panel() const { return m_picPanel; }
    QScrollBar* vscroll() const { return m_vscroll; }
    QLabel* label_datasource() const { return m_labelDatasource; }
    QLabel* label_day() const { return m_labelDay; }
    QLabel* label_week() const { return m_labelWeek; }
    QLabel* label_monat() const { return m_labelMonat; }
    QLabel* label_jahr() const { return m_labelJahr; }
    QLabel* label_monat2() const { return m_labelMonat2; }
    QLabel* label_jahr2() const { return m_labelJahr2; }
    QToolButton* pic_today() const { return m_picToday; }
    QToolButton* pic_tomorrow() const { return m_picTomorrow; }
    QToolButton* pic_yesterday() const { return m_picYesterday; }
    QMenu* mnu_datafolder() const { return m_mnuDatafolder; }
    QMenu* mnu_popup_termin() const { return m_mnuPopupTermin; }
    QMenu* mnu_popup_datum() const { return m_mnuPopupDatum; }
    QList<QAction*> mnu_popup_datum_array() const { return m_datumActions; }
    QAction* action(const QString& name) const;
    int RowHeight() const { return m_rowHeight; }
    int Rows() const { return m_rows; }
    ClassDay* DayColumn(int index) const;
    int DayColumnCount() const;
    QList<QLabel*> labelsInUse() const;
    QTimer* Global_timer() const { return m_globalTimer; }
    QTimer* timer_refresh_view() const { return m_refreshTimer; }
    int TimerTicks() const { return m_timerTicks; }
    form_tooltip* tooltipWindow() const { return m_tooltip; }
    // Where the view's x = 0 lies inside picture_main.
    int headerOffsetX() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    void Form_Resize();
    void picture_main_Resize();
    void pic_panel_Resize();
    void showSelection(); // Calendar1.DrawAll, then FireEvent
    bool outOfSight(const QDate& date) const;
    void stepSelectedDate(int days, int months, bool forward);
    // One day or week forward (1) or back (-1) from the selection.
    void stepView(int sign);
    // Today (0), the day or week after (1) or before (-1).
    void showAroundToday(int sign);
    void ShowDayWeekSelection();
    void Calendar1_Display(const QDate& date);
    void Calendar2_Display(const QDate& date);
    void Calendar2_DayClicked(const QDate& date);
    void Calendar2_WeekClicked(const QDate& date);
    void picture_main_MouseDown(int x, int y);
    void picture_main_MouseMove(int x, int y);
    void pic_view_MouseMove(int x);
    void ScrollView();
    void releaseDayColumns();
    // The data-source label, red with a word when the data folder cannot be reached.
    void showDataSourceLabel();
    void drawHourLabels();
    void drawHeader(const ClassDay& column, const QString& text);
    void editAppointment(ClassTermin* appointment);
    void label_appointment_MouseDown(QLabel* label, Qt::MouseButton button, const QPoint& at);
    void label_appointment_MouseUp();
    void restoreFromTray();
    void exitProgram();
    bool canHideIntoTray() const;
    QDate today() const;

    Settings& m_settings;
    DataAccess& m_store;
    AppointmentEditing& m_editing;
    Hooks m_hooks;
    std::function<QDateTime()> m_now;

    std::unique_ptr<Calendar> m_calendar1;
    std::unique_ptr<Calendar> m_calendar2;
    std::array<std::unique_ptr<ClassDay>, 9> m_dayColumns; // 1..7 used
    QList<QPointer<QLabel>> m_labelPool;                   // index + 1 is the element number
    QList<bool> m_labelInUse;
    std::set<int> m_freeLabels;             // indices of free elements, lowest first
    QHash<const QLabel*, int> m_labelIndex; // the element of each label handed out
    bool m_dataFolderReachable = true;
    bool m_highlightToday = false;
    int m_rowHeight = 225;
    int m_rows = 0;
    qint16 m_timerTicks = 0;
    TaskBarIcon* m_trayIcon = nullptr;
    bool m_exiting = false;
    QString m_popupTag;

    PictureBox* m_pictureMain = nullptr;
    QScrollBar* m_vscroll = nullptr;
    QWidget* m_picPanel = nullptr;
    PictureBox* m_picView = nullptr;
    QWidget* m_picNavigate = nullptr;
    QToolButton* m_picMonthBack = nullptr;
    QToolButton* m_picYesterday = nullptr;
    QToolButton* m_picToday = nullptr;
    QToolButton* m_picTomorrow = nullptr;
    QToolButton* m_picMonthNext = nullptr;
    QWidget* m_picCal1 = nullptr;
    QLabel* m_labelMonat = nullptr;
    QLabel* m_labelJahr = nullptr;
    PictureBox* m_picCalendar1 = nullptr;
    QWidget* m_picCal2 = nullptr;
    QLabel* m_labelMonat2 = nullptr;
    QLabel* m_labelJahr2 = nullptr;
    PictureBox* m_picCalendar2 = nullptr;
    QLabel* m_labelDatasource = nullptr;
    QWidget* m_picDayweek = nullptr;
    QToolButton* m_picBack = nullptr;
    QLabel* m_labelDay = nullptr;
    QLabel* m_labelWeek = nullptr;
    QToolButton* m_picNext = nullptr;
    QTimer* m_refreshTimer = nullptr;
    QTimer* m_globalTimer = nullptr;
    form_tooltip* m_tooltip = nullptr;

    QMenu* m_mnuFile = nullptr;
    QMenu* m_mnuAppointment = nullptr;
    QMenu* m_mnuSettings = nullptr;
    QMenu* m_mnuDatafolder = nullptr;
    QMenu* m_mnuHelp = nullptr;
    QMenu* m_mnuPopupTermin = nullptr;
    QMenu* m_mnuPopupTerminDel = nullptr;
    QMenu* m_mnuTaskbar = nullptr;
    QMenu* m_mnuPopupDatum = nullptr;
    QList<QAction*> m_datumActions;
};
