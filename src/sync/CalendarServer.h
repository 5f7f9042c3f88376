#pragma once

#include "sync/Sync.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

// What a sync asks of the server that holds the calendar. The CalDAV client answers over HTTP;
// a test may answer from memory. Every failure leaves its reason in error(), in the installed
// language. An href is the path of a member as the server sent it.
class CalendarServer {
public:
    virtual ~CalendarServer() = default;

    // The collection's sync token and ctag: one request tells whether anything changed.
    struct State {
        QString token;
        QString ctag;
        bool writable = true; // false: the server lets the user only read the calendar
        bool operator==(const State&) const = default;
    };
    virtual std::optional<State> state(const QUrl& collection) = 0;
    // Every event resource of the collection with its ETag.
    virtual std::optional<QHash<QString, QByteArray>> etags(const QUrl& collection) = 0;

    // What changed since a sync token (RFC 6578): ETags of members changed or new, members
    // gone, and the token they lead to. nullopt when the server does not take the token or
    // its answer does not come to an end (error() says why): a full listing is due.
    struct Changes {
        QHash<QString, QByteArray> changed;
        QStringList removed;
        QString token; // of the last, complete part; empty when the server named none
    };
    virtual std::optional<Changes> changesSince(const QUrl& collection, const QString& token) = 0;

    struct Fetched {
        QByteArray etag;
        QByteArray body;
    };
    // The bodies of hrefs; a resource gone meanwhile is left out.
    virtual std::optional<QHash<QString, Fetched>> fetch(const QUrl& collection,
                                                         const QStringList& hrefs) = 0;

    enum class Write { Done, Changed, Failed };
    // PUT with If-Match etag, or If-None-Match: * for an empty etag. Changed: the server holds
    // another version (412). *newEtag: the ETag of what was written, when the server says it.
    virtual Write put(const QUrl& collection, const QString& href, const QByteArray& body,
                      const QByteArray& etag, QByteArray* newEtag) = 0;
    // DELETE with If-Match etag; a resource already gone counts as done.
    virtual Write remove(const QUrl& collection, const QString& href, const QByteArray& etag) = 0;

    // The calendar collection url names, or finds from a server URL. Several: candidates
    // lists them and nullopt comes back.
    virtual std::optional<QUrl> discover(const QUrl& url, QStringList* candidates) = 0;

    // How many requests were made so far.
    virtual int requests() const = 0;
    virtual const QString& error() const = 0;
};

// runSync with the server given instead of the account's over HTTP; the account's url names
// the collection as usual.
SyncResult runSyncWith(const QString& dataFolder, const SyncAccount& account,
                       const SyncOptions& options, CalendarServer& server);
