#pragma once

#include "remind/MailSender.h"
#include "store/ClassTermin.h"

#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>

class DataAccess;
class ProfileCache;
class Settings;

// The keys of the appointments reminded on this machine: the file's path, its modification
// time (a file saved again can be reminded again) and the day reminded for (a recurring
// appointment is reminded on each of its days); for a file of a split series its SeriesId
// and reminder time instead of the file. A key is kept until its day is over, however
// many there are: one forgotten earlier would be reminded again.
class RemindedList {
public:
    static QString keyOf(const ClassTermin& appointment, const QDate& day);
    // The keys noted once it is reminded on day: keyOf's, and of a recurring appointment in one
    // file also the key its occurrence has once the series is split, so a split never reminds
    // of it again.
    static QStringList keysNoted(const ClassTermin& appointment, const QDate& day);

    bool contains(const QString& key) const { return m_dayOfKey.contains(key); }
    void append(const QString& key, const QDate& day) { m_dayOfKey.insert(key, day); }
    // Forgets the keys of the days before today: those appointments have begun. Returns how
    // many went.
    qsizetype dropDaysBefore(const QDate& today);
    qsizetype size() const { return m_dayOfKey.size(); }

    // One line per key: its day, a blank and the key percent-encoded, so no path can break a
    // line. A line that does not read so is skipped: a damaged file forgets, never fails.
    QByteArray toBytes() const;
    static RemindedList fromBytes(const QByteArray& bytes);

private:
    QHash<QString, QDate> m_dayOfKey;
};

// What a due reminder does, by the settings: the window layer shows, plays and sends.
class ReminderActions {
public:
    virtual ~ReminderActions() = default;
    // Shows the reminder of the appointment on day, in a window or a notification of the
    // desktop: called when either is on, the window layer decides which.
    virtual void showReminder(const ClassTermin& appointment, const QDate& day) = 0;
    virtual void playSound(const QString& soundFile) = 0;
    virtual void sendMail(const MailMessage& message) = 0;
};

// Decides at each check which appointments of every data folder in the settings' list are
// due for this user now, and reminds each of them once per file state. Each folder is read
// directly; the active folder is never switched, so a failure half-way changes nothing.
//
// What was reminded is kept in kRemindedFile beside the pointer file (the machine's own, never
// the shared folder), read at the first check and written whenever it changes, so a restart
// does not remind of it again.
//
// A lead time may reach up to seven days back, but the check runs every minute, often on a
// slow share: today (and tomorrow from 23:00, for lead times of up to an hour) is read at
// every check, the seven days ahead only every kLookAheadSeconds. What that look ahead found
// to remind of is kept, and once one of them falls due its day alone is read again, so the
// reminder comes on time and from the file as it is then.
class ReminderCheck {
public:
    using Clock = std::function<QDateTime()>;

    static constexpr int kLookAheadDays = ClassTermin::kMaxRemindMinutes / (24 * 60);
    static constexpr qint64 kLookAheadSeconds = 10 * 60;
    static constexpr char kRemindedFile[] = "Reminded.txt";
    // Far more than a week of reminders; anything past it is not read.
    static constexpr qint64 kMaxRemindedBytes = 1024 * 1024;

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
    static QString remindedFilePath(const Settings& settings);

private:
    struct Folder;

    void checkFolder(Folder& folder, const QDateTime& now);
    QList<QDate> daysToRead(const Folder& folder, const QDateTime& now, bool lookAhead) const;
    void noteAhead(Folder& folder, const QDate& day, const QList<TerminPtr>& appointments) const;
    void checkAppointment(const ClassTermin& appointment, const QDate& day, const QDateTime& now);
    void remind(const ClassTermin& appointment, const QDate& day, const QDateTime& now);
    Folder& folderOf(const QString& path);
    // Reads the kept keys at the first call and forgets those of the days before now's.
    void recallReminded(const QDate& today);
    void keepReminded();

    ProfileCache& m_profiles;
    const Settings* m_settings;
    ReminderActions& m_actions;
    QString m_login;
    Clock m_clock;
    RemindedList m_reminded;
    bool m_remindedRead = false;
    bool m_remindedChanged = false; // not yet in the file
    // One per folder, so unchanged files are not parsed again at every check.
    std::map<QString, std::unique_ptr<Folder>> m_folders;
};
