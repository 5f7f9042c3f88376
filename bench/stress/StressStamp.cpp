#include "StressStamp.h"

#include "calendar/Formats.h"
#include "profile/ApiINI.h"
#include "profile/ProfileCodec.h"
#include "profile/ProfileDocument.h"
#include "store/AppointmentFile.h"
#include "store/ClassTermin.h"
#include "store/Common.h"

#include <QCryptographicHash>
#include <QRegularExpression>

namespace Stress {

namespace {

const QString kSumMark = QStringLiteral(" #sum=");

// The keys of a file the store wrote anew, in the order it writes them.
const QStringList kKeys = {QStringLiteral("DateYear"),
                           QStringLiteral("DateMonth"),
                           QStringLiteral("DateDay"),
                           QStringLiteral("StartTimeHour"),
                           QStringLiteral("StartTimeMinute"),
                           QStringLiteral("EndTimeHour"),
                           QStringLiteral("EndTimeMinute"),
                           QStringLiteral("Color"),
                           QStringLiteral("Text"),
                           QStringLiteral("Producer"),
                           QStringLiteral("IsReminder"),
                           QStringLiteral("RemindTime"),
                           QStringLiteral("RemindMe"),
                           QStringLiteral("RemindEmail"),
                           QStringLiteral("Recurring"),
                           QStringLiteral("RecurringFromYear"),
                           QStringLiteral("RecurringFromMonth"),
                           QStringLiteral("RecurringFromDay"),
                           QStringLiteral("RecurringUntilYear"),
                           QStringLiteral("RecurringUntilMonth"),
                           QStringLiteral("RecurringUntilDay")};

QString kindCode(Recurrence::Kind kind)
{
    return kind == Recurrence::Kind::None ? QStringLiteral("once") : Recurrence::code(kind);
}

QString sumOf(const QString& body)
{
    return QString::fromLatin1(
        QCryptographicHash::hash(body.toUtf8(), QCryptographicHash::Md5).left(4).toHex());
}

QString timeText(TimeOfDay t)
{
    return QStringLiteral("%1:%2").arg(TwoDigits(t.hour()), TwoDigits(t.minute()));
}

QDate lastDay()
{
    return kFirstDay.addDays(kDays - 1);
}

} // namespace

QList<QDate> days()
{
    QList<QDate> all;
    for (int i = 0; i < kDays; ++i)
        all.append(kFirstDay.addDays(i));
    return all;
}

QString Stamp::id() const
{
    return QStringLiteral("w%1-a%2").arg(writer).arg(appointment);
}

QString producerOf(int writer)
{
    return QStringLiteral("stress-w%1").arg(writer);
}

QString composeText(const Stamp& s, const QString& payload)
{
    const QString body =
        QStringLiteral("%1-v%2 d=%3 k=%4 s=%5 e=%6 c=%7 | %8")
            .arg(s.id())
            .arg(s.version)
            .arg(s.date.toString(Qt::ISODate), kindCode(s.kind), timeText(s.start), timeText(s.end))
            .arg(s.color)
            .arg(payload);
    return body + kSumMark + sumOf(body);
}

std::optional<Stamp> parseText(const QString& text, QString* why)
{
    const auto fail = [why](const QString& reason) {
        if (why)
            *why = reason;
        return std::nullopt;
    };
    const qsizetype mark = text.lastIndexOf(kSumMark);
    if (mark < 0)
        return fail(QStringLiteral("no checksum"));
    const QString body = text.left(mark);
    if (text.mid(mark + kSumMark.size()) != sumOf(body))
        return fail(QStringLiteral("checksum does not match"));

    static const QRegularExpression head(
        QStringLiteral("^w(\\d+)-a(\\d+)-v(\\d+) d=(\\d{4}-\\d{2}-\\d{2}) k=(once|d|wd|m|y) "
                       "s=(\\d{2}):(\\d{2}) e=(\\d{2}):(\\d{2}) c=(\\d+) \\| "));
    const QRegularExpressionMatch m = head.match(body);
    if (!m.hasMatch())
        return fail(QStringLiteral("no stamp"));
    Stamp s;
    s.writer = m.captured(1).toInt();
    s.appointment = m.captured(2).toInt();
    s.version = m.captured(3).toInt();
    s.date = QDate::fromString(m.captured(4), Qt::ISODate);
    s.kind = m.captured(5) == QLatin1String("once") ? Recurrence::Kind::None
                                                    : Recurrence::ofCode(m.captured(5));
    s.start = TimeOfDay::fromHourMinute(m.captured(6).toInt(), m.captured(7).toInt());
    s.end = TimeOfDay::fromHourMinute(m.captured(8).toInt(), m.captured(9).toInt());
    s.color = m.captured(10).toInt();
    return s;
}

QString randomPayload(QRandomGenerator& random)
{
    // Windows-1252 letters that are no UTF-8 continuation bytes, so such a file never reads
    // as valid UTF-8; the other set needs UTF-8.
    static const QString plain = QStringLiteral("abcdefghijklmnopqrstuvwxyz ABCXYZ 0123456789 "
                                                ".,;:-_()=\u00e4\u00f6\u00fc\u00df\u00c4");
    static const QString wide = QStringLiteral("\u2713\u20ac\u65e5\u00e4=");
    const bool utf8 = random.bounded(4) == 0;
    // Mostly short, now and then a few kilobytes.
    const int length = random.bounded(8) == 0 ? random.bounded(4000) : random.bounded(120);
    QString payload;
    payload.reserve(length + 8);
    if (utf8)
        payload += QChar(0x2713);
    for (int i = 0; i < length; ++i) {
        const int r = random.bounded(100);
        if (r == 0)
            payload += QLatin1String("\r\n");
        else if (utf8 && r < 10)
            payload += wide[random.bounded(int(wide.size()))];
        else
            payload += plain[random.bounded(int(plain.size()))];
    }
    return payload;
}

QString checkRecord(const ClassTermin& a, const QString& dataFolder)
{
    QString why;
    const std::optional<Stamp> s = parseText(a.Text(), &why);
    if (!s)
        return why;
    if (a.datum() != s->date)
        return QStringLiteral("date %1 differs from its text").arg(a.datum().toString(Qt::ISODate));
    if (a.StartTime() != s->start || a.EndTime() != s->end)
        return QStringLiteral("times differ from the text");
    if (a.ColorCode() != s->color)
        return QStringLiteral("colour %1 differs from the text").arg(a.ColorCode());
    if (a.Producer() != producerOf(s->writer))
        return QStringLiteral("owner %1 differs from the text").arg(a.Producer());
    if (Recurrence::ofPath(a.filename()) != s->kind ||
        DirectoryOfPath(a.filename()) != Recurrence::directory(dataFolder, s->kind, s->date))
        return QStringLiteral("lies in the wrong directory for its text");
    if (a.IsRecurring() != (s->kind != Recurrence::Kind::None))
        return QStringLiteral("recurrence flag differs from the text");
    if (a.RecurringStartDate() != kFirstDay || a.RecurringEndDate() != lastDay())
        return QStringLiteral("recurring range differs from what every writer writes");
    if (a.IsReminder())
        return QStringLiteral("has a reminder no writer sets");
    return {};
}

QString checkFileBytes(const QByteArray& bytes, const QString& path, const QString& dataFolder,
                       QString* textOut)
{
    if (bytes.isEmpty())
        return QStringLiteral("empty file");
    const QString content = ProfileCodec::decode(bytes);
    if (!content.endsWith(QLatin1String("\r\n")))
        return QStringLiteral("does not end in a line end (%1 bytes)").arg(bytes.size());
    const QStringList lines = content.chopped(2).split(QLatin1String("\r\n"));
    if (lines.size() != kKeys.size() + 1 ||
        lines.front() != QLatin1Char('[') + AppointmentFile::kSection + QLatin1Char(']'))
        return QStringLiteral("%1 lines instead of one section of %2 keys")
            .arg(lines.size())
            .arg(kKeys.size());
    for (qsizetype i = 0; i < kKeys.size(); ++i) {
        if (!lines[i + 1].startsWith(kKeys[i] + QLatin1Char('=')))
            return QStringLiteral("line %1 is not key %2").arg(i + 2).arg(kKeys[i]);
    }
    const ProfileDocument document(content);
    const auto value = [&](const QString& key) {
        return document.value(AppointmentFile::kSection, key).value_or(QString());
    };
    const QString text = DecodeIniValue(value(QStringLiteral("Text")));
    if (textOut)
        *textOut = text;
    QString why;
    const std::optional<Stamp> s = parseText(text, &why);
    if (!s)
        return why;
    const auto number = [&](const QString& key) { return value(key).toInt(); };
    if (number(QStringLiteral("DateYear")) != s->date.year() ||
        number(QStringLiteral("DateMonth")) != s->date.month() ||
        number(QStringLiteral("DateDay")) != s->date.day())
        return QStringLiteral("date keys differ from the text");
    if (number(QStringLiteral("StartTimeHour")) != s->start.hour() ||
        number(QStringLiteral("StartTimeMinute")) != s->start.minute() ||
        number(QStringLiteral("EndTimeHour")) != s->end.hour() ||
        number(QStringLiteral("EndTimeMinute")) != s->end.minute())
        return QStringLiteral("time keys differ from the text");
    if (number(QStringLiteral("Color")) != s->color)
        return QStringLiteral("colour key differs from the text");
    if (value(QStringLiteral("Producer")) != producerOf(s->writer))
        return QStringLiteral("owner key differs from the text");
    if (number(QStringLiteral("Recurring")) != (s->kind != Recurrence::Kind::None ? 1 : 0))
        return QStringLiteral("recurring key differs from the text");
    if (DirectoryOfPath(path) != Recurrence::directory(dataFolder, s->kind, s->date))
        return QStringLiteral("lies in the wrong directory for its text");
    return {};
}

} // namespace Stress
