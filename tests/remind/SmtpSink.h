#pragma once

#include <QByteArrayList>
#include <QMap>
#include <QTcpServer>

// A local SMTP server that accepts every mail and keeps it, for tests of the mail client.
class SmtpSink : public QObject {
public:
    struct Mail {
        QByteArray from;
        QByteArrayList to;
        QByteArray data; // as received, dot-stuffing undone
    };

    // silent: accept connections but never answer, like a server that hangs.
    explicit SmtpSink(bool silent = false);
    quint16 port() const { return m_server.serverPort(); }

    QByteArray refuse; // RCPT TO this address is answered with 550
    QList<Mail> mails;
    int connections = 0;

private:
    QTcpServer m_server;
};

// A received message taken apart: unfolded headers and the decoded subject and body.
struct ParsedMail {
    QByteArrayList names; // lower case, in order
    QMap<QByteArray, QByteArray> headers;
    QString subject;
    QByteArray charset;
    QString body;
};

ParsedMail parseMail(const QByteArray& data);
