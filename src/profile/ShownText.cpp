#include "profile/ShownText.h"

#include <algorithm>
#include <iterator>
#include <vector>

namespace {

// Opened by LRE, RLE, LRO, RLO and closed by PDF; opened by LRI, RLI, FSI and closed by PDI.
constexpr char16_t kPdf = 0x202C;
constexpr char16_t kPdi = 0x2069;

bool opensEmbedding(char16_t c)
{
    return c == 0x202A || c == 0x202B || c == 0x202D || c == 0x202E;
}

bool opensIsolate(char16_t c)
{
    return c >= 0x2066 && c <= 0x2068;
}

// Where the bidirectional algorithm ends a paragraph or a label starts a new line.
bool endsLine(char16_t c)
{
    return c == u'\n' || c == u'\r' || c == 0x2028 || c == 0x2029;
}

bool isLineBreak(QChar c)
{
    return c == QLatin1Char('\r') || c == QLatin1Char('\n');
}

} // namespace

QStringList textLines(const QString& text)
{
    QStringList lines;
    qsizetype from = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!isLineBreak(text[i]))
            continue;
        lines << text.mid(from, i - from);
        if (text[i] == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
            ++i;
        from = i + 1;
    }
    lines << text.mid(from);
    return lines;
}

QString firstLine(const QString& text)
{
    const auto lineBreak = std::find_if(text.begin(), text.end(), isLineBreak);
    if (lineBreak == text.end())
        return text;
    return text.left(lineBreak - text.begin()) + QStringLiteral("...");
}

QString bidiContained(const QString& text)
{
    QString contained;
    contained.reserve(text.size());
    std::vector<char16_t> open; // the closing mark each open control waits for, innermost last
    const auto closeAll = [&] {
        while (!open.empty()) {
            contained += QChar(open.back());
            open.pop_back();
        }
    };
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if (endsLine(c)) {
            closeAll();
        } else if (opensEmbedding(c)) {
            open.push_back(kPdf);
        } else if (opensIsolate(c)) {
            open.push_back(kPdi);
        } else if (c == kPdf) {
            // Inside an isolate a PDF cannot reach an embedding outside it.
            if (open.empty() || open.back() != kPdf)
                continue;
            open.pop_back();
        } else if (c == kPdi) {
            const auto isolate = std::find(open.rbegin(), open.rend(), kPdi);
            if (isolate == open.rend())
                continue;
            // A PDI closes the embeddings opened inside its isolate too.
            open.erase(std::prev(isolate.base()), open.end());
        }
        contained += ch;
    }
    closeAll();
    return contained;
}
