#pragma once

#include "print/PrintCanvas.h"

#include <QFont>
#include <QPainter>
#include <QPen>

class QPagedPaintDevice;

// The canvas of a real page: paints on a paged device (a printer, the preview's, or a PDF
// writer), mapping millimetres to the device's resolution. Text stays text, so a PDF can be
// searched and copied from. Needs a QGuiApplication for the fonts.
class PainterCanvas : public PrintCanvas {
public:
    // Starts painting on the device as it is set up (page size, orientation, output).
    explicit PainterCanvas(QPagedPaintDevice& device);
    ~PainterCanvas() override;

    PainterCanvas(const PainterCanvas&) = delete;
    PainterCanvas& operator=(const PainterCanvas&) = delete;

    // False when the device could not be opened (no such directory for a PDF, say).
    bool isActive() const { return m_painter.isActive(); }

    QSizeF printableSize() const override;
    void setFont(const QString& name, double pointSize, bool bold, bool italic) override;
    void setDotted(bool dotted) override;
    void DrawLine(double x1, double y1, double x2, double y2, const QColor& color) override;
    void DrawBox(double x, double y, double w, double h, const QColor& color) override;
    void FillBox(double x, double y, double w, double h, const QColor& color) override;
    double textWidth(const QString& text) const override;
    double textHeight(const QString& text) const override;
    void drawText(double x, double y, const QString& text) override;
    void setTextClip(const std::optional<QRectF>& box) override { m_clip = box; }
    bool newPage() override;
    bool finish() override;

private:
    QPointF toDevice(double x, double y) const;
    QRectF toDevice(double x, double y, double w, double h) const;
    void usePen(const QColor& color);

    QPagedPaintDevice& m_device;
    QPainter m_painter;
    QFont m_font;
    double m_unitsPerMm = 1;
    bool m_dotted = false;
    std::optional<QRectF> m_clip;
};
