#include "ui/ClassTabs.h"

#include "ui/PictureBox.h"
#include "ui/ScreenColors.h"

#include <QKeySequence>
#include <QRegularExpression>
#include <QShortcut>

#include <utility>

namespace {

constexpr int kPixel = PictureBox::kTwipsPerPixel;
// Unselected tabs sit this much lower, so the selected one rises above its neighbours.
constexpr int kUnselectedDrop = 2 * kPixel;
// Gap between a caption and its dotted frame.
constexpr int kFrameGap = 2 * kPixel;

const QColor kShadow(128, 128, 128);

// A caption as a screen reader says it: without the leading sign in brackets ("[!] Reminder")
// that marks the page for the eye.
QString spokenCaption(const QString& caption)
{
    static const QRegularExpression sign(QStringLiteral("^\\[[^\\]]{1,3}\\]\\s*"));
    return QString(caption).remove(sign);
}

} // namespace

ClassTabs::ClassTabs(QObject* parent)
    : QObject(parent)
{
}

ClassTabs::~ClassTabs()
{
    PictureBox::handOver(b_pic, nullptr, this, {});
}

void ClassTabs::Bind(PictureBox* picture)
{
    b_pic = PictureBox::handOver(b_pic, picture, this, [this] { return describe(); });
    if (!b_pic)
        return;
    // The picture keeps what is drawn by itself; redraw only when something changes.
    connect(b_pic, &PictureBox::MouseDown, this, &ClassTabs::b_pic_MouseDown);
    connect(b_pic, &PictureBox::KeyDown, this, &ClassTabs::b_pic_KeyDown);
    connect(b_pic, &PictureBox::GotFocus, this, &ClassTabs::paintme);
    connect(b_pic, &PictureBox::LostFocus, this, &ClassTabs::paintme);
    connect(b_pic, &PictureBox::Resized, this, &ClassTabs::paintme);
    for (Header& header : m_headers)
        header.width = measure(header);
    paintme();
}

void ClassTabs::AddHeader(const QString& caption, bool bold, const QColor& colour)
{
    Header header{caption, bold, colour, 0};
    header.width = measure(header);
    m_headers.append(header);
    if (m_selectedIndex == -1)
        m_selectedIndex = 0;
    paintme();
}

void ClassTabs::Rename(int index, const QString& caption, std::optional<QColor> colour,
                       std::optional<bool> bold)
{
    if (index < 0 || index >= GetHeadercount())
        return;
    Header& header = m_headers[index];
    if (!caption.isEmpty())
        header.caption = caption;
    if (colour)
        header.colour = *colour;
    if (bold)
        header.bold = *bold;
    header.width = measure(header);
    paintme();
}

void ClassTabs::setSelectedIndex(int index)
{
    if (index < 0 || index >= GetHeadercount())
        return;
    m_selectedIndex = index;
    paintme();
}

QString ClassTabs::Caption(int index) const
{
    return index >= 0 && index < GetHeadercount() ? m_headers[index].caption : QString();
}

QColor ClassTabs::Colour(int index) const
{
    return index >= 0 && index < GetHeadercount() ? m_headers[index].colour : QColor();
}

ClassTabs::HeaderSpan ClassTabs::Span(int index) const
{
    // Headers whose padded captions would run past the strip give up padding alike, so that
    // every caption stays whole.
    int padded = 0;
    for (const Header& header : m_headers)
        padded += header.width;
    const int room = b_pic ? b_pic->ScaleWidth() : padded;
    const int count = std::max<int>(1, int(GetHeadercount()));
    const int squeeze = padded > room ? (padded - room + count - 1) / count : 0;
    HeaderSpan span;
    for (int i = 0; i < GetHeadercount() && i <= index; ++i) {
        span.left = span.right;
        span.right = span.left + m_headers[i].width - squeeze;
    }
    return span;
}

QString ClassTabs::Padded(const QString& caption)
{
    return QStringLiteral("   ") + caption + QStringLiteral("   ");
}

int ClassTabs::measure(const Header& header) const
{
    if (!b_pic)
        return 0;
    const bool wasBold = b_pic->FontBold();
    b_pic->setFontBold(header.bold);
    const int width = b_pic->TextWidth(Padded(header.caption));
    b_pic->setFontBold(wasBold);
    return width;
}

int ClassTabs::headerAt(int x) const
{
    for (int i = 0; i < GetHeadercount(); ++i)
        if (Span(i).contains(x))
            return i;
    return -1;
}

void ClassTabs::b_pic_MouseDown(Qt::MouseButton, Qt::KeyboardModifiers, int x, int)
{
    const int index = headerAt(x);
    if (index < 0)
        return;
    const QString caption = m_headers[index].caption;
    if (index != m_selectedIndex)
        emit Change(caption, index);
    emit Click(caption, index);
    // A handler may have removed headers or bound elsewhere; select only what still exists.
    setSelectedIndex(index);
}

void ClassTabs::b_pic_KeyDown(int key, Qt::KeyboardModifiers)
{
    if (key == Qt::Key_Left && m_selectedIndex >= 1)
        moveByKey(m_selectedIndex - 1);
    else if (key == Qt::Key_Right && m_selectedIndex < GetHeadercount() - 1)
        moveByKey(m_selectedIndex + 1);
}

