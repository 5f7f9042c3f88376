#pragma once

#include "ClassTermin.h"
#include "MailSender.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>

class DataAccess;
class ProfileCache;
class Settings;

// The keys of the appointments reminded in this run of the program: the file's path, its
// modification time (a file saved again can be reminded again) and the day reminded for (a
// recurring appointment is reminded on each of its days). Never stored.
class RemindedList {
public:
    static constexpr qsizetype kMaxEntries = 100;

    static QString keyOf(const ClassTermin& appointment, const QDate& day);

    bool contains(const QString& key) const { return m_keys.contains(key); }
    void append(const QString& key) { m_keys.append(key); }
    // Drops the oldest key once the list holds more than kMaxEntries.
    void trim();
    qsizetype size() const { return m_keys.size(); }

private:
    QStringList m_keys; // oldest first
};

// What a due reminder does, by the settings: the window layer shows, plays and sends.
class ReminderActions {
public:
    virtual ~ReminderActions() = default;
    virtual void showWindow(const ClassTermin& appointment) = 0;
    virtual void playSound(const QString& soundFile) = 0;
    virtual void sendMail(const MailMessage& message) = 0;
};

// Decides at each check which appointments of every data folder in the settings' list are
// due for this user now, and reminds each of them once per file state. Each folder is read
// directly; the active folder is never switched, so a failure half-way changes nothing.
class ReminderCheck {
public:
    using Clock = std::function<QDateTime()>;

    ReminderCheck(ProfileCache& profiles, const Settings& settings, ReminderActions& actions,
                  QString login, Clock clock = {});
    ~ReminderCheck();

    // The settings of the checks from now on, in place of those given before; they must
    // outlive those checks.
    void setSettings(const Settings& settings) { m_settings = &settings; }

    void CheckReminders();
    // Reminds the appointment when it is due and was not reminded in this state before; day
    // is the day it is reminded for.
    void CheckAppointmentReminder(const ClassTermin& appointment, const QDate& day);

    const RemindedList& remindedList() const { return m_reminded; }

private:
    void checkAppointment(const ClassTermin& appointment, const QDate& day, const QDateTime& now);
    // Whether the appointment of day is due at now.
    bool isDue(const ClassTermin& appointment, const QDate& day, const QDateTime& now) const;
    void remind(const ClassTermin& appointment, const QDate& day, const QDateTime& now);
    DataAccess& storeOf(const QString& folder);

    ProfileCache& m_profiles;
    const Settings* m_settings;
    ReminderActions& m_actions;
    QString m_login;
    Clock m_clock;
    RemindedList m_reminded;
    // One store per folder, so unchanged files are not parsed again at every check.
    std::map<QString, std::unique_ptr<DataAccess>> m_stores;
};
