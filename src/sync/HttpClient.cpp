#include "sync/HttpClient.h"

#include "net/CurlSetup.h"
#include "sync/SyncText.h"

#include <QUrl>

namespace {

using Origin = HttpClient::Origin;

struct UrlFree {
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
};

QByteArray part(CURLU* url, CURLUPart which, unsigned int flags = 0)
{
    char* text = nullptr;
    if (curl_url_get(url, which, &text, flags) != CURLUE_OK)
        return {};
    QByteArray value(text);
    curl_free(text);
    return value;
}

// Parsed by libcurl itself, so the origin judged is the one it connects to, and by Qt, whose
// reading names it in messages and gives the paths: an address the two read differently is
// refused.
std::optional<Origin> originOfUrl(const QUrl& url)
{
    const QByteArray encoded = url.toEncoded();
    const std::unique_ptr<CURLU, UrlFree> parsed(curl_url());
    if (!parsed || curl_url_set(parsed.get(), CURLUPART_URL, encoded.constData(), 0) != CURLUE_OK)
        return std::nullopt;
    Origin origin{part(parsed.get(), CURLUPART_SCHEME).toLower(),
                  part(parsed.get(), CURLUPART_HOST).toLower(),
                  part(parsed.get(), CURLUPART_PORT, CURLU_DEFAULT_PORT)};
    if ((origin.scheme != "http" && origin.scheme != "https") || origin.host.isEmpty())
        return std::nullopt;
    QByteArray host = origin.host;
    if (host.startsWith('[') && host.endsWith(']'))
        host = host.mid(1, host.size() - 2); // Qt names an IPv6 address without brackets
    const int port = url.port(origin.scheme == "https" ? 443 : 80);
    if (url.scheme().toLower().toUtf8() != origin.scheme ||
        url.host(QUrl::FullyEncoded).toLower().toUtf8() != host ||
        QByteArray::number(port) != origin.port)
        return std::nullopt;
    return origin;
}

QString shown(const Origin& origin)
{
    return QString::fromUtf8(origin.scheme + "://" + origin.host + ':' + origin.port);
}

QString shown(const QString& url)
{
    return QUrl(url).toDisplayString(QUrl::RemoveUserInfo);
}

// What one transfer receives, within the cap.
struct Transfer {
    HttpClient::Response& response;
    qint64 bytes = 0;
    bool tooLarge = false;

    bool take(size_t count)
    {
        bytes += qint64(count);
        tooLarge = bytes > HttpClient::kMaxAnswerBytes;
        return !tooLarge;
    }
};

size_t appendBody(char* data, size_t size, size_t count, void* target)
{
    auto* transfer = static_cast<Transfer*>(target);
    if (!transfer->take(size * count))
        return 0; // libcurl stops with a write error
    transfer->response.body.append(data, qsizetype(size * count));
    return size * count;
}

size_t takeHeader(char* data, size_t size, size_t count, void* target)
{
    auto* transfer = static_cast<Transfer*>(target);
    if (!transfer->take(size * count))
        return 0;
    HttpClient::readHeaderLine(QByteArrayView(data, qsizetype(size * count)), transfer->response);
    return size * count;
}

} // namespace

struct HttpClient::Curl {
    CurlSetup::Handle handle = CurlSetup::makeHandle();
};

HttpClient::HttpClient(const SyncAccount& account, const SyncOptions& options)
    : m_curl(std::make_unique<Curl>())
    , m_address(account.url)
    , m_origin(originOfUrl(QUrl(account.url)))
    , m_user(account.user.toUtf8())
    , m_password(account.password.toUtf8())
    , m_connectTimeout(options.connectTimeout)
    , m_stallTimeout(options.stallTimeout)
    , m_deadline(options.requestDeadline)
    , m_syncDeadline(options.syncDeadline)
    , m_syncEnds(std::chrono::steady_clock::now() + options.syncDeadline)
    , m_cancel(options.cancel)
{
}

HttpClient::~HttpClient() = default;

void HttpClient::readHeaderLine(QByteArrayView line, Response& response)
{
    const QByteArrayView text = line.trimmed();
    const qsizetype colon = text.indexOf(':');
    if (text.startsWith("HTTP/")) {
        response.etag.clear();
        response.lastModified.clear();
        response.location.clear();
    } else if (colon > 0) {
        const QByteArray name = text.first(colon).trimmed().toByteArray().toLower();
        const QByteArray value = text.sliced(colon + 1).trimmed().toByteArray();
        if (name == "etag")
            response.etag = value;
        else if (name == "location")
            response.location = value;
        else if (name == "last-modified")
            response.lastModified = value;
    }
}

QString HttpClient::refusal(const QString& url) const
{
    const std::optional<Origin> origin = originOfUrl(QUrl(url));
    if (!m_origin || !origin)
        return Sync::tr("%1 is no http or https address.").arg(shown(m_origin ? url : m_address));
    if (*origin == *m_origin)
        return {};
    if (m_origin->scheme == "https" && origin->scheme == "http")
        return Sync::tr("The server sends the sync from %1 on to %2 without encryption; the sync "
                        "does not continue over http.")
            .arg(shown(*m_origin), shown(url));
    return Sync::tr("The server sends the sync on to %1, another server than %2; the login goes "
                    "only to the server set up. To sync with %1, enter it as the server address.")
        .arg(shown(url), shown(*m_origin));
}

