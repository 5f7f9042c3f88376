#include "index/TextFolding.h"

#include <QChar>
#include <QList>

namespace TextFolding {

namespace {

bool isMark(char32_t c)
{
    switch (QChar::category(c)) {
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing:
        return true;
    default:
        return false;
    }
}

} // namespace

QString fold(const QString& text)
{
    const QList<uint> decomposed = text.normalized(QString::NormalizationForm_KD).toUcs4();
    QList<char32_t> kept;
    kept.reserve(decomposed.size());
    for (const uint c : decomposed) {
        if (isMark(c))
            continue;
        // ß has no decomposition and lower case keeps it; the capital ẞ lowers to it.
        if (c == 0x00DF || c == 0x1E9E) {
            kept << U's' << U's';
            continue;
        }
        kept << QChar::toLower(char32_t(c));
    }
    return QString::fromUcs4(kept.constData(), kept.size());
}

QStringList queryWords(const QStringList& words)
{
    QStringList parts;
    for (const QString& word : words) {
        const QList<uint> folded = fold(word).toUcs4();
        QList<char32_t> part;
        for (qsizetype i = 0; i <= folded.size(); ++i) {
            if (i < folded.size() && QChar::isLetterOrNumber(char32_t(folded[i]))) {
                part << char32_t(folded[i]);
                continue;
            }
            if (!part.isEmpty())
                parts << QString::fromUcs4(part.constData(), part.size());
            part.clear();
        }
    }
    return parts;
}

} // namespace TextFolding
