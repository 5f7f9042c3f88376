#include "views/MonthView.h"

#include "calendar/Names.h"
#include "colors/Palette.h"
#include "ui/PlainText.h"
#include "ui/ScreenColors.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>

namespace {

const QColor kGrid(200, 200, 200);
const QColor kOtherMonth(244, 244, 244);
const QColor kToday(232, 243, 255);
const QColor kMore(0, 0, 160);
constexpr int kPadding = 2;
constexpr int kFolderBand = 4;

} // namespace

MonthView::MonthView(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("month_view"));
    // The keys stay the window's: it moves the selection.
    setFocusPolicy(Qt::NoFocus);
    setAutoFillBackground(true);
    QPalette colors = palette();
    colors.setColor(QPalette::Window, ScreenColors(colors).paper());
    setPalette(colors);
    QFont small(QStringLiteral("Arial"), 8);
    setFont(small);
}

void MonthView::setMonth(MonthLayout::Month month, const QString& langCode)
{
    m_month = std::move(month);
    m_langCode = langCode;
    update();
}

int MonthView::lineHeight() const
{
    return fontMetrics().height() + 2;
}

int MonthView::headerHeight() const
{
    return lineHeight() + 4;
}

int MonthView::weekColumnWidth() const
{
    return fontMetrics().horizontalAdvance(QStringLiteral("000")) + 2 * kPadding;
}

int MonthView::rows() const
{
    return std::max<int>(1, int(m_month.weeks.size()));
}

int MonthView::columns() const
{
    return std::max<int>(1, int(m_month.weekdays.size()));
}

int MonthView::linesPerCell(int weeks) const
{
    const int cellHeight = (height() - headerHeight()) / std::max(1, weeks);
    // The day number takes the first line.
    return std::max(0, (cellHeight - kPadding) / lineHeight() - 1);
}

QRect MonthView::cellRect(int row, int column) const
{
    const int left = weekColumnWidth();
    const int top = headerHeight();
    const int w = width() - left;
    const int h = height() - top;
    const int x1 = left + column * w / columns();
    const int x2 = left + (column + 1) * w / columns();
    const int y1 = top + row * h / rows();
    const int y2 = top + (row + 1) * h / rows();
    return QRect(QPoint(x1, y1), QPoint(x2 - 1, y2 - 1));
}

QRect MonthView::lineRect(const QRect& cell, int line) const
{
    return QRect(cell.left() + kPadding, cell.top() + kPadding + (line + 1) * lineHeight(),
                 cell.width() - 2 * kPadding, lineHeight() - 1);
}

MonthView::Hit MonthView::hitAt(const QPoint& at) const
{
    for (int row = 0; row < int(m_month.weeks.size()); ++row) {
        const MonthLayout::Week& week = m_month.weeks[row];
        for (int column = 0; column < int(week.cells.size()); ++column) {
            const QRect rect = cellRect(row, column);
            if (!rect.contains(at))
                continue;
            const MonthLayout::Cell& cell = week.cells[column];
            Hit hit{cell.date, QString(), false};
            for (int line = 0; line < int(cell.entries.size()); ++line)
                if (lineRect(rect, line).contains(at))
                    hit.tag = cell.entries[line].tag;
            if (cell.moreCount > 0 && lineRect(rect, int(cell.entries.size())).contains(at))
                hit.more = true;
            return hit;
        }
    }
    return {};
}

