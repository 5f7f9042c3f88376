#include "store/PeopleText.h"

#include "settings/Language.h"

#include <QCoreApplication>
#include <QRegularExpression>

namespace PeopleText {

namespace {

const char* const kContext = "PeopleText";
const char* const kOrganizer = QT_TRANSLATE_NOOP("PeopleText", "Organizer: %1");
const char* const kAttendees = QT_TRANSLATE_NOOP("PeopleText", "Attendees: %1");

struct AnswerName {
    Answer answer;
    const char* key; // the PARTSTAT value, lower case
    const char* word;
};
const AnswerName kAnswers[] = {
    {Answer::Accepted, "accepted", QT_TRANSLATE_NOOP("PeopleText", "accepted")},
    {Answer::Declined, "declined", QT_TRANSLATE_NOOP("PeopleText", "declined")},
    {Answer::Tentative, "tentative", QT_TRANSLATE_NOOP("PeopleText", "tentative")},
    {Answer::NeedsAction, "needs-action", QT_TRANSLATE_NOOP("PeopleText", "needs action")},
    {Answer::Delegated, "delegated", QT_TRANSLATE_NOOP("PeopleText", "delegated")},
};

// RFC 6868: ^n, ^' and ^^ in a parameter's value.
QString unescaped(const QString& value)
{
    QString out;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar next = i + 1 < value.size() ? value[i + 1] : QChar();
        if (value[i] == u'^' && (next == u'n' || next == u'N' || next == u'\'' || next == u'^')) {
            out += next == u'\'' ? QChar(u'"') : next == u'^' ? QChar(u'^') : QChar(u' ');
            ++i;
        } else {
            out += value[i];
        }
    }
    return out;
}

} // namespace

Person personOf(const QString& line)
{
    // NAME *(";" PARAM "=" VALUE *("," VALUE)) ":" ADDRESS; a quoted value holds ; : and ,.
    QString cn;
    QString partstat;
    qsizetype i = line.indexOf(QRegularExpression(QStringLiteral("[;:]")));
    while (i >= 0 && i < line.size() && line[i] == u';') {
        const qsizetype equals = line.indexOf(u'=', i + 1);
        if (equals < 0)
            return {};
        const QString name = line.mid(i + 1, equals - i - 1).trimmed().toUpper();
        QString value;
        i = equals + 1;
        while (i < line.size() && line[i] != u';' && line[i] != u':') {
            if (line[i] == u'"') {
                const qsizetype close = line.indexOf(u'"', i + 1);
                if (close < 0)
                    return {};
                value += line.mid(i + 1, close - i - 1);
                i = close + 1;
            } else {
                value += line[i++];
            }
        }
        if (name == QLatin1String("CN"))
            cn = unescaped(value).trimmed();
        else if (name == QLatin1String("PARTSTAT"))
            partstat = value.trimmed().toLower();
    }
    QString address = i >= 0 && i < line.size() ? line.mid(i + 1).trimmed() : QString();
    if (address.startsWith(QLatin1String("mailto:"), Qt::CaseInsensitive))
        address = address.mid(7);
    Person person{cn.isEmpty() ? address : cn, Answer::None};
    for (const AnswerName& a : kAnswers)
        if (partstat == QLatin1String(a.key))
            person.answer = a.answer;
    return person;
}

QString answerWord(Answer answer, const QString& langCode)
{
    for (const AnswerName& a : kAnswers)
        if (a.answer == answer)
            return Language::translate(kContext, a.word, langCode);
    return {};
}

QString answerKey(Answer answer)
{
    for (const AnswerName& a : kAnswers)
        if (a.answer == answer)
            return QLatin1String(a.key);
    return {};
}

QString organizerText(const QString& line, const QString& langCode)
{
    if (line.isEmpty())
        return {};
    return Language::translate(kContext, kOrganizer, langCode).arg(personOf(line).name);
}

QString attendeesText(const QStringList& lines, const QString& langCode)
{
    QStringList people;
    for (const QString& line : lines) {
        const Person person = personOf(line);
        const QString word = answerWord(person.answer, langCode);
        people << (word.isEmpty() ? person.name : person.name + QStringLiteral(" (%1)").arg(word));
    }
    if (people.isEmpty())
        return {};
    return Language::translate(kContext, kAttendees, langCode)
        .arg(people.join(QStringLiteral(", ")));
}

} // namespace PeopleText
