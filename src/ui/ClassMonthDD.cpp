#include "ui/ClassMonthDD.h"

#include "calendar/Names.h"
#include "calendar/Weeks.h"
#include "ui/DateKeys.h"
#include "ui/PictureBox.h"
#include "ui/ScreenColors.h"

#include <optional>

namespace {

// Geometry of the sheet in twips; drawing and hit-testing both read it from here.
constexpr int kLeft = 30;
constexpr int kRightInset = 60;
constexpr int kColumnWidth = 380;
constexpr int kRowHeight = 300;
constexpr int kColumns = 7;
constexpr int kMaxRows = 6;
constexpr int kTitleTop = 60;
constexpr int kTitleRuleY = 360;
constexpr int kHeaderTop = 405;
constexpr int kHeaderRuleY = 660;
constexpr int kNumberTop = 60;    // below the top of a cell
constexpr int kTodayRadius = 100; // around the cell centre
constexpr int kTitleHitBottom = 350;
constexpr int kPagingHitWidth = 350;
constexpr int kDaysHitTop = 600;

const QColor kInk(0, 0, 0);
const QColor kBlue(0, 0, 255);
const QColor kTodayYellow(255, 255, 0);
const QColor kRowRule(224, 224, 224);
const QColor kPaper(255, 255, 255);

constexpr QPoint kNotDrawn(-1, -1);

// Top left of the cell in row 1..6 and column 1..7.
QPoint cellOrigin(int row, int column)
{
    return {(column - 1) * kColumnWidth + kLeft, (row + 1) * kRowHeight + 60};
}

int columnCentre(int column)
{
    return cellOrigin(1, column).x() + kColumnWidth / 2;
}

QPoint cellCentre(QPoint cell)
{
    return {cell.x() + kColumnWidth / 2, cell.y() + kRowHeight / 2};
}

// Strictly inside: a point on the border between two cells belongs to neither.
bool cellContains(QPoint cell, int x, int y)
{
    return cell.x() >= 0 && x > cell.x() && x < cell.x() + kColumnWidth && y > cell.y() &&
           y < cell.y() + kRowHeight;
}

// Where each day of the month of date goes, with the sheet starting on firstday.
std::array<QPoint, 32> layOutDays(const QDate& date, int firstday)
{
    std::array<QPoint, 32> cells;
    cells.fill(kNotDrawn);
    for (int day = 1; day <= date.daysInMonth(); ++day) {
        const MonthCell cell = MonthCellOf(QDate(date.year(), date.month(), day), firstday);
        if (cell.row + 1 > kMaxRows)
            break;
        cells[day] = cellOrigin(cell.row + 1, cell.column + 1);
    }
    return cells;
}

bool isInMonth(const QDate& date, const QDate& month)
{
    return date.isValid() && month.isValid() && date.year() == month.year() &&
           date.month() == month.month();
}

enum class TitleZone { PreviousMonth, CurrentMonth, NextMonth };

TitleZone titleZoneAt(int x, int width)
{
    if (x < kPagingHitWidth)
        return TitleZone::PreviousMonth;
    if (x > width - kPagingHitWidth)
        return TitleZone::NextMonth;
    return TitleZone::CurrentMonth;
}

} // namespace

ClassMonthDD::ClassMonthDD(QObject* parent)
    : ClassMonthDD(&QDate::currentDate, parent)
{
}

ClassMonthDD::ClassMonthDD(TodayFunction today, QObject* parent)
    : QObject(parent)
    , m_today(std::move(today))
{
    m_showDate = m_today();
    m_selectedDate = m_showDate;
    m_cursor = m_showDate;
    m_dayCells.fill(kNotDrawn);
    SetNames();
}

ClassMonthDD::~ClassMonthDD()
{
    PictureBox::handOver(my_pic, nullptr, this, {});
}

void ClassMonthDD::Bind(PictureBox* picture)
{
    my_pic = PictureBox::handOver(my_pic, picture, this, [this] { return describe(); });
    if (!my_pic)
        return;
    my_pic->hide();
    my_pic->setBackColor(ScreenColors::of(my_pic).paper());
    my_pic->resizeTwips(kWidth, kHeight);
    connect(my_pic, &PictureBox::KeyDown, this, &ClassMonthDD::my_pic_KeyDown);
    connect(my_pic, &PictureBox::LostFocus, this, &ClassMonthDD::my_pic_LostFocus);
    connect(my_pic, &PictureBox::MouseMove, this, &ClassMonthDD::my_pic_MouseMove);
    connect(my_pic, &PictureBox::MouseUp, this, &ClassMonthDD::my_pic_MouseUp);
}

