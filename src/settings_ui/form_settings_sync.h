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
class QPushButton;
class Settings;
class WorkerThread;

// The settings window's page of the CalDAV account: server, user, password and how often to
// sync, with a connection test. The password goes to the password store, never into the
// settings file; the store and the server are only ever asked on a thread of the page's own.
class SyncSettingsPage : public QWidget {
    Q_OBJECT

public:
    using ConnectionTest = std::function<SyncResult(const SyncAccount&, const SyncOptions&)>;

    // Shows the account of the settings file settings uses now.
    explicit SyncSettingsPage(const Settings& settings, QWidget* parent = nullptr);
    // A test still running is cancelled and its answer dropped.
    ~SyncSettingsPage() override;

    void setLanguage(const QString& langCode);
    // Writes server, user and interval into the account's section of settingsFile, and hands
    // a new password to the store on a thread of its own (QThreadPool's global pool).
    bool save(const QString& settingsFile, QString* error = nullptr);

    // testConnection unless a test wants otherwise; called on the page's thread.
    void setConnectionTest(ConnectionTest test) { m_test = std::move(test); }
    bool testing() const { return m_testing; }

signals:
    void testFinished();

private:
    void build();
    void fill(const SyncSettings& saved);
    void command_sync_test_Click();
    void showTestResult();
    QString text(const char* source) const;

    QString m_lang;
    QString m_programDirectory;
    QString m_settingsFile; // the one shown
    SyncSettings m_saved;
    ConnectionTest m_test;
    bool m_testing = false;
    bool m_passwordEdited = false;
    bool m_passwordLookedUp = false;
    std::optional<SyncResult> m_testResult;

    QLineEdit* text_sync_url;
    QLineEdit* text_sync_user;
    QLineEdit* text_sync_password;
    QComboBox* combo_sync_interval;
    QPushButton* command_sync_test;
    QLabel* label_sync_result;
    QList<QLabel*> m_labels;

    std::shared_ptr<std::atomic<bool>> m_cancel;
    std::unique_ptr<WorkerThread> m_worker; // last: gone first, before what its answers use
};
