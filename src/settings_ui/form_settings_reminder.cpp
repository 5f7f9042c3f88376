// The settings window's reminder page: the notification window, the desktop's notification,
// the sound with its test and the e-mail with its test message.
#include "settings_ui/form_settings.h"

#include "calendar/Formats.h"
#include "profile/TextTools.h"
#include "settings/Settings.h"
#include "store/ApiLoginName.h"
#include "ui/ApiOpenSave.h"

#include <QAudioDevice>
#include <QCheckBox>
#include <QDateTime>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMediaDevices>
#include <QPointer>
#include <QPushButton>

void form_settings::buildReminderPage(QFrame* page)
{
    auto* grid = new QGridLayout(page);
    check_reminder_window = named(new QCheckBox(page), "check_reminder_window");
    check_desktop_notification = named(new QCheckBox(page), "check_desktop_notification");
    check_play_sound = named(new QCheckBox(page), "check_play_sound");
    grid->addWidget(check_reminder_window, 0, 0, 1, 3);
    grid->addWidget(check_desktop_notification, 1, 0, 1, 3);
    grid->addWidget(check_play_sound, 2, 0, 1, 3);
    text_sound_file = named(new QLineEdit(page), "text_sound_file");
    command_browse_sound = named(new QPushButton(page), "command_browse_sound");
    command_play_sound = named(new QPushButton(page), "command_play_sound");
    grid->addWidget(textLabel(m_labels, page, "label_sound_file",
                              QT_TRANSLATE_NOOP("form_settings", "Soundfile:"), text_sound_file),
                    3, 0);
    grid->addWidget(text_sound_file, 3, 1, 1, 2);
    auto* soundButtons = new QHBoxLayout;
    soundButtons->addWidget(command_browse_sound);
    soundButtons->addWidget(command_play_sound);
    soundButtons->addStretch(1);
    grid->addLayout(soundButtons, 4, 1, 1, 2);
    check_send_email = named(new QCheckBox(page), "check_send_email");
    grid->addWidget(check_send_email, 5, 0, 1, 3);
    text_smtp = named(new QLineEdit(page), "text_smtp");
    text_from = named(new QLineEdit(page), "text_from");
    text_to = named(new QLineEdit(page), "text_to");
    text_subject = named(new QLineEdit(page), "text_subject");
    grid->addWidget(textLabel(m_labels, page, "label_smtp",
                              QT_TRANSLATE_NOOP("form_settings", "SMTP Server:"), text_smtp),
                    6, 0);
    grid->addWidget(text_smtp, 6, 1, 1, 2);
    grid->addWidget(textLabel(m_labels, page, "label_from_to",
                              QT_TRANSLATE_NOOP("form_settings", "From / To:")),
                    7, 0);
    grid->addWidget(text_from, 7, 1);
    grid->addWidget(text_to, 7, 2);
    grid->addWidget(textLabel(m_labels, page, "label_subject",
                              QT_TRANSLATE_NOOP("form_settings", "Subject:"), text_subject),
                    8, 0);
    grid->addWidget(text_subject, 8, 1, 1, 2);
    command_test_email = named(new QPushButton(page), "command_test_email");
    grid->addWidget(command_test_email, 9, 1, Qt::AlignLeft);
    grid->setRowStretch(10, 1);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);
    connect(check_play_sound, &QCheckBox::toggled, this, &form_settings::enableReminderControls);
    connect(check_send_email, &QCheckBox::toggled, this, &form_settings::enableReminderControls);
    connect(command_browse_sound, &QPushButton::clicked, this,
            &form_settings::command_browse_sound_Click);
    connect(command_play_sound, &QPushButton::clicked, this, [this] {
        // The player is silent about a sound it cannot play; the test button tells why.
        const QString file = text_sound_file->text();
        if (QMediaDevices::audioOutputs().isEmpty())
            tell(text(QT_TRANSLATE_NOOP("form_settings",
                                        "There is no audio device to play the sound on.")));
        else if (!QFileInfo(file).isFile())
            tell(text(QT_TRANSLATE_NOOP("form_settings", "The sound file cannot be found.")));
        else if (m_hooks.playSound)
            m_hooks.playSound(file);
    });
    connect(command_test_email, &QPushButton::clicked, this,
            &form_settings::command_test_email_Click);
}

void form_settings::enableReminderControls()
{
    const bool sound = check_play_sound->isChecked();
    for (QWidget* control :
         std::initializer_list<QWidget*>{text_sound_file, command_play_sound, command_browse_sound})
        control->setEnabled(sound);
    const bool email = check_send_email->isChecked();
    for (QWidget* control : std::initializer_list<QWidget*>{text_smtp, text_from, text_to,
                                                            text_subject, command_test_email})
        control->setEnabled(email);
}

void form_settings::command_browse_sound_Click()
{
    QString filter;
    AddFileFilter(filter, text(QT_TRANSLATE_NOOP("form_settings", "Sound files (*.WAV)")),
                  QStringLiteral("*.WAV"));
    ShowFileDialog(this, filter, 1, {}, QString(), QString(),
                   text(QT_TRANSLATE_NOOP("form_settings", "Select sound file:")), QString(), true,
                   [this](const QString& path, QFileDialog::Options) {
                       if (!path.isEmpty())
                           text_sound_file->setText(path);
                   });
}

void form_settings::command_test_email_Click()
{
    if (!m_hooks.sendTestMail)
        return;
    const QDateTime now = QDateTime::currentDateTime();
    QString subject = ReplaceText(text_subject->text(), QStringLiteral("%date%"),
                                  FormatDate(now.date(), m_settings.DateFormat()));
    subject =
        ReplaceText(subject, QStringLiteral("%time%"),
                    FormatTime(TimeOfDay::fromHourMinute(now.time().hour(), now.time().minute()),
                               m_settings.TimeFormat()));
    subject = ReplaceText(subject, QStringLiteral("%user%"), GetLoginName());
    // Several addresses are written as for the reminders, separated by commas.
    const TestMail mail{text_smtp->text(), text_from->text(),
                        QString(text_to->text()).replace(QLatin1Char(','), QLatin1Char('\t')),
                        subject, m_lang};
    command_test_email->setEnabled(false); // one test at a time; the rest stays usable
    QPointer<form_settings> window(this);
    m_hooks.sendTestMail(mail, [window](const QString& result) {
        if (!window)
            return; // closed meanwhile: nobody to tell
        window->enableReminderControls();
        window->tell(result.isEmpty()
                         ? window->text(QT_TRANSLATE_NOOP("form_settings",
                                                          "The email was sent. Please check your "
                                                          "email-account for the test message."))
                         : window->text(QT_TRANSLATE_NOOP("form_settings",
                                                          "Email could not be sent.\r\n"
                                                          "Please check your email-settings.")) +
                               QStringLiteral("\r\n\r\n") + result);
    });
}
