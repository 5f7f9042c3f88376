#include "views/GridKeyboard.h"

#include "calendar/Formats.h"
#include "settings/Settings.h"
#include "ui/PictureBox.h"
#include "views/ClassDay.h"
#include "views/DayWeekView.h"
#include "views/GridAccessible.h"

#include <QPainter>
#include <QScrollBar>

namespace {

// The focus frame: a dotted line round the focused appointment or step that lets the
// pointer through.
class FocusFrame : public QWidget {
public:
    explicit FocusFrame(QWidget* parent)
        : QWidget(parent)
    {
        setObjectName(QStringLiteral("grid_focus_frame"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        hide();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        const QRect inside = rect().adjusted(1, 1, -2, -2);
        p.setPen(QPen(Qt::white, 3));
        p.drawRect(inside);
        p.setPen(QPen(Qt::black, 1, Qt::DotLine));
        p.drawRect(inside);
    }
};

GridFocus::Key moveKey(int key)
{
    switch (key) {
    case Qt::Key_Up:
        return GridFocus::Key::Up;
    case Qt::Key_Down:
        return GridFocus::Key::Down;
    case Qt::Key_Left:
        return GridFocus::Key::Left;
    case Qt::Key_Right:
        return GridFocus::Key::Right;
    case Qt::Key_Home:
        return GridFocus::Key::Home;
    default:
        return GridFocus::Key::End;
    }
}

std::optional<GridFocus::Shift> shiftKey(int key, bool length)
{
    switch (key) {
    case Qt::Key_Up:
        return length ? GridFocus::Shift::Shorter : GridFocus::Shift::Earlier;
    case Qt::Key_Down:
        return length ? GridFocus::Shift::Longer : GridFocus::Shift::Later;
    case Qt::Key_Left:
        return length ? std::nullopt : std::optional(GridFocus::Shift::DayBack);
    case Qt::Key_Right:
        return length ? std::nullopt : std::optional(GridFocus::Shift::DayOn);
    default:
        return std::nullopt;
    }
}

QRect pixels(double left, double top, double right, double bottom)
{
    return QRect(
        QPoint(PictureBox::toPixels(int(left)), PictureBox::toPixels(int(top))),
        QPoint(PictureBox::toPixels(int(right)) - 1, PictureBox::toPixels(int(bottom)) - 1));
}

} // namespace

GridKeyboard::GridKeyboard(const DayWeekView& view, const Settings& settings, PictureBox* picture,
                           QScrollBar* scroll, QWidget* panel)
    : m_view(view)
    , m_settings(settings)
    , m_grid(picture)
    , m_scroll(scroll)
    , m_panel(panel)
    , m_frame(new FocusFrame(picture))
{
    picture->setAccessibleContent([this] { return describe(); });
    connect(picture, &PictureBox::GotFocus, this, [this] {
        if (m_placed) {
            setFocus(m_focus);
            return;
        }
        m_placed = true;
        // The first time: today's column where it shows, on its first appointment.
        GridFocus::Focus start;
        for (int c = 1; c <= m_view.DayColumnCount(); ++c) {
            if (m_view.DayColumn(c)->datum() == m_view.Today())
                start.day = c - 1;
        }
        setFocus(GridFocus::move(this->grid(), start, GridFocus::Key::Home));
    });
    connect(picture, &PictureBox::LostFocus, this, &GridKeyboard::showFrame);
}

GridKeyboard::~GridKeyboard()
{
    PictureBox::handOver(m_grid, nullptr, this, {});
    delete m_frame;
}

GridFocus::Grid GridKeyboard::grid() const
{
    GridFocus::Grid g;
    g.first = m_view.ShownHours().first;
    g.last = m_view.ShownHours().second;
    g.gridMinutes = m_settings.GridMinutes();
    for (int c = 1; c <= m_view.DayColumnCount(); ++c) {
        QList<GridFocus::Item> items;
        for (const TerminPtr& a : m_view.DayColumn(c)->appointments())
            items.append({a->StartTime(), a->EndTime(), a->isAllDay()});
        g.days.append(items);
    }
    return g;
}

TerminPtr GridKeyboard::focusedAppointment() const
{
    const ClassDay* column = m_view.DayColumn(m_focus.day + 1);
    return column && m_focus.item >= 0 ? column->Appointment(m_focus.item + 1) : nullptr;
}

QDate GridKeyboard::focusedDay() const
{
    const ClassDay* column = m_view.DayColumn(m_focus.day + 1);
    return column ? column->datum() : QDate();
}

QRect GridKeyboard::focusRect() const
{
    const ClassDay* column = m_view.DayColumn(m_focus.day + 1);
    if (!column)
        return {};
    if (m_focus.item >= 0)
        return column->LabelRect(m_focus.item + 1);
    const ViewGeometry::TimeGrid time = m_view.timeGrid();
    const TimeOfDay end = TimeOfDay::fromMinutes(m_focus.time.minutes() + time.gridMinutes);
    return pixels(column->StartX() + ClassDay::kBorder + ClassDay::kSelectionStrip,
                  ViewGeometry::YOfTime(time, m_focus.time), column->EndX(),
                  ViewGeometry::YOfTime(time, end));
}

void GridKeyboard::setFocus(const GridFocus::Focus& focus)
{
    m_focus = GridFocus::fitted(grid(), focus);
    const TerminPtr appointment = focusedAppointment();
    m_focusFile = appointment ? appointment->filename() : QString();
    m_focusUid = appointment ? appointment->Uid() : QString();
    m_focusDay = focusedDay();
    showFrame();
    if (m_grid)
        m_grid->accessibleContentChanged();
    emit focusedOn(appointment, m_focusDay);
}

void GridKeyboard::showFrame()
{
    const QRect at = focusRect();
    if (!m_frame)
        return;
    if (!m_grid || !m_grid->hasFocus() || at.isEmpty()) {
        m_frame->hide();
        return;
    }
    m_frame->setGeometry(at.adjusted(-2, -2, 2, 2));
    m_frame->raise();
    m_frame->show();
    // Scrolled into sight: the grid moves up inside the panel by the scroll bar's value.
    if (m_scroll && m_panel && m_scroll->isEnabled()) {
        const int top = m_scroll->value();
        const int height = m_panel->height();
        if (at.top() < top)
            m_scroll->setValue(at.top());
        else if (at.bottom() > top + height)
            m_scroll->setValue(std::min(at.top(), at.bottom() - height));
    }
}

void GridKeyboard::viewChanged()
{
    if (!m_placed) {
        if (m_grid)
            m_grid->accessibleContentChanged();
        return;
    }
    GridFocus::Focus wanted = m_focus;
    // The column of the day focused before, and in it the appointment of the same file.
    for (int c = 1; c <= m_view.DayColumnCount(); ++c) {
        const ClassDay* column = m_view.DayColumn(c);
        if (column->datum() != m_focusDay)
            continue;
        wanted.day = c - 1;
        wanted.item = -1;
        const QList<TerminPtr>& appointments = column->appointments();
        for (int i = 0; i < appointments.size() && wanted.item < 0; ++i) {
            const ClassTermin& a = *appointments[i];
            if ((!m_focusFile.isEmpty() && a.filename() == m_focusFile) ||
                (!m_focusUid.isEmpty() && a.Uid() == m_focusUid))
                wanted.item = i;
        }
    }
    setFocus(wanted);
}

void GridKeyboard::follow(const ClassTermin& appointment, const QDate& day)
{
    m_focusFile = appointment.filename();
    m_focusUid = appointment.Uid();
    m_focusDay = day;
}

void GridKeyboard::focusAppointment(int column, int position)
{
    if (column < 1 || column > m_view.DayColumnCount())
        return;
    m_placed = true;
    setFocus({column - 1, position - 1, {}});
}

void GridKeyboard::focusStep(const QDate& day, TimeOfDay time)
{
    for (int c = 1; c <= m_view.DayColumnCount(); ++c) {
        if (m_view.DayColumn(c)->datum() == day) {
            m_placed = true;
            setFocus({c - 1, -1, time});
        }
    }
}

bool GridKeyboard::key(int key, Qt::KeyboardModifiers modifiers, std::optional<Act>& act)
{
    act.reset();
    const Qt::KeyboardModifiers mods = modifiers & ~Qt::KeypadModifier;
    const bool arrow =
        key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_Left || key == Qt::Key_Right;
    const TerminPtr appointment = focusedAppointment();
    if ((arrow || key == Qt::Key_Home || key == Qt::Key_End) && mods == Qt::NoModifier) {
        setFocus(GridFocus::move(grid(), m_focus, moveKey(key)));
        return true;
    }
    if (arrow && (mods == Qt::AltModifier || mods == (Qt::AltModifier | Qt::ShiftModifier))) {
        const std::optional<GridFocus::Shift> shift =
            shiftKey(key, mods.testFlag(Qt::ShiftModifier));
        if (!appointment || !shift)
            return true;
        const std::optional<GridFocus::Change> change = GridFocus::shifted(
            {appointment->StartTime(), appointment->EndTime(), appointment->isAllDay()},
            m_settings.GridMinutes(), *shift);
        if (change)
            act = Act{Act::Kind::Shift, appointment, focusedDay(), {}, *change};
        return true;
    }
    if (mods != Qt::NoModifier)
        return false;
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        act = appointment ? Act{Act::Kind::Edit, appointment, focusedDay(), {}, {}}
                          : Act{Act::Kind::New, nullptr, focusedDay(), m_focus.time, {}};
        return true;
    case Qt::Key_Delete:
        if (appointment)
            act = Act{Act::Kind::Delete, appointment, focusedDay(), {}, {}};
        return true;
    default:
        return false;
    }
}

AccessibleItem GridKeyboard::describe() const
{
    QList<GridAccessible::Column> columns;
    const QDate today = m_view.Today();
    for (int c = 1; c <= m_view.DayColumnCount(); ++c) {
        const ClassDay* day = m_view.DayColumn(c);
        GridAccessible::Column column;
        column.day = day->datum();
        column.today = column.day == today;
        column.rect = pixels(day->StartX(), 0, day->EndX(), PictureBox::toTwips(m_grid->height()));
        const QList<TerminPtr>& appointments = day->appointments();
        for (int i = 0; i < appointments.size(); ++i)
            column.appointments.append({appointments[i], day->LabelRect(i + 1)});
        columns.append(column);
    }
    GridAccessible::Focus focus;
    if (m_grid && m_grid->hasFocus()) {
        focus.column = m_focus.day;
        focus.appointment = m_focus.item;
        focus.step = FormatTime(m_focus.time, m_settings.TimeFormat());
        focus.stepRect = focusRect();
    }
    return GridAccessible::describe(
        columns, {m_settings.LangCode(), m_settings.TimeFormat(), FolderMarks::shown(m_settings)},
        focus);
}
