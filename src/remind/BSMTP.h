#pragma once

#include <QString>

#include <atomic>

// Sends one HTML e-mail over SMTP and waits for the server's answer, at most 10 s to connect
// and 60 s in all. The result is empty exactly when the server accepted the mail; otherwise a
// short text names what failed. Blocking: call it off the user-interface thread (MailSender).
//
// server: "host", "host:port" (port 25 by default), or an smtp:// or smtps:// URL; STARTTLS is
// used whenever the server offers it.
// recipients: addresses separated by TAB characters, each optionally in "<...>".
// subject: line breaks become spaces; non-ASCII text is encoded for the header.
// body: a whole HTML document, sent as ISO-8859-1 when every character fits, else as UTF-8.
// extra: passed empty by every caller; ignored.
// abandon: when it turns true the send stops as soon as it can, with a non-empty result.
QString SendHtmlMail(const QString& server, const QString& sender, const QString& recipients,
                     const QString& subject, const QString& body, const QString& extra = {},
                     const std::atomic_bool* abandon = nullptr);
