#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QRadioButton;
class Settings;

// The language window of the very first start: English or German, and with the language the
// date, week and time conventions that go with it.
class form_lang : public QDialog {
    Q_OBJECT

public:
    form_lang(Settings& settings, const QString& version, QWidget* parent = nullptr);

    QRadioButton* option_lang(int index) const { return index == 1 ? m_german : m_english; }
    QPushButton* Command1() const { return m_ok; }

private:
    void Command1_Click();

    Settings& m_settings;
    QLabel* m_welcome;
    QLabel* m_willkommen;
    QLabel* m_version;
    QRadioButton* m_english;
    QRadioButton* m_german;
    QPushButton* m_ok;
};