bool MonthView::event(QEvent* event)
{
    if (event->type() != QEvent::ToolTip)
        return QWidget::event(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    const MonthLayout::Entry* entry = MonthLayout::entryOf(m_month, hitAt(help->pos()).tag);
    if (!entry) {
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    QString line =
        entry->time.isEmpty() ? entry->text : entry->time + QLatin1Char(' ') + entry->text;
    if (const auto folder = FolderMarks::of(m_folders, entry->appointment->filename()))
        line += u'\n' + FolderMarks::calendarLine(folder);
    QToolTip::showText(help->globalPos(), plainToolTip(line), this);
    return true;
}

void MonthView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QFontMetrics metrics = fontMetrics();
    const ScreenColors colors = ScreenColors::of(this);
    const QColor header = colors.adapt(Palette::kHeaderGrey);
    // The background too: the palette may have turned dark since this view was made.
    painter.fillRect(rect(), colors.paper());
    painter.fillRect(QRect(0, 0, width(), headerHeight()), header);
    painter.setPen(colors.legible(Qt::white, header));
    const QStringList names = DayNames(m_langCode);
    const QStringList shortNames = ShortDayNames(m_langCode);
    for (int column = 0; column < int(m_month.weekdays.size()); ++column) {
        const QRect cell = cellRect(0, column);
        const QRect head(cell.left(), 0, cell.width(), headerHeight());
        const int weekday = m_month.weekdays[column];
        const QString name = metrics.horizontalAdvance(names.value(weekday)) < head.width()
                                 ? names.value(weekday)
                                 : shortNames.value(weekday);
        painter.drawText(head, Qt::AlignCenter, name);
    }
    for (int row = 0; row < int(m_month.weeks.size()); ++row) {
        const MonthLayout::Week& week = m_month.weeks[row];
        const QRect first = cellRect(row, 0);
        painter.setPen(colors.legible(Qt::darkGray, colors.paper()));
        painter.drawText(QRect(0, first.top() + kPadding, weekColumnWidth(), lineHeight()),
                         Qt::AlignCenter, QString::number(week.number));
        for (int column = 0; column < int(week.cells.size()); ++column)
            paintCell(painter, week.cells[column], cellRect(row, column));
        paintSpans(painter, week, row);
    }
}

void MonthView::paintCell(QPainter& painter, const MonthLayout::Cell& cell, const QRect& rect)
{
    const ScreenColors colors = ScreenColors::of(this);
    const QColor fill = colors.adapt(m_dragging && cell.date == m_dropDay ? Palette::kDropTarget
                                     : cell.today                         ? kToday
                                     : cell.inMonth                       ? QColor(Qt::white)
                                                                          : kOtherMonth);
    painter.save();
    painter.setClipRect(rect.adjusted(0, 0, 1, 1));
    painter.fillRect(rect, fill);
    painter.setPen(colors.adapt(kGrid));
    painter.drawRect(rect.adjusted(0, 0, 1, 1));
    if (cell.selected) {
        painter.setPen(QPen(colors.selection(Palette::kDarkBlue), 2));
        painter.drawRect(rect.adjusted(1, 1, -1, -1));
    }
    QFont number = font();
    number.setBold(cell.today);
    painter.setFont(number);
    painter.setPen(colors.legible(cell.inMonth ? Qt::black : Qt::gray, fill));
    painter.drawText(QRect(rect.left() + kPadding, rect.top() + kPadding,
                           rect.width() - 2 * kPadding, lineHeight()),
                     Qt::AlignLeft | Qt::AlignVCenter, QString::number(cell.date.day()));
    painter.setFont(font());
    for (int line = 0; line < int(cell.entries.size()); ++line) {
        const MonthLayout::Entry& entry = cell.entries[line];
        const QRect box = lineRect(rect, line);
        if (box.bottom() > rect.bottom())
            break;
        if (entry.columns == 1 && !entry.covered)
            paintEntry(painter, entry, box);
    }
    if (cell.moreCount > 0) {
        const QRect box = lineRect(rect, int(cell.entries.size()));
        painter.setPen(colors.legible(kMore, fill));
        painter.drawText(box.adjusted(kPadding, 0, -kPadding, 0), Qt::AlignLeft | Qt::AlignVCenter,
                         MonthLayout::moreText(cell.moreCount, m_langCode));
    }
    painter.restore();
}

void MonthView::paintEntry(QPainter& painter, const MonthLayout::Entry& entry, const QRect& box)
{
    const ScreenColors colors = ScreenColors::of(this);
    const QFontMetrics metrics = fontMetrics();
    const QColor entryFill =
        colors.appointment(m_colors ? m_colors(entry.colorCode) : QColor(Qt::yellow));
    painter.fillRect(box, entryFill);
    // Another folder's entry: its folder's band, its own colour beside it.
    const auto folder = FolderMarks::of(m_folders, entry.appointment->filename());
    const int band = folder ? kFolderBand : 0;
    if (folder)
        painter.fillRect(QRect(box.left(), box.top(), band, box.height()),
                         colors.adapt(folder->color));
    painter.setPen(colors.onAppointment(entryFill));
    const QString text =
        entry.time.isEmpty() ? entry.text : entry.time + QLatin1Char(' ') + entry.text;
    painter.drawText(box.adjusted(kPadding + band, 0, -kPadding, 0),
                     Qt::AlignLeft | Qt::AlignVCenter,
                     metrics.elidedText(text, Qt::ElideRight, box.width() - 2 * kPadding - band));
}

void MonthView::paintSpans(QPainter& painter, const MonthLayout::Week& week, int row)
{
    for (int column = 0; column < int(week.cells.size()); ++column) {
        const QList<MonthLayout::Entry>& entries = week.cells[column].entries;
        for (int line = 0; line < int(entries.size()); ++line) {
            const MonthLayout::Entry& bar = entries[line];
            const QRect cell = cellRect(row, column);
            const QRect box = lineRect(cell, line);
            if (bar.columns < 2 || box.bottom() > cell.bottom())
                continue;
            const int last = std::min(column + bar.columns, int(week.cells.size())) - 1;
            painter.save();
            paintEntry(painter, bar, box.united(lineRect(cellRect(row, last), line)));
            painter.restore();
        }
    }
}

void MonthView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    emit resized();
}

