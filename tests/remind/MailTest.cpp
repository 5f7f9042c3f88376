#include "SmtpSink.h"
#include "remind/BSMTP.h"
#include "remind/MailSender.h"

#include <QDateTime>
#include <QTimer>
#include <QtCore/qtestsupport_core.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <thread>

namespace {

struct Case {
    QString server, recipients, subject, body;
    QByteArrayList to;   // accepted recipients, in the first rows; none: the send must fail
    QByteArray expected; // charset when sent, else a text the failure names
};

const QByteArray sender = "me@x.org";

} // namespace

TEST(MailTest, SendsQueuedMailsInOrderAndNamesFailures)
{
    SmtpSink sink;
    sink.refuse = "nobody@x.org";
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const QString closed = "127.0.0.1:" + QString::number(probe.serverPort());
    probe.close();
    const QString local = QString("127.0.0.1:%1").arg(sink.port());
    const QString longUtf8 = QString("Grüße → Termin ").repeated(6);
    const QList<Case> cases = {
        {local, "<a@x.org>\t  b@x.org ", "Hi", "<p>ä</p>", {"a@x.org", "b@x.org"}, "iso-8859-1"},
        {"smtp://" + local, "c@x.org", "Hi\r\nBcc: e@x.org\nX: y", longUtf8, {"c@x.org"}, "utf-8"},
        {local, "\t<c@x.org>\t\t", longUtf8, "€", {"c@x.org"}, "utf-8"},
        {local, "a@x.org\tnobody@x.org", "s", "b", {}, "550"},
        {closed, "c@x.org", "s", "b", {}, "connect"},
        {"", "c@x.org", "s", "b", {}, "server"},
        {local, " \t<> ", "s", "b", {}, "recipient"},
        {local, "c@x.org\r\nRCPT TO:<e@x.org>", "s", "b", {}, "recipient"},
    };
    MailSender mailer;
    QStringList results;
    for (const Case& c : cases)
        mailer.send({c.server, sender, c.recipients, c.subject, c.body},
                    [&](const QString& result) { results << result; });
    EXPECT_TRUE(results.isEmpty()) << "send() waited for a result";
    EXPECT_FALSE(mailer.idle());
    ASSERT_TRUE(QTest::qWaitFor([&] { return results.size() == cases.size(); }, 60000));
    EXPECT_TRUE(mailer.idle());
    ASSERT_EQ(sink.mails.size(), 3);
    for (qsizetype i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(i);
        const Case& c = cases[i];
        if (c.to.isEmpty()) {
            EXPECT_TRUE(results[i].contains(c.expected, Qt::CaseInsensitive))
                << results[i].toStdString();
            continue;
        }
        EXPECT_EQ(results[i], "");
        const SmtpSink::Mail& mail = sink.mails[i];
        EXPECT_EQ(mail.from, sender);
        EXPECT_EQ(mail.to, c.to);
        const ParsedMail parsed = parseMail(mail.data);
        EXPECT_EQ(parsed.names,
                  QByteArrayList({"date", "from", "to", "subject", "mime-version", "content-type",
                                  "content-transfer-encoding", "message-id"}));
        EXPECT_TRUE(QDateTime::fromString(parsed.headers["date"], Qt::RFC2822Date).isValid());
        EXPECT_EQ(parsed.headers["from"], sender);
        EXPECT_EQ(parsed.headers["to"], c.to.join(", "));
        EXPECT_EQ(parsed.subject, QString(c.subject).replace("\r\n", " ").replace('\n', ' '));
        EXPECT_EQ(parsed.charset, c.expected);
        EXPECT_EQ(parsed.body, c.body);
        // Long lines and 8-bit bytes do not survive every relay.
        for (const QByteArray& line : QByteArray(mail.data).replace("\r\n", "\n").split('\n'))
            EXPECT_TRUE(line.size() <= 78 &&
                        std::none_of(line.begin(), line.end(), [](char b) { return b & 0x80; }))
                << line.toStdString();
    }
}

TEST(MailTest, AbandoningEndsASendToAServerThatNeverAnswers)
{
    SmtpSink sink(true);
    const QString server = QString("127.0.0.1:%1").arg(sink.port());
    std::atomic_bool abandon = false;
    std::atomic_bool finished = false;
    QString result;
    std::thread send([&] {
        result = SendHtmlMail(server, sender, "c@x.org", "s", "b", {}, &abandon);
        finished = true;
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return sink.connections == 1; }, 20000));
    abandon = true;
    EXPECT_TRUE(QTest::qWaitFor([&] { return finished.load(); }, 60000));
    send.join();
    // Not the connect timeout: the flag ended it.
    EXPECT_TRUE(result.contains("abandoned")) << result.toStdString();

    auto mailer = std::make_unique<MailSender>();
    bool called = false;
    bool ticked = false;
    mailer->send({server, sender, "c@x.org", "s", "b"}, [&](const QString&) { called = true; });
    QTimer::singleShot(10, [&] { ticked = true; });
    EXPECT_TRUE(QTest::qWaitFor([&] { return ticked && sink.connections == 2; }, 20000));
    EXPECT_FALSE(mailer->idle());
    mailer.reset();
    QCoreApplication::processEvents();
    EXPECT_FALSE(called);
}
