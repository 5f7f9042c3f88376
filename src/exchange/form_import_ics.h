#pragma once

#include "FileAccess.h"
#include "IcsImport.h"
#include "IcsWindows.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;

// The iCalendar import: the file is read and checked first, the user picks the colour of the
// new appointments, and the summary tells what became of every event.
class form_import_ics : public QDialog {
    Q_OBJECT

public:
    static inline const QString kTitle = QStringLiteral("Norvane4");
    // Imports of this many appointments show a progress window while they are saved.
    static constexpr int kProgressFrom = 100;

    form_import_ics(Settings& settings, DataAccess& store, const QString& path,
                    IcsWindowHooks hooks = {}, QWidget* parent = nullptr,
                    FileAccess& files = RealFileAccess::instance());

    // False when the file cannot be read or is no iCalendar file; problem() says why.
    bool isReadable() const { return m_check.ok; }
    const QString& problem() const { return m_problem; }
    // The colour the combo box names, 1 … 14.
    int colorCode() const;
    IcsImportResult ImportIcs();

    void command_ok_Click();

public slots:
    void reject() override;

private:
    void Form_Load();

    Settings& m_settings;
    DataAccess& m_store;
    QString m_path;
    IcsWindowHooks m_hooks;
    QByteArray m_bytes;
    IcsCheck m_check;
    QString m_problem;
    bool m_busy = false;

    QLabel* label_datei;
    QLabel* label_color;
    QComboBox* combo_color;
    QPushButton* command_ok;
    QPushButton* command_cancel;
};
