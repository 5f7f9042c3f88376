#include "sync/CalDavClient.h"

#include "sync/SyncText.h"

#include <QRegularExpression>

#include <algorithm>

namespace {

const QByteArray kXmlType = "application/xml; charset=utf-8";
constexpr int kFetchBatch = 200;
// A server that truncates its changes gives them in parts; more than this and a full listing
// is cheaper than following it.
constexpr int kMaxChangeParts = 64;

QByteArray propfindBody(const QByteArray& props)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
           "<d:propfind xmlns:d=\"DAV:\" xmlns:c=\"urn:ietf:params:xml:ns:caldav\" "
           "xmlns:cs=\"http://calendarserver.org/ns/\" xmlns:ic=\"http://apple.com/ns/ical/\">"
           "<d:prop>" +
           props + "</d:prop></d:propfind>";
}

QByteArray escaped(const QString& text)
{
    return text.toHtmlEscaped().toUtf8();
}

bool isRedirect(long status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

constexpr int kMaxRedirects = 5;
constexpr qsizetype kMaxHrefBytes = 2048;

bool hasControl(QStringView text)
{
    return std::any_of(text.begin(), text.end(),
                       [](QChar c) { return c.category() == QChar::Other_Control; });
}

// A server's text in a message: control characters shown as such, and not too long.
QString quoted(const QString& text)
{
    QString shown = text.left(200);
    for (QChar& c : shown)
        if (c.category() == QChar::Other_Control)
            c = QChar::ReplacementCharacter;
    return shown.size() < text.size() ? shown + QChar(0x2026) : shown;
}

// An ETag goes back in an If-Match header.
bool sendable(const QByteArray& etag)
{
    return etag.size() <= kMaxHrefBytes && !hasControl(QString::fromUtf8(etag));
}

QString where(const QUrl& url)
{
    return url.toDisplayString(QUrl::RemoveUserInfo);
}

// What a request names: the address percent-encoded, each href's bytes as they are.
QString requested(const QUrl& url)
{
    return url.toString(QUrl::FullyEncoded);
}

// The path of an encoded href, without a query or a fragment.
QString pathOf(const QString& href)
{
    const auto end =
        std::find_if(href.begin(), href.end(), [](QChar c) { return c == u'?' || c == u'#'; });
    return href.left(end - href.begin());
}

// Whether an href names the collection itself, however its server spells that.
bool isSelf(const QUrl& collection, const QString& href)
{
    QString self = DavXml::comparableHref(collection.path(QUrl::FullyEncoded));
    QString other = DavXml::comparableHref(href);
    if (!self.endsWith(u'/'))
        self += u'/';
    if (!other.endsWith(u'/'))
        other += u'/';
    return self == other;
}

const QByteArray kPrivileges = "<d:current-user-privilege-set/>";

// A server's colour as "#rrggbb": its alpha left off, anything else no colour.
QString colorOf(const QString& text)
{
    static const QRegularExpression color(QStringLiteral("^#([0-9a-fA-F]{6})([0-9a-fA-F]{2})?$"));
    const QRegularExpressionMatch match = color.match(text);
    return match.hasMatch() ? u'#' + match.captured(1).toLower() : QString();
}

// Whether the user's privileges, when told, leave out every kind of writing.
bool onlyRead(const DavXml::Response& r)
{
    const auto set = r.found.constFind(DavXml::name(DavXml::kDav, "current-user-privilege-set"));
    if (set == r.found.cend())
        return false;
    for (const char* write : {"write", "write-content", "bind", "all"})
        if (set->inner.contains(DavXml::name(DavXml::kDav, write)))
            return false;
    return true;
}

} // namespace

ServerCalendar CalDavClient::calendarOf(const DavXml::Response& r)
{
    ServerCalendar calendar;
    calendar.name = quoted(r.found.value(DavXml::name(DavXml::kDav, "displayname")).text);
    calendar.color =
        colorOf(r.found.value(DavXml::name(DavXml::kAppleIcal, "calendar-color")).text);
    calendar.readOnly = onlyRead(r);
    return calendar;
}

