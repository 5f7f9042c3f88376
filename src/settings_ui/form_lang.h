#pragma once

#include "profile/FileAccess.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QRadioButton;
class Settings;
class SettingsJobs;

// The language window of the very first start: English or German, and with the language the
// date, week and time conventions that go with it. OK takes the choice at once and closes once
// it is saved, by jobs; a locked or unreachable file keeps it for this run only.
class form_lang : public QDialog {
    Q_OBJECT

public:
    form_lang(Settings& settings, SettingsJobs& jobs, const QString& version,
              QWidget* parent = nullptr);

    QRadioButton* option_lang(int index) const { return index == 1 ? m_german : m_english; }
    QPushButton* Command1() const { return m_ok; }
    // True from OK until the settings are saved.
    bool isSaving() const { return m_saving; }

signals:
    // Before the window closes: how the save ended.
    void saved(const WriteOutcome& outcome);

private:
    void Command1_Click();

    Settings& m_settings;
    SettingsJobs& m_jobs;
    bool m_saving = false;
    QLabel* m_welcome;
    QLabel* m_willkommen;
    QLabel* m_version;
    QRadioButton* m_english;
    QRadioButton* m_german;
    QPushButton* m_ok;
};
