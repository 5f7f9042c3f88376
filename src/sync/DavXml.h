#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The parts of a WebDAV multistatus answer the sync reads.
namespace DavXml {

struct Property {
    QString text;         // the text inside, trimmed
    QStringList hrefs;    // DAV:href elements inside
    QStringList children; // "{namespace}name" of the elements inside; comp elements as "comp:NAME"
    QStringList inner;    // "{namespace}name" of the elements deeper inside (a privilege's own)
};

struct Response {
    QString href;
    int status = 200;               // of the response itself, for one without propstat
    QHash<QString, Property> found; // "{namespace}name" of each property answered with 200
};

// nullopt when the bytes are no multistatus document. *syncToken: the DAV:sync-token the
// document carries beside its responses (an answer to a sync-collection report).
std::optional<QList<Response>> parseMultistatus(const QByteArray& xml,
                                                QString* syncToken = nullptr);

// An href as the server sent it, percent-encoded once: what it encoded stays byte for byte,
// a character it sent raw that a path cannot hold (a space, a lone '%') is encoded.
QString encodedHref(const QString& href);
// The one spelling of an encoded href that two spellings of the same address share: hex in
// upper case, unreserved characters decoded. Only for matching, never for a request.
QString comparableHref(const QString& href);

inline const QString kDav = QStringLiteral("DAV:");
inline const QString kCalDav = QStringLiteral("urn:ietf:params:xml:ns:caldav");
inline const QString kCalServer = QStringLiteral("http://calendarserver.org/ns/");
inline const QString kAppleIcal = QStringLiteral("http://apple.com/ns/ical/");

inline QString name(const QString& ns, const char* local)
{
    return QLatin1Char('{') + ns + QLatin1Char('}') + QLatin1String(local);
}

} // namespace DavXml
