#pragma once

#include "PrintJob.h"

#include <QDate>
#include <QDialog>
#include <QPrinter>

#include <functional>

class ClassTabs;
class DataAccess;
class PictureBox;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QPushButton;
class Settings;

// The print window: the day print, the week print or an empty month planner of the date the
// main window shows, to a printer (with a preview) or into a PDF file.
class form_print : public QDialog {
    Q_OBJECT

public:
    enum class Output { Printer, Pdf };

    // How the window asks and tells; the message boxes by default.
    struct Hooks {
        std::function<bool(QWidget*, const QString& title, const QString& text)> question;
        std::function<void(QWidget*, const QString& title, const QString& text)> error;
        // The PDF file to write; empty when the user cancelled.
        std::function<QString(QWidget*)> pdfFileName;
    };

    form_print(Settings& settings, DataAccess& store, const QDate& printDate,
               Output output = Output::Printer, Hooks hooks = {}, QWidget* parent = nullptr);

    // Opens on the week page.
    void SelectWeekPrint();
    // The printout the pages describe now.
    PrintJob chosenJob() const;
    // The printer the print goes to, as the printer dialog left it.
    QPrinter& printer() { return m_printer; }

    void command_ok_Click();
    void command_preview_Click();

private:
    void Form_Load();
    void tabs_Click(const QString& caption, int index);
    void printToPrinter(const PrintJob& job);
    void exportToPdf(const PrintJob& job);
    bool askQuestion(const QString& text);
    void showError(const QString& text);

    Settings& m_settings;
    DataAccess& m_store;
    QDate m_printDate;
    Output m_output;
    Hooks m_hooks;
    QPrinter m_printer{QPrinter::HighResolution};

    PictureBox* pic_tab;
    ClassTabs* tabs;
    QFrame* frames[3];
    QLabel* label_day;
    QLabel* label_week;
    QLabel* label_planer;
    QComboBox* combo_planer_year;
    QComboBox* combo_planer_month;
    QCheckBox* check_twomonths;
    QPushButton* command_ok;
    QPushButton* command_preview;
    QPushButton* command_cancel;
};

// The main window's print entries: with Output::Printer and no printer installed it says so
// and opens nothing (a PDF needs no printer); otherwise the print window, on the week page
// when a week is selected.
void OpenPrintWindow(QWidget* parent, Settings& settings, DataAccess& store, const QDate& date,
                     bool weekSelected, form_print::Output output, form_print::Hooks hooks = {});
