#pragma once

#include "sync/Sync.h"

#include <QWidget>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class ProfileCache;
class QPushButton;
class Settings;
class SyncCalendarList;
class WorkerThread;

// The settings window's page of the CalDAV account: server, user, password and how often to
// sync, with a connection test. The password goes to the password store, never into the
// settings file; the store and the server are only ever asked on a thread of the page's own,
// and the account's section is read and written by the settings window's jobs.
class SyncSettingsPage : public QWidget {
    Q_OBJECT

public:
    using ConnectionTest = std::function<SyncResult(const SyncAccount&, const SyncOptions&)>;
    using CalendarLister = std::function<CalendarListing(const SyncAccount&, const SyncOptions&)>;

    explicit SyncSettingsPage(const Settings& settings, QWidget* parent = nullptr);
    // A test still running is cancelled and its answer dropped.
    ~SyncSettingsPage() override;

    // Shows the account as settingsFile holds it; its password is looked up on the page's thread.
    void showSaved(const QString& settingsFile, const SyncSettings& saved);
    void setLanguage(const QString& langCode);

    // What OK writes into the account's section of a settings file: values, for the thread
    // that writes it.
    struct Save {
        QString settingsFile;
        SyncSettings settings;
        bool write = false;     // a shared file gets no section from someone who set up no account
        QStringList newFolders; // made for calendars, and added to the list of data folders
    };
    Save chosen(const QString& settingsFile) const;
    // The same for the settings values about to be saved: the new folders join their list,
    // and the store reads the folder's times in the account's zone.
    Save chosen(Settings& values) const;
    // On the settings' thread.
    static bool write(ProfileCache& profiles, const Save& save, QString* error = nullptr);
    // After the write: remembers what was saved, and hands a new password to the store on the
    // page's thread. done(false) when the store refused it; the page then tells why.
    void saved(const Save& save, std::function<void(bool stored)> done);

    // testConnection unless a test wants otherwise; called on the page's thread.
    void setConnectionTest(ConnectionTest test) { m_test = std::move(test); }
    // listCalendars unless a test wants otherwise; called on the page's thread.
    void setCalendarLister(CalendarLister lister) { m_lister = std::move(lister); }
    bool testing() const { return m_testing; }

private:
    void build();
    void command_sync_test_Click();
    void command_sync_calendars_Click();
    SyncAccount shownAccount() const;
    // Asks the server on the worker with the account shown, the button held until the answer,
    // which take() shows on this thread.
    template <typename Ask, typename Take> void askServer(QPushButton* button, Ask ask, Take take);
    void showTestResult();
    // Where the password is: the desktop's password store, or the private file it fell back to.
    void showPasswordNote();
    QString text(const char* source) const;

    QString m_lang;
    QString m_programDirectory;
    QString m_settingsFile; // the one shown
    SyncSettings m_saved;
    ConnectionTest m_test;
    CalendarLister m_lister;
    bool m_testing = false;
    bool m_passwordEdited = false;
    bool m_passwordLookedUp = false;
    bool m_passwordInFile = false; // no password store of the desktop answered
    QString m_passwordFile;
    QString m_passwordError; // why the store refused the password saved last; null when it took it
    std::optional<SyncResult> m_testResult;

    QLineEdit* text_sync_url;
    QLineEdit* text_sync_user;
    QLineEdit* text_sync_password;
    QComboBox* combo_sync_interval;
    QComboBox* combo_subscription_interval;
    QComboBox* combo_sync_zone;
    QPushButton* command_sync_test;
    QPushButton* command_sync_calendars;
    SyncCalendarList* m_calendars;
    QLabel* label_sync_result;
    QLabel* label_sync_note;
    QList<QLabel*> m_labels;

    std::shared_ptr<std::atomic<bool>> m_cancel;
    std::unique_ptr<WorkerThread> m_worker; // last: gone first, before what its answers use
};
