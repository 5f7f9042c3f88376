#pragma once

#include "print/WrappedText.h"

#include <QColor>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <optional>

// A page to draw one printout on, in millimetres from the top left corner of the printable
// area. Text is placed by its top edge.
class PrintCanvas {
public:
    virtual ~PrintCanvas() = default;

    // Width and height of the printable area.
    virtual QSizeF printableSize() const = 0;

    virtual void setFont(const QString& name, double pointSize, bool bold, bool italic) = 0;
    // Lines drawn from now on are dotted (planning rows) or solid.
    virtual void setDotted(bool dotted) = 0;

    virtual void DrawLine(double x1, double y1, double x2, double y2, const QColor& color) = 0;
    // The outline of the rectangle from (x, y) to (x + w, y + h).
    virtual void DrawBox(double x, double y, double w, double h, const QColor& color) = 0;
    virtual void FillBox(double x, double y, double w, double h, const QColor& color) = 0;

    // In the current font.
    virtual double textWidth(const QString& text) const = 0;
    virtual double textHeight(const QString& text) const = 0;
    // One line of text in black, its top left corner at (x, y), on a transparent background.
    virtual void drawText(double x, double y, const QString& text) = 0;
    // Text drawn from now on is cut at box (none: not cut).
    virtual void setTextClip(const std::optional<QRectF>& box) = 0;

    // Ends the page and starts another of the same size, for a printout longer than a page;
    // false when that failed.
    virtual bool newPage() = 0;
    // Ends the page and the job; false when the output could not be completed.
    virtual bool finish() = 0;

    // The text wrapped into the box (see WrapText) in the current font, cut at the box, each
    // line's direction controls kept to that line.
    QList<WrappedLine> PrintWrappedText(double x, double y, double w, double h, const QString& text,
                                        TextAlign align);
};
