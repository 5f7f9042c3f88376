#pragma once

// Two-way sync of a data folder with one calendar collection on a CalDAV server. Runs on the
// caller's thread and blocks while it talks to the server: call it from a worker thread.

#include <QDate>
#include <QString>
#include <QStringList>

#include <atomic>
#include <chrono>

class FileAccess;
class ProfileCache;

struct SyncAccount {
    // The calendar collection itself, or any URL of the server: then the collection is found.
    QString url;
    QString user;
    QString password; // never written anywhere by the library
};

struct SyncOptions {
    int pastDays = 365;   // the folder's one-time appointments looked at, back from today
    int futureDays = 730; // ... and ahead
    QDate today;          // the day they count from; invalid: the machine's today
    // When the sync would delete more than half of one side (and more than five) it stops
    // unless one of these says what to do, for this run: delete them, or bring them back from
    // the other side (this one wins when both are set).
    bool allowMassDelete = false;
    bool restoreDeleted = false;
    // Nothing of the folder is sent: the calendar is synced down only. A calendar the server
    // lets the user only read is synced so whatever this says.
    bool readOnly = false;
    // The calendar's zone (an IANA name): the folder's wall-clock times are read and written
    // in it, whichever zone this process runs in; empty: the machine's.
    QString timeZoneId;
    // The language of what the sync writes into the folder (a conflict copy's mark), as the
    // settings name it; empty: the translations this process has installed.
    QString langCode;
    // Set from another thread: the sync stops between two items, the record kept whole.
    const std::atomic<bool>* cancel = nullptr;
    std::chrono::seconds connectTimeout{15};
    // A server that sends nothing for this long ends the sync with a message.
    std::chrono::seconds stallTimeout{30};
    // ... and one whose answer takes longer than this, however steadily it trickles.
    std::chrono::seconds requestDeadline{120};
    // ... and the whole sync, however each request keeps within the limits above: a server
    // that trickles every answer cannot keep it going. What was done is kept for the next.
    std::chrono::seconds syncDeadline{600};
    // A lock of another sync older than this is taken over.
    std::chrono::seconds lockAge{300};
    // How long to wait for another sync of the folder before giving up.
    std::chrono::seconds lockWait{0};
    // What the data folder is read and written through; null: the thread's own file access.
    // A counting one tells what a sync costs on a share.
    FileAccess* files = nullptr;
};

struct SyncResult {
    enum class Exit {
        Done,       // 0
        Failed,     // 1: server unreachable, login refused, nonsense answer, folder trouble
        MassDelete, // 3: the guard stopped it before anything was deleted
        Busy,       // another sync of the folder holds the lock (also exit 1)
        Cancelled,
    };
    Exit exit = Exit::Done;
    QString error; // why it did not finish, in the installed language

    int sent = 0;         // events created or changed on the server
    int received = 0;     // appointment files written from server events
    int deletedHere = 0;  // appointment files deleted because the event went
    int deletedThere = 0; // events deleted because the appointment went
    int conflicts = 0;    // items changed on both sides: both versions kept
    int retryLater = 0;   // events the server changed during the sync: taken next time
    int requests = 0;     // HTTP requests made
    // Where the guard stopped it: how many it would delete of how many on that side.
    struct MassDeletion {
        int count = 0;
        int of = 0;
        bool onServer = false; // events of the server; else appointment files of the folder
    };
    MassDeletion massDeletion;
    QString collection; // the collection synced with
    // Several calendars were found and none named: their URLs, for the user to pick one.
    QStringList candidates;
    // What the user should know beside the counts, each told at one sync only: files not sent
    // because they hold no appointment, entries of the sync record that were ignored.
    QStringList notes;
    // The files whose changes stayed here because the calendar is read-only, inside the
    // folder; they are kept until the server changes their event.
    QStringList notSent;

    bool ok() const { return exit == Exit::Done; }
    // The summary line of a finished sync and its notes, each on a line of its own, in the
    // installed language.
    QString summary() const;
};

// The syncs of several calendars, each named by its label, as one: the counts added up, the
// exit and error of the first that failed, the notes and error named by their label. One
// result is itself.
SyncResult combinedResult(const QList<std::pair<QString, SyncResult>>& results);

// Syncs dataFolder (ending in a separator) with the account's collection.
SyncResult runSync(const QString& dataFolder, const SyncAccount& account,
                   const SyncOptions& options = {});

// Reaches the server, logs in and finds the collection; exit Done with the collection's URL.
SyncResult testConnection(const SyncAccount& account, const SyncOptions& options = {});

// A calendar of the account as its server lists it.
struct ServerCalendar {
    QString url;
    QString name;          // its display name; empty when the server tells none
    QString color;         // as "#rrggbb"; empty when the server tells none
    bool readOnly = false; // the server lets the user only read it
    bool operator==(const ServerCalendar&) const = default;
};
struct CalendarListing {
    bool ok = false;
    QString error; // why not, in the installed language
    QList<ServerCalendar> calendars;
};
// The calendars for events of the account: the one its URL names, else every one of the
// user's calendar home.
CalendarListing listCalendars(const SyncAccount& account, const SyncOptions& options = {});

// A calendar of the account and the data folder of the list it is synced with.
struct SyncPair {
    QString url;           // the calendar
    QString folder;        // a data folder of the list; empty: the active one
    bool readOnly = false; // synced down only
    QString name;          // the calendar's name as its server told it, for the user
    bool operator==(const SyncPair&) const = default;
    // The calendar url names with the active folder: what the account's URL alone says.
    static SyncPair asEver(const QString& url) { return {url, {}, false, {}}; }
};

// The account's own section of the settings file: server and user, never the password.
struct SyncSettings {
    QString url;
    QString user;
    int pastDays = 365;
    int futureDays = 730;
    int intervalMinutes = 0; // how often the desktop program syncs on its own; 0: never
    // The calendar's zone; empty in a settings file of before it was asked for: the machine's.
    QString timeZone;
    // How often the desktop program refreshes the data folder's subscriptions; 0: never
    // ("[Subscriptions] RefreshMinutes").
    int subscriptionMinutes = 60;
    // The calendars synced, each with its folder ("Calendar<n>Url", "...Folder", "...ReadOnly",
    // "...Name" and "CalendarCount"). Without them the account's URL with the active folder,
    // as ever: one such pair is written as the account's URL alone.
    QList<SyncPair> pairs;
};
SyncSettings readSyncSettings(ProfileCache& profiles, const QString& settingsFile);
bool writeSyncSettings(ProfileCache& profiles, const QString& settingsFile,
                       const SyncSettings& settings, QString* error);
