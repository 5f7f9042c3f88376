#include "profile/ProfileCodec.h"

#include <QStringDecoder>

#include <array>

namespace {

// Bytes 0x80..0x9F of Windows-1252. The five bytes Windows leaves unassigned map to the C1
// control of the same value, as Windows itself does, so every byte survives a round trip.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

int windows1252Byte(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == c)
            return int(0x80 + i);
    }
    return -1;
}

bool hasNonAscii(const QByteArray& bytes)
{
    for (char b : bytes) {
        if (static_cast<unsigned char>(b) >= 0x80)
            return true;
    }
    return false;
}

} // namespace

namespace ProfileCodec {

QString decode(const QByteArray& bytes)
{
    if (hasNonAscii(bytes)) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString text = utf8.decode(bytes);
        if (!utf8.hasError())
            return text.startsWith(QChar(0xFEFF)) ? text.mid(1) : text;
    }
    QString text;
    text.reserve(bytes.size());
    for (char b : bytes) {
        const auto u = static_cast<unsigned char>(b);
        text.append(u >= 0x80 && u < 0xA0 ? QChar(kHighControls[u - 0x80]) : QChar(char16_t(u)));
    }
    return text;
}

bool fitsWindows1252(const QString& text)
{
    for (QChar c : text) {
        if (windows1252Byte(c.unicode()) < 0)
            return false;
    }
    return true;
}

QByteArray encode(const QString& text)
{
    if (!fitsWindows1252(text))
        return text.toUtf8();
    QByteArray bytes;
    bytes.reserve(text.size());
    for (QChar c : text)
        bytes.append(char(windows1252Byte(c.unicode())));
    // Windows-1252 bytes that happen to be valid UTF-8 ("Ä°" is C4 B0) would read back as
    // another text: such a text is written as UTF-8, which reads back as it was.
    if (decode(bytes) != text)
        return text.toUtf8();
    return bytes;
}

} // namespace ProfileCodec
