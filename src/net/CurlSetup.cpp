#include "net/CurlSetup.h"

#include <mutex>

namespace CurlSetup {

namespace {

int checkAbandon(void* abandon, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    const auto* flag = static_cast<const std::atomic_bool*>(abandon);
    return flag && flag->load() ? 1 : 0;
}

} // namespace

Handle makeHandle()
{
    // curl_global_init is not thread-safe and must come before the first handle.
    static std::once_flag started;
    static bool ready = false;
    std::call_once(started, [] { ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK; });
    return Handle(ready ? curl_easy_init() : nullptr);
}

void prepare(CURL* handle, Protocols protocols, const Timeouts& timeouts,
             const std::atomic_bool* abandon)
{
    const char* allowed = protocols == Protocols::Web ? "http,https" : "smtp,smtps";
    curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, allowed);
    curl_easy_setopt(handle, CURLOPT_REDIR_PROTOCOLS_STR, allowed);
    // A redirect is for the caller to judge: libcurl would take it to any host.
    curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT, long(timeouts.connect.count()));
    if (timeouts.stall.count() > 0) {
        curl_easy_setopt(handle, CURLOPT_LOW_SPEED_LIMIT, 1L);
        curl_easy_setopt(handle, CURLOPT_LOW_SPEED_TIME, long(timeouts.stall.count()));
    }
    curl_easy_setopt(handle, CURLOPT_TIMEOUT, long(timeouts.deadline.count()));
    curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, checkAbandon);
    curl_easy_setopt(handle, CURLOPT_XFERINFODATA, const_cast<std::atomic_bool*>(abandon));
}

bool append(List& list, const char* line)
{
    curl_slist* longer = curl_slist_append(list.get(), line);
    if (!longer)
        return false;
    (void)list.release(); // the same list, grown
    list.reset(longer);
    return true;
}

} // namespace CurlSetup
