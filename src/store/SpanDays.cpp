#include "store/SpanDays.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QHash>
#include <QRegularExpression>
#include <QUuid>

#include <algorithm>

namespace SpanDays {

namespace {

const char* const kMark = QT_TRANSLATE_NOOP("SpanDays", "%1 (day %2 of %3)");
constexpr qsizetype kLongestId = 128; // what AppointmentFile reads back

struct Lines {
    QString first;
    QString rest; // from the first line break on
};

Lines linesOf(const QString& text)
{
    const qsizetype lineEnd = text.indexOf(QLatin1String("\r\n"));
    return lineEnd < 0 ? Lines{text, {}} : Lines{text.left(lineEnd), text.mid(lineEnd)};
}

// The mark as a pattern matching the end of a first line, "%1" the title before it.
QRegularExpression markPattern(QString mark)
{
    // Placeholders as words, which escaping leaves alone.
    for (const char* n : {"1", "2", "3"})
        mark.replace(QLatin1String("%") + QLatin1String(n),
                     QLatin1String("MARKx") + QLatin1String(n));
    QString pattern = QRegularExpression::escape(mark);
    pattern.replace(QLatin1String("MARKx1"), QLatin1String("(.*?)"));
    pattern.replace(QLatin1String("MARKx2"), QLatin1String("\\d+"));
    pattern.replace(QLatin1String("MARKx3"), QLatin1String("\\d+"));
    return QRegularExpression(QLatin1Char('^') + pattern + QLatin1Char('$'));
}

} // namespace

QString markedText(const QString& text, int day, int days)
{
    const Lines lines = linesOf(text);
    const QString marked = QCoreApplication::translate("SpanDays", kMark)
                               .arg(lines.first, QString::number(day), QString::number(days))
                               .trimmed();
    return ClassTermin::cappedText(marked + lines.rest);
}

QString unmarkedText(const QString& text)
{
    const Lines lines = linesOf(text);
    for (const QString& mark :
         {QCoreApplication::translate("SpanDays", kMark), QString::fromLatin1(kMark)}) {
        const QRegularExpressionMatch match = markPattern(mark).match(lines.first);
        if (match.hasMatch())
            return match.captured(1) + lines.rest;
    }
    return text;
}

QString idFor(const QString& uid)
{
    if (uid.isEmpty())
        return QUuid::createUuid().toString(QUuid::WithoutBraces);
    if (uid.size() <= kLongestId && !uid.contains(QLatin1Char('\n')) &&
        !uid.contains(QLatin1Char('\r')))
        return uid;
    return QStringLiteral("sha1:") +
           QString::fromLatin1(
               QCryptographicHash::hash(uid.toUtf8(), QCryptographicHash::Sha1).toHex());
}

QList<ClassTermin> daysOf(const Shape& shape)
{
    ClassTermin a = shape.appointment;
    a.setFilename({});
    a.setIsRecurring(false);
    if (!shape.from.isValid() || !shape.until.isValid() || shape.until <= shape.from) {
        a.setDatum(shape.from);
        a.setRecurringStartDate(shape.from);
        a.setRecurringEndDate(shape.from);
        a.setSpan({}, {}, {});
        return {a};
    }
    const QString id = shape.id.isEmpty() ? idFor({}) : shape.id;
    const int days = int(shape.from.daysTo(shape.until)) + 1;
    QList<ClassTermin> files;
    for (int n = 0; n < days; ++n) {
        ClassTermin day = a;
        const QDate date = shape.from.addDays(n);
        day.setDatum(date);
        day.setRecurringStartDate(date);
        day.setRecurringEndDate(date);
        if (n > 0)
            day.setStartTime(TimeOfDay::fromMinutes(0));
        if (n < days - 1)
            day.setEndTime(TimeOfDay::fromMinutes(TimeOfDay::kEndOfDay));
        day.setText(markedText(a.Text(), n + 1, days));
        day.setSpan(id, shape.from, shape.until);
        files.append(day);
    }
    return files;
}

std::optional<Shape> shapeOf(const QList<TerminPtr>& current)
{
    if (current.isEmpty())
        return std::nullopt;
    const auto [first, last] = std::minmax_element(
        current.cbegin(), current.cend(),
        [](const TerminPtr& a, const TerminPtr& b) { return a->datum() < b->datum(); });
    Shape shape{**first, (*first)->datum(), (*last)->datum(), (*first)->SpanId()};
    shape.appointment.setEndTime((*last)->EndTime());
    shape.appointment.setText(unmarkedText((*first)->Text()));
    return shape;
}

Plan plan(const QList<TerminPtr>& current, const std::optional<Shape>& wanted)
{
    QHash<QDate, QString> fileOfDay;
    for (const TerminPtr& a : current)
        fileOfDay.insert(a->datum(), a->filename());
    Plan result;
    if (wanted) {
        for (const ClassTermin& day : daysOf(*wanted))
            result.write.append({day, fileOfDay.take(day.datum())});
    }
    // Every file no day writes over goes, also a second file of one day (a copy's doing).
    for (const TerminPtr& a : current) {
        const bool kept = std::any_of(result.write.cbegin(), result.write.cend(),
                                      [&a](const Write& w) { return w.replaces == a->filename(); });
        if (!kept && !result.remove.contains(a->filename()))
            result.remove.append(a->filename());
    }
    return result;
}

Shape moved(Shape shape, qint64 days)
{
    shape.from = shape.from.addDays(days);
    shape.until = shape.until.addDays(days);
    return shape;
}

Shape edited(const Shape& before, const ClassTermin& day, const ClassTermin& changed)
{
    Shape after = before;
    after.appointment = changed;
    after.appointment.setText(unmarkedText(changed.Text()));
    if (day.datum() != before.from)
        after.appointment.setStartTime(before.appointment.StartTime());
    if (day.datum() != before.until)
        after.appointment.setEndTime(before.appointment.EndTime());
    after = moved(after, day.datum().daysTo(changed.datum()));
    // A last day set anew (the editor's) ends the span there.
    if (changed.isSpanDay() && changed.SpanUntil().isValid() &&
        changed.SpanUntil() != day.SpanUntil())
        after.until = changed.SpanUntil();
    return after;
}

} // namespace SpanDays
