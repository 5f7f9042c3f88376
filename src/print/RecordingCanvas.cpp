#include "print/RecordingCanvas.h"

namespace {

RecordingCanvas::Item shape(RecordingCanvas::Item::Kind kind, double x, double y, double w,
                            double h, const QColor& color)
{
    RecordingCanvas::Item item;
    item.kind = kind;
    item.x = x;
    item.y = y;
    item.w = w;
    item.h = h;
    item.color = color;
    return item;
}

} // namespace

RecordingCanvas::RecordingCanvas(QSizeF printableSize)
    : m_size(printableSize)
{
}

QList<RecordingCanvas::Item> RecordingCanvas::itemsOf(Item::Kind kind) const
{
    QList<Item> found;
    for (const Item& item : m_items)
        if (item.kind == kind)
            found << item;
    return found;
}

void RecordingCanvas::setFont(const QString& name, double pointSize, bool bold, bool italic)
{
    m_font = {name, pointSize, bold, italic};
}

void RecordingCanvas::DrawLine(double x1, double y1, double x2, double y2, const QColor& color)
{
    Item item = shape(Item::Line, x1, y1, x2 - x1, y2 - y1, color);
    item.dotted = m_dotted;
    m_items << item;
}

void RecordingCanvas::DrawBox(double x, double y, double w, double h, const QColor& color)
{
    m_items << shape(Item::Box, x, y, w, h, color);
}

void RecordingCanvas::FillBox(double x, double y, double w, double h, const QColor& color)
{
    m_items << shape(Item::Fill, x, y, w, h, color);
}

double RecordingCanvas::textWidth(const QString& text) const
{
    return text.size() * m_font.pointSize / 5;
}

double RecordingCanvas::textHeight(const QString&) const
{
    return m_font.pointSize * 0.4;
}

void RecordingCanvas::drawText(double x, double y, const QString& text)
{
    Item item = shape(Item::Text, x, y, textWidth(text), textHeight(text), Qt::black);
    item.text = text;
    item.font = m_font;
    item.clip = m_clip;
    m_items << item;
}

bool RecordingCanvas::newPage()
{
    ++m_pages;
    return true;
}

bool RecordingCanvas::finish()
{
    m_finished = true;
    return true;
}