bool CalDavClient::holdsEvents(const DavXml::Response& r)
{
    const DavXml::Property type = r.found.value(DavXml::name(DavXml::kDav, "resourcetype"));
    const auto comps =
        r.found.find(DavXml::name(DavXml::kCalDav, "supported-calendar-component-set"));
    return type.children.contains(DavXml::name(DavXml::kCalDav, "calendar")) &&
           (comps == r.found.end() || comps->children.contains(QStringLiteral("comp:VEVENT")));
}

HttpClient::Response CalDavClient::propfind(const QUrl& url, int depth, const QByteArray& props)
{
    return m_http.request("PROPFIND", requested(url),
                          {{"Depth", QByteArray::number(depth)}, {"Content-Type", kXmlType}},
                          propfindBody(props));
}

bool CalDavClient::answered(const HttpClient::Response& response, const QUrl& url)
{
    if (response.status == 0)
        m_error = response.error;
    else if (response.status == 401 || response.status == 403)
        m_error = Sync::tr("The server refused the login for %1.").arg(where(url));
    else if (response.status >= 300)
        m_error = Sync::tr("The server answered %1 for %2.").arg(response.status).arg(where(url));
    else
        return true;
    return false;
}

std::optional<QUrl> CalDavClient::resolve(const QUrl& base, const QString& href)
{
    const QUrl url = base.resolved(QUrl(DavXml::encodedHref(href)));
    if (href.toUtf8().size() > kMaxHrefBytes || hasControl(href) || !url.isValid() ||
        (url.scheme() != QLatin1String("http") && url.scheme() != QLatin1String("https"))) {
        m_error = Sync::tr("The server %1 names an address the sync does not follow: %2")
                      .arg(where(base), quoted(href));
        return std::nullopt;
    }
    m_error = m_http.refusal(requested(url));
    if (!m_error.isEmpty())
        return std::nullopt;
    return url;
}

std::optional<QString> CalDavClient::memberHref(const QUrl& collection, const QString& href)
{
    const std::optional<QUrl> url = resolve(collection, href);
    if (!url)
        return std::nullopt;
    // An absolute path or address keeps the bytes of its path; a relative one is resolved.
    const QString encoded = DavXml::encodedHref(href);
    const QUrl sent(encoded);
    if (!sent.scheme().isEmpty() || encoded.startsWith(QLatin1String("//"))) {
        const qsizetype authority = encoded.indexOf(QLatin1String("//")) + 2;
        const qsizetype path = encoded.indexOf(u'/', authority);
        return path < 0 ? QStringLiteral("/") : pathOf(encoded.mid(path));
    }
    if (encoded.startsWith(u'/'))
        return pathOf(encoded);
    return url->path(QUrl::FullyEncoded);
}

bool CalDavClient::usable(const QByteArray& etag, const QUrl& url)
{
    if (sendable(etag))
        return true;
    m_error = Sync::tr("The server %1 answered an ETag the sync cannot use: %2")
                  .arg(where(url), quoted(QString::fromUtf8(etag)));
    return false;
}

std::optional<QList<DavXml::Response>>
CalDavClient::multistatus(const HttpClient::Response& response, const QUrl& url)
{
    if (!answered(response, url))
        return std::nullopt;
    auto parsed = DavXml::parseMultistatus(response.body);
    if (!parsed)
        m_error = Sync::tr("The server's answer for %1 is no calendar data.").arg(where(url));
    return parsed;
}

