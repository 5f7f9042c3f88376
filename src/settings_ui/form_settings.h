#pragma once

#include <QDialog>
#include <QList>

#include <array>
#include <functional>

class ClassTabs;
class PictureBox;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class Settings;
class SettingsJobs;
class SyncSettingsPage;
class TeamSettingsPage;

// The settings window: six pages of every setting, the data folders with their speed test,
// the sound and e-mail tests and the colours. It speaks the language chosen on its first page
// at once; OK stores and saves, Cancel forgets. What the settings files hold is read when it
// opens and written on OK by jobs, never on the window's thread: the pages wait meanwhile, and
// the window closes once the save succeeded.
class form_settings : public QDialog {
    Q_OBJECT

public:
    // A test e-mail as the window's fields say, in the window's language.
    struct TestMail {
        QString server;
        QString from;
        QString to; // TAB-separated
        QString subject;
        QString langCode;
    };

    // What the window needs of the rest of the program.
    struct Hooks {
        // The speed test of a folder, in the window's language.
        std::function<void(QWidget* parent, const QString& folder, const QString& langCode)>
            testFolder;
        std::function<void(const QString& soundFile)> playSound;
        // done gets the result: empty when the mail was sent. It may come later; the window
        // stays usable meanwhile.
        std::function<void(const TestMail& mail, std::function<void(const QString&)> done)>
            sendTestMail;
        std::function<void(QWidget* parent, const QString& title, const QString& text)> message;
        // Asked before OK writes over another file that holds settings already: answer gets
        // the index of the answer chosen among the captions (see ExistingSettingsAnswer).
        std::function<void(QWidget* parent, const QString& text, const QStringList& captions,
                           std::function<void(int)> answer)>
            askExistingSettings;
    };
    enum ExistingSettingsAnswer { kUseStored, kReplaceStored, kBackToWindow };

    static constexpr int kPages = 7;
    static constexpr int kSyncPage = 5;
    static constexpr int kTeamPage = 6;

    form_settings(Settings& settings, SettingsJobs& jobs, Hooks hooks, QWidget* parent = nullptr);

    // The page shown, 0 to 5.
    int currentPage() const;
    void showPage(int index);
    // Shows the team's page with these rooms added to its list, for the user to note and keep.
    void offerRooms(const QStringList& names);
    // The categories known appointments use: those the team's list lacks are offered.
    void offerCategories(const QStringList& used);

    void command_ok_Click();
    void command_test_email_Click();
    // True while the settings files are read or written.
    bool isBusy() const { return m_busy; }

public slots:
    // Answers of jobs still running are dropped once the window closed.
    void done(int result) override;

private:
    template <typename T> static T* named(T* widget, const char* name)
    {
        widget->setObjectName(QLatin1String(name));
        return widget;
    }
    // A label whose text follows the window's language; with a buddy, it is the buddy's name
    // for a screen reader too.
    static QLabel* textLabel(QList<QLabel*>& labels, QWidget* parent, const char* name,
                             const char* source, QWidget* buddy = nullptr);

    void Form_Load();
    void loadFromFiles();
    void setBusy(bool busy);
    void buildCommonPage(QFrame* page);
    void buildFoldersPage(QFrame* page);
    void buildDisplayPage(QFrame* page);
    void buildReminderPage(QFrame* page);
    void buildColorsPage(QFrame* page);
    void fillFromSettings();
    void SetLanguageTexts();
    void enableReminderControls();
    void showColor(int row);
    QString text(const char* source) const;
    void tell(const QString& text);
    // Asked only when OK would write over another file that holds settings; otherwise
    // kReplaceStored, as nothing is there to lose.
    void askAboutExistingSettings(const QString& chosenPath,
                                  std::function<void(ExistingSettingsAnswer)> answer);
    void takeStoredSettings(const QString& chosenPath);
    void saveWindowSettings(const QString& chosenPath);
    void takePointerFields(const QString& chosenPath);
    void tellNotSaved();

    void command_browse_settings_Click();
    void command_add_folder_Click();
    void Command_del_folder_Click();
    void command_test_Click();
    void command_browse_sound_Click();
    void command_browse_color_Click(int row);
    void command_default_Click();

    Settings& m_settings;
    SettingsJobs& m_jobs;
    Hooks m_hooks;
    bool m_busy = false;
    bool m_closed = false;
    QString m_lang;       // of the window, until OK
    QString m_loadedPath; // the settings file this copy used when the window opened

    PictureBox* pic_tab;
    ClassTabs* tabs;
    std::array<QFrame*, kPages> frame_settings{};
    QList<QLabel*> m_labels; // every label with its source text in the property "source"

    QComboBox* combo_language;
    QComboBox* combo_firstday;
    QComboBox* combo_kw;
    QComboBox* combo_time_format;
    QComboBox* combo_date_format;
    QCheckBox* check_minimize;
    QLineEdit* text_settings;
    QPushButton* command_browse_settings;
    QListWidget* list_folders;
    QPushButton* command_add_folder;
    QPushButton* Command_del_folder;
    QPushButton* command_test;
    QComboBox* combo_start_time;
    QComboBox* combo_end_time;
    std::array<QCheckBox*, 7> check_week_day{};
    QCheckBox* check_startweek;
    QComboBox* combo_grid;
    QCheckBox* check_pos;
    QComboBox* combo_refresh;
    QCheckBox* check_reminder_window;
    QCheckBox* check_desktop_notification;
    QCheckBox* check_play_sound;
    QLineEdit* text_sound_file;
    QPushButton* command_browse_sound;
    QPushButton* command_play_sound;
    QCheckBox* check_send_email;
    QLineEdit* text_smtp;
    QLineEdit* text_from;
    QLineEdit* text_to;
    QLineEdit* text_subject;
    QPushButton* command_test_email;
    std::array<QLineEdit*, 14> text_color{};
    std::array<qint64, 14> m_colors{};
    SyncSettingsPage* m_syncPage;
    TeamSettingsPage* m_teamPage;
    QStringList m_offeredRooms;
    QPushButton* command_default;
    QPushButton* command_ok;
    QPushButton* command_cancel;
};
