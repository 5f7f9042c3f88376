#pragma once

#include "offline/Reconcile.h"
#include "service/FolderStores.h"
#include "service/StoreService.h"
#include "settings/Settings.h"
#include "store/ClassTermin.h"
#include "store/DataAccess.h"
#include "store/SeriesFiling.h"
#include "store/UndoStep.h"
#include "ui/HeartbeatPause.h"
#include "views/AppointmentDrag.h"
#include "views/DayColumnHost.h"
#include "views/EditCoordinator.h"
#include "views/FolderMarks.h"
#include "views/ViewMode.h"
#include "views/ViewNavigation.h"

#include <QDate>
#include <QDateTime>
#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <memory>
#include <optional>

class AppointmentEditing;
struct FindTimeAsk;
class Calendar;
class DayWeekView;
class LabelPool;
class MainWindowControls;
class MonthView;
class AgendaView;
class PersonFilterPanel;
class PersonLanesView;
class SearchPanel;
namespace MonthLayout {
struct Entry;
}
class OfflineScheduler;
class QLabel;
class QMenu;
class QMessageBox;
class QTimer;
class SettingsJobs;
class StoreService;
class TaskBarIcon;
class WorkerThread;
class form_tooltip;

// The main window: the day, week or month view of the active data folder beside two month
// calendars, the menus through which every other window opens, and the heartbeat that keeps
// the view fresh. Calendar1's selected date and day/week mode (or the month mode kept here)
// are what the view shows.
class form_main : public QMainWindow, public DayColumnHost, private EditQuestions {
    Q_OBJECT

public:
    // What a sync that stopped before deleting most of one side does when run again: delete
    // them, or bring them back from the other side.
    enum class MassDeletionAnswer { Delete, Restore };

    // Windows and actions that other parts of the program provide; an empty one leaves its
    // menu entry disabled.
    struct Hooks {
        // A window that runs done once it closed; the heartbeat stays off until then.
        using Done = std::function<void()>;
        std::function<void(QWidget* parent, Done done)> showLanguageWindow; // first start
        std::function<void(QWidget* parent, Done done)> showSettings;
        std::function<void(QWidget* parent, Done done)> showImport;
        std::function<void(QWidget* parent, Done done)> importIcs;
        std::function<void(QWidget* parent, const QDate& shown, Done done)> exportIcs;
        std::function<void(QWidget* parent, Done done)> undoImport;
        // "Subscribe to calendar...": a feed brought into the data folder.
        std::function<void(QWidget* parent, Done done)> subscribe;
        // The print window on the page of the view shown.
        std::function<void(QWidget* parent, const QDate& date, ViewMode view, Done done)> showPrint;
        std::function<void(QWidget* parent, const QDate& date, ViewMode view, Done done)> exportPdf;
        std::function<void()> checkReminders;
        std::function<void(QWidget* parent, const QString& title, const QString& text)> message;
        // "Sync now" in the Datasource menu; it must not wait for the sync.
        std::function<void()> syncNow;
        // One sync after the user answered the question of askAboutMassDeletion.
        std::function<void(MassDeletionAnswer answer)> syncOnce;
    };

    // The window reads and writes the data folder through service and the settings files
    // through settingsJobs, never itself.
    form_main(Settings& settings, SettingsJobs& settingsJobs, StoreService& service,
              AppointmentEditing& editing, Hooks hooks = {}, QWidget* parent = nullptr);
    ~form_main() override;

    // Start-up: calendars, tray icon, the window where it was (placement), layout, texts, the
    // first view, the heartbeat, then on a first start the language window.
    void Form_Load(const Settings::WindowPlacement& placement = {}, bool firstStart = false);
    void SetLanguageTexts();
    // Menu of the data folders, label_datasource and the window caption.
    void ShowDataSource();
    // Rebuilds the whole view from Calendar1's date and mode out of what is known, and asks
    // the store service to look at the shown days again (the view follows when it answers
    // with something new). With freshMarks the calendars' day marks are read again too.
    void LoadView(bool freshMarks = false);

    // The heartbeat (Global_timer) and the deferred rebuild after a resize, callable directly.
    void Global_timer_Timer();
    void timer_refresh_view_Timer();

