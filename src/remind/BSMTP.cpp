#include "remind/BSMTP.h"

#include "net/CurlSetup.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QStringList>
#include <QUuid>

#include <algorithm>
#include <cstring>

namespace {

QString text(const char* source)
{
    return QCoreApplication::translate("SendHtmlMail", source);
}

bool isControl(QChar c)
{
    return c.category() == QChar::Other_Control || c == QChar::LineSeparator ||
           c == QChar::ParagraphSeparator;
}

bool hasControl(const QString& s)
{
    return std::any_of(s.begin(), s.end(), isControl);
}

bool isAscii(const QString& s)
{
    return std::all_of(s.begin(), s.end(), [](QChar c) { return c.unicode() < 0x7f; });
}

// The recipient list the mail layer has always read: TAB-separated entries, a
// leading ">" marks a header line, anything else is an address, optionally in "<...>".
struct RecipientList {
    QStringList headers;
    QStringList recipients;
};

RecipientList readRecipientList(const QString& list)
{
    RecipientList result;
    for (const QString& entry : list.split(u'\t')) {
        if (entry.startsWith(u'>')) {
            result.headers << entry.mid(1).trimmed();
            continue;
        }
        QString address = entry.trimmed();
        while (address.startsWith(u'<'))
            address = address.mid(1).trimmed();
        while (address.endsWith(u'>')) {
            address.chop(1);
            address = address.trimmed();
        }
        if (!address.isEmpty())
            result.recipients << address;
    }
    return result;
}

QByteArray subjectHeader(const QString& subject)
{
    QString line = subject;
    line.replace(QLatin1String("\r\n"), QLatin1String(" "));
    for (QChar& c : line)
        if (isControl(c))
            c = u' ';
    // "=?" in plain text would read as an encoded word, so such subjects are encoded too; so
    // are very long ones, which would break the 998-octet line limit.
    if (line.size() <= 900 && !line.contains(QLatin1String("=?")) && isAscii(line))
        return "Subject: " + line.toLatin1();
    // Encoded words of whole characters, each on its own folded line within 78 characters.
    QByteArray header = "Subject:";
    QByteArray chunk;
    const auto flush = [&] {
        header += (header.size() > 8 ? "\r\n =?UTF-8?B?" : " =?UTF-8?B?") + chunk.toBase64() + "?=";
        chunk.clear();
    };
    for (const char32_t cp : line.toUcs4()) {
        const QByteArray bytes = QString::fromUcs4(&cp, 1).toUtf8();
        if (chunk.size() + bytes.size() > 42)
            flush();
        chunk += bytes;
    }
    if (!chunk.isEmpty())
        flush();
    return header;
}

bool validHeaderLine(const QString& line)
{
    const qsizetype colon = line.indexOf(u':');
    return colon > 0 && isAscii(line) && !line.left(colon).contains(u' ');
}

QByteArray buildMessage(const QString& sender, const RecipientList& list, const QString& subject,
                        const QByteArray& body)
{
    QByteArray domain = sender.section(u'@', -1).toLatin1();
    if (!sender.contains(u'@') || domain.isEmpty())
        domain = "localhost";
    QByteArrayList lines{
        "Date: " + QDateTime::currentDateTime().toString(Qt::RFC2822Date).toLatin1(),
        "From: " + sender.toUtf8(),
        "To: " + list.recipients.join(QLatin1String(", ")).toUtf8(),
        subjectHeader(subject),
        "MIME-Version: 1.0",
    };
    QStringList names{QStringLiteral("date"),         QStringLiteral("from"),
                      QStringLiteral("to"),           QStringLiteral("subject"),
                      QStringLiteral("mime-version"), QStringLiteral("content-transfer-encoding"),
                      QStringLiteral("message-id")};
    for (const QString& header : list.headers) {
        const QString name = header.section(u':', 0, 0).trimmed().toLower();
        if (!validHeaderLine(header) || names.contains(name))
            continue;
        names << name;
        lines << header.toLatin1();
    }
    lines << "Content-Transfer-Encoding: base64"
          << "Message-ID: <" + QUuid::createUuid().toByteArray(QUuid::WithoutBraces) + "@" +
                 domain + ">";
    QByteArray message = lines.join("\r\n") + "\r\n\r\n";
    const QByteArray encoded = body.toBase64();
    for (qsizetype i = 0; i < encoded.size(); i += 76)
        message += encoded.mid(i, 76) + "\r\n";
    return message;
}

struct Upload {
    QByteArray data;
    qsizetype pos = 0;
};

size_t readUpload(char* buffer, size_t size, size_t count, void* user)
{
    auto* upload = static_cast<Upload*>(user);
    const size_t n = std::min(size * count, size_t(upload->data.size() - upload->pos));
    std::memcpy(buffer, upload->data.constData() + upload->pos, n);
    upload->pos += qsizetype(n);
    return n;
}

QString smtpUrl(const QString& server)
{
    if (server.contains(QLatin1String("://")))
        return server;
    // A bare IPv6 address has more than one colon and no port.
    if (server.count(u':') > 1 && !server.startsWith(u'['))
        return QLatin1String("smtp://[") + server + u']';
    return QLatin1String("smtp://") + server;
}

} // namespace

