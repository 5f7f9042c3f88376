#include "store/Common.h"

#include <algorithm>

namespace {

bool isSeparator(QChar c)
{
    return c == QLatin1Char('/') || c == QLatin1Char('\\');
}

qsizetype lastSeparator(const QString& path)
{
    return std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
}

} // namespace

QString LastPathPart(const QString& path)
{
    QString p = path;
    if (!p.isEmpty() && isSeparator(p.back()))
        p.chop(1);
    qsizetype cut = p.size() - 1;
    while (cut >= 0 && !isSeparator(p[cut]))
        --cut;
    if (cut < 0)
        return p;
    return p.mid(cut + 1, 100);
}

QString DirectoryOfPath(const QString& path)
{
    return path.left(lastSeparator(path) + 1);
}

QString FileNameOfPath(const QString& path)
{
    const qsizetype cut = lastSeparator(path);
    return cut < 0 ? QString() : path.mid(cut + 1);
}
