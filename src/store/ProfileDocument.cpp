#include "ProfileDocument.h"

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

ProfileDocument::ProfileDocument(const QString& text)
{
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        qsizetype endLen = 1;
        if (c == QLatin1Char('\r') && i + 1 < n && text[i + 1] == QLatin1Char('\n'))
            endLen = 2;
        m_lines.push_back({text.mid(start, i - start), text.mid(i, endLen)});
        i += endLen - 1;
        start = i + 1;
    }
    if (start < n)
        m_lines.push_back({text.mid(start), QString()});
}

int ProfileDocument::findSection(const QString& section) const
{
    for (size_t i = 0; i < m_lines.size(); ++i) {
        const QString& line = m_lines[i].text;
        if (isSectionHeader(line) && sameName(sectionName(line), section))
            return int(i);
    }
    return -1;
}

int ProfileDocument::findKey(int header, const QString& key, int* lastKeyLine) const
{
    int last = header;
    int found = -1;
    for (size_t i = size_t(header) + 1; i < m_lines.size(); ++i) {
        const QString& line = m_lines[i].text;
        if (isSectionHeader(line))
            break;
        const auto name = keyName(line);
        if (!name)
            continue;
        last = int(i);
        if (found < 0 && sameName(*name, key))
            found = int(i);
    }
    if (lastKeyLine)
        *lastKeyLine = last;
    return found;
}

std::optional<QString> ProfileDocument::value(const QString& section, const QString& key) const
{
    const int header = findSection(section);
    if (header < 0)
        return std::nullopt;
    const int line = findKey(header, key, nullptr);
    if (line < 0)
        return std::nullopt;
    const QString& text = m_lines[size_t(line)].text;
    return unquote(QStringView(text).sliced(text.indexOf(QLatin1Char('=')) + 1));
}

void ProfileDocument::insertLine(int index, const QString& text)
{
    // The line before gains a line end if it was the unterminated last line.
    if (index > 0 && m_lines[size_t(index) - 1].ending.isEmpty())
        m_lines[size_t(index) - 1].ending = kCrLf;
    m_lines.insert(m_lines.begin() + index, Line{text, kCrLf});
}

void ProfileDocument::setValue(const QString& section, const QString& key, const QString& value)
{
    const int header = findSection(section);
    if (header < 0) {
        insertLine(int(m_lines.size()), QLatin1Char('[') + section + QLatin1Char(']'));
        insertLine(int(m_lines.size()), key + QLatin1Char('=') + value);
        return;
    }
    int lastKeyLine = header;
    const int line = findKey(header, key, &lastKeyLine);
    if (line >= 0) {
        Line& existing = m_lines[size_t(line)];
        // The key keeps the spelling it has in the file.
        existing.text = keyName(existing.text)->toString() + QLatin1Char('=') + value;
        return;
    }
    insertLine(lastKeyLine + 1, key + QLatin1Char('=') + value);
}

QString ProfileDocument::toText() const
{
    QString text;
    for (const Line& line : m_lines)
        text += line.text + line.ending;
    return text;
}
