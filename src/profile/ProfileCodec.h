#pragma once

#include <QByteArray>
#include <QString>

// Profile files from Windows copies are Windows-1252; ours are too unless a character does not
// fit, and then UTF-8 without a byte-order mark, so no text is ever lost.
namespace ProfileCodec {

// Valid UTF-8 holding non-ASCII bytes reads as UTF-8 (a leading byte-order mark is skipped);
// anything else as Windows-1252.
QString decode(const QByteArray& bytes);

// Windows-1252 when every character fits, otherwise UTF-8.
QByteArray encode(const QString& text);

bool fitsWindows1252(const QString& text);

} // namespace ProfileCodec
