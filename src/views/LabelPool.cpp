#include "views/LabelPool.h"

#include "profile/ShownText.h"
#include "ui/ScreenColors.h"

#include <QEvent>
#include <QPainter>
#include <QTimer>

namespace {

// The border is the ink, faint.
constexpr int kBorderAlpha = 80;

// Hands a label's presses, moves, releases and double clicks to the window; the thousands of
// other events a crowded week sends its labels are none of the window's business.
class MouseFilter : public QObject {
public:
    explicit MouseFilter(QObject* handler)
        : m_handler(handler)
    {
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseMove:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
            return m_handler->eventFilter(watched, event);
        default:
            return false;
        }
    }

private:
    QObject* m_handler;
};

// Each line's own direction, as a label of one line would find it.
int directionOf(const QString& line)
{
    return line.isRightToLeft() ? Qt::TextForceRightToLeft : Qt::TextForceLeftToRight;
}

} // namespace

ViewLabel::ViewLabel(QWidget* parent)
    : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // The pointer over the lower edge shows that it can be dragged.
    setMouseTracking(true);
    // Not marked opaque although it paints every pixel: with thousands of opaque siblings
    // every repaint of one would subtract all the others from its region.
}

void ViewLabel::setLook(const QColor& back, const QColor& fore, bool border,
                        const QMargins& padding)
{
    const QMargins margins = padding + (border ? QMargins(1, 1, 1, 1) : QMargins()) +
                             (m_band.isValid() ? QMargins(kBandWidth, 0, 0, 0) : QMargins());
    if (back == m_back && fore == m_fore && border == m_border && margins == contentsMargins())
        return;
    m_back = back;
    m_fore = fore;
    m_border = border;
    setContentsMargins(margins);
    update();
}

void ViewLabel::setBand(const QColor& color)
{
    if (color == m_band)
        return;
    const QMargins band(kBandWidth, 0, 0, 0);
    setContentsMargins(contentsMargins() + (color.isValid() ? band : QMargins()) -
                       (m_band.isValid() ? band : QMargins()));
    m_band = color;
    update();
}

void ViewLabel::setLines(const QStringList& lines, const QFont& font)
{
    m_lines.clear();
    m_lines.reserve(lines.size());
    for (const QString& line : lines)
        m_lines << bidiContained(line);
    m_font = font;
    setText(m_lines.join(QLatin1Char('\n')));
    update();
}

void ViewLabel::setLine(const QString& line)
{
    m_lines = QStringList{bidiContained(line)};
    m_font.reset();
    setText(m_lines.constFirst());
    update();
}

void ViewLabel::reset()
{
    setBand(QColor());
    m_lines.clear();
    m_font.reset();
    clear();
}

void ViewLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), m_back);
    if (m_border) {
        QColor border = ScreenColors::of(this).ink();
        border.setAlpha(kBorderAlpha);
        painter.setPen(border);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    if (m_band.isValid())
        painter.fillRect(QRect(m_border ? 1 : 0, 0, kBandWidth, height()), m_band);
    const QRect box = contentsRect();
    if (m_lines.isEmpty() || box.isEmpty())
        return;
    // The box is the text's limit: marks stacked high above a letter or a line that does not
    // fit stay inside it, off the border and the neighbours.
    painter.setClipRect(box);
    const QFont& font = m_font ? *m_font : this->font();
    painter.setFont(font);
    painter.setPen(m_fore);
    const int lineHeight = QFontMetrics(font).lineSpacing();
    QRect line(box.left(), box.top(), box.width(), lineHeight);
    for (const QString& text : std::as_const(m_lines)) {
        if (line.top() > box.bottom())
            break;
        painter.drawText(
            line, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | directionOf(text), text);
        line.translate(0, lineHeight);
    }
}

LabelPool::LabelPool(QWidget* parent, QObject* mouseHandler)
    : m_parent(parent)
    , m_mouseFilter(mouseHandler ? std::make_unique<MouseFilter>(mouseHandler) : nullptr)
    , m_spareTimer(new QTimer())
{
    m_spareTimer->setSingleShot(true);
    m_spareTimer->setInterval(kSpareLifeMs);
    QObject::connect(m_spareTimer, &QTimer::timeout, [this] { dropSpares(kSparesKept); });
}

LabelPool::~LabelPool()
{
    delete m_spareTimer;
}

QLabel* LabelPool::CreateLabelResource()
{
    // No scans: a crowded week takes and returns thousands of labels on a step.
    if (!m_free.empty()) {
        const int index = *m_free.begin();
        m_free.erase(m_free.begin());
        if (ViewLabel* label = m_labels[index]) {
            m_index.insert(label, index);
            return label;
        }
    }
    auto* label = new ViewLabel(m_parent);
    label->setFont(QFont(QStringLiteral("Arial"), 8)); // the day column fits it to each label
    label->hide();
    if (m_mouseFilter)
        label->installEventFilter(m_mouseFilter.get());
    int index = int(m_labels.size());
    if (!m_empty.empty()) {
        index = *m_empty.begin();
        m_empty.erase(m_empty.begin());
        m_labels[index] = label;
    } else {
        m_labels.append(label);
    }
    m_index.insert(label, index);
    return label;
}

void LabelPool::ReleaseLabelResource(QLabel* label)
{
    const auto found = m_index.constFind(label);
    if (found == m_index.cend())
        return;
    const int i = *found;
    m_index.erase(found);
    if (m_labels[i] != label)
        return;
    // Kept, not deleted: the label may be the one whose mouse event is running right now,
    // and the next view takes it again.
    label->hide();
    m_free.insert(i);
    m_spareTimer->start();
}

void LabelPool::dropSpares(int keep)
{
    while (int(m_free.size()) > std::max(0, keep)) {
        // The highest first, so the labels handed out first stay.
        const int i = *m_free.rbegin();
        m_free.erase(std::prev(m_free.end()));
        if (ViewLabel* label = m_labels[i])
            label->deleteLater();
        m_labels[i] = nullptr;
        m_empty.insert(i);
    }
}
