#pragma once

#include "HolidayFile.h"

#include <QDialog>

#include <functional>
#include <optional>

class DataAccess;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class Settings;

// The holiday import: the user ticks the sections of a holiday list and a colour, and every
// entry of those sections becomes a one-time appointment of the active data folder.
class form_import : public QDialog {
    Q_OBJECT

public:
    // Lists of this many entries show a progress window while they are saved.
    static constexpr int kProgressFrom = 100;

    // How the window tells; message boxes by default.
    struct Hooks {
        std::function<void(QWidget*, const QString& title, const QString& text)> message;
        std::function<void(QWidget*, const QString& title, const QString& text)> error;
    };

    form_import(Settings& settings, DataAccess& store, const QString& path, Hooks hooks = {},
                QWidget* parent = nullptr, FileAccess& files = RealFileAccess::instance());

    // Reads the file and lists its sections; false when it could not be read.
    bool LoadHolidaySections();
    // The colour the combo box names, 1 … 14.
    int colorCode() const;
    // Imports the selected sections into the active data folder.
    HolidayImportResult ImportHolidays();

    void command_ok_Click();

public slots:
    void reject() override;

private:
    void Form_Load();
    QString failureText(const HolidayImportResult& result) const;

    Settings& m_settings;
    DataAccess& m_store;
    QString m_path;
    Hooks m_hooks;
    FileAccess& m_files;
    std::optional<HolidayFile> m_file;
    bool m_busy = false;

    QLabel* label_liste;
    QListWidget* list_sections;
    QLabel* label_color;
    QComboBox* combo_color;
    QPushButton* command_ok;
    QPushButton* command_cancel;
};

// The main window's import entry: an open-file dialog for the holiday list, then the import
// window for the chosen file; nothing when the dialog is cancelled.
void OpenHolidayImport(QWidget* parent, Settings& settings, DataAccess& store,
                       form_import::Hooks hooks = {});