void MonthView::mousePressEvent(QMouseEvent* event)
{
    const Hit hit = hitAt(event->position().toPoint());
    if (event->button() == Qt::RightButton && hit.date.isValid() && !hit.more) {
        if (const MonthLayout::Entry* entry = MonthLayout::entryOf(m_month, hit.tag))
            emit entryMenuAsked(*entry, hit.date, event->globalPosition().toPoint());
        return;
    }
    if (event->button() != Qt::LeftButton || !hit.date.isValid())
        return;
    if (hit.more) {
        emit moreClicked(hit.date);
        return;
    }
    if (const MonthLayout::Entry* entry = MonthLayout::entryOf(m_month, hit.tag)) {
        m_pressed = *entry;
        m_pressedDay = hit.date;
        m_pressedAt = event->position().toPoint();
        emit entryPressed(*entry, hit.date);
    }
    emit dayClicked(hit.date);
}

void MonthView::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_pressed)
        return;
    const QPoint at = event->position().toPoint();
    if (!m_dragging) {
        if ((at - m_pressedAt).manhattanLength() < QApplication::startDragDistance())
            return;
        m_dragging = true;
        setCursor(Qt::ClosedHandCursor);
        qApp->installEventFilter(this);
    }
    const QDate over = hitAt(at).date;
    if (over != m_dropDay) {
        m_dropDay = over;
        update();
    }
}

void MonthView::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_pressed)
        return;
    const QDate to = hitAt(event->position().toPoint()).date;
    const MonthLayout::Entry entry = *m_pressed;
    const QDate from = m_pressedDay;
    const bool dropped = m_dragging && to.isValid() && to != from;
    endDrag();
    if (dropped)
        emit entryDropped(entry, from, to, event->modifiers() & Qt::ControlModifier);
}

void MonthView::mouseDoubleClickEvent(QMouseEvent* event)
{
    endDrag();
    if (event->button() != Qt::LeftButton)
        return;
    const Hit hit = hitAt(event->position().toPoint());
    if (!hit.date.isValid() || hit.more)
        return;
    if (const MonthLayout::Entry* entry = MonthLayout::entryOf(m_month, hit.tag))
        emit entryDoubleClicked(*entry, hit.date);
    else
        emit dayDoubleClicked(hit.date);
}

bool MonthView::eventFilter(QObject* watched, QEvent* event)
{
    if (m_dragging && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        endDrag();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void MonthView::endDrag()
{
    if (m_dragging)
        qApp->removeEventFilter(this);
    m_pressed.reset();
    m_dragging = false;
    m_dropDay = QDate();
    unsetCursor();
    update();
}
