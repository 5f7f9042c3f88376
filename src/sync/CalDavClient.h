#pragma once

#include "sync/CalendarServer.h"
#include "sync/DavXml.h"
#include "sync/HttpClient.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

// The CalDAV requests of a sync, over one HttpClient. An href is kept byte for byte as the
// server sent it but for what it sent raw that must be encoded (a space): that is encoded once.
class CalDavClient : public CalendarServer {
public:
    explicit CalDavClient(HttpClient& http)
        : m_http(http)
    {
    }

    std::optional<State> state(const QUrl& collection) override;
    std::optional<QHash<QString, QByteArray>> etags(const QUrl& collection) override;
    // An answer the server truncated (507) is followed with the token it gives for the rest
    // until complete.
    std::optional<Changes> changesSince(const QUrl& collection, const QString& token) override;
    // A batch at a time.
    std::optional<QHash<QString, Fetched>> fetch(const QUrl& collection,
                                                 const QStringList& hrefs) override;
    Write put(const QUrl& collection, const QString& href, const QByteArray& body,
              const QByteArray& etag, QByteArray* newEtag) override;
    Write remove(const QUrl& collection, const QString& href, const QByteArray& etag) override;
    // From a server URL: well-known address, the user's principal, its calendar home,
    // calendars with events.
    std::optional<QUrl> discover(const QUrl& url, QStringList* candidates) override;
    // The calendar url names, or, from a server URL, the user's calendars for events.
    struct Found {
        QUrl url;
        ServerCalendar calendar; // its url as url's text
    };
    std::optional<QList<Found>> calendars(const QUrl& url);

    // What a response of a PROPFIND tells of a calendar: its name, colour and whether the
    // user may only read it (its url left empty).
    static ServerCalendar calendarOf(const DavXml::Response& response);
    // Whether the response names a calendar that takes events.
    static bool holdsEvents(const DavXml::Response& response);

    int requests() const override { return m_http.requests(); }
    const QString& error() const override { return m_error; }

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
