// The printouts by person: a day as lanes side by side, and a week as a row per person.
#include "print/Druck.h"

#include "colors/Palette.h"
#include "colors/StoredColor.h"
#include "layout/MonthLayout.h"
#include "layout/PersonLanes.h"
#include "print/PrintCanvas.h"
#include "settings/Settings.h"

#include <algorithm>
#include <cmath>

namespace {

const QString kArial = QStringLiteral("Arial");

// A person's colour: a band under the lane's name, a bar beside the row's name.
constexpr double kBand = 1.5;
// The week by person: the weekday names above, the people's names on the left.
constexpr double kHeader = 7;
constexpr double kPersonColumn = 35;
constexpr double kIndent = 0.8;

} // namespace

bool Druck::PrintDayByPerson(const QDate& date, const QStringList& shown)
{
    const QList<TerminPtr> day = m_days(date);
    const QList<PersonLanes::Lane> lanes = PersonLanes::lanes(
        day,
        PersonLanes::withRooms(PersonLanes::people(day, m_settings.TeamMembers(), shown),
                               m_settings.TeamRooms()),
        m_settings.RowPerColor());
    QList<QList<TerminPtr>> columns;
    for (const PersonLanes::Lane& lane : lanes)
        columns << lane.appointments;

    PreparePrinter();
    SetAreaWithMargins();
    FitHoursAndStripTo(columns);
    FitLabelStrip();
    DrawHeading(DayTitle(date));
    DrawTitleBarAndFrame();
    // Nobody to show: the frame alone, nothing to divide its width by.
    if (lanes.isEmpty())
        return FinishPage(mX, mY + H + 2, W);

    const double cw = (W - m_labelStrip) / lanes.size();
    for (int col = 0; col < lanes.size(); ++col) {
        const PersonLanes::Person& person = lanes[col].person;
        const double x = mX + m_labelStrip + col * cw;
        DrawColumnTitle(x, cw, PersonLanes::shownName(person, m_settings.LangCode()));
        m_canvas.FillBox(x + kIndent, mY + TitleBarHeight() - kBand - 0.5, cw - 2 * kIndent, kBand,
                         ColorOfRgbValue(person.color));
        if (col > 0)
            m_canvas.DrawLine(x, mY, x, mY + H, Palette::kInk);
    }
    if (DrawTimeGrid())
        for (int col = 0; col < lanes.size(); ++col)
            DrawAppointments(lanes[col].appointments, lanes[col].columns,
                             mX + m_labelStrip + col * cw, cw);
    return FinishPage(mX, mY + H + 2, W);
}

bool Druck::PrintWeekByPerson(const QDate& date, const QStringList& shown)
{
    const QDate first = WeekStart(date, m_settings);
    const QList<QDate> days = ShownDaysOfWeek(date);
    QList<QList<TerminPtr>> appointments;
    QList<TerminPtr> all;
    for (const QDate& day : days) {
        appointments << m_days(day);
        all += appointments.last();
    }
    const QList<PersonLanes::Person> people = PersonLanes::withRooms(
        PersonLanes::people(all, m_settings.TeamMembers(), shown), m_settings.TeamRooms());

    PreparePrinter();
    SetAreaWithMargins();
    m_labelStrip = 0; // the heading starts at the frame: no time labels left of it
    DrawHeading(WeekTitle(first, days, m_settings));
    m_canvas.DrawBox(mX, mY, W, H, Palette::kInk);
    // No day or nobody to show: the frame alone.
    if (days.isEmpty() || people.isEmpty())
        return FinishPage(mX, mY + H + 2, W);

    const double cw = (W - kPersonColumn) / days.size();
    const double rowHeight = (H - kHeader) / people.size();
    m_canvas.setFont(kArial, 10, true, false);
    for (int c = 0; c < days.size(); ++c) {
        const double x = mX + kPersonColumn + c * cw;
        m_canvas.PrintWrappedText(x, mY + 1, cw, kHeader, ShortDayTitle(days[c]),
                                  TextAlign::Centre);
        m_canvas.DrawLine(x, mY, x, mY + H, c == 0 ? Palette::kInk : Palette::kGreyInk);
    }
    m_canvas.DrawLine(mX, mY + kHeader, mX + W, mY + kHeader, Palette::kInk);

    MonthLayout::Input cells;
    cells.linesPerCell = std::max(0, int(std::floor((rowHeight - 1) / kEntryLine)));
    cells.timeFormat = m_settings.TimeFormat();
    cells.langCode = m_settings.LangCode();
    QList<QList<PersonLanes::Lane>> lanesOfDays;
    for (const QList<TerminPtr>& day : appointments)
        lanesOfDays << PersonLanes::lanes(day, people, false);
    for (int r = 0; r < people.size(); ++r) {
        const double y = mY + kHeader + r * rowHeight;
        if (r > 0)
            m_canvas.DrawLine(mX, y, mX + W, y, Palette::kGreyInk);
        m_canvas.FillBox(mX + kIndent, y + kIndent, kBand, rowHeight - 2 * kIndent,
                         ColorOfRgbValue(people[r].color));
        m_canvas.setFont(kArial, 10, true, false);
        m_canvas.PrintWrappedText(mX + 2 * kIndent + kBand, y + kIndent,
                                  kPersonColumn - 3 * kIndent - kBand, rowHeight - 2 * kIndent,
                                  PersonLanes::shownName(people[r], m_settings.LangCode()),
                                  TextAlign::Left);
        for (int c = 0; c < days.size(); ++c) {
            const QList<TerminPtr>& own = lanesOfDays[c][r].appointments;
            cells.days = [&own](const QDate&) { return own; };
            DrawCellEntries(MonthLayout::dayCell(cells, days[c]), mX + kPersonColumn + c * cw,
                            y + 0.5, cw);
        }
    }
    return FinishPage(mX, mY + H + 2, W);
}