void ClassTabs::bindPageKeys(QWidget* window)
{
    const auto step = [this](int by) {
        const int count = GetHeadercount();
        if (count > 1)
            moveByKey((m_selectedIndex + by + count) % count);
    };
    const std::pair<QKeySequence, int> keys[] = {
        {QKeySequence(Qt::CTRL | Qt::Key_Tab), 1},
        {QKeySequence(Qt::CTRL | Qt::Key_PageDown), 1},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), -1},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), -1},
        {QKeySequence(Qt::CTRL | Qt::Key_PageUp), -1},
    };
    for (const auto& [key, by] : keys)
        connect(new QShortcut(key, window), &QShortcut::activated, this, [step, by] { step(by); });
}

void ClassTabs::moveByKey(int index)
{
    setSelectedIndex(index);
    const QString caption = m_headers[index].caption;
    emit Change(caption, index);
    emit Click(caption, index);
}

void ClassTabs::paintme()
{
    if (!b_pic)
        return;
    const bool wasBold = b_pic->FontBold();
    const QColor wasFore = b_pic->ForeColor();
    b_pic->Cls();

    // The bottom row is the top edge of the page below; the selected tab opens into it.
    const int baseline = b_pic->ScaleHeight() - kPixel;
    for (int i = 0; i < GetHeadercount(); ++i)
        if (i != m_selectedIndex)
            drawTab(i, baseline - kPixel);
    b_pic->Line(0, baseline, b_pic->ScaleWidth() - kPixel, baseline,
                ScreenColors::of(b_pic).litEdge());
    if (m_selectedIndex >= 0)
        drawTab(m_selectedIndex, baseline);

    b_pic->setFontBold(wasBold);
    b_pic->setForeColor(wasFore);
    b_pic->accessibleContentChanged();
}

AccessibleItem ClassTabs::describe() const
{
    AccessibleItem strip;
    strip.role = QAccessible::PageTabList;
    // Every window's strip switches its pages; the window may say more in its own name.
    strip.name = tr("Pages");
    for (int i = 0; i < GetHeadercount(); ++i) {
        const HeaderSpan span = Span(i);
        const QRect rect(
            QPoint(PictureBox::toPixels(span.left), 0),
            QPoint(PictureBox::toPixels(span.right) - 1, b_pic ? b_pic->height() - 1 : 0));
        // The keys move the selection, so it is where the keyboard is.
        const bool selected = i == m_selectedIndex;
        strip.children.append(AccessibleItem::choice(
            QAccessible::PageTab, spokenCaption(m_headers[i].caption), rect, selected, selected));
    }
    return strip;
}

void ClassTabs::drawTab(int index, int bottom)
{
    const HeaderSpan span = Span(index);
    if (span.right - span.left < 4 * kPixel)
        return;
    const bool selected = index == m_selectedIndex;
    const int top = selected ? 0 : kUnselectedDrop;
    const int left = span.left;
    const int right = span.right - kPixel; // last pixel column of the tab

    b_pic->FillBox(left, top, right, bottom, b_pic->BackColor());
    // Highlight on the left and top, shadow on the right, with cut corners.
    const QColor lit = ScreenColors::of(b_pic).litEdge();
    const QColor shadow = ScreenColors::of(b_pic).adapt(kShadow);
    b_pic->Line(left, top + 2 * kPixel, left, bottom, lit);
    b_pic->Line(left + kPixel, top + kPixel, left + kPixel, top + kPixel, lit);
    b_pic->Line(left + 2 * kPixel, top, right - 2 * kPixel, top, lit);
    b_pic->Line(right - kPixel, top + kPixel, right - kPixel, top + kPixel, shadow);
    b_pic->Line(right, top + 2 * kPixel, right, bottom, shadow);
    drawCaption(index, top, bottom);
}

void ClassTabs::drawCaption(int index, int tabTop, int bottom)
{
    const Header& header = m_headers[index];
    const ScreenColors colors = ScreenColors::of(b_pic);
    b_pic->setFontBold(header.bold);
    b_pic->setForeColor(colors.legible(header.colour, b_pic->BackColor()));
    const int textHeight = b_pic->TextHeight();
    const HeaderSpan span = Span(index);
    const int textTop = tabTop + std::max(kPixel, (bottom - tabTop + kPixel - textHeight) / 2);
    // In the middle of its tab, as the padding on both sides puts it.
    const int captionWidth = b_pic->TextWidth(header.caption);
    const int captionLeft = span.left + (span.right - span.left - captionWidth) / 2;
    b_pic->Print(captionLeft, textTop, header.caption);

    if (index != m_selectedIndex)
        return;
    const int captionRight = captionLeft + captionWidth;
    const QColor frame = b_pic->hasFocus() ? colors.ink() : colors.adapt(kShadow);
    b_pic->Box(captionLeft - kFrameGap, textTop, captionRight + kFrameGap, textTop + textHeight,
               frame, Qt::DotLine);
}
