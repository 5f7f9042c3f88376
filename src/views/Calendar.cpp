#include "views/Calendar.h"

#include "calendar/Names.h"
#include "calendar/Weeks.h"
#include "colors/Palette.h"
#include "ui/PictureBox.h"
#include "ui/ScreenColors.h"
#include "views/CalendarAccessible.h"
#include "views/CalendarKeys.h"

namespace {

// Twips: the text's distance from a column's left edge and from the top; the one-pixel
// frame left free around every cell; the indent of the week column's header.
constexpr int kInset = 30;
constexpr int kCellMargin = 15;
constexpr int kWeekHeaderIndent = 90;

bool isWeekend(const QDate& date)
{
    const int day = Weekday(date);
    return day == 1 || day == 7;
}

QDate firstOfMonth(const QDate& date)
{
    return date.isValid() ? QDate(date.year(), date.month(), 1) : date;
}

// Whole screen pixels, so cells line up with the pixel grid.
int toWholePixels(int twips)
{
    return PictureBox::toTwips(PictureBox::toPixels(twips));
}

} // namespace

Calendar::Calendar(QObject* parent)
    : QObject(parent)
    , m_showDate(firstOfMonth(QDate::currentDate()))
    , m_selectedDate(QDate::currentDate())
    , m_weekViewShows([](int weekday) { return weekday >= 2 && weekday <= 6; })
    , m_today([] { return QDate::currentDate(); })
{
    SetSettings(m_firstday, QString(), m_firstweek);
}

Calendar::~Calendar()
{
    PictureBox::handOver(m_picture, nullptr, this, {});
}

void Calendar::Bind(PictureBox* picture)
{
    m_picture = PictureBox::handOver(m_picture, picture, this, [this] { return describe(); });
    if (!m_picture)
        return;
    // The picture keeps what is drawn on its own image, so nothing is lost on repaints.
    m_picture->setBackColor(ScreenColors::of(m_picture).paper());
    connect(m_picture, &PictureBox::MouseDown, this, &Calendar::my_picture_MouseDown);
    connect(m_picture, &PictureBox::KeyDown, this, &Calendar::my_picture_KeyDown);
    connect(m_picture, &QObject::destroyed, this, [this] { m_picture = nullptr; });
}

void Calendar::SelectWeek()
{
    m_selectedDate = StartOfWeek(m_selectedDate, m_firstday);
    m_isWeekSelected = true;
    DisplayMonth(m_showDate, m_selectedDate);
}

void Calendar::DrawAll()
{
    DisplayMonth(m_showDate, m_selectedDate);
}

void Calendar::setShowDate(const QDate& date)
{
    m_showDate = firstOfMonth(date);
}

void Calendar::SetSettings(int firstday, const QString& langcode, int firstweek)
{
    m_firstday = FirstWeekdayOfRows(firstday);
    m_firstweek = WeekRuleOf(firstweek);
    m_langCode = langcode;
    // The month calendar heads its columns with each day name's first letter.
    const QStringList names = DayNames(langcode);
    for (int day = 1; day <= 7; ++day)
        m_dayLetters[day] = names[day].left(1);
    m_weekHeader = QStringLiteral("W");
    if (m_picture)
        DrawAll();
}

void Calendar::setAppointmentSource(AppointmentSource source)
{
    m_hasAppointments = std::move(source);
}

void Calendar::setWeekViewDays(WeekdayFilter shown)
{
    if (shown)
        m_weekViewShows = std::move(shown);
}

void Calendar::setClock(Clock today)
{
    if (today)
        m_today = std::move(today);
}

int Calendar::MonthGrid(int column, int row) const
{
    if (column < 0 || column >= kColumns || row < 0 || row >= kWeekRows)
        return 0;
    return m_monthGrid[size_t(row)][size_t(column)];
}

void Calendar::DisplayMonth(const QDate& show_date, const QDate& selected_date)
{
    m_showDate = firstOfMonth(show_date);
    m_selectedDate = selected_date;
    BuildGrid();
    if (m_picture) {
        computeCellSize();
        // The desktop's paper as it is now: its palette may have turned dark since.
        m_picture->setBackColor(ScreenColors::of(m_picture).paper());
        drawHeader();
        drawGridLines();
        DrawDays();
        m_picture->accessibleContentChanged();
    }
    emit Display(m_showDate);
}

void Calendar::computeCellSize()
{
    m_cellWidth = toWholePixels((m_picture->ScaleWidth() - kInset) / kColumns);
    m_cellHeight = toWholePixels((m_picture->ScaleHeight() - kInset) / (kWeekRows + 1));
}

