#pragma once

#include "exchange/IcsImport.h"
#include "exchange/IcsWindows.h"
#include "ui/ImportProgress.h"

#include <QDialog>

#include <functional>
#include <memory>

class ImportRun;
class QComboBox;
class QLabel;
class QPushButton;
class WorkerThread;

// The iCalendar import: the file is read and checked first, the user picks the colour of the
// new appointments, and the summary tells what became of every event. The file is read, its
// events worked out and the appointments saved on a thread of the data folder's jobs, so neither
// a hostile file nor a share that stops answering holds up the window: the progress window and
// its Cancel are there from the start of the import. An import of more than kLargeImport
// appointments is counted first and asked for, and each keeps an ImportRecord. What it wrote is
// told to the jobs.
class form_import_ics : public QDialog {
    Q_OBJECT

public:
    static inline const QString kTitle = QStringLiteral("Norvane4");

    // Starts reading the file at path. One that cannot be imported is told (with the window's
    // parent as owner) and closes the window; otherwise the colour and Import are offered.
    form_import_ics(Settings& settings, FolderJobs& jobs, const QString& path,
                    IcsWindowHooks hooks = {}, QWidget* parent = nullptr);
    // Returns within WorkerThread::kStopWait even while a job waits on a share.
    ~form_import_ics() override;

    // True until the file has been read and checked.
    bool isReading() const { return m_reading; }
    // False when the file cannot be read or is no iCalendar file; problem() says why.
    bool isReadable() const { return m_check.ok; }
    const QString& problem() const { return m_problem; }
    // True from the start of an import until its summary has been told.
    bool isImporting() const { return m_importing; }
    // The colour the combo box names, 1 … 14.
    int colorCode() const;

    // Starts the import into the active data folder: the events are worked out, then the
    // appointments saved; the summary is told once the last one is saved, and the window
    // closes.
    void command_ok_Click();
    // While importing: the import stops after the event being worked out or the appointment
    // being saved, and tells what landed.
    void command_cancel_Click();

    // For tests: runs on the import's thread after each event is worked out.
    void setPlanningHook(std::function<void()> hook) { m_planningHook = std::move(hook); }
    // For tests: the user is asked above this many appointments instead of kLargeImport.
    void setLargeImport(int appointments) { m_largeImport = appointments; }

public slots:
    // Cancels a running import; closes the window otherwise, or when the import was already
    // asked to stop (a share that no longer answers may never let it).
    void reject() override;

private:
    void Form_Load();
    void readFile();
    // Runs the import on the thread; one of more than m_largeImport appointments is asked for
    // first unless allowLarge.
    void startImport(bool allowLarge);
    void finishImport(const IcsImportResult& result);
    void tellResult(const IcsImportResult& result);

    Settings& m_settings;
    QString m_path;
    FolderJobs& m_jobs;
    IcsWindowHooks m_hooks;
    QByteArray m_bytes;
    IcsCheck m_check;
    QString m_problem;
    bool m_reading = true;
    bool m_importing = false;
    std::shared_ptr<ImportRun> m_run;
    std::unique_ptr<WorkerThread> m_worker;
    ImportProgress m_progress{this, tr("Cancel"), 0, [this] { command_cancel_Click(); }};
    std::function<void()> m_planningHook;
    int m_largeImport = kLargeImport;

    QLabel* label_datei;
    QLabel* label_color;
    QComboBox* combo_color;
    QPushButton* command_ok;
    QPushButton* command_cancel;
};
