#include "ui/PictureBox.h"

#include "ui/PaintedAccessible.h"
#include "ui/ScreenColors.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {

QPoint pixel(int xTwips, int yTwips)
{
    return {PictureBox::toPixels(xTwips), PictureBox::toPixels(yTwips)};
}

QRect pixelRect(int x1, int y1, int x2, int y2)
{
    return QRect(pixel(std::min(x1, x2), std::min(y1, y2)),
                 pixel(std::max(x1, x2), std::max(y1, y2)));
}

} // namespace

PictureBox::PictureBox(QWidget* parent)
    : QWidget(parent)
    , m_font(QStringLiteral("Arial"), 8)
{
    // Paper and ink of the desktop until the component chooses its own.
    const ScreenColors colors = ScreenColors::of(this);
    m_backColor = colors.paper();
    m_foreColor = colors.ink();
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    ensureImageSize();
    PaintedAccessible::install();
}

void PictureBox::setAccessibleContent(AccessibleContent content)
{
    m_accessibleContent = std::move(content);
    accessibleContentChanged();
}

PictureBox* PictureBox::handOver(PictureBox* from, PictureBox* to, const QObject* owner,
                                 AccessibleContent content)
{
    if (from) {
        from->disconnect(owner);
        from->setAccessibleContent({});
    }
    if (to)
        to->setAccessibleContent(std::move(content));
    return to;
}

const AccessibleItem& PictureBox::accessibleTree() const
{
    if (!m_accessibleTree)
        m_accessibleTree = m_accessibleContent ? m_accessibleContent() : AccessibleItem();
    return *m_accessibleTree;
}

void PictureBox::accessibleContentChanged()
{
    m_accessibleTree.reset();
    if (QAccessible::isActive())
        PaintedAccessible::contentChanged(this);
}

void PictureBox::resizeTwips(int widthTwips, int heightTwips)
{
    resize(toPixels(widthTwips), toPixels(heightTwips));
    ensureImageSize();
}

void PictureBox::setBackColor(const QColor& color)
{
    m_backColor = color;
    Cls();
}

void PictureBox::ensureImageSize()
{
    const QSize wanted = size().expandedTo(QSize(1, 1));
    if (m_image.size() == wanted)
        return;
    // What was drawn stays where it was; new room shows the background.
    QImage grown(wanted, QImage::Format_RGB32);
    grown.fill(m_backColor);
    if (!m_image.isNull()) {
        QPainter p(&grown);
        p.drawImage(0, 0, m_image);
    }
    m_image = grown;
}

template <typename Draw> void PictureBox::draw(Draw&& paint)
{
    ensureImageSize();
    {
        QPainter p(&m_image);
        paint(p);
    }
    if (m_witness) {
        QPainter p(m_witness);
        paint(p);
    }
    update();
}

void PictureBox::Cls()
{
    draw([this](QPainter& p) {
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.fillRect(QRect(QPoint(0, 0), m_image.size()), m_backColor);
    });
}

void PictureBox::Line(int x1, int y1, int x2, int y2, const QColor& color, int widthPixels,
                      Qt::PenStyle style)
{
    draw([&](QPainter& p) {
        p.setPen(QPen(color, std::max(1, widthPixels), style, Qt::SquareCap));
        p.drawLine(pixel(x1, y1), pixel(x2, y2));
    });
}

void PictureBox::Box(int x1, int y1, int x2, int y2, const QColor& color, Qt::PenStyle style)
{
    draw([&](QPainter& p) {
        p.setPen(QPen(color, 1, style));
        p.setBrush(Qt::NoBrush);
        p.drawRect(pixelRect(x1, y1, x2, y2).adjusted(0, 0, -1, -1));
    });
}

void PictureBox::FillBox(int x1, int y1, int x2, int y2, const QColor& color)
{
    draw([&](QPainter& p) { p.fillRect(pixelRect(x1, y1, x2, y2), color); });
}

void PictureBox::Circle(int cx, int cy, int radius, const QColor& color, int widthPixels)
{
    draw([&](QPainter& p) {
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(color, std::max(1, widthPixels)));
        p.setBrush(Qt::NoBrush);
        const qreal r = radius / qreal(kTwipsPerPixel);
        p.drawEllipse(QPointF(cx / qreal(kTwipsPerPixel), cy / qreal(kTwipsPerPixel)), r, r);
    });
}

void PictureBox::Print(int x, int y, const QString& text)
{
    draw([&](QPainter& p) {
        p.setFont(m_font);
        p.setPen(m_foreColor);
        p.drawText(pixel(x, y) + QPoint(0, QFontMetrics(m_font).ascent()), text);
    });
}

int PictureBox::TextWidth(const QString& text) const
{
    return toTwips(QFontMetrics(m_font).horizontalAdvance(text));
}

int PictureBox::TextHeight(const QString& text) const
{
    Q_UNUSED(text);
    return toTwips(QFontMetrics(m_font).height());
}

void PictureBox::paintEvent(QPaintEvent*)
{
    ensureImageSize();
    QPainter p(this);
    p.drawImage(0, 0, m_image);
}

void PictureBox::resizeEvent(QResizeEvent*)
{
    ensureImageSize();
    emit Resized();
}

void PictureBox::mousePressEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    emit MouseDown(event->button(), event->modifiers(), toTwips(at.x()), toTwips(at.y()));
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    emit MouseUp(event->button(), event->modifiers(), toTwips(at.x()), toTwips(at.y()));
}

void PictureBox::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    emit MouseMove(event->buttons(), event->modifiers(), toTwips(at.x()), toTwips(at.y()));
}

// A double click is no second press, as QWidget's default would make it; windows that open
// something on it watch the event itself.
void PictureBox::mouseDoubleClickEvent(QMouseEvent*) {}

void PictureBox::keyPressEvent(QKeyEvent* event)
{
    emit KeyDown(event->key(), event->modifiers());
    const QString text = event->text();
    if (!text.isEmpty())
        emit KeyPress(text.front());
}

void PictureBox::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    emit GotFocus();
    if (QAccessible::isActive())
        PaintedAccessible::focusEntered(this);
}

void PictureBox::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    emit LostFocus();
}
