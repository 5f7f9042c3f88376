#include "settings_ui/form_lang.h"

#include "calendar/Formats.h"
#include "service/SettingsJobs.h"
#include "settings/Settings.h"
#include "ui/MousePointer.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

form_lang::form_lang(Settings& settings, SettingsJobs& jobs, const QString& version,
                     QWidget* parent)
    : QDialog(parent)
    , m_settings(settings)
    , m_jobs(jobs)
    , m_welcome(new QLabel(QStringLiteral("Welcome to Norvane4. Please select your language:")))
    , m_willkommen(
          new QLabel(QStringLiteral("Willkommen zu Norvane4. Bitte wählen Sie Ihre Sprache:")))
    , m_version(new QLabel(version))
    , m_english(new QRadioButton(QStringLiteral("English")))
    , m_german(new QRadioButton(QStringLiteral("Deutsch")))
    , m_ok(new QPushButton(QStringLiteral("OK")))
{
    setWindowTitle(QStringLiteral("Norvane"));
    m_english->setChecked(true);
    m_version->setAlignment(Qt::AlignRight);
    m_version->setStyleSheet(QStringLiteral("color: gray"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_welcome);
    layout->addWidget(m_willkommen);
    layout->addSpacing(8);
    layout->addWidget(m_english);
    layout->addWidget(m_german);
    layout->addSpacing(8);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_version, 1);
    bottom->addWidget(m_ok);
    layout->addLayout(bottom);

    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &form_lang::Command1_Click);
}

void form_lang::Command1_Click()
{
    if (m_saving)
        return;
    if (m_german->isChecked()) {
        m_settings.setLangCode(QStringLiteral("de"));
        m_settings.setDateFormat(DefaultDateFormat(m_settings.LangCode()));
        m_settings.setFirstWeekday(2);
        m_settings.setFirstCW(2);
        m_settings.setTimeFormat(QStringLiteral("24h"));
    } else {
        m_settings.setLangCode(QStringLiteral("en"));
        m_settings.setDateFormat(DefaultDateFormat(m_settings.LangCode()));
        m_settings.setFirstWeekday(1);
        m_settings.setFirstCW(1);
        m_settings.setTimeFormat(QStringLiteral("12h"));
    }
    m_saving = true;
    m_ok->setEnabled(false);
    SetMousePointer(11);
    m_jobs.save(this, m_settings, [this](const WriteOutcome& outcome) {
        m_saving = false;
        SetMousePointer(0);
        emit saved(outcome);
        accept();
    });
}