void ClassMonthDD::Display()
{
    SetNames();
    m_showDate = m_selectedDate;
    m_cursor = m_selectedDate;
    if (!my_pic)
        return;
    DrawMonth();
    my_pic->raise();
    my_pic->show();
    my_pic->setFocus();
}

void ClassMonthDD::SetNames()
{
    day_names = ShortDayNames(m_langcode);
    month_names = MonthNames(m_langcode);
    // The month sheet has always titled January the Austrian way.
    if (IsGerman(m_langcode))
        month_names[1] = QStringLiteral("Jänner");
}

QString ClassMonthDD::title() const
{
    return month_names.value(m_showDate.month()) + QLatin1Char(' ') +
           QString::number(m_showDate.year());
}

void ClassMonthDD::DrawMonth()
{
    if (!my_pic)
        return;
    m_dayCells = layOutDays(m_showDate, m_firstday);
    const ScreenColors colors = ScreenColors::of(my_pic);
    my_pic->FillBox(0, 0, my_pic->ScaleWidth(), my_pic->ScaleHeight(), colors.paper());
    drawTitle();
    drawHeader();
    const int rightEdge = my_pic->ScaleWidth() - kRightInset;
    for (int row = 2; row <= kMaxRows; ++row) {
        const int y = cellOrigin(row, 1).y();
        my_pic->Line(kLeft, y, rightEdge, y, colors.adapt(kRowRule));
    }
    for (int day = 1; day < int(m_dayCells.size()); ++day) {
        if (m_dayCells[day] != kNotDrawn)
            drawDay(day, m_dayCells[day]);
    }
    if (isInMonth(m_cursor, m_showDate) && m_dayCells[m_cursor.day()] != kNotDrawn)
        drawHoverFrame(m_dayCells[m_cursor.day()]);
    my_pic->accessibleContentChanged();
}

void ClassMonthDD::drawTitle()
{
    const int width = my_pic->ScaleWidth();
    const QString shown = title();
    const ScreenColors colors = ScreenColors::of(my_pic);
    const QColor ink = colors.ink();
    my_pic->setFontBold(true);
    my_pic->setForeColor(ink);
    my_pic->Print(width / 2 - my_pic->TextWidth(shown) / 2, kTitleTop, shown);
    my_pic->setForeColor(colors.legible(kBlue, colors.paper()));
    const QString previous = QStringLiteral("<<");
    const QString next = QStringLiteral(">>");
    my_pic->Print(kLeft, kTitleTop, previous);
    my_pic->Print(width - kRightInset - my_pic->TextWidth(next), kTitleTop, next);
    my_pic->setFontBold(false);
    my_pic->setForeColor(ink);
    my_pic->Line(kLeft, kTitleRuleY, width - kRightInset, kTitleRuleY, ink);
    my_pic->Line(kLeft, kHeaderRuleY, width - kRightInset, kHeaderRuleY, ink);
}

void ClassMonthDD::drawHeader()
{
    int weekday = FirstWeekdayOfRows(m_firstday);
    for (int column = 1; column <= kColumns; ++column) {
        const QString name = day_names.value(weekday);
        my_pic->Print(columnCentre(column) - my_pic->TextWidth(name) / 2, kHeaderTop, name);
        weekday = weekday % 7 + 1;
    }
}

void ClassMonthDD::drawDay(int day, QPoint cell)
{
    const QDate date(m_showDate.year(), m_showDate.month(), day);
    const ScreenColors colors = ScreenColors::of(my_pic);
    QColor background = colors.paper();
    QColor numberColour = colors.ink();
    if (date == m_selectedDate) {
        background = colors.selection(kBlue);
        my_pic->FillBox(cell.x() + 60, cell.y() + 15, cell.x() + 320, cell.y() + 285, background);
        numberColour = colors.onSelection(kPaper);
    }
    if (date == m_today()) {
        const QPoint centre = cellCentre(cell);
        my_pic->Circle(centre.x(), centre.y(), kTodayRadius, kTodayYellow, 2);
        numberColour = colors.legible(kInk, background);
    }
    const QString number = QString::number(day);
    my_pic->setForeColor(numberColour);
    my_pic->Print(cellCentre(cell).x() - my_pic->TextWidth(number) / 2, cell.y() + kNumberTop,
                  number);
    my_pic->setForeColor(colors.ink());
}

