#include "print/WrappedText.h"

#include "profile/ShownText.h"

#include <algorithm>
#include <cmath>

namespace {

// Whether a line may break after source[i]. A full stop or comma between two digits belongs
// to a number ("1,200", "3.5") and holds it together.
bool isBreakPoint(const QString& source, qsizetype i)
{
    const QChar c = source[i];
    if (c == QLatin1Char(' ') || c == QLatin1Char('-'))
        return true;
    if (c != QLatin1Char('.') && c != QLatin1Char(','))
        return false;
    const bool inNumber =
        i > 0 && i + 1 < source.size() && source[i - 1].isDigit() && source[i + 1].isDigit();
    return !inNumber;
}

QStringList splitIntoLines(const QString& text, double w, const TextWidth& width)
{
    QString source = textLines(text).join(QLatin1Char('\r'));
    source.append(QLatin1Char('\r'));

    QStringList lines;
    QString line;
    qsizetype lastBreak = -1; // index in line of its last break point
    for (qsizetype i = 0; i < source.size(); ++i) {
        const QChar c = source[i];
        if (c == QLatin1Char('\r')) {
            lines << line;
            line.clear();
            lastBreak = -1;
            continue;
        }
        line.append(c);
        if (isBreakPoint(source, i))
            lastBreak = line.size() - 1;
        // A single character stays on its line however narrow the box.
        while (line.size() > 1 && width(line) > w) {
            const qsizetype cut = lastBreak >= 0 ? lastBreak + 1 : line.size() - 1;
            lines << line.left(cut);
            line = line.mid(cut);
            lastBreak = -1;
        }
    }
    return lines;
}

} // namespace

QList<WrappedLine> WrapText(double x, double y, double w, double h, const QString& text,
                            TextAlign align, const TextWidth& width, double sampleHeight)
{
    // Lines on whole millimetres; at least one apart, so a tiny font cannot stack them.
    const double step = std::max(1.0, std::nearbyint(sampleHeight));
    QList<WrappedLine> placed;
    double top = std::nearbyint(y);
    for (QString line : splitIntoLines(text, w, width)) {
        while (line.endsWith(QLatin1Char(' ')))
            line.chop(1);
        double left = x;
        if (align == TextAlign::Centre)
            left = x + w / 2 - width(line) / 2;
        else if (align == TextAlign::Right)
            left = x + w - width(line);
        placed.append({line, left, top});
        top += step;
        if (top + step >= y + h)
            break;
    }
    return placed;
}
