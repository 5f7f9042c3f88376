#pragma once

#include <QString>
#include <QStringList>

// Appointment text from the share as every view, tooltip and printout shows it. Files break
// lines with CR LF, but a copy or a phone may have written a lone CR or a lone LF: each of
// the three ends a line wherever the text is shown.

// The text's lines; an empty text is one empty line.
QStringList textLines(const QString& text);
// The first line, with "..." after it when more follow.
QString firstLine(const QString& text);

// The text with its direction controls kept to itself: an embedding, override or isolate
// still open at a line end is closed there, and a closing mark with nothing to close is
// dropped, so one appointment's right-to-left override cannot turn the lines or texts drawn
// after it. A text without such controls comes back unchanged.
QString bidiContained(const QString& text);