std::optional<CalDavClient::State> CalDavClient::state(const QUrl& collection)
{
    const auto responses = multistatus(
        propfind(collection, 0, "<d:sync-token/><cs:getctag/><d:resourcetype/>" + kPrivileges),
        collection);
    if (!responses)
        return std::nullopt;
    for (const DavXml::Response& r : *responses) {
        if (!r.found.contains(DavXml::name(DavXml::kDav, "resourcetype")))
            continue;
        if (!r.found[DavXml::name(DavXml::kDav, "resourcetype")].children.contains(
                DavXml::name(DavXml::kCalDav, "calendar"))) {
            m_error = Sync::tr("%1 is no calendar.").arg(collection.toDisplayString());
            return std::nullopt;
        }
        return State{r.found.value(DavXml::name(DavXml::kDav, "sync-token")).text,
                     r.found.value(DavXml::name(DavXml::kCalServer, "getctag")).text, !onlyRead(r)};
    }
    m_error = Sync::tr("%1 is no calendar.").arg(collection.toDisplayString());
    return std::nullopt;
}

std::optional<QHash<QString, QByteArray>> CalDavClient::etags(const QUrl& collection)
{
    const auto responses =
        multistatus(propfind(collection, 1, "<d:getetag/><d:resourcetype/>"), collection);
    if (!responses)
        return std::nullopt;
    QHash<QString, QByteArray> etags;
    for (const DavXml::Response& r : *responses) {
        const std::optional<QString> href = memberHref(collection, r.href);
        if (!href)
            return std::nullopt;
        if (isSelf(collection, *href) || !r.found.contains(DavXml::name(DavXml::kDav, "getetag")))
            continue;
        if (!r.found.value(DavXml::name(DavXml::kDav, "resourcetype")).children.isEmpty())
            continue; // a collection inside
        const QByteArray etag = r.found[DavXml::name(DavXml::kDav, "getetag")].text.toUtf8();
        if (!usable(etag, collection))
            return std::nullopt;
        etags.insert(*href, etag);
    }
    return etags;
}

std::optional<CalDavClient::Changes> CalDavClient::changesSince(const QUrl& collection,
                                                                const QString& token)
{
    Changes changes;
    QString from = token;
    for (int part = 0; part < kMaxChangeParts; ++part) {
        QString next;
        bool truncated = false;
        if (!changesPart(collection, from, changes, &next, &truncated))
            return std::nullopt;
        if (!truncated) {
            changes.token = next;
            return changes;
        }
        // The same token again would ask for the same part for ever.
        if (next.isEmpty() || next == from)
            break;
        from = next;
    }
    m_error = Sync::tr("The server %1 tells its changes in parts that come to no end.")
                  .arg(where(collection));
    return std::nullopt;
}

bool CalDavClient::changesPart(const QUrl& collection, const QString& token, Changes& changes,
                               QString* next, bool* truncated)
{
    const QByteArray body = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
                            "<d:sync-collection xmlns:d=\"DAV:\"><d:sync-token>" +
                            escaped(token) +
                            "</d:sync-token><d:sync-level>1</d:sync-level>"
                            "<d:prop><d:getetag/></d:prop></d:sync-collection>";
    const HttpClient::Response response =
        m_http.request("REPORT", requested(collection), {{"Content-Type", kXmlType}}, body);
    if (!answered(response, collection))
        return false;
    const auto responses = DavXml::parseMultistatus(response.body, next);
    if (!responses) {
        m_error =
            Sync::tr("The server's answer for %1 is no calendar data.").arg(where(collection));
        return false;
    }
    for (const DavXml::Response& r : *responses) {
        const std::optional<QString> href = memberHref(collection, r.href);
        if (!href)
            return false;
        if (r.status == 507) {
            *truncated = true; // the rest comes with the token of this answer
            continue;
        }
        if (isSelf(collection, *href))
            continue;
        const auto etag = r.found.find(DavXml::name(DavXml::kDav, "getetag"));
        if (etag != r.found.end()) {
            if (!usable(etag->text.toUtf8(), collection))
                return false;
            changes.changed.insert(*href, etag->text.toUtf8());
            changes.removed.removeAll(*href);
        } else if (r.status == 404) {
            changes.removed << *href;
            changes.changed.remove(*href);
        }
    }
    return true;
}

