#pragma once

#include "remind/MailSender.h"

#include <QDateTime>
#include <QString>

class ClassTermin;
class Settings;

// The e-mail that reminds of an appointment: subject from the settings' pattern, an HTML body
// in the settings' language, the recipients of the settings.
namespace ReminderMail {

// The pattern with "%date%", "%time%", "%user%" and "%text%" filled in, in that order; an
// empty result gives the default subject of the language.
QString subject(const QString& pattern, const ClassTermin& appointment, const QDateTime& now,
                const QString& login, const Settings& settings);
// The day is the one the appointment is reminded for: today, or tomorrow on the evening before.
// The appointment's text and owner are escaped: a text like "a<b" reads as written.
QString body(const ClassTermin& appointment, const QDate& day, const Settings& settings);
// "a@x, b@y" becomes "a@x<TAB> b@y": the mail layer trims each address.
QString recipients(const QString& emailTo);

// The body of the settings window's test e-mail, in the language of langCode.
QString testBody(const QString& langCode);

MailMessage build(const ClassTermin& appointment, const QDate& day, const QDateTime& now,
                  const QString& login, const Settings& settings);

} // namespace ReminderMail
