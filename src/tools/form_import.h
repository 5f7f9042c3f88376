#pragma once

#include "tools/HolidayFile.h"
#include "ui/ImportProgress.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <optional>

class FolderJobs;
class ImportRun;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class Settings;
class WorkerThread;

// The holiday import: the user ticks the sections of a holiday list and a colour, and every
// entry of those sections becomes a one-time appointment of the active data folder. The list
// is read and parsed and the appointments are saved on a thread of the data folder's jobs, so
// neither a share that stops answering nor a huge list holds up the window; the files saved are
// told to the jobs.
class form_import : public QDialog {
    Q_OBJECT

public:
    // Lists of this many entries show a progress window while they are saved.
    static constexpr int kProgressFrom = 100;

    // How the window tells, without waiting for the user; message boxes by default. The result
    // of an import is told over the window's parent, as the window closes.
    struct Hooks {
        std::function<void(QWidget*, const QString& title, const QString& text)> message;
        std::function<void(QWidget*, const QString& title, const QString& text)> error;
    };

    // Starts reading the list at path; its sections show once it is read.
    form_import(Settings& settings, FolderJobs& jobs, const QString& path, Hooks hooks = {},
                QWidget* parent = nullptr);
    // Returns within WorkerThread::kStopWait even while a job waits on a share.
    ~form_import() override;

    // True until the list has been read and its sections shown, or it was found unusable.
    bool isReading() const { return m_reading; }
    // True from the start of an import until its result has been told.
    bool isImporting() const { return m_importing; }
    // The colour the combo box names, 1 … 14.
    int colorCode() const;

    // Starts saving the selected sections into the active data folder; the result is told
    // once the last holiday is saved, and the window closes.
    void command_ok_Click();
    // While importing: the import stops after the holiday being saved and tells what landed.
    void command_cancel_Click();

public slots:
    // Cancels a running import; closes the window otherwise, or when the import was already
    // asked to stop (a share that no longer answers may never let it).
    void reject() override;

private:
    void Form_Load();
    void readList();
    // file is null when the list cannot be used; problem then says why.
    void showList(std::shared_ptr<const HolidayFile> file, const HolidayFile::Problem& problem);
    void listSections(qsizetype from);
    // stoppedAt: the entries tried before a cancel took effect; -1 when it ran to its end.
    void finishImport(HolidayImportResult result, int stoppedAt);
    QString failureText(const HolidayImportResult& result) const;

    Settings& m_settings;
    QString m_path;
    FolderJobs& m_jobs;
    Hooks m_hooks;
    std::shared_ptr<const HolidayFile> m_file;
    bool m_reading = true;
    bool m_importing = false;
    std::shared_ptr<ImportRun> m_run;
    std::unique_ptr<WorkerThread> m_worker;
    ImportProgress m_progress{this, tr("Cancel"), kProgressFrom,
                              [this] { command_cancel_Click(); }};

    QLabel* label_liste;
    QListWidget* list_sections;
    QLabel* label_repeated; // shown when a section name repeats
    QLabel* label_color;
    QComboBox* combo_color;
    QPushButton* command_ok;
    QPushButton* command_cancel;
};

// The holiday lists installed with the program in programDirectory (as
// <prefix>/share/norvane/holidays beside <prefix>/bin; a build holds them the same way beside
// its bin/); empty where there are none.
QString InstalledHolidayFolder(const QString& programDirectory);

// The main window's import entry: an open-file dialog for the holiday list (opening at the
// installed lists, if any), then the import window for the chosen file, window-modal over
// parent; nothing when the dialog is cancelled. The holidays go into the active data folder of
// settings. Returns at once; done runs when the window has closed, or at once after a cancel.
void OpenHolidayImport(QWidget* parent, Settings& settings, FolderJobs& jobs,
                       std::function<void()> done, form_import::Hooks hooks = {});