std::optional<QHash<QString, CalDavClient::Fetched>> CalDavClient::fetch(const QUrl& collection,
                                                                         const QStringList& hrefs)
{
    QHash<QString, Fetched> fetched;
    for (qsizetype at = 0; at < hrefs.size(); at += kFetchBatch) {
        // The server may answer in another spelling of what was asked; what it was not asked
        // for is no answer.
        QHash<QString, QString> asked;
        QByteArray body = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
                          "<c:calendar-multiget xmlns:d=\"DAV:\" "
                          "xmlns:c=\"urn:ietf:params:xml:ns:caldav\">"
                          "<d:prop><d:getetag/><c:calendar-data/></d:prop>";
        for (const QString& href : hrefs.mid(at, kFetchBatch)) {
            asked.insert(DavXml::comparableHref(href), href);
            body += "<d:href>" + escaped(DavXml::encodedHref(href)) + "</d:href>";
        }
        body += "</c:calendar-multiget>";
        const auto responses =
            multistatus(m_http.request("REPORT", requested(collection),
                                       {{"Depth", "1"}, {"Content-Type", kXmlType}}, body),
                        collection);
        if (!responses)
            return std::nullopt;
        for (const DavXml::Response& r : *responses) {
            const auto data = r.found.find(DavXml::name(DavXml::kCalDav, "calendar-data"));
            if (data == r.found.end())
                continue;
            const std::optional<QString> member = memberHref(collection, r.href);
            const QByteArray etag =
                r.found.value(DavXml::name(DavXml::kDav, "getetag")).text.toUtf8();
            if (!member || !usable(etag, collection))
                return std::nullopt;
            const auto href = asked.constFind(DavXml::comparableHref(*member));
            if (href != asked.cend())
                fetched.insert(*href, {etag, data->text.toUtf8()});
        }
    }
    return fetched;
}

CalDavClient::Write CalDavClient::put(const QUrl& collection, const QString& href,
                                      const QByteArray& body, const QByteArray& etag,
                                      QByteArray* newEtag)
{
    const std::optional<QUrl> url = resolve(collection, href);
    if (!url || !usable(etag, collection))
        return Write::Failed;
    HttpClient::Headers headers{{"Content-Type", "text/calendar; charset=utf-8"}};
    headers << (etag.isEmpty() ? std::pair<QByteArray, QByteArray>{"If-None-Match", "*"}
                               : std::pair<QByteArray, QByteArray>{"If-Match", etag});
    const HttpClient::Response response = m_http.request("PUT", requested(*url), headers, body);
    if (response.status == 412)
        return Write::Changed;
    if (!answered(response, *url))
        return Write::Failed;
    // One it could not send back is as good as none: the next listing tells it.
    if (newEtag && sendable(response.etag))
        *newEtag = response.etag;
    return Write::Done;
}

CalDavClient::Write CalDavClient::remove(const QUrl& collection, const QString& href,
                                         const QByteArray& etag)
{
    const std::optional<QUrl> url = resolve(collection, href);
    if (!url || !usable(etag, collection))
        return Write::Failed;
    HttpClient::Headers headers;
    if (!etag.isEmpty())
        headers << std::pair<QByteArray, QByteArray>{"If-Match", etag};
    const HttpClient::Response response = m_http.request("DELETE", requested(*url), headers);
    if (response.status == 412)
        return Write::Changed;
    if (response.status == 404 || response.status == 410)
        return Write::Done;
    return answered(response, *url) ? Write::Done : Write::Failed;
}

