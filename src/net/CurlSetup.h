#pragma once

#include <curl/curl.h>

#include <atomic>
#include <chrono>
#include <memory>

// The one libcurl set-up of the program's mail and HTTP: libcurl started once, handles and
// header lists freed by their owners, each transfer limited to the protocols of its job, no
// redirect followed by libcurl, a connect timeout, a stall timeout and a deadline.
namespace CurlSetup {

struct HandleFree {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
using Handle = std::unique_ptr<CURL, HandleFree>;

struct ListFree {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using List = std::unique_ptr<curl_slist, ListFree>;

enum class Protocols {
    Web,  // http, https
    Mail, // smtp, smtps
};

struct Timeouts {
    std::chrono::seconds connect{15};
    // Less than a byte a second for this long: the server stopped answering. 0: not checked.
    std::chrono::seconds stall{0};
    // The whole transfer, however steadily the server trickles.
    std::chrono::seconds deadline{120};
};

// A new handle; null when libcurl cannot start.
Handle makeHandle();

// The options every transfer has, set again after each curl_easy_reset. When abandon turns
// true (from any thread) the transfer stops with CURLE_ABORTED_BY_CALLBACK.
void prepare(CURL* handle, Protocols protocols, const Timeouts& timeouts,
             const std::atomic_bool* abandon);

// Appends a line to a header list; false when memory ran out (the list is as before).
bool append(List& list, const char* line);

} // namespace CurlSetup
