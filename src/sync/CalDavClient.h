#pragma once

#include "DavXml.h"
#include "HttpClient.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

// The CalDAV requests of a sync, over one HttpClient. Every failure leaves its reason in
// error(), in the installed language. An href is the path of a member as the server sent it,
// byte for byte but for what it sent raw that must be encoded (a space): that is encoded once.
class CalDavClient {
public:
    explicit CalDavClient(HttpClient& http)
        : m_http(http)
    {
    }

    // The collection's sync token and ctag: one request tells whether anything changed.
    struct State {
        QString token;
        QString ctag;
        bool operator==(const State&) const = default;
    };
    std::optional<State> state(const QUrl& collection);
    // Every event resource of the collection with its ETag.
    std::optional<QHash<QString, QByteArray>> etags(const QUrl& collection);

    // What changed since a sync token (RFC 6578): ETags of members changed or new, members
    // gone, and the token they lead to. An answer the server truncated (507) is followed with
    // the token it gives for the rest until complete. nullopt when the server does not take
    // the token or its parts do not come to an end (error() says why): a full listing is due.
    struct Changes {
        QHash<QString, QByteArray> changed;
        QStringList removed;
        QString token; // of the last, complete part; empty when the server named none
    };
    std::optional<Changes> changesSince(const QUrl& collection, const QString& token);

    struct Fetched {
        QByteArray etag;
        QByteArray body;
    };
    // The bodies of hrefs, a batch at a time; a resource gone meanwhile is left out.
    std::optional<QHash<QString, Fetched>> fetch(const QUrl& collection, const QStringList& hrefs);

    enum class Write { Done, Changed, Failed };
    // PUT with If-Match etag, or If-None-Match: * for an empty etag. Changed: the server holds
    // another version (412). *newEtag: the ETag of what was written, when the server says it.
    Write put(const QUrl& collection, const QString& href, const QByteArray& body,
              const QByteArray& etag, QByteArray* newEtag);
    // DELETE with If-Match etag; a resource already gone counts as done.
    Write remove(const QUrl& collection, const QString& href, const QByteArray& etag);

    // The calendar collection url names, or finds from a server URL: well-known address, the
    // user's principal, its calendar home, calendars with events. Several: candidates lists
    // them and nullopt comes back.
    std::optional<QUrl> discover(const QUrl& url, QStringList* candidates);

    const QString& error() const { return m_error; }

private:
    HttpClient::Response propfind(const QUrl& url, int depth, const QByteArray& props);
    bool answered(const HttpClient::Response& response, const QUrl& url);
    // The address an href of the server names, seen from base; nullopt, with error() saying
    // why, when it is absurd (another scheme, a control character, too long) or on another
    // server than the account's.
    std::optional<QUrl> resolve(const QUrl& base, const QString& href);
    // The href of a member as kept (see above), from one the server sent in an answer about
    // collection; nullopt as for resolve.
    std::optional<QString> memberHref(const QUrl& collection, const QString& href);
    // One part of the changes since token, taken into changes; *next: the token for the rest
    // or, when *truncated stays false, the one the changes lead to.
    bool changesPart(const QUrl& collection, const QString& token, Changes& changes, QString* next,
                     bool* truncated);
    // An ETag that can go back in a header; else error() names it.
    bool usable(const QByteArray& etag, const QUrl& url);
    std::optional<QList<DavXml::Response>> multistatus(const HttpClient::Response& response,
                                                       const QUrl& url);

    HttpClient& m_http;
    QString m_error;
};