    // The last sync's line under the data source: when it ended, or why it failed.
    void showSyncResult(const QDateTime& at, const QString& failure);
    // A sync stopped before deleting count of of appointments on the server (else in the data
    // folder): the window asks what to do, one question at a time, without waiting for it.
    void askAboutMassDeletion(int count, int of, bool onServer);

    // A message from the notification area; nothing where the desktop has none.
    void ShowTrayMessage(const QString& title, const QString& text);
    // Goes to day and opens the appointment in the editor, as a double click on it would
    // (form_main_open.cpp).
    void showAppointment(const ClassTermin& appointment, const QDate& day);

    // "Today" and "now"; the clock by default.
    void setClock(std::function<QDateTime()> now);

    // The model of what the view shows, and the view it shows.
    Calendar& calendar1() const { return *m_calendar1; }
    const DayWeekView& view() const { return *m_view; }
    const SearchPanel& search() const { return *m_search; }
    // The store services of the folders shown, the active one's first.
    const FolderStores& stores() const { return *m_stores; }
    // The appointment last clicked or chosen among the search's results; nullopt when none.
    std::optional<ClassTermin> selectedAppointment() const
    {
        return m_selected ? std::optional<ClassTermin>(m_selected->appointment) : std::nullopt;
    }

    // DayColumnHost
    QLabel* CreateLabelResource() override;
    void ReleaseLabelResource(QLabel* label) override;
    bool HighlightToday() const override;
    HeartbeatPause& heartbeat() override { return *m_heartbeat; }
    // Creates an appointment for the range and opens the editor on it.
    void RangeSelected(const QDate& day, TimeOfDay from, TimeOfDay to) override;
    void TimePicked(const QDate& day, TimeOfDay at) override;

    // Rebuilds the view once, shortly.
    void StartRefreshTimer();
    // Tells the user that something failed (a save), in a message box of the window.
    void ShowFailure(const QString& message);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void connectControls();
    void connectMenus();
    // The heartbeat off until the done returned has run (once) for every window open; then
    // runs then.
    Hooks::Done pauseUntilDone(std::function<void()> then = {});
    QDate today() const;

    // Navigation: the rules decide, Calendar1 keeps the result and the view follows.
    ViewNavigation navigation() const;
    ViewNavigation::State viewState() const;
    void navigate(const ViewNavigation::Step& step);
    void Calendar1_Display(const QDate& date);
    void Calendar2_Display(const QDate& date);
    void label_jahr_MouseDown();
    void label_monat_MouseDown();
    void showDatumList(const QList<ViewNavigation::ListEntry>& entries, QLabel* below);
    void mnu_popup_datum_array_Click(int index);

    // The data-source label, red with a word when the data folder cannot be reached or does
    // not answer, and the line over the grid that says the view may be out of date.
    void showDataSourceLabel();
    // Files of the folder skipped because they cannot be read; empty when there are none.
    QString unreadableFilesNotice() const;
    // Draws the view from what the store service knows; asks nothing.
    void drawView();
    // Asks the store service for the view's days, both calendars' day marks and the days
    // around the view.
    void askForShownDays(bool freshMarks);
    // The days of both month calendars, whose day marks they show.
    QList<QDate> calendarDays() const;
    void serviceAnsweringChanged(bool answering);

    // Appointment labels and their pop-up menu.
    TerminPtr FindAppointmentByTag(const QString& tag) const;
    void label_appointment_MouseDown(QLabel* label, Qt::MouseButton button, const QPoint& at);
    void label_appointment_MouseUp();
    // Edits the appointment of a label; for a series' occurrence the user is asked first
    // which occurrences the change is for.
    void editAppointment(const QString& tag);
    // An appointment as the user picked it in a view: its record and the day it showed on.
    struct Picked {
        ClassTermin appointment;
        QDate day;
    };
    std::optional<Picked> pickedOfTag(const QString& tag) const;
    void showAppointmentMenu(const Picked& picked, const QPoint& at);

