#pragma once

#include <QByteArrayList>
#include <QMap>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>

#include <memory>
#include <utility>

// A local SMTP server that accepts every mail and keeps it, for tests of the mail client. Header
// only: one test program uses it.
class SmtpSink : public QObject {
public:
    struct Mail {
        QByteArray from;
        QByteArrayList to;
        QByteArray data; // as received, dot-stuffing undone
    };

    // silent: accept connections but never answer, like a server that hangs.
    explicit SmtpSink(bool silent = false)
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        connect(&m_server, &QTcpServer::newConnection, this, [this, silent] {
            QTcpSocket* socket = m_server.nextPendingConnection();
            ++connections;
            if (silent)
                return;
            struct Session {
                QByteArray buffer;
                Mail mail;
                bool inData = false;
            };
            auto session = std::make_shared<Session>();
            socket->write("220 sink ready\r\n");
            connect(socket, &QTcpSocket::readyRead, socket, [=, this] {
                QByteArray& buffer = session->buffer;
                buffer += socket->readAll();
                for (;;) {
                    const qsizetype end = buffer.indexOf(session->inData ? "\r\n.\r\n" : "\r\n");
                    if (end < 0)
                        return;
                    if (session->inData) {
                        session->mail.data = buffer.left(end + 2).replace("\r\n..", "\r\n.");
                        buffer.remove(0, end + 5);
                        mails << std::exchange(session->mail, {});
                        session->inData = false;
                        socket->write("250 OK queued\r\n");
                        continue;
                    }
                    const QByteArray line = buffer.left(end);
                    buffer.remove(0, end + 2);
                    const QByteArray verb = line.left(4).toUpper();
                    const QByteArray address = line.mid(line.indexOf('<') + 1).chopped(1);
                    QByteArray reply = "250 OK\r\n";
                    if (verb == "MAIL")
                        session->mail.from = address;
                    else if (verb == "RCPT" && address == refuse)
                        reply = "550 No such user\r\n";
                    else if (verb == "RCPT")
                        session->mail.to << address;
                    else if (verb == "DATA")
                        reply = "354 Go ahead\r\n";
                    else if (verb == "QUIT")
                        reply = "221 Bye\r\n";
                    session->inData = verb == "DATA";
                    socket->write(reply);
                    if (verb == "QUIT")
                        socket->disconnectFromHost();
                }
            });
        });
    }
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

inline ParsedMail parseMail(const QByteArray& data)
{
    ParsedMail mail;
    const qsizetype split = data.indexOf("\r\n\r\n");
    QByteArray head = data.left(split);
    head.replace("\r\n ", " ").replace("\r\n\t", "\t").replace("\r\n", "\n");
    for (const QByteArray& line : head.split('\n')) {
        const QByteArray name = line.left(line.indexOf(':')).toLower();
        mail.names << name;
        mail.headers[name] = line.mid(line.indexOf(':') + 1).trimmed();
    }
    const QByteArray subject = mail.headers.value("subject");
    static const QRegularExpression word("=\\?UTF-8\\?B\\?(\\S*)\\?=");
    mail.subject = subject.startsWith("=?") ? QString() : QString::fromLatin1(subject);
    for (const auto& match : word.globalMatch(QString::fromLatin1(subject)))
        mail.subject += QString::fromUtf8(QByteArray::fromBase64(match.captured(1).toLatin1()));
    mail.charset = mail.headers.value("content-type").toLower().split('=').last();
    QByteArray body = data.mid(split + 4);
    if (mail.headers.value("content-transfer-encoding") == "base64")
        body = QByteArray::fromBase64(body);
    mail.body = mail.charset == "utf-8" ? QString::fromUtf8(body) : QString::fromLatin1(body);
    return mail;
}
