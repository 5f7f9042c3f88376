#include "PrintCanvas.h"

QList<WrappedLine> PrintCanvas::PrintWrappedText(double x, double y, double w, double h,
                                                 const QString& text, TextAlign align)
{
    const QList<WrappedLine> lines = WrapText(
        x, y, w, h, text, align, [this](const QString& s) { return textWidth(s); },
        textHeight(kLineSample));
    for (const WrappedLine& line : lines)
        if (!line.text.isEmpty())
            drawText(line.x, line.y, line.text);
    return lines;
}
