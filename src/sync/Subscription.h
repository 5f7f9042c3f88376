#pragma once

// Calendars the team subscribes to: an iCalendar feed on the web imported into the data folder,
// so that every copy, older ones too, shows its appointments, and replaced at each refresh by
// what the feed holds then. What each subscription is and what its last refresh brought lies in
// the folder's "Subscriptions" directory, one file each, where the store never looks.

#include "profile/FileAccess.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>
#include <chrono>
#include <optional>

struct Subscription {
    QString id; // the name of its file, made from its name
    QString name;
    QString url; // http or https
    int colorCode = 1;
    // What the feed said of its last version that was imported: a request that names them is
    // answered "unchanged" while it is the same.
    QByteArray etag;
    QByteArray lastModified;
    QStringList files;  // what the last refresh brought, relative to the folder, '/'-separated
    QDateTime imported; // when that was
};

namespace Subscriptions {

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(Subscriptions)
};

inline const QString kDirectory = QStringLiteral("Subscriptions");
// More than the import takes at once is no calendar to subscribe to.
inline constexpr qint64 kMaxFeedBytes = 32 << 20;
inline constexpr int kMaxRedirects = 5;

// The address a feed is fetched from: webcal:// read as https://. Empty, with why in error, for
// anything but a web address with a host.
QString feedUrl(const QString& text, QString* error);
// The file name a subscription of this name gets: its letters and digits, lower case, others as
// '-'; empty when the name has none.
QString idOf(const QString& name);

// The folder's subscriptions by name; a file that cannot be read, or names no feed, is left out.
QList<Subscription> list(const QString& folder, FileAccess& files);
// The one named (by name or id, letter case aside).
std::optional<Subscription> find(const QString& folder, FileAccess& files, const QString& name);
WriteOutcome save(const QString& folder, const Subscription& subscription, FileAccess& files);

// What a feed's answer leads to, decided before anything is written.
struct Decision {
    enum class Kind {
        Unchanged, // nothing to write
        Import,    // its events replace what the last refresh brought
        Refused,   // nothing is written: why says
    };
    Kind kind = Kind::Refused;
    QString why;
};
// status and body of the answer (after redirects), whether the body is iCalendar (parseError
// says why not) and how many events it holds, against what the last refresh brought.
Decision decide(const Subscription& before, long status, const QString& httpError,
                const QString& parseError, int events);
// The files of the last refresh that this one did not bring again: the feed dropped them.
QStringList stale(const QStringList& before, const QStringList& brought);

struct RefreshOptions {
    QDate today;        // invalid: the machine's
    QString timeZoneId; // the folder's wall-clock zone; empty: the machine's
    std::chrono::seconds connectTimeout{15};
    std::chrono::seconds stallTimeout{30};
    std::chrono::seconds deadline{120};
    std::chrono::seconds lockAge{300};
    const std::atomic<bool>* cancel = nullptr;
    FileAccess* files = nullptr; // null: the thread's own
};

struct RefreshResult {
    enum class Exit {
        Unchanged, // the feed is as last time: nothing written
        Updated,
        Refused, // the feed's answer changes nothing: message says why
        Failed,  // no answer, or the folder could not be written
        Busy,    // another copy is writing the folder (a sync or a refresh)
    };
    Exit exit = Exit::Failed;
    QString message; // in the installed language
    int requests = 0;
    int written = 0; // appointments written
    int removed = 0; // appointments the feed no longer has
};

// Asks the feed whether it changed since the last refresh and, when it has, imports it under
// the folder's lock, as one copy at a time may: its appointments carry the subscription's id,
// and those it no longer has go. Blocks: call it from a worker thread.
RefreshResult refresh(const QString& folder, const Subscription& subscription,
                      const RefreshOptions& options = {});

// Ends the subscription named (by name or id): under the folder's lock its appointments go,
// those someone made their own since aside, and then its file.
struct Removed {
    QString message; // what was done, in the installed language
    QString error;   // why nothing was done; empty when it was
};
Removed remove(const QString& folder, const QString& name, FileAccess& files,
               std::chrono::seconds lockAge = std::chrono::seconds(300));

} // namespace Subscriptions
