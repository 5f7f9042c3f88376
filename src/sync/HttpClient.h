#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <atomic>
#include <chrono>
#include <memory>
#include <utility>

// One HTTP conversation with a server through libcurl: basic or digest login, TLS, a connect
// timeout and a stall timeout, so a server that stops answering ends the request.
class HttpClient {
public:
    struct Response {
        long status = 0; // 0: no answer (error says why)
        QString error;   // transport failure
        QByteArray body;
        QByteArray etag; // ETag header, quotes kept
        QByteArray location;
    };
    using Headers = QList<std::pair<QByteArray, QByteArray>>;

    HttpClient(QString user, QString password, std::chrono::seconds connectTimeout,
               std::chrono::seconds stallTimeout, const std::atomic<bool>* cancel);
    ~HttpClient();
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;

    Response request(const QByteArray& method, const QString& url, const Headers& headers = {},
                     const QByteArray& body = {});
    int requests() const { return m_requests; }

private:
    struct Curl;
    std::unique_ptr<Curl> m_curl;
    QByteArray m_user;
    QByteArray m_password;
    long m_connectTimeout;
    long m_stallTimeout;
    const std::atomic<bool>* m_cancel;
    int m_requests = 0;
    long m_authUsed = 0; // CURLAUTH_ bit of the method the server asked for
};
