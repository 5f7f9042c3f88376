#include "sync/DavXml.h"

#include <QUrl>
#include <QXmlStreamReader>

namespace DavXml {

namespace {

// No answer of a CalDAV server nests deeper inside a property.
constexpr int kMaxPropertyDepth = 32;

QString qualified(const QXmlStreamReader& xml)
{
    return QLatin1Char('{') + xml.namespaceUri().toString() + QLatin1Char('}') +
           xml.name().toString();
}

int statusOf(const QString& line)
{
    // "HTTP/1.1 200 OK"
    return line.section(u' ', 1, 1).toInt();
}

// Reads one property element to its end.
Property readProperty(QXmlStreamReader& xml)
{
    Property property;
    int depth = 1;
    QString text;
    while (depth > 0 && !xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartElement: {
            if (++depth > kMaxPropertyDepth) {
                xml.raiseError(QStringLiteral("nested too deep"));
                break;
            }
            const QString name = qualified(xml);
            if (depth == 2)
                property.children
                    << (xml.name() == QLatin1String("comp")
                            ? QStringLiteral("comp:") +
                                  xml.attributes().value(QLatin1String("name")).toString()
                            : name);
            else
                property.inner << name;
            if (name == DavXml::name(kDav, "href"))
                property.hrefs << xml.readElementText().trimmed(), --depth;
            break;
        }
        case QXmlStreamReader::EndElement:
            --depth;
            break;
        case QXmlStreamReader::Characters:
            text += xml.text();
            break;
        default:
            break;
        }
    }
    property.text = text.trimmed();
    return property;
}

void readPropstat(QXmlStreamReader& xml, Response& response)
{
    QHash<QString, Property> props;
    int status = 200;
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("prop")) {
            while (xml.readNextStartElement()) {
                const QString name = qualified(xml);
                props.insert(name, readProperty(xml));
            }
        } else if (xml.name() == QLatin1String("status")) {
            status = statusOf(xml.readElementText());
        } else {
            xml.skipCurrentElement();
        }
    }
    if (status == 200)
        response.found.insert(props);
}

bool isHex(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// What an href may hold unencoded: a path's characters, and those of a query or a scheme and
// host, which an absolute href carries before its path.
bool allowedRaw(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           QByteArrayView("-._~!$&'()*+,;=:@/?#[]").contains(c);
}

} // namespace

QString encodedHref(const QString& href)
{
    const QByteArray bytes = href.toUtf8();
    QByteArray encoded;
    encoded.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        const bool escape =
            c == '%' && i + 2 < bytes.size() && isHex(bytes[i + 1]) && isHex(bytes[i + 2]);
        if (allowedRaw(c) || escape)
            encoded += c;
        else
            encoded += '%' + QByteArray(1, c).toHex().toUpper();
    }
    return QString::fromLatin1(encoded);
}

QString comparableHref(const QString& href)
{
    return QString::fromLatin1(QUrl::fromEncoded(encodedHref(href).toLatin1()).toEncoded());
}

std::optional<QList<Response>> parseMultistatus(const QByteArray& bytes, QString* syncToken)
{
    QXmlStreamReader xml(bytes);
    // A document type could declare entities that grow on expansion: no answer needs one.
    while (!xml.atEnd() && xml.readNext() != QXmlStreamReader::StartElement)
        if (xml.tokenType() == QXmlStreamReader::DTD)
            return std::nullopt;
    if (xml.tokenType() != QXmlStreamReader::StartElement ||
        qualified(xml) != name(kDav, "multistatus"))
        return std::nullopt;
    QList<Response> responses;
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("sync-token") && syncToken) {
            *syncToken = xml.readElementText().trimmed();
            continue;
        }
        if (xml.name() != QLatin1String("response")) {
            xml.skipCurrentElement();
            continue;
        }
        Response response;
        while (xml.readNextStartElement()) {
            if (xml.name() == QLatin1String("href"))
                response.href = xml.readElementText().trimmed();
            else if (xml.name() == QLatin1String("propstat"))
                readPropstat(xml, response);
            else if (xml.name() == QLatin1String("status"))
                response.status = statusOf(xml.readElementText());
            else
                xml.skipCurrentElement();
        }
        responses << response;
    }
    if (xml.hasError())
        return std::nullopt;
    return responses;
}

} // namespace DavXml