HttpClient::Response HttpClient::request(const QByteArray& method, const QString& url,
                                         const Headers& headers, const QByteArray& body)
{
    Response response;
    response.error = refusal(url);
    if (!response.error.isEmpty())
        return response;
    using namespace std::chrono;
    const auto syncLeft = duration_cast<milliseconds>(m_syncEnds - steady_clock::now());
    const auto tooLong = [&] {
        return Sync::tr("The sync with %1 did not finish within %2 seconds; what was done is "
                        "kept and the next sync goes on from there.")
            .arg(shown(url))
            .arg(m_syncDeadline.count());
    };
    if (syncLeft <= 0ms) {
        response.error = tooLong();
        return response;
    }
    const QByteArray address = QUrl(url).toEncoded();
    CURL* c = m_curl->handle.get();
    CurlSetup::List list;
    bool listed = CurlSetup::append(list, "Expect:"); // no 100-continue round trip
    for (const auto& [name, value] : headers)
        listed = listed && CurlSetup::append(list, QByteArray(name + ": " + value).constData());
    if (!c || !listed) {
        response.error = Sync::tr("Cannot reach %1: %2")
                             .arg(shown(url), QStringLiteral("libcurl could not start"));
        return response;
    }
    ++m_requests;
    curl_easy_reset(c);
    CurlSetup::prepare(c, CurlSetup::Protocols::Web, {m_connectTimeout, m_stallTimeout, m_deadline},
                       m_cancel);
    // Whichever ends first: this answer's deadline or the whole sync's.
    const bool lastOfTheSync = syncLeft < m_deadline;
    const milliseconds limit = lastOfTheSync ? syncLeft : milliseconds(m_deadline);
    curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, long(limit.count()));
    curl_easy_setopt(c, CURLOPT_URL, address.constData());
    curl_easy_setopt(c, CURLOPT_CUSTOMREQUEST, method.constData());
    curl_easy_setopt(c, CURLOPT_MAXFILESIZE_LARGE, curl_off_t(kMaxAnswerBytes));
    if (!m_user.isEmpty()) {
        // Once a method worked it is used alone: basic login then goes along with the first
        // try instead of waiting for a challenge every request.
        curl_easy_setopt(c, CURLOPT_HTTPAUTH,
                         m_authUsed ? m_authUsed : long(CURLAUTH_BASIC | CURLAUTH_DIGEST));
        curl_easy_setopt(c, CURLOPT_USERNAME, m_user.constData());
        curl_easy_setopt(c, CURLOPT_PASSWORD, m_password.constData());
    }
    if (!body.isEmpty() || method == "PUT") {
        curl_easy_setopt(c, CURLOPT_POSTFIELDS, body.constData());
        curl_easy_setopt(c, CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(body.size()));
    }
    curl_easy_setopt(c, CURLOPT_HTTPHEADER, list.get());
    Transfer transfer{response};
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, appendBody);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(c, CURLOPT_HEADERFUNCTION, takeHeader);
    curl_easy_setopt(c, CURLOPT_HEADERDATA, &transfer);

    const auto started = steady_clock::now();
    const CURLcode code = curl_easy_perform(c);
    const auto took = steady_clock::now() - started;
    if (code == CURLE_OK) {
        curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &response.status);
    } else if (transfer.tooLarge || code == CURLE_FILESIZE_EXCEEDED) {
        response.error = Sync::tr("The server %1 answered more than %2 MB.")
                             .arg(shown(url))
                             .arg(kMaxAnswerBytes >> 20);
    } else if (code == CURLE_OPERATION_TIMEDOUT && took >= limit && lastOfTheSync) {
        response.error = tooLong();
    } else if (code == CURLE_OPERATION_TIMEDOUT && took >= limit) {
        response.error = Sync::tr("The server %1 did not finish its answer within %2 seconds.")
                             .arg(shown(url))
                             .arg(m_deadline.count());
    } else {
        QString why = QString::fromUtf8(curl_easy_strerror(code));
        if (code == CURLE_OPERATION_TIMEDOUT) {
            curl_off_t connected = 0;
            curl_easy_getinfo(c, CURLINFO_CONNECT_TIME_T, &connected);
            why = QStringLiteral("no answer for %1 seconds")
                      .arg((connected > 0 ? m_stallTimeout : m_connectTimeout).count());
        }
        response.error = Sync::tr("Cannot reach %1: %2").arg(shown(url), why);
    }
    if (response.status == 0)
        response.body.clear();
    if (response.status > 0 && response.status < 400 && !m_user.isEmpty() && !m_authUsed) {
        long offered = 0;
        curl_easy_getinfo(c, CURLINFO_HTTPAUTH_AVAIL, &offered);
        m_authUsed = offered & CURLAUTH_BASIC ? CURLAUTH_BASIC : offered & CURLAUTH_DIGEST;
    }
    return response;
}

std::optional<Origin> HttpClient::originOf(const QString& url)
{
    return originOfUrl(QUrl(url));
}