    // EditQuestions, asked by m_edits: the series question and the undo conflict are message
    // boxes that answer when closed (form_main_series.cpp, form_main_undo.cpp).
    void askSeriesScope(const ClassTermin& part, const QDate& occurrence, SeriesAct act,
                        std::function<void(std::optional<SeriesEdit::Scope>)> answer) override;
    void askUndoConflict(const StoreService::UndoOutcome& outcome,
                         std::function<void(UndoAnswer)> answer) override;
    void showFailure(const QString& message) override;
    void showChange(bool putBack) override;
    void undoStateChanged() override { showHistory(); }
    // The view and both calendars at once after a change made here.
    void showOwnChange();
    // Follows the view: another process's change in what it reads rebuilds it at once.
    void watchShownDirectories();
    void mnu_popup_termin_edit_Click();
    void mnu_popup_termin_del_yes_Click();

    // Undo and redo (form_main_undo.cpp): one step at a time; a step whose files another
    // user changed since is asked about, theirs, mine or cancel.
    void connectEditMenu();
    void showHistory();
    static QString undoText(const UndoStep& step, bool redo);

    // Copy, cut, paste and duplicate (form_main_clipboard.cpp).
    void connectClipboard();
    QString plainTextOf(const ClassTermin& appointment) const;
    void copyAppointment(const std::optional<Picked>& picked);
    void cutAppointment(const std::optional<Picked>& picked);
    void pasteAppointment();
    void duplicateAppointment(const std::optional<Picked>& picked);
    // A drag with Ctrl held: a copy where the drop was.
    void copyDropped(const AppointmentDrag::Drop& drop);

    // The keyboard in the grid (form_main_keys.cpp): keys the grid does not take go to the
    // window, as when it has the keyboard itself.
    void connectGridKeys();
    void gridKeyDown(int key, Qt::KeyboardModifiers modifiers);
    bool windowKey(int key, Qt::KeyboardModifiers modifiers);
    // The month calendars by keyboard (form_main_calendars.cpp).
    void connectCalendarKeys();
    void askDelete(const Picked& picked);
    // A new appointment at the time the keyboard is on in the grid.
    void newAtGridFocus();

    void mnu_appointment_new_Click();
    // A new appointment from from to to on day, owned by the user, as the grid makes one.
    ClassTermin newAppointment(const QDate& day, TimeOfDay from, TimeOfDay to) const;
    // "Find a time..." (form_main_findtime.cpp): the dialog over the window, or over the editor
    // that asked (ask), reading the days through the folders' store services.
    void connectFindTime();
    void connectSubscribe();
    // Working offline (form_main_offline.cpp).
    void connectOffline();
    void reconcileOffline();
    void offlineReconciled(const Offline::Result& result);
    // The active folder's name as the window shows it, saying when it is worked on offline.
    QString shownFolderName() const;
    void openFindTime(const FindTimeAsk* ask);
    void mnu_datafolder_array_Click(int index);
    // The folders shown beside the active one (form_main_shown.cpp): a check mark per folder
    // in the Datasource menu, kept in the pointer file; the legend in the side panel names
    // them, and a folder that does not answer is named alone.
    void addShownFoldersMenu();
    void mnu_datafolder_shown_Click(const QString& listed, bool on);
    void showBeside();
    QString besideNotice() const;
    void showLegend();
    // Lays widget out in the side panel below above, as high as it wants and the search leaves
    // room for.
    void placeInSidePanel(QWidget* widget, const QWidget* above);
    // A data folder the settings added to those of before (form_main_folders.cpp): asked
    // whether to show it now, as the Datasource menu would.
    void offerAddedFolder(const QStringList& before);
    void mnu_file_exit_Click();
    void restoreFromTray();
    void exitProgram();
    bool canHideIntoTray() const;

    Settings& m_settings;
    SettingsJobs& m_settingsJobs;
    StoreService& m_service;
    std::unique_ptr<FolderStores> m_stores; // m_service's and those of the folders beside it
    AppointmentEditing& m_editing;
    Hooks m_hooks;
    std::function<QDateTime()> m_now;

