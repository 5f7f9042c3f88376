#include "print/PrintCanvas.h"

#include "profile/ShownText.h"

QList<WrappedLine> PrintCanvas::PrintWrappedText(double x, double y, double w, double h,
                                                 const QString& text, TextAlign align)
{
    const QList<WrappedLine> lines = WrapText(
        x, y, w, h, text, align, [this](const QString& s) { return textWidth(s); },
        textHeight(kLineSample));
    // Marks stacked above a letter, or a first line taller than its box, stay inside it.
    setTextClip(QRectF(x, y, w, h));
    for (const WrappedLine& line : lines) {
        const QString shown = bidiContained(line.text);
        if (!shown.isEmpty())
            drawText(line.x, line.y, shown);
    }
    setTextClip(std::nullopt);
    return lines;
}
