#pragma once

#include "sync/Sync.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <atomic>
#include <chrono>
#include <memory>
#include <optional>
#include <utility>

// One HTTP conversation with one server through libcurl: basic or digest login, TLS. Nothing
// goes anywhere but the scheme, host and port of the account's address: a request elsewhere is
// refused before it is made, so the login never reaches a host the user did not name, and an
// https account never continues over http. Every answer is bounded: a connect timeout, a stall
// timeout, a deadline and a cap on its size; all of them together end by the deadline of the
// whole sync, counted from the client's making.
class HttpClient {
public:
    static constexpr qint64 kMaxAnswerBytes = 64 << 20;

    struct Response {
        long status = 0; // 0: no answer, or the request was not made (error says why)
        QString error;   // a sentence naming the address
        QByteArray body;
        QByteArray etag; // ETag header, quotes kept
        QByteArray lastModified;
        QByteArray location;
    };
    using Headers = QList<std::pair<QByteArray, QByteArray>>;

    HttpClient(const SyncAccount& account, const SyncOptions& options);
    ~HttpClient();
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;

    Response request(const QByteArray& method, const QString& url, const Headers& headers = {},
                     const QByteArray& body = {});
    // Why a request to url would not be made; empty when it would.
    QString refusal(const QString& url) const;
    int requests() const { return m_requests; }

    // Takes one header line of an answer as libcurl hands it over; a status line starts the
    // headers of a new answer (after a login challenge).
    static void readHeaderLine(QByteArrayView line, Response& response);

    struct Origin {
        QByteArray scheme;
        QByteArray host;
        QByteArray port;
        bool operator==(const Origin&) const = default;
    };
    // The scheme, host and port of an http or https address; none for anything else, or for
    // an address that libcurl and Qt read differently.
    static std::optional<Origin> originOf(const QString& url);

private:
    struct Curl;
    std::unique_ptr<Curl> m_curl;
    QString m_address;              // the account's
    std::optional<Origin> m_origin; // none: the account's address is no web address
    QByteArray m_user;
    QByteArray m_password;
    std::chrono::seconds m_connectTimeout;
    std::chrono::seconds m_stallTimeout;
    std::chrono::seconds m_deadline;
    std::chrono::seconds m_syncDeadline;
    std::chrono::steady_clock::time_point m_syncEnds;
    const std::atomic<bool>* m_cancel;
    int m_requests = 0;
    long m_authUsed = 0; // CURLAUTH_ bit of the method the server asked for
};
