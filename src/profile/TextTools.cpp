#include "profile/TextTools.h"

#include <algorithm>

int FindLastOf(const QString& text, const QString& find)
{
    if (find.isEmpty() || find.size() > text.size())
        return 0;
    const qsizetype at = text.lastIndexOf(find);
    return at < 0 ? 0 : int(at) + 1;
}

QString ReplaceText(const QString& text, const QString& find, const QString& replacement, int start,
                    int count, Qt::CaseSensitivity cs)
{
    if (find.isEmpty() || find == replacement)
        return text;
    QString s = text;
    qsizetype from = std::max(0, start - 1);
    int done = 0;
    while (count < 0 || done < count) {
        const qsizetype at = s.indexOf(find, from, cs);
        if (at < 0)
            break;
        s.replace(at, find.size(), replacement);
        from = at + replacement.size();
        ++done;
    }
    return s;
}

QString ReverseText(const QString& text)
{
    QString reversed = text;
    std::reverse(reversed.begin(), reversed.end());
    return reversed;
}

QStringList SplitText(const QString& text, const QString& delimiter, int limit,
                      Qt::CaseSensitivity cs)
{
    if (delimiter.isEmpty())
        return {text};
    QStringList parts;
    qsizetype from = 0;
    while (limit < 0 || parts.size() < limit) {
        const qsizetype at = text.indexOf(delimiter, from, cs);
        if (at < 0)
            break;
        parts.append(text.mid(from, at - from));
        from = at + delimiter.size();
    }
    parts.append(text.mid(from));
    return parts;
}