Calendar::CellRect Calendar::cellRect(int column, int row) const
{
    return {column * m_cellWidth + kCellMargin, (row + 1) * m_cellHeight + kCellMargin,
            (column + 1) * m_cellWidth - kCellMargin, (row + 2) * m_cellHeight - kCellMargin};
}

int Calendar::textLeft(int column, const QString& text) const
{
    return column * m_cellWidth + kInset + m_cellWidth / 2 - m_picture->TextWidth(text) / 2;
}

void Calendar::drawHeader()
{
    const ScreenColors colors = ScreenColors::of(m_picture);
    m_picture->setFontBold(false);
    m_picture->setForeColor(colors.ink());
    int day = m_firstday;
    for (int column = 0; column < 7; ++column) {
        if (day == 1 || day == 7)
            m_picture->FillBox(column * m_cellWidth, kInset, (column + 1) * m_cellWidth,
                               m_picture->ScaleHeight(), colors.adapt(Palette::kWeekendGrey));
        const QString& letter = m_dayLetters[size_t(day)];
        m_picture->Print(textLeft(column, letter), kInset, letter);
        day = day % 7 + 1;
    }
    m_picture->Print(kWeekColumn * m_cellWidth + kWeekHeaderIndent, kInset, m_weekHeader);
}

void Calendar::drawGridLines()
{
    const QColor line = ScreenColors::of(m_picture).adapt(Palette::kGridLine);
    m_picture->Line(0, m_cellHeight, m_picture->ScaleWidth(), m_cellHeight, line);
    m_picture->Line(kWeekColumn * m_cellWidth, 0, kWeekColumn * m_cellWidth,
                    m_picture->ScaleHeight(), line);
}

void Calendar::BuildGrid()
{
    for (auto& row : m_monthGrid)
        row.fill(0);
    m_rowWeekStart.fill(QDate());
    if (!m_showDate.isValid())
        return;

    const int daysInMonth = m_showDate.daysInMonth();
    int startColumn = DayInWeek(m_showDate, m_firstday);
    int day = 0;
    for (int row = 0; row < kWeekRows && day < daysInMonth; ++row) {
        for (int column = startColumn; column < 7 && day < daysInMonth; ++column) {
            ++day;
            m_monthGrid[size_t(row)][size_t(column)] = day;
            if (column == startColumn) {
                const QDate date = m_showDate.addDays(day - 1);
                m_monthGrid[size_t(row)][kWeekColumn] = WeekNumber(date, m_firstday, m_firstweek);
                m_rowWeekStart[size_t(row)] = StartOfWeek(date, m_firstday);
            }
        }
        startColumn = 0;
    }
}

void Calendar::DrawDays()
{
    for (int row = 0; row < kWeekRows; ++row) {
        for (int column = 0; column < kColumns; ++column) {
            if (MonthGrid(column, row) == 0)
                continue;
            if (column == kWeekColumn)
                drawWeekCell(row);
            else
                drawDayCell(column, row);
        }
    }
}

QDate Calendar::dateInCell(int column, int row) const
{
    return m_showDate.addDays(MonthGrid(column, row) - 1);
}

// Whole weeks are compared, not week numbers, so the same number in another year never
// lights up.
bool Calendar::isInSelectedWeek(const QDate& date) const
{
    return m_isWeekSelected && m_selectedDate.isValid() &&
           StartOfWeek(date, m_firstday) == StartOfWeek(m_selectedDate, m_firstday);
}

bool Calendar::isSelected(const QDate& date) const
{
    // A selected week marks only the days the week view shows, its first day included.
    if (m_isWeekSelected)
        return isInSelectedWeek(date) && m_weekViewShows(Weekday(date));
    return date == m_selectedDate;
}

bool Calendar::IsCellSelected(int column, int row) const
{
    if (MonthGrid(column, row) == 0)
        return false;
    if (column == kWeekColumn)
        return isInSelectedWeek(m_rowWeekStart[size_t(row)]);
    return isSelected(dateInCell(column, row));
}

void Calendar::drawDayCell(int column, int row)
{
    const QDate date = dateInCell(column, row);
    const CellRect cell = cellRect(column, row);
    const ScreenColors colors = ScreenColors::of(m_picture);
    QColor background = colors.adapt(isWeekend(date) ? Palette::kWeekendGrey : QColor(Qt::white));
    m_picture->FillBox(cell.left, cell.top, cell.right, cell.bottom, background);

    QColor text = colors.legible(Palette::kDarkBlue, background);
    const bool selected = IsCellSelected(column, row);
    if (selected) {
        background = colors.selection(Palette::kDarkBlue);
        m_picture->FillBox(column * m_cellWidth + kInset, cell.top, cell.right, cell.bottom,
                           background);
        text = colors.onSelection(Qt::white);
    }
    const bool today = date == m_today();
    if (today)
        text = colors.legible(Palette::kAlertRed, background);

    const QString number = QString::number(date.day());
    const int x = textLeft(column, number);
    const int y = cell.top + kCellMargin;
    m_picture->setFontBold(m_hasAppointments && m_hasAppointments(date));
    if (today && selected) {
        // Red on dark blue is hard to read: a white outline lifts the number off it.
        m_picture->setForeColor(colors.onSelection(Qt::white));
        for (const auto& [dx, dy] : {std::pair{-15, 0}, {15, 0}, {0, -15}, {0, 15}})
            m_picture->Print(x + dx, y + dy, number);
    }
    m_picture->setForeColor(text);
    m_picture->Print(x, y, number);
    m_picture->setFontBold(false);
}

