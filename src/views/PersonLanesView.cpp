#include "views/PersonLanesView.h"

#include "calendar/Formats.h"
#include "calendar/Names.h"
#include "calendar/Weeks.h"
#include "colors/StoredColor.h"
#include "layout/DayLayout.h"
#include "profile/ShownText.h"
#include "settings/Settings.h"
#include "ui/ScreenColors.h"
#include "views/ClassDay.h"
#include "views/FolderMarks.h"
#include "views/GridAccessible.h"
#include "views/LabelPool.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QMouseEvent>

#include <algorithm>
#include <cmath>

namespace {

// "Anna Meier, Tuesday 8 December 2026": the lane's person and day, as a screen reader says it.
const char* const kLaneName = QT_TRANSLATE_NOOP("PersonLanesView", "%1, %2 %3 %4 %5");

constexpr int kPadding = 4;
constexpr int kBand = 4; // the person's colour under the name

} // namespace

PersonLanesView::PersonLanesView(DaySource days, Settings& settings, QWidget* parent)
    : PictureBox(parent)
    , m_days(std::move(days))
    , m_settings(settings)
{
    setObjectName(QStringLiteral("PersonLanesView"));
    setAccessibleName(tr("Appointments by person"));
    setAccessibleContent([this] { return describe(); });
    connect(this, &PictureBox::Resized, this, [this] {
        layOut();
        paint();
    });
    connect(this, &PictureBox::MouseDown, this,
            [this](Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y) {
                const TerminPtr hit = appointmentAt({toPixels(x), toPixels(y)});
                if (button == Qt::LeftButton && hit)
                    emit appointmentClicked(hit);
            });
}

void PersonLanesView::setDate(const QDate& date)
{
    m_date = date;
    reload();
}

void PersonLanesView::setPersonFilter(const QStringList& logins)
{
    m_shown = logins;
    reload();
}

void PersonLanesView::reload()
{
    m_day = m_date.isValid() && m_days ? DayLayout::inDayOrder(m_days(m_date)) : QList<TerminPtr>();
    layOut();
    paint();
}

TerminPtr PersonLanesView::appointmentAt(const QPoint& pos) const
{
    for (const Lane& lane : m_lanes)
        if (lane.area.contains(pos))
            for (const Box& box : lane.boxes)
                if (box.rect.contains(pos))
                    return box.appointment;
    return {};
}

void PersonLanesView::mouseDoubleClickEvent(QMouseEvent* event)
{
    const TerminPtr hit = appointmentAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && hit)
        emit appointmentDoubleClicked(hit);
}

void PersonLanesView::layOut()
{
    const QString lang = m_settings.LangCode();
    const QList<PersonLanes::Lane> lanes = PersonLanes::lanes(
        m_day,
        PersonLanes::withRooms(PersonLanes::people(m_day, m_settings.TeamMembers(), m_shown),
                               m_settings.TeamRooms()),
        m_settings.RowPerColor());
    std::tie(m_start, m_end) =
        DayLayout::shownHours(m_settings.GridStartTime(), m_settings.GridEndTime(), m_day);
    const DayLayout::Grid grid{m_start, m_end, m_settings.GridMinutes()};

    const QFontMetrics metrics(drawFont());
    const int line = metrics.height();
    m_labelStrip = metrics.horizontalAdvance(
                       FormatTime(TimeOfDay::fromHourMinute(23, 59), m_settings.TimeFormat())) +
                   2 * kPadding;
    int stripRows = 0;
    for (const PersonLanes::Lane& lane : lanes)
        stripRows = std::max(stripRows, DayLayout::stripRows(lane.appointments));
    const int headerHeight = line + kBand + 2 * kPadding;
    const int stripRow = line + kPadding;
    m_gridTop = headerHeight + stripRows * stripRow + kPadding;
    const int gridHeight = std::max(0, height() - m_gridTop - kPadding);
    m_slot = DayLayout::slotHeight(gridHeight, grid, 1);
    const double laneWidth =
        lanes.isEmpty() ? 0 : std::max(0.0, double(width() - m_labelStrip) / lanes.size());

    const QString laneName = QCoreApplication::translate("PersonLanesView", kLaneName);
    m_lanes.clear();
    for (int n = 0; n < lanes.size(); ++n) {
        const PersonLanes::Lane& source = lanes[n];
        Lane lane;
        lane.person = source.person;
        lane.accessibleName =
            laneName.arg(PersonLanes::shownName(source.person, lang),
                         DayNames(lang).value(Weekday(m_date)), QString::number(m_date.day()),
                         MonthNames(lang).value(m_date.month()), QString::number(m_date.year()));
        const int x = m_labelStrip + int(std::lround(n * laneWidth));
        const int w = m_labelStrip + int(std::lround((n + 1) * laneWidth)) - x;
        lane.header = QRect(x, 0, w, headerHeight);
        lane.area = QRect(x, headerHeight, w, std::max(0, height() - headerHeight));
        const QList<QRectF> hours = DayLayout::boxes(source.appointments, source.columns,
                                                     QSizeF(w, gridHeight), grid, 1, line);
        const QList<QRectF> strip =
            DayLayout::stripBoxes(source.appointments, w, stripRows, stripRow);
        const QRect gridArea(x, m_gridTop, w, gridHeight);
        for (qsizetype i = 0; i < source.appointments.size(); ++i) {
            const bool inStrip = DayLayout::inStrip(*source.appointments[i]);
            QRect rect;
            if (inStrip && i < strip.size())
                rect = strip[i].translated(x, headerHeight).toAlignedRect().adjusted(1, 1, -1, -1);
            else if (!inStrip && i < hours.size()) // none when the lane has no room
                rect = hours[i]
                           .translated(x, m_gridTop)
                           .toAlignedRect()
                           .adjusted(1, 0, -1, 0)
                           .intersected(gridArea);
            lane.boxes << Box{source.appointments[i], rect};
        }
        m_lanes << lane;
    }
}