std::optional<QUrl> CalDavClient::discover(const QUrl& url, QStringList* candidates)
{
    const std::optional<QList<Found>> found = calendars(url);
    if (!found)
        return std::nullopt;
    if (found->size() == 1)
        return found->first().url;
    if (found->isEmpty()) {
        m_error = Sync::tr("The user has no calendar for events on the server.");
        return std::nullopt;
    }
    for (const Found& f : *found)
        *candidates << f.url.toString();
    m_error = Sync::tr("The server holds several calendars; name one with its URL.");
    return std::nullopt;
}

std::optional<QList<CalDavClient::Found>> CalDavClient::calendars(const QUrl& url)
{
    const QByteArray kinds = "<d:resourcetype/><c:supported-calendar-component-set/>"
                             "<d:current-user-principal/><c:calendar-home-set/>"
                             "<d:displayname/><ic:calendar-color/>" +
                             kPrivileges;
    const QString calendar = DavXml::name(DavXml::kCalDav, "calendar");
    // The first response at an address, after the redirects the well-known address sends a
    // client on by (PROPFIND survives a redirect only by hand); hrefs resolve against base.
    // unanswered: no HTTP status came, or the address was not followed.
    bool unanswered = false;
    auto first = [&](const QUrl& at, QUrl& base) -> std::optional<DavXml::Response> {
        base = at;
        HttpClient::Response response = propfind(base, 0, kinds);
        for (int hops = 0; isRedirect(response.status) && hops < kMaxRedirects; ++hops) {
            const std::optional<QUrl> next = resolve(base, QString::fromUtf8(response.location));
            if (!next) {
                unanswered = true;
                return std::nullopt;
            }
            base = *next;
            response = propfind(base, 0, kinds);
        }
        unanswered = response.status == 0;
        const auto responses = multistatus(response, base);
        if (!responses)
            return std::nullopt;
        if (responses->isEmpty())
            return DavXml::Response{};
        return responses->first();
    };
    auto href = [](const DavXml::Response& r, const char* name, const QString& ns) {
        return r.found.value(DavXml::name(ns, name)).hrefs.value(0);
    };

    QUrl base;
    const auto here = first(url, base);
    if (!here)
        return std::nullopt;
    if (here->found.value(DavXml::name(DavXml::kDav, "resourcetype")).children.contains(calendar)) {
        ServerCalendar itself = calendarOf(*here);
        itself.url = url.toString();
        return QList<Found>{{url, itself}};
    }
    QString principal = href(*here, "current-user-principal", DavXml::kDav);
    if (principal.isEmpty()) {
        const auto known = first(url.resolved(QUrl(QStringLiteral("/.well-known/caldav"))), base);
        if (known)
            principal = href(*known, "current-user-principal", DavXml::kDav);
        else if (unanswered)
            return std::nullopt; // not a missing address: error() says more than what follows
    }
    if (principal.isEmpty()) {
        m_error = Sync::tr("%1 names no calendar, and the server tells no user's calendars.")
                      .arg(where(url));
        return std::nullopt;
    }
    const std::optional<QUrl> principalUrl = resolve(base, principal);
    const auto user = principalUrl ? first(*principalUrl, base) : std::nullopt;
    if (!user)
        return std::nullopt;
    const QString home = href(*user, "calendar-home-set", DavXml::kCalDav);
    if (home.isEmpty()) {
        m_error = Sync::tr("The server tells no calendar home for the user.");
        return std::nullopt;
    }
    const std::optional<QUrl> homeUrl = resolve(base, home);
    if (!homeUrl)
        return std::nullopt;
    const auto listed = multistatus(propfind(*homeUrl, 1, kinds), *homeUrl);
    if (!listed)
        return std::nullopt;
    QList<Found> found;
    for (const DavXml::Response& r : *listed) {
        if (!holdsEvents(r))
            continue;
        const std::optional<QUrl> member = resolve(*homeUrl, r.href);
        if (!member)
            return std::nullopt;
        ServerCalendar listedCalendar = calendarOf(r);
        listedCalendar.url = member->toString();
        found << Found{*member, listedCalendar};
    }
    return found;
}
