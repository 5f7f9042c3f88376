#pragma once

#include "IcsWindows.h"

#include <QDialog>

class QDateEdit;
class QLabel;
class QPushButton;

// The iCalendar export: the first and last day, then a file dialog; every appointment shown
// on those days lands in the file.
class form_export_ics : public QDialog {
    Q_OBJECT

public:
    form_export_ics(Settings& settings, DataAccess& store, const QDate& shownDate,
                    IcsWindowHooks hooks = {}, QWidget* parent = nullptr);

    QDate fromDate() const;
    QDate toDate() const;
    // The week or month of the shown date.
    void command_week_Click();
    void command_month_Click();
    // Asks for the file and writes it; the window closes once it is written.
    void command_ok_Click();

private:
    void Form_Load();

    Settings& m_settings;
    DataAccess& m_store;
    QDate m_shownDate;
    IcsWindowHooks m_hooks;

    QLabel* label_von;
    QDateEdit* date_von;
    QLabel* label_bis;
    QDateEdit* date_bis;
    QPushButton* command_week;
    QPushButton* command_month;
    QPushButton* command_ok;
    QPushButton* command_cancel;
};
