#include "print/PainterCanvas.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>

namespace {

constexpr double kMmPerInch = 25.4;
// Thin lines: a hairline is one device pixel, too faint on a high-resolution printer.
constexpr double kLineWidthMm = 0.1;
// Dotted rows: dots and gaps in line widths, about 0.3 mm and 0.6 mm.
const QList<qreal> kDotPattern{3, 6};

} // namespace

PainterCanvas::PainterCanvas(QPagedPaintDevice& device)
    : m_device(device)
{
    m_unitsPerMm = device.logicalDpiX() / kMmPerInch;
    setFont(QStringLiteral("Arial"), 9, false, false);
    if (!m_painter.begin(&device))
        return;
    m_painter.setBackgroundMode(Qt::TransparentMode);
    m_painter.setRenderHint(QPainter::Antialiasing, true);
    m_painter.setFont(m_font);
    usePen(Qt::black);
}

PainterCanvas::~PainterCanvas()
{
    if (m_painter.isActive())
        m_painter.end();
}

QSizeF PainterCanvas::printableSize() const
{
    return {m_device.width() / m_unitsPerMm, m_device.height() / m_unitsPerMm};
}

void PainterCanvas::setFont(const QString& name, double pointSize, bool bold, bool italic)
{
    m_font = QFont(name);
    m_font.setPointSizeF(pointSize);
    m_font.setBold(bold);
    m_font.setItalic(italic);
    if (isActive())
        m_painter.setFont(m_font);
}

void PainterCanvas::setDotted(bool dotted)
{
    m_dotted = dotted;
}

QPointF PainterCanvas::toDevice(double x, double y) const
{
    return {x * m_unitsPerMm, y * m_unitsPerMm};
}

QRectF PainterCanvas::toDevice(double x, double y, double w, double h) const
{
    return {toDevice(x, y), QSizeF(w * m_unitsPerMm, h * m_unitsPerMm)};
}

void PainterCanvas::usePen(const QColor& color)
{
    QPen pen(color, kLineWidthMm * m_unitsPerMm);
    pen.setCapStyle(Qt::FlatCap);
    if (m_dotted)
        pen.setDashPattern(kDotPattern);
    m_painter.setPen(pen);
    m_painter.setBrush(Qt::NoBrush);
}

void PainterCanvas::DrawLine(double x1, double y1, double x2, double y2, const QColor& color)
{
    if (!isActive())
        return;
    usePen(color);
    m_painter.drawLine(toDevice(x1, y1), toDevice(x2, y2));
}

void PainterCanvas::DrawBox(double x, double y, double w, double h, const QColor& color)
{
    if (!isActive())
        return;
    usePen(color);
    m_painter.drawRect(toDevice(x, y, w, h));
}

void PainterCanvas::FillBox(double x, double y, double w, double h, const QColor& color)
{
    if (isActive())
        m_painter.fillRect(toDevice(x, y, w, h), color);
}

double PainterCanvas::textWidth(const QString& text) const
{
    return QFontMetricsF(m_font, &m_device).horizontalAdvance(text) / m_unitsPerMm;
}

double PainterCanvas::textHeight(const QString&) const
{
    // One line of the font, whatever the characters: as the device reports a text's height.
    return QFontMetricsF(m_font, &m_device).height() / m_unitsPerMm;
}

void PainterCanvas::drawText(double x, double y, const QString& text)
{
    if (!isActive())
        return;
    const QFontMetricsF metrics(m_font, &m_device);
    usePen(Qt::black);
    if (m_clip)
        m_painter.setClipRect(
            toDevice(m_clip->x(), m_clip->y(), m_clip->width(), m_clip->height()));
    m_painter.drawText(toDevice(x, y) + QPointF(0, metrics.ascent()), text);
    if (m_clip)
        m_painter.setClipping(false);
}

bool PainterCanvas::newPage()
{
    return m_painter.isActive() && m_device.newPage();
}

bool PainterCanvas::finish()
{
    if (!m_painter.isActive())
        return false;
    return m_painter.end();
}
