#include "HttpClient.h"

#include <curl/curl.h>

struct HttpClient::Curl {
    CURL* handle = curl_easy_init();
    ~Curl() { curl_easy_cleanup(handle); }
};

namespace {

size_t appendBody(char* data, size_t size, size_t count, void* target)
{
    static_cast<QByteArray*>(target)->append(data, qsizetype(size * count));
    return size * count;
}

size_t readHeader(char* data, size_t size, size_t count, void* target)
{
    auto* response = static_cast<HttpClient::Response*>(target);
    const QByteArray line = QByteArray(data, qsizetype(size * count)).trimmed();
    const qsizetype colon = line.indexOf(':');
    if (line.startsWith("HTTP/")) {
        // A new answer (after a login challenge): forget the headers of the one before.
        response->etag.clear();
        response->location.clear();
    } else if (colon > 0) {
        const QByteArray name = line.left(colon).trimmed().toLower();
        const QByteArray value = line.mid(colon + 1).trimmed();
        if (name == "etag")
            response->etag = value;
        else if (name == "location")
            response->location = value;
    }
    return size * count;
}

int progress(void* cancel, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    const auto* flag = static_cast<const std::atomic<bool>*>(cancel);
    return flag && flag->load() ? 1 : 0;
}

} // namespace

HttpClient::HttpClient(QString user, QString password, std::chrono::seconds connectTimeout,
                       std::chrono::seconds stallTimeout, const std::atomic<bool>* cancel)
    : m_curl(std::make_unique<Curl>())
    , m_user(user.toUtf8())
    , m_password(password.toUtf8())
    , m_connectTimeout(long(connectTimeout.count()))
    , m_stallTimeout(long(stallTimeout.count()))
    , m_cancel(cancel)
{
}

HttpClient::~HttpClient() = default;

HttpClient::Response HttpClient::request(const QByteArray& method, const QString& url,
                                         const Headers& headers, const QByteArray& body)
{
    Response response;
    CURL* c = m_curl->handle;
    if (!c) {
        response.error = QStringLiteral("libcurl could not start");
        return response;
    }
    ++m_requests;
    curl_easy_reset(c);
    const QByteArray address = url.toUtf8();
    curl_easy_setopt(c, CURLOPT_URL, address.constData());
    curl_easy_setopt(c, CURLOPT_CUSTOMREQUEST, method.constData());
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, m_connectTimeout);
    // Less than a byte a second for the stall timeout: the server stopped answering.
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, m_stallTimeout);
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
    curl_slist* list = nullptr;
    QList<QByteArray> lines;
    for (const auto& [name, value] : headers)
        lines << name + ": " + value;
    lines << "Expect:"; // no 100-continue round trip
    for (const QByteArray& line : lines)
        list = curl_slist_append(list, line.constData());
    curl_easy_setopt(c, CURLOPT_HTTPHEADER, list);
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, appendBody);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &response.body);
    curl_easy_setopt(c, CURLOPT_HEADERFUNCTION, readHeader);
    curl_easy_setopt(c, CURLOPT_HEADERDATA, &response);
    curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, progress);
    curl_easy_setopt(c, CURLOPT_XFERINFODATA, m_cancel);

    const CURLcode code = curl_easy_perform(c);
    curl_slist_free_all(list);
    if (code != CURLE_OK) {
        response.error = QString::fromUtf8(curl_easy_strerror(code));
        if (code == CURLE_OPERATION_TIMEDOUT)
            response.error = QStringLiteral("no answer for %1 seconds").arg(m_stallTimeout);
        return response;
    }
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &response.status);
    if (response.status < 400 && !m_user.isEmpty() && !m_authUsed) {
        long offered = 0;
        curl_easy_getinfo(c, CURLINFO_HTTPAUTH_AVAIL, &offered);
        m_authUsed = offered & CURLAUTH_BASIC ? CURLAUTH_BASIC : offered & CURLAUTH_DIGEST;
    }
    return response;
}
