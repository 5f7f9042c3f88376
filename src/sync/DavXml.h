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
};

struct Response {
    QString href;
    int status = 200;               // of the response itself, for one without propstat
    QHash<QString, Property> found; // "{namespace}name" of each property answered with 200
};

// nullopt when the bytes are no multistatus document.
std::optional<QList<Response>> parseMultistatus(const QByteArray& xml);

inline const QString kDav = QStringLiteral("DAV:");
inline const QString kCalDav = QStringLiteral("urn:ietf:params:xml:ns:caldav");
inline const QString kCalServer = QStringLiteral("http://calendarserver.org/ns/");

inline QString name(const QString& ns, const char* local)
{
    return QLatin1Char('{') + ns + QLatin1Char('}') + QLatin1String(local);
}

} // namespace DavXml
