// The header lines of an HTTP answer as libcurl hands them over, each ending in its line
// break: the ETag and the redirect target taken from them, forgotten at each new status line.
// The same bytes as an address are judged against the account's server.
#include "sync/HttpClient.h"

#include <QUrl>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fail(const char* what, const QByteArray& detail)
{
    std::fprintf(stderr, "%s: %s\n", what, detail.constData());
    std::abort();
}

bool hasLineBreak(const QByteArray& value)
{
    return value.contains('\n') || value.startsWith('\r') || value.endsWith('\r');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    HttpClient::Response response;
    for (qsizetype at = 0; at < bytes.size();) {
        qsizetype end = bytes.indexOf('\n', at);
        end = end < 0 ? bytes.size() : end + 1;
        const QByteArray line = bytes.mid(at, end - at);
        HttpClient::readHeaderLine(line, response);
        if (line.trimmed().startsWith("HTTP/") &&
            !(response.etag.isEmpty() && response.location.isEmpty()))
            fail("headers kept past a status line", line);
        if (hasLineBreak(response.etag) || hasLineBreak(response.location))
            fail("a line break in a header value", line);
        at = end;
    }

    static HttpClient http(SyncAccount{QStringLiteral("https://calendar.example:8443/dav/"),
                                       QStringLiteral("alice"), QStringLiteral("secret")},
                           SyncOptions{});
    const QString address = QString::fromUtf8(bytes);
    const QString refusal = http.refusal(address);
    const QUrl url(address);
    // What may be asked is on the account's server as Qt reads the address too.
    if (refusal.isEmpty() && (url.host() != QLatin1String("calendar.example") ||
                              url.port(443) != 8443 || url.scheme() != QLatin1String("https")))
        fail("another server taken for the account's", bytes);
    return 0;
}
