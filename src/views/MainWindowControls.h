#pragma once

#include "views/ViewMode.h"

#include <QCoreApplication>
#include <QList>

class PictureBox;
class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMainWindow;
class QMenu;
class QScrollBar;
class QToolButton;
class QString;
class QWidget;

// The controls and menus of the main window with their design geometry (twips), their
// texts in the current language and the rules that lay them out when the window is resized.
// What they do is the window's business. Every control and menu entry carries its design
// name as its object name.
class MainWindowControls {
    Q_DECLARE_TR_FUNCTIONS(form_main)

public:
    // Builds everything into window, which gets the design size.
    explicit MainWindowControls(QMainWindow* window);

    // Menu captions, tooltips and the captions of label_day and label_week.
    void SetLanguageTexts();
    // The picture buttons' names for a screen reader, from their tooltips as set now.
    void NameButtonsByTooltips();
    // The selected one of label_day and label_week in dark blue, the other in the grey of
    // its strip; both grey while the month view is shown.
    void ShowDayWeekSelection(ViewMode mode);
    // The data source and user, in red when the data folder cannot be reached; the tooltip
    // names the folder whole.
    void showDataSource(const QString& text, const QString& folderPath, bool reachable);
    // The line over the top of the grid while the data folder does not answer; empty hides it.
    void showStale(const QString& text);

    // Form_Resize: the right-hand column keeps its design width, the view takes the rest.
    // Returns whether pic_panel changed its size (pic_panel_Resize then follows).
    bool Form_Resize();
    bool picture_main_Resize();

    QMainWindow* window;
    PictureBox* picture_main;
    QScrollBar* vscroll;
    QWidget* pic_panel;
    PictureBox* pic_view;
    QWidget* pic_navigate;
    QToolButton* pic_month_back;
    QToolButton* pic_yesterday;
    QToolButton* pic_today;
    QToolButton* pic_tomorrow;
    QToolButton* pic_month_next;
    QWidget* pic_cal1;
    QLabel* label_monat;
    QLabel* label_jahr;
    PictureBox* pic_calendar1;
    QWidget* pic_cal2;
    QLabel* label_monat2;
    QLabel* label_jahr2;
    PictureBox* pic_calendar2;
    QLabel* label_datasource;
    QLineEdit* text_search;
    QComboBox* combo_search_range; // its entries in the order of SearchLayout::Span
    QLabel* label_stale;
    QWidget* pic_dayweek;
    QToolButton* pic_back;
    QLabel* label_day;
    QLabel* label_week;
    QToolButton* pic_next;

    QMenu* mnu_file;
    QAction* mnu_file_import;
    QAction* mnu_file_import_ics;
    QAction* mnu_file_export_ics;
    QAction* mnu_file_undo_import;
    QAction* mnu_file_subscribe;
    QAction* mnu_file_offline; // checked while the laptop's copy stands in for the folder
    QAction* mnu_file_print;
    QAction* mnu_file_export_pdf;
    QAction* mnu_file_exit;
    QMenu* mnu_edit;
    QAction* mnu_edit_undo;
    QAction* mnu_edit_redo;
    QAction* mnu_edit_cut;
    QAction* mnu_edit_copy;
    QAction* mnu_edit_paste;
    QAction* mnu_edit_find;
    QAction* mnu_edit_find_time;
    QMenu* mnu_appointment;
    QAction* mnu_appointment_new;
    QMenu* mnu_view;
    QAction* mnu_view_day;
    QAction* mnu_view_week;
    QAction* mnu_view_month;
    QAction* mnu_view_list;
    QAction* mnu_view_people;
    QAction* mnu_view_goto;
    QMenu* mnu_settings;
    QAction* mnu_settings_program;
    QMenu* mnu_datafolder; // one entry per data folder, filled by the window
    QMenu* mnu_help;
    QAction* mnu_help_help;
    QAction* mnu_help_info;
    QMenu* mnu_popup_termin;
    QAction* mnu_popup_termin_edit;
    QAction* mnu_popup_termin_copy;
    QAction* mnu_popup_termin_cut;
    QAction* mnu_popup_termin_duplicate;
    QMenu* mnu_popup_termin_del;
    QAction* mnu_popup_termin_del_yes;
    QMenu* mnu_taskbar;
    QAction* mnu_taskbar_show;
    QAction* mnu_taskbar_exit;
    QMenu* mnu_popup_datum;
    QList<QAction*> mnu_popup_datum_array; // 12 entries

private:
    void buildControls();
    void buildMenus();
    void pic_panel_Resize();
};
