#include "views/AppointmentDrag.h"

#include "calendar/Formats.h"
#include "calendar/Names.h"
#include "calendar/Weeks.h"
#include "layout/DayLayout.h"
#include "settings/Settings.h"
#include "ui/PictureBox.h"
#include "views/ClassDay.h"
#include "views/DayWeekView.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QToolTip>

#include <cmath>

namespace {

int pixelEdge(double twips)
{
    return int(std::floor(twips / PictureBox::kTwipsPerPixel));
}

QPoint toTwips(const QPoint& pixels)
{
    return pixels * PictureBox::kTwipsPerPixel;
}

} // namespace

AppointmentDrag::AppointmentDrag(const DayWeekView& view, const Settings& settings,
                                 HeartbeatPause& heartbeat, QObject* parent)
    : QObject(parent)
    , m_view(view)
    , m_settings(settings)
    , m_heartbeat(heartbeat)
{
}

AppointmentDrag::~AppointmentDrag()
{
    if (m_label)
        qApp->removeEventFilter(this);
}

void AppointmentDrag::press(QLabel* label, const ClassTermin& appointment, int column,
                            const QPoint& at)
{
    cancel();
    m_grid = m_view.timeGrid();
    m_from = column - 1;
    QWidget* grid = label ? label->parentWidget() : nullptr;
    // The strip above the hours has no times to drag to.
    if (!grid || DayLayout::inStrip(appointment) || m_from < 0 || m_from >= m_grid.columns.size() ||
        m_grid.slotHeight <= 0)
        return;
    m_label = label;
    m_appointment = appointment;
    m_pressed = at;
    m_geometry = label->geometry();
    m_kind = ViewGeometry::DragKindAt(toTwips(label->mapFromGlobal(at)).y(),
                                      PictureBox::toTwips(label->height()));
    m_dragging = false;
    m_pause = m_heartbeat.hold();
    // Escape reaches whichever widget has the focus: it is caught on its way there.
    qApp->installEventFilter(this);
}

bool AppointmentDrag::move(const QPoint& at)
{
    if (!m_label)
        return false;
    if (!m_dragging) {
        if ((at - m_pressed).manhattanLength() < QApplication::startDragDistance())
            return true;
        m_dragging = true;
        m_label->setCursor(m_kind == ViewGeometry::DragKind::Resize ? Qt::SizeVerCursor
                                                                    : Qt::ClosedHandCursor);
        m_label->raise();
        emit started();
    }
    const ViewGeometry::DragTarget target = targetAt(at);
    follow(target);
    QToolTip::showText(at, describe(target), m_label);
    return true;
}

void AppointmentDrag::hover(QLabel* label, int yInLabel)
{
    if (!label || m_label)
        return;
    const bool edge = ViewGeometry::DragKindAt(PictureBox::toTwips(yInLabel),
                                               PictureBox::toTwips(label->height())) ==
                      ViewGeometry::DragKind::Resize;
    if (edge && label->cursor().shape() != Qt::SizeVerCursor)
        label->setCursor(Qt::SizeVerCursor);
    else if (!edge && label->testAttribute(Qt::WA_SetCursor))
        label->unsetCursor();
}

std::optional<AppointmentDrag::Drop> AppointmentDrag::release(const QPoint& at,
                                                              Qt::KeyboardModifiers modifiers)
{
    if (!m_label)
        return std::nullopt;
    std::optional<Drop> drop;
    if (m_dragging) {
        const ViewGeometry::DragTarget target = targetAt(at);
        const ViewGeometry::DragTarget unmoved{m_from, m_appointment.StartTime(),
                                               m_appointment.EndTime()};
        const ClassDay* from = m_view.DayColumn(m_from + 1);
        const ClassDay* to = m_view.DayColumn(target.column + 1);
        const bool copy = modifiers.testFlag(Qt::ControlModifier);
        if (target != unmoved && from && to)
            drop = Drop{m_appointment, from->datum(), to->datum(), target.start, target.end, copy};
    }
    // The original's column may stay as it is: a copy's label is the original's again.
    if (!drop || drop->copy)
        m_label->setGeometry(m_geometry);
    finish();
    return drop;
}

void AppointmentDrag::cancel()
{
    if (!m_label)
        return;
    m_label->setGeometry(m_geometry);
    finish();
}

void AppointmentDrag::finish()
{
    qApp->removeEventFilter(this);
    QToolTip::hideText();
    if (m_label)
        m_label->unsetCursor();
    m_label = nullptr;
    m_dragging = false;
    m_pause.release();
    emit ended();
}

bool AppointmentDrag::eventFilter(QObject* watched, QEvent* event)
{
    if (m_label && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        cancel();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

ViewGeometry::DragTarget AppointmentDrag::targetAt(const QPoint& at) const
{
    // Both points on the grid as it lies now, so a scroll during the drag counts too.
    const QWidget* grid = m_label->parentWidget();
    return ViewGeometry::DragTo(m_grid, m_kind, m_from, m_appointment.StartTime(),
                                m_appointment.EndTime(), toTwips(grid->mapFromGlobal(m_pressed)),
                                toTwips(grid->mapFromGlobal(at)));
}

void AppointmentDrag::follow(const ViewGeometry::DragTarget& target)
{
    const int shift =
        pixelEdge(m_grid.columns[target.column].startX) - pixelEdge(m_grid.columns[m_from].startX);
    const int top = pixelEdge(ViewGeometry::YOfTime(m_grid, target.start));
    const int bottom = pixelEdge(ViewGeometry::YOfTime(m_grid, target.end));
    m_label->setGeometry(m_geometry.x() + shift, top, m_geometry.width(),
                         std::max(1, bottom - top));
}

QString AppointmentDrag::describe(const ViewGeometry::DragTarget& target) const
{
    const ClassDay* column = m_view.DayColumn(target.column + 1);
    const QDate day = column ? column->datum() : m_appointment.datum();
    const QString timeFormat = m_settings.TimeFormat();
    QString text = DayNames(m_settings.LangCode()).value(Weekday(day)) + QStringLiteral(", ") +
                   FormatDate(day, m_settings.DateFormat()) + QStringLiteral("  ") +
                   FormatTime(target.start, timeFormat) + QStringLiteral(" - ") +
                   FormatTime(target.end, timeFormat);
    if (m_appointment.repeats())
        text += QLatin1Char('\n') + tr("On release you choose which occurrences change.");
    return text;
}