void Calendar::drawWeekCell(int row)
{
    const CellRect cell = cellRect(kWeekColumn, row);
    const ScreenColors colors = ScreenColors::of(m_picture);
    m_picture->FillBox(cell.left, cell.top, cell.right, cell.bottom, colors.paper());

    QColor text = colors.legible(Palette::kDarkBlue, colors.paper());
    if (IsCellSelected(kWeekColumn, row)) {
        m_picture->FillBox(kWeekColumn * m_cellWidth + kInset, cell.top, cell.right, cell.bottom,
                           colors.selection(Palette::kDarkBlue));
        text = colors.onSelection(Qt::white);
    }

    const QString number = QString::number(MonthGrid(kWeekColumn, row));
    m_picture->setForeColor(text);
    m_picture->setFontBold(false);
    m_picture->Print(textLeft(kWeekColumn, number), cell.top + kCellMargin, number);
}

void Calendar::my_picture_MouseDown(Qt::MouseButton, Qt::KeyboardModifiers, int x, int y)
{
    if (!m_picture)
        return;
    // The grid as last drawn decides what was hit.
    for (int row = 0; row < kWeekRows; ++row) {
        for (int column = 0; column < kColumns; ++column) {
            if (MonthGrid(column, row) == 0 || !cellRect(column, row).contains(x, y))
                continue;
            if (column == kWeekColumn) {
                const QDate first = m_rowWeekStart[size_t(row)];
                m_isWeekSelected = true;
                DisplayMonth(m_showDate, first);
                emit WeekClicked(first);
            } else {
                const QDate day = dateInCell(column, row);
                m_isWeekSelected = false;
                DisplayMonth(m_showDate, day);
                emit DayClicked(day);
            }
            return;
        }
    }
}

void Calendar::my_picture_KeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    const std::optional<CalendarKeys::Place> to = CalendarKeys::step(
        {m_selectedDate, m_showDate, m_isWeekSelected}, key, modifiers, m_firstday);
    if (!to) {
        emit UnusedKey(key, modifiers);
        return;
    }
    // As a click on the cell would, once the month it lies in is shown.
    const bool moved = to->shown != m_showDate;
    m_isWeekSelected = to->week;
    DisplayMonth(to->shown, to->selected);
    if (moved)
        emit ShowDateMoved(m_showDate);
    if (to->week)
        emit WeekClicked(to->selected);
    else
        emit DayClicked(to->selected);
}

bool Calendar::isFocusCell(int column, int row) const
{
    if (MonthGrid(column, row) == 0 || !m_selectedDate.isValid())
        return false;
    if (m_isWeekSelected)
        return column == kWeekColumn &&
               m_rowWeekStart[size_t(row)] == StartOfWeek(m_selectedDate, m_firstday);
    return column != kWeekColumn && dateInCell(column, row) == m_selectedDate;
}

AccessibleItem Calendar::describe() const
{
    QList<CalendarAccessible::Cell> cells;
    for (int row = 0; row < kWeekRows; ++row) {
        for (int column = 0; column < kColumns; ++column) {
            if (MonthGrid(column, row) == 0)
                continue;
            CalendarAccessible::Cell cell;
            cell.row = row;
            cell.column = column;
            const CellRect r = cellRect(column, row);
            cell.rect = QRect(
                QPoint(PictureBox::toPixels(r.left), PictureBox::toPixels(r.top)),
                QPoint(PictureBox::toPixels(r.right) - 1, PictureBox::toPixels(r.bottom) - 1));
            cell.selected = IsCellSelected(column, row);
            cell.focused = isFocusCell(column, row);
            if (column == kWeekColumn) {
                cell.date = m_rowWeekStart[size_t(row)];
                cell.week = MonthGrid(column, row);
            } else {
                cell.date = dateInCell(column, row);
                cell.today = cell.date == m_today();
                cell.marked = m_hasAppointments && m_hasAppointments(cell.date);
            }
            cells.append(cell);
        }
    }
    return CalendarAccessible::describe(m_showDate, cells, m_langCode);
}