QString SendHtmlMail(const QString& server, const QString& sender, const QString& recipients,
                     const QString& subject, const QString& body, const QString&,
                     const std::atomic_bool* abandon)
{
    const bool latin1 =
        std::all_of(body.begin(), body.end(), [](QChar c) { return c.unicode() <= 0xff; });
    const QString charset = latin1 ? QStringLiteral("iso-8859-1") : QStringLiteral("utf-8");
    const RecipientList list =
        readRecipientList(QLatin1String(">Content-Type: text/html; charset=") + charset +
                          QLatin1String("\t<") + recipients + u'>');
    const QString host = server.trimmed();
    const QString from = sender.trimmed();
    if (host.isEmpty())
        return text("No SMTP server");
    if (hasControl(host) || host.contains(u' '))
        return text("Invalid SMTP server");
    if (from.isEmpty())
        return text("No sender");
    // A line break in an address would start a new SMTP command or header line.
    if (hasControl(from))
        return text("Invalid sender address");
    if (list.recipients.isEmpty())
        return text("No recipient");
    if (hasControl(list.recipients.join(u' ')) || hasControl(list.headers.join(u' ')))
        return text("Invalid recipient address");
    static const std::atomic_bool never = false;
    if (!abandon)
        abandon = &never;
    if (*abandon)
        return text("Sending abandoned");

    const CurlSetup::Handle curl = CurlSetup::makeHandle();
    if (!curl)
        return text("Could not start the mail transfer");
    CurlSetup::List rcpt;
    for (const QString& address : list.recipients)
        if (!CurlSetup::append(rcpt, (u'<' + address + u'>').toUtf8().constData()))
            return text("Could not start the mail transfer");

    Upload upload{buildMessage(from, list, subject, latin1 ? body.toLatin1() : body.toUtf8())};
    const QByteArray url = smtpUrl(host).toUtf8();
    const QByteArray mailFrom = '<' + from.toUtf8() + '>';
    char error[CURL_ERROR_SIZE] = {};
    CURL* h = curl.get();
    CurlSetup::prepare(h, CurlSetup::Protocols::Mail,
                       {std::chrono::seconds(10), {}, std::chrono::seconds(60)}, abandon);
    curl_easy_setopt(h, CURLOPT_URL, url.constData());
    curl_easy_setopt(h, CURLOPT_USE_SSL, long(CURLUSESSL_TRY));
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, error);
    curl_easy_setopt(h, CURLOPT_MAIL_FROM, mailFrom.constData());
    curl_easy_setopt(h, CURLOPT_MAIL_RCPT, rcpt.get());
    curl_easy_setopt(h, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(h, CURLOPT_INFILESIZE_LARGE, curl_off_t(upload.data.size()));
    curl_easy_setopt(h, CURLOPT_READFUNCTION, readUpload);
    curl_easy_setopt(h, CURLOPT_READDATA, &upload);

    const CURLcode code = curl_easy_perform(h);
    if (code == CURLE_OK)
        return {};
    if (code == CURLE_ABORTED_BY_CALLBACK)
        return text("Sending abandoned");
    QString result = QString::fromUtf8(curl_easy_strerror(code));
    const QString detail = QString::fromUtf8(error).trimmed();
    if (!detail.isEmpty() && detail != result)
        result += QLatin1String(": ") + detail;
    return result;
}
