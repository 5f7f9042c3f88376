#include "remind/ReminderMail.h"

#include "calendar/Formats.h"
#include "profile/TextTools.h"
#include "settings/Language.h"
#include "settings/Settings.h"
#include "store/ClassTermin.h"

#include <QCoreApplication>

namespace {

const char* const kContext = "ReminderMail";

QString inLanguage(const char* source, const Settings& settings)
{
    return Language::translate(kContext, source, settings.LangCode());
}

QString escapedHtml(const QString& text)
{
    return text.toHtmlEscaped().replace(QLatin1String("&quot;"), QLatin1String("\""));
}

} // namespace

namespace ReminderMail {

QString subject(const QString& pattern, const ClassTermin& appointment, const QDateTime& now,
                const QString& login, const Settings& settings)
{
    QString subject = ReplaceText(pattern, QStringLiteral("%date%"),
                                  FormatDate(now.date(), settings.DateFormat()));
    subject =
        ReplaceText(subject, QStringLiteral("%time%"),
                    FormatTime(TimeOfDay::fromHourMinute(now.time().hour(), now.time().minute()),
                               settings.TimeFormat()));
    subject = ReplaceText(subject, QStringLiteral("%user%"), login);
    subject = ReplaceText(subject, QStringLiteral("%text%"), appointment.Text());
    if (subject.isEmpty())
        subject =
            inLanguage(QT_TRANSLATE_NOOP("ReminderMail", "Norvane4 Reminder Email"), settings);
    return subject;
}

QString body(const ClassTermin& appointment, const QDate& day, const Settings& settings)
{
    const QString text = ReplaceText(escapedHtml(appointment.TextWithLocation()),
                                     QStringLiteral("\r\n"), QStringLiteral("</b><br>\r\n"));
    const QStringList lines{
        QStringLiteral("<html>"),
        QStringLiteral("<body>"),
        QStringLiteral("<font face='Arial' size=2>") +
            inLanguage(QT_TRANSLATE_NOOP("ReminderMail", "Norvane4 Reminder:"), settings) +
            QStringLiteral("<br><br>"),
        QStringLiteral("<hr size=1>"),
        FormatDate(day, settings.DateFormat()) + QLatin1Char(' ') +
            FormatTime(appointment.StartTime(), settings.TimeFormat()),
        QStringLiteral("<hr size=1><b>"),
        text,
        QStringLiteral("<hr size=1>"),
        inLanguage(QT_TRANSLATE_NOOP("ReminderMail", "Producer: "), settings) +
            escapedHtml(appointment.Producer()),
        QStringLiteral("</body>"),
        QStringLiteral("</html>"),
    };
    return lines.join(QStringLiteral("\r\n"));
}

QString testBody(const QString& langCode)
{
    const auto text = [&](const char* source) {
        return Language::translate(kContext, source, langCode);
    };
    return QStringLiteral("<html>\r\n<body>\r\n<font face='Arial' size=2><b>Norvane4 - Test "
                          "Email</b><hr>\r\n") +
           text(QT_TRANSLATE_NOOP("ReminderMail", "If your recieved this email, your "
                                                  "email-settings are correct <br>and ")) +
           text(QT_TRANSLATE_NOOP("ReminderMail",
                                  "you can be reminded for important appointments.")) +
           QStringLiteral("<br><br><a href='https://norvane.example/'>Norvane4</a></font>"
                          "</body>\r\n</html>\r\n");
}

QString recipients(const QString& emailTo)
{
    return QString(emailTo).replace(QLatin1Char(','), QLatin1Char('\t'));
}

MailMessage build(const ClassTermin& appointment, const QDate& day, const QDateTime& now,
                  const QString& login, const Settings& settings)
{
    return {settings.EmailSMTP(), settings.EmailFrom(), recipients(settings.EmailTo()),
            subject(settings.EmailSubject(), appointment, now, login, settings),
            body(appointment, day, settings)};
}

} // namespace ReminderMail