void ClassMonthDD::drawHoverFrame(QPoint cell)
{
    // One pixel inside the cell, so the row rules stay visible.
    constexpr int inset = PictureBox::kTwipsPerPixel;
    const ScreenColors colors = ScreenColors::of(my_pic);
    my_pic->Box(cell.x() + inset, cell.y() + inset, cell.x() + kColumnWidth - inset,
                cell.y() + kRowHeight - inset, colors.legible(kBlue, colors.paper()));
}

int ClassMonthDD::dayAt(int x, int y) const
{
    if (y < kDaysHitTop)
        return kNoDay;
    for (int day = 1; day < int(m_dayCells.size()); ++day) {
        if (cellContains(m_dayCells[day], x, y))
            return day;
    }
    return kNoDay;
}

void ClassMonthDD::showMonthOf(const QDate& date)
{
    m_showDate = date;
    // The frame stays on the sheet, so the keys go on from the month in sight.
    if (!isInMonth(m_cursor, m_showDate))
        m_cursor = date;
    DrawMonth();
}

void ClassMonthDD::moveCursor(const QDate& date)
{
    m_cursor = date;
    if (!isInMonth(date, m_showDate))
        m_showDate = date;
    DrawMonth();
}

void ClassMonthDD::pickDay(int day)
{
    const QDate picked(m_showDate.year(), m_showDate.month(), day);
    emit Click(picked);
    if (picked != m_selectedDate)
        emit Change(picked);
    m_selectedDate = picked;
    DrawMonth();
    hide();
}

void ClassMonthDD::hide()
{
    if (my_pic)
        my_pic->hide();
}

void ClassMonthDD::my_pic_KeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
        if (isInMonth(m_cursor, m_showDate))
            pickDay(m_cursor.day());
        else
            hide();
    } else if (key == Qt::Key_Escape) {
        hide();
    } else if (const std::optional<QDate> to = DateKeys::step(m_cursor, key, modifiers)) {
        moveCursor(*to);
    }
}

void ClassMonthDD::my_pic_LostFocus()
{
    hide();
}

void ClassMonthDD::my_pic_MouseMove(Qt::MouseButtons, Qt::KeyboardModifiers, int x, int y)
{
    const int day = dayAt(x, y);
    // Redrawing only when the frame moves keeps the sheet from flickering.
    if (day != kNoDay && !(isInMonth(m_cursor, m_showDate) && m_cursor.day() == day)) {
        m_cursor = QDate(m_showDate.year(), m_showDate.month(), day);
        DrawMonth();
    }
}

void ClassMonthDD::my_pic_MouseUp(Qt::MouseButton, Qt::KeyboardModifiers, int x, int y)
{
    if (!my_pic)
        return;
    if (y < kTitleHitBottom) {
        switch (titleZoneAt(x, my_pic->ScaleWidth())) {
        case TitleZone::PreviousMonth:
            showMonthOf(m_showDate.addMonths(-1));
            break;
        case TitleZone::NextMonth:
            showMonthOf(m_showDate.addMonths(1));
            break;
        case TitleZone::CurrentMonth:
            showMonthOf(m_today());
            break;
        }
        return;
    }
    const int day = dayAt(x, y);
    if (day != kNoDay)
        pickDay(day);
}

AccessibleItem ClassMonthDD::describe() const
{
    AccessibleItem sheet;
    sheet.role = QAccessible::Table;
    sheet.name = title();
    sheet.value = LongDate(m_selectedDate, m_langcode);
    if (!m_showDate.isValid())
        return sheet;
    for (int day = 1; day < int(m_dayCells.size()); ++day) {
        const QPoint cell = m_dayCells[day];
        if (cell == kNotDrawn)
            continue;
        const QDate date(m_showDate.year(), m_showDate.month(), day);
        if (!date.isValid())
            continue; // drawn for another month than is set now
        const MonthCell place = MonthCellOf(date, m_firstday);
        AccessibleItem item = AccessibleItem::choice(
            QAccessible::Cell, LongDate(date, m_langcode),
            QRect(PictureBox::toPixels(cell.x()), PictureBox::toPixels(cell.y()),
                  PictureBox::toPixels(kColumnWidth), PictureBox::toPixels(kRowHeight)),
            date == m_selectedDate, date == m_cursor);
        if (date == m_today())
            item.description = tr("today");
        item.row = place.row;
        item.column = place.column;
        sheet.children.append(item);
    }
    return sheet;
}