void PersonLanesView::paint()
{
    const ScreenColors colors = ScreenColors::of(this);
    setBackColor(colors.paper());
    Cls();
    const QColor ink = colors.ink();
    const auto twips = [](int px) { return toTwips(px); };

    // The hours on the left and their lines across every lane.
    if (m_slot > 0) {
        setForeColor(ink);
        const int steps = int(
            std::floor((m_end.minutes() - m_start.minutes()) / double(m_settings.GridMinutes())));
        for (int k = 0; k <= steps && k < ClassDay::kMaxGridLines; ++k) {
            const int y = m_gridTop + int(std::lround(k * m_slot));
            const TimeOfDay time =
                TimeOfDay::fromMinutes(m_start.minutes() + k * m_settings.GridMinutes());
            Print(twips(kPadding), twips(y - toPixels(TextHeight()) / 2),
                  FormatTime(time, m_settings.TimeFormat()));
            Line(twips(m_labelStrip), twips(y), ScaleWidth(), twips(y),
                 colors.adapt(ClassDay::kGridColor));
        }
    }
    const QFont normal = drawFont();
    const QList<FolderMark> folders = FolderMarks::shown(m_settings);
    for (const Lane& lane : m_lanes) {
        const QColor personColor = ColorOfRgbValue(lane.person.color);
        QFont bold = normal;
        bold.setBold(true);
        setDrawFont(bold);
        setForeColor(colors.legible(personColor, colors.paper()));
        const QString name = PersonLanes::shownName(lane.person, m_settings.LangCode());
        const QString shown =
            QFontMetrics(bold).elidedText(name, Qt::ElideRight, lane.header.width() - kPadding);
        Print(twips(lane.header.x() + kPadding), twips(kPadding), shown);
        const int bandTop = lane.header.bottom() - kBand - kPadding / 2;
        FillBox(twips(lane.header.x() + 1), twips(bandTop), twips(lane.header.right() - 1),
                twips(bandTop + kBand - 1), personColor);
        setDrawFont(normal);
        Line(twips(lane.header.x()), 0, twips(lane.header.x()), ScaleHeight(), ink);
        for (const Box& box : lane.boxes) {
            if (box.rect.isEmpty())
                continue;
            const QColor fill =
                colors.appointment(AppointmentColor(m_settings, box.appointment->ColorCode()));
            FillBox(twips(box.rect.left()), twips(box.rect.top()), twips(box.rect.right()),
                    twips(box.rect.bottom()), fill);
            // Another folder's appointment keeps its colour beside its folder's band.
            const std::optional<FolderMark> folder =
                FolderMarks::of(folders, box.appointment->filename());
            const int band = folder ? ViewLabel::kBandWidth : 0;
            if (folder)
                FillBox(twips(box.rect.left()), twips(box.rect.top()),
                        twips(box.rect.left() + band - 1), twips(box.rect.bottom()), folder->color);
            PictureBox::Box(twips(box.rect.left()), twips(box.rect.top()), twips(box.rect.right()),
                            twips(box.rect.bottom()), ink);
            setForeColor(colors.onAppointment(fill));
            const QSize inside = box.rect.size() - QSize(2 * kPadding + band, 2);
            const QStringList lines =
                ClassDay::FittedLines(textLines(bidiContained(box.appointment->GetFormatedText()))
                                          .join(QLatin1Char('\n')),
                                      normal, inside);
            const int lineHeight = QFontMetrics(normal).height();
            for (int n = 0; n < lines.size(); ++n)
                Print(twips(box.rect.left() + kPadding + band),
                      twips(box.rect.top() + 1 + n * lineHeight), lines[n]);
        }
    }
    setForeColor(ink);
    update();
    accessibleContentChanged();
}

AccessibleItem PersonLanesView::describe() const
{
    QList<GridAccessible::Column> columns;
    for (const Lane& lane : m_lanes) {
        GridAccessible::Column column{m_date, lane.header.united(lane.area), {}, false};
        for (const Box& box : lane.boxes)
            column.appointments << GridAccessible::Shown{box.appointment, box.rect};
        columns << column;
    }
    AccessibleItem tree = GridAccessible::describe(
        columns, {m_settings.LangCode(), m_settings.TimeFormat(), FolderMarks::shown(m_settings)},
        GridAccessible::Focus{});
    tree.name = accessibleName();
    for (int n = 0; n < tree.children.size() && n < m_lanes.size(); ++n)
        tree.children[n].name = m_lanes[n].accessibleName;
    return tree;
}
