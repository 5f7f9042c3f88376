// A CalDAV server's multistatus answer, as a hostile or broken server may send it: read into
// responses; every property named by namespace and name, every href as text.
#include "sync/DavXml.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fail(const char* what, const QString& detail)
{
    std::fprintf(stderr, "%s: %s\n", what, qPrintable(detail));
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const auto responses = DavXml::parseMultistatus(bytes);
    if (!responses)
        return 0;
    for (const DavXml::Response& response : *responses) {
        if (response.href != response.href.trimmed())
            fail("href not trimmed", response.href);
        for (auto it = response.found.begin(); it != response.found.end(); ++it) {
            if (!it.key().startsWith(u'{') || !it.key().contains(u'}'))
                fail("property without namespace", it.key());
            for (const QString& href : it->hrefs)
                if (href != href.trimmed())
                    fail("href not trimmed", href);
        }
    }
    return 0;
}
