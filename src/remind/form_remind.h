#pragma once

#include <QDialog>

class ClassTermin;
class QComboBox;
class QLabel;
class QTimer;
class Settings;
class SoundPlayer;

// The window of one due appointment: its date, time, owner and text, a small animation, and
// the choice to dismiss it or have it come back after 5, 15, 30 or 60 minutes. Modeless; it
// deletes itself when closed. A screen reader meets it as a dialog whose description is the
// appointment, announced as an alert when it shows; Enter answers OK.
class form_remind : public QDialog {
    Q_OBJECT

public:
    // Delays of the choices 1 to 4, in seconds.
    static constexpr int kDelays[] = {300, 900, 1800, 3600};
    static constexpr int kFrames = 3;

    form_remind(const Settings& settings, SoundPlayer& sound, QWidget* parent = nullptr);

    // The window's title in the language of langCode.
    static QString title(const QString& langCode);

    void ShowData(const ClassTermin& appointment);

    // Seconds until the window comes back; 0 when no delay runs.
    int countdown() const { return m_countdown; }
    // The animation frame shown, 0 to 2.
    int frame() const { return m_frame; }

    void command_ok_Click();
    void timer_again_Timer();
    void timer_anim_Timer();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Form_Load();
    QString text(const char* source) const;

    const Settings& m_settings;
    SoundPlayer& m_sound;
    QLabel* m_date;
    QLabel* m_time;
    QLabel* m_producer;
    QLabel* m_text;
    QLabel* m_pic;
    QComboBox* m_choice;
    QTimer* m_again;
    QTimer* m_anim;
    QPixmap m_frames[kFrames];
    int m_countdown = 0;
    int m_frame = 0;
};
