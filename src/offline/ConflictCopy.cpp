#include "offline/ConflictCopy.h"

#include "offline/OfflineText.h"
#include "profile/ApiINI.h"
#include "profile/ProfileCodec.h"
#include "profile/ProfileDocument.h"
#include "settings/Language.h"
#include "store/AppointmentFile.h"
#include "store/ClassTermin.h"

#include <QCryptographicHash>

namespace ConflictCopy {

namespace {

const char* const kMark = QT_TRANSLATE_NOOP("Offline", "(conflict copy, changed offline by %1)");

} // namespace

QString mark(const QString& who, const QString& langCode)
{
    const QString text = langCode.isEmpty() ? OfflineText::tr(kMark)
                                            : Language::translate("Offline", kMark, langCode);
    return text.arg(who);
}

QString seriesIdOf(const QByteArray& bytes)
{
    return QStringLiteral("c") +
           QString::fromLatin1(
               QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex().left(24));
}

QByteArray of(const QByteArray& bytes, const QString& who, const QString& langCode, bool ruleFile)
{
    const QString& s = AppointmentFile::kSection;
    ProfileDocument doc(ProfileCodec::decode(bytes));
    const QString text = DecodeIniValue(doc.value(s, QStringLiteral("Text")).value_or(QString()));
    const qsizetype lineEnd = text.indexOf(QLatin1String("\r\n"));
    const QString first = lineEnd < 0 ? text : text.left(lineEnd);
    const QString rest = lineEnd < 0 ? QString() : text.mid(lineEnd);
    const QString marked = ClassTermin::cappedText(first + u' ' + mark(who, langCode) + rest);
    doc.setValue(s, QStringLiteral("Text"), EncodeIniValue(marked));
    const QByteArray digest = QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex();
    doc.setValue(s, QStringLiteral("UID"),
                 QString::fromLatin1(digest.left(32)) + QStringLiteral("@norvane-offline"));
    if (ruleFile)
        doc.setValue(s, QStringLiteral("SeriesId"), seriesIdOf(bytes));
    for (const QString& key :
         {ruleFile ? QString() : QStringLiteral("SeriesId"), AppointmentFile::kSpanId,
          AppointmentFile::kSpanFrom, AppointmentFile::kSpanUntil})
        if (!key.isEmpty())
            doc.removeKey(s, key);
    return ProfileCodec::encode(doc.toText());
}

} // namespace ConflictCopy
