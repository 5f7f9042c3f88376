#pragma once

#include "print/PrintJob.h"
#include "print/clsPrintDialog.h"

#include <QDate>
#include <QDialog>
#include <QPrinter>

#include <atomic>
#include <functional>
#include <memory>

class ClassTabs;
class FolderJobs;
class PictureBox;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QFrame;
class QLabel;
class QPushButton;
class Settings;
class WorkerThread;

// The print window: the day print, the week print (either by person), an empty month planner
// or the month with its appointments of the date the main window shows, or the appointment list
// of a range, to a printer (with a preview) or into a PDF file. The appointments are read and the
// PDF file is written as a job of the data folder's, so a share that stops answering never holds
// up the window; the pages are drawn here, from copies of the days. Its printer dialog, question
// and preview open over it and answer by callback.
class form_print : public QDialog {
    Q_OBJECT

public:
    enum class Output { Printer, Pdf };

    // How the window asks and tells; the message boxes by default.
    struct Hooks {
        // answer gets true for yes; it may come later.
        std::function<void(QWidget*, const QString& title, const QString& text,
                           std::function<void(bool yes)> answer)>
            question;
        std::function<void(QWidget*, const QString& title, const QString& text)> error;
        // Asks for the PDF file to write; chosen gets it, empty when the user cancelled. It
        // may come later.
        std::function<void(QWidget*, std::function<void(const QString& path)> chosen)> pdfFileName;
    };

    // The appointments come from the active data folder of settings, read by jobs.
    form_print(Settings& settings, FolderJobs& jobs, const QDate& printDate,
               Output output = Output::Printer, Hooks hooks = {}, QWidget* parent = nullptr);
    // Returns within WorkerThread::kStopWait even while a job waits on a share.
    ~form_print() override;

    // Opens on the week page.
    void SelectWeekPrint();
    // Opens on the planner page with the month's appointments.
    void SelectMonthPrint();
    // Opens on the appointment list from the print date on.
    void SelectListPrint();
    // The people the printouts by person show, by login; everyone when none.
    void setPersonFilter(const QStringList& persons) { m_persons = persons; }
    // On a machine without a printer: the preview still works, printing says why not.
    void setNoPrinterInstalled() { m_noPrinter = true; }
    // The printout the pages describe now.
    PrintJob chosenJob() const;
    // The printer the print goes to, as the printer dialog left it.
    QPrinter& printer() { return m_printer; }
    // True while the appointments are read or the PDF file is written.
    bool isBusy() const { return m_busy; }

    // Prints or exports once the days are read; the window closes when it is done.
    void command_ok_Click();
    // Opens the preview once the days are read.
    void command_preview_Click();

public slots:
    // Closes the window; a PDF not written yet is not written any more.
    void reject() override;

private:
    void Form_Load();
    void tabs_Click(const QString& caption, int index);
    void printToPrinter(const PrintJob& job);
    void exportToPdf(const PrintJob& job);
    void exportToPdfFile(const PrintJob& job, const QString& path);
    // Reads the days the job prints on the window's worker thread, then calls draw with them
    // on this one.
    void withDays(const PrintJob& job, std::function<void(const DaySource& days)> draw);
    void setBusy(bool busy);
    void askQuestion(const QString& text, std::function<void(bool yes)> answer);
    void showError(const QString& text);

    Settings& m_settings;
    QDate m_printDate;
    Output m_output;
    Hooks m_hooks;
    FolderJobs& m_jobs;
    QPrinter m_printer{QPrinter::HighResolution};
    clsPrintDialog m_printDialog{m_printer};
    bool m_busy = false;
    bool m_noPrinter = false;
    QStringList m_persons;
    // Set when the window closes; read on the thread that writes the PDF file.
    std::shared_ptr<std::atomic<bool>> m_closed = std::make_shared<std::atomic<bool>>(false);
    std::unique_ptr<WorkerThread> m_worker;

    PictureBox* pic_tab;
    ClassTabs* tabs;
    QFrame* frames[4];
    QLabel* label_day;
    QLabel* label_week;
    QLabel* label_planer;
    QComboBox* combo_planer_year;
    QComboBox* combo_planer_month;
    QCheckBox* check_twomonths;
    QCheckBox* check_appointments;
    QCheckBox* check_day_persons;
    QCheckBox* check_week_persons;
    QDateEdit* date_list_from;
    QDateEdit* date_list_to;
    QPushButton* command_ok;
    QPushButton* command_preview;
    QPushButton* command_cancel;
};

// The main window's print entries: the print window on the page of the view shown (the list
// from date on, as many days as it shows); without a printer it still previews, and says so
// only when asked to print. done runs once the window closed. The printouts by person show
// the persons given, everyone when none are.
enum class PrintPage { Day, Week, Month, List };
void OpenPrintWindow(QWidget* parent, Settings& settings, FolderJobs& jobs, const QDate& date,
                     PrintPage page, form_print::Output output, form_print::Hooks hooks,
                     std::function<void()> done, const QStringList& persons = {});