    std::unique_ptr<MainWindowControls> m_ui;
    std::unique_ptr<Calendar> m_calendar1;
    std::unique_ptr<Calendar> m_calendar2;
    std::unique_ptr<LabelPool> m_labels;
    std::unique_ptr<DayWeekView> m_view;
    std::unique_ptr<AppointmentDrag> m_drag;
    // The view shown; Calendar1 marks a week only in the week view.
    ViewMode m_viewMode = ViewMode::Day;
    bool m_viewPending = false; // a redraw waits for the label held to be let go
    QTimer* m_refreshTimer = nullptr;
    QTimer* m_globalTimer = nullptr;
    TaskBarIcon* m_trayIcon = nullptr;
    form_tooltip* m_tooltip = nullptr;
    bool m_dataFolderReachable = true;
    QDateTime m_syncAt; // invalid until a sync ended
    QString m_syncFailure;
    QPointer<QMessageBox> m_massDeletionQuestion; // while it is open
    OfflineScheduler* m_offline = nullptr;
    QTimer* m_offlineTimer = nullptr;       // tries the share while offline
    QString m_offlineFolder;                // the folder taken along; empty: none
    QString m_offlineNote;                  // why the last reconcile failed; empty: it did not
    bool m_offlineReturning = false;        // the user asked to work on the share again
    bool m_offlineAsked = false;            // asked while a reconcile ran: one more follows
    QPointer<QMessageBox> m_seriesQuestion; // while it is open
    QPointer<QMessageBox> m_deleteQuestion; // while it is open
    QPointer<QMessageBox> m_folderQuestion; // while it is open
    std::optional<Picked> m_selected;       // the appointment last clicked, in any view
    std::optional<Picked> m_popup;          // the one its pop-up menu is for
    // The time last clicked on the grid, where a paste goes; invalid day when none.
    QDate m_pickedDay;
    TimeOfDay m_pickedTime;
    // The appointment copied last, with the token that tells the clipboard still holds it.
    std::optional<ClassTermin> m_copied;
    QString m_copiedToken;
    std::unique_ptr<WorkerThread> m_pasteThread;
    bool m_exiting = false;
    qint16 m_timerTicks = 0;
    // Windows opened by a hook whose done has not run, edits under way, a drag, a reminder
    // check: while any holds it, the heartbeat is off.
    std::optional<HeartbeatPause> m_heartbeat;
    std::unique_ptr<EditCoordinator> m_edits;

    // The month view (form_main_month.cpp): shown over the day and week view while the
    // navigation's state is in month mode.
    void setupMonthView();
    // The days of the month sheet of the selected date's month, or of one monthsAway from it.
    QList<QDate> monthDays(int monthsAway) const;
    void drawMonth();
    void askForMonthDays(bool freshMarks);
    MonthView* m_monthView = nullptr; // a child of picture_main

    // The agenda list (form_main_list.cpp): shown over the day and week view in list mode,
    // the days from the selected date on; and the Go to date dialog.
    void setupListView();
    QList<QDate> listDays(int listsAway) const;
    void drawList();
    void askForListDays(bool freshMarks);
    void openGoToDate();
    AgendaView* m_listView = nullptr; // a child of picture_main

    // The people (form_main_people.cpp): the day as lanes per person in people mode, and the
    // person filter of the side panel, which every view and the search follow.
    void setupPeopleView();
    void drawPeople();
    void showPeoplePanel();
    // The appointments known of a day that the person filter keeps: what every view draws.
    DaySource shownDays() const;
    PersonLanesView* m_peopleView = nullptr; // a child of picture_main
    PersonFilterPanel* m_personFilter = nullptr;
    QStringList m_shownPeople; // the logins the filter keeps; everyone when empty
    // The category filter of the View menu (form_main_categories.cpp), which every view
    // follows: the team's categories and those checked, each a check mark.
    void setupCategoryFilter();
    void fillCategoryMenu();
    QMenu* m_categoryMenu = nullptr;
    QStringList m_shownCategories; // the categories the filter keeps; all when empty

    // The search (form_main_search.cpp): its results lie over every view while shown.
    void setupSearch();
    // Selects the appointment chosen among the results once its day was read.
    void selectWhenRead();
    SearchPanel* m_search = nullptr;
    std::optional<Picked> m_selectWhenRead;
};
