#pragma once

#include "exchange/IcsWindows.h"
#include "profile/FileAccess.h"

#include <QDialog>

#include <atomic>
#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class WorkerThread;

// The iCalendar export: the first and last day, then a file dialog; every appointment shown
// on those days lands in the file. The appointments are read and the file is written on a
// thread of the data folder's jobs, so a share that stops answering never holds up the window.
class form_export_ics : public QDialog {
    Q_OBJECT

public:
    form_export_ics(Settings& settings, FolderJobs& jobs, const QDate& shownDate,
                    IcsWindowHooks hooks = {}, QWidget* parent = nullptr);
    // Returns within WorkerThread::kStopWait even while the export waits on a share.
    ~form_export_ics() override;

    // The dates as typed in the settings' date format; invalid when a field holds no date.
    QDate fromDate() const;
    QDate toDate() const;
    // The week or month of the shown date.
    void command_week_Click();
    void command_month_Click();
    // Asks for the file and starts the export; the window closes once the file is written.
    void command_ok_Click();
    // True from the start of the export until its result has been told.
    bool isExporting() const { return m_exporting; }

public slots:
    // Closes the window; an export under way writes no file.
    void reject() override;

private:
    void Form_Load();
    void setExporting(bool exporting);
    // Writes the chosen days to path on the worker thread; finishExport follows.
    void exportTo(const QString& path);
    void finishExport(const WriteOutcome& written, const QString& path, int count);
    // A date field: typed in the settings' date format, or picked from a calendar that drops
    // down from its button.
    QLineEdit* dateField(const char* name, QToolButton** calendarButton);
    void setDate(QLineEdit* field, const QDate& date);
    QDate dateIn(const QLineEdit* field) const;
    void showCalendar(QLineEdit* field);

    Settings& m_settings;
    QDate m_shownDate;
    FolderJobs& m_jobs;
    IcsWindowHooks m_hooks;
    bool m_exporting = false;
    // Set when the window closes mid-export; read on the export's thread.
    std::shared_ptr<std::atomic<bool>> m_abandoned = std::make_shared<std::atomic<bool>>(false);
    std::unique_ptr<WorkerThread> m_worker;

    QLabel* label_von;
    QLineEdit* date_von;
    QToolButton* calendar_von;
    QLabel* label_bis;
    QLineEdit* date_bis;
    QToolButton* calendar_bis;
    QPushButton* command_week;
    QPushButton* command_month;
    QPushButton* command_ok;
    QPushButton* command_cancel;
};
