#include "profile/ProfileDocument.h"

namespace {

const QString kCrLf = QStringLiteral("\r\n");

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

QStringView trimBlanks(QStringView s)
{
    qsizetype begin = 0;
    qsizetype end = s.size();
    while (begin < end && isBlank(s[begin]))
        ++begin;
    while (end > begin && isBlank(s[end - 1]))
        --end;
    return s.sliced(begin, end - begin);
}

QChar firstNonBlank(QStringView line)
{
    const QStringView t = trimBlanks(line);
    return t.isEmpty() ? QChar() : t.front();
}

bool isSectionHeader(QStringView line)
{
    return firstNonBlank(line) == QLatin1Char('[');
}

// "[ name ]rest" is "name"; a header without "]" runs to the end of the line.
QStringView sectionName(QStringView line)
{
    QStringView t = trimBlanks(line).sliced(1);
    const qsizetype close = t.indexOf(QLatin1Char(']'));
    if (close >= 0)
        t = t.first(close);
    return trimBlanks(t);
}

bool isComment(QStringView line)
{
    return firstNonBlank(line) == QLatin1Char(';');
}

// A key line has an "=" and is neither a comment nor a header.
std::optional<QStringView> keyName(QStringView line)
{
    if (isComment(line) || isSectionHeader(line))
        return std::nullopt;
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq < 0)
        return std::nullopt;
    return trimBlanks(line.first(eq));
}

QString unquote(QStringView raw)
{
    QStringView v = trimBlanks(raw);
    if (v.size() >= 2 && (v.front() == QLatin1Char('"') || v.front() == QLatin1Char('\'')) &&
        v.back() == v.front())
        v = v.sliced(1, v.size() - 2);
    return v.toString();
}

bool sameName(QStringView a, QStringView b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

ProfileDocument::ProfileDocument(QString text)
    : m_text(std::move(text))
{
}

ProfileDocument::Line ProfileDocument::lineAt(qsizetype begin) const
{
    const qsizetype n = m_text.size();
    qsizetype end = begin;
    while (end < n && m_text[end] != QLatin1Char('\r') && m_text[end] != QLatin1Char('\n'))
        ++end;
    qsizetype next = end;
    if (next < n && m_text[next] == QLatin1Char('\r'))
        ++next;
    if (next < n && m_text[next] == QLatin1Char('\n'))
        ++next;
    return {begin, end, next};
}

QStringView ProfileDocument::textOf(const Line& line) const
{
    return QStringView(m_text).sliced(line.begin, line.end - line.begin);
}

ProfileDocument::SectionScan ProfileDocument::scan(const QString& section, const QString& key) const
{
    SectionScan result;
    const qsizetype n = m_text.size();
    for (qsizetype pos = 0; pos < n;) {
        const Line line = lineAt(pos);
        pos = line.next;
        const QStringView text = textOf(line);
        if (isSectionHeader(text)) {
            if (result.found)
                break; // only the first section of a name counts
            if (sameName(sectionName(text), section)) {
                result.found = true;
                result.header = line;
            }
            continue;
        }
        if (!result.found)
            continue;
        const auto name = keyName(text);
        if (!name)
            continue;
        result.lastKey = line;
        if (!result.key && sameName(*name, key))
            result.key = line;
    }
    return result;
}

std::optional<QString> ProfileDocument::value(const QString& section, const QString& key) const
{
    const SectionScan found = scan(section, key);
    if (!found.key)
        return std::nullopt;
    const QStringView text = textOf(*found.key);
    return unquote(text.sliced(text.indexOf(QLatin1Char('=')) + 1));
}

QHash<QString, QString> ProfileDocument::values(const QString& section) const
{
    QHash<QString, QString> result;
    bool inSection = false;
    for (qsizetype pos = 0; pos < m_text.size();) {
        const Line line = lineAt(pos);
        pos = line.next;
        const QStringView text = textOf(line);
        if (isSectionHeader(text)) {
            if (inSection)
                break; // only the first section of a name counts
            inSection = sameName(sectionName(text), section);
            continue;
        }
        const auto name = inSection ? keyName(text) : std::nullopt;
        if (!name)
            continue;
        const QString key = name->toString().toLower();
        if (!result.contains(key))
            result.insert(key, unquote(text.sliced(text.indexOf(QLatin1Char('=')) + 1)));
    }
    return result;
}

void ProfileDocument::insertLine(qsizetype at, const QString& text)
{
    QString inserted = text + kCrLf;
    // The line before gains a line end if it was the unterminated last line.
    if (at > 0 && m_text[at - 1] != QLatin1Char('\r') && m_text[at - 1] != QLatin1Char('\n'))
        inserted.prepend(kCrLf);
    m_text.insert(at, inserted);
}

void ProfileDocument::setValue(const QString& section, const QString& key, const QString& value)
{
    const SectionScan found = scan(section, key);
    if (!found.found) {
        insertLine(m_text.size(), QLatin1Char('[') + section + QLatin1Char(']'));
        insertLine(m_text.size(), key + QLatin1Char('=') + value);
        return;
    }
    if (found.key) {
        // The key keeps the spelling it has in the file; the line keeps its line end.
        const QString replacement =
            keyName(textOf(*found.key))->toString() + QLatin1Char('=') + value;
        m_text.replace(found.key->begin, found.key->end - found.key->begin, replacement);
        return;
    }
    const Line& after = found.lastKey ? *found.lastKey : found.header;
    insertLine(after.next, key + QLatin1Char('=') + value);
}

void ProfileDocument::removeKey(const QString& section, const QString& key)
{
    // Only the first line counts for a reader, but a later one would count once it is gone.
    for (SectionScan found = scan(section, key); found.key; found = scan(section, key))
        m_text.remove(found.key->begin, found.key->next - found.key->begin);
}
