// The month printout: the month's sheet with its appointments, as the month view shows it.
#include "print/Druck.h"

#include "calendar/Names.h"
#include "colors/Palette.h"
#include "colors/StoredColor.h"
#include "layout/MonthLayout.h"
#include "print/PrintCanvas.h"
#include "settings/Settings.h"
#include "store/Common.h"

#include <algorithm>
#include <cmath>

namespace {

const QString kArial = QStringLiteral("Arial");

constexpr double kTitle = 10;     // the month's name and the data folder
constexpr double kHeader = 6;     // the weekday names
constexpr double kWeekColumn = 8; // the week numbers
constexpr double kDayLine = 5;    // the day number in a cell
constexpr double kIndent = 0.8;

} // namespace

bool Druck::PrintMonth(int month, int year)
{
    PreparePrinter();
    SetAreaWithMargins();
    const QDate first(year, month, 1);
    const QList<QDate> days = MonthLayout::sheetDays(year, month, m_settings.FirstWeekday());
    const int rows = std::max<int>(1, int(days.size() / 7));
    const double cellHeight = (H - kTitle - kHeader) / rows;

    MonthLayout::Input input;
    input.year = year;
    input.month = month;
    input.firstWeekday = m_settings.FirstWeekday();
    input.shownWeekday = [this](int weekday) { return m_settings.ShowWeek(weekday); };
    input.weekRule = m_settings.FirstCW();
    input.days = m_days;
    input.linesPerCell = std::max(0, int(std::floor((cellHeight - kDayLine) / kEntryLine)));
    input.timeFormat = m_settings.TimeFormat();
    input.langCode = m_settings.LangCode();
    const MonthLayout::Month sheet = MonthLayout::layOut(input);

    const QString lang = m_settings.LangCode();
    m_canvas.setFont(kArial, 14, true, false);
    m_canvas.PrintWrappedText(mX, mY, W / 2, kTitle,
                              MonthNames(lang).value(month) + QLatin1Char(' ') +
                                  QString::number(first.year()),
                              TextAlign::Left);
    m_canvas.setFont(kArial, 11, false, false);
    m_canvas.PrintWrappedText(mX + W / 2, mY + 1, W / 2, kTitle,
                              LastPathPart(m_settings.GetDataFolder()), TextAlign::Right);

    const double top = mY + kTitle;
    const double left = mX + kWeekColumn;
    const int columns = int(sheet.weekdays.size());
    m_canvas.DrawBox(mX, top, W, H - kTitle, Palette::kInk);
    // No weekday to show: the frame alone, nothing to divide its width by.
    if (columns == 0)
        return FinishPage(mX, mY + H + 2, W);
    const double cellWidth = (W - kWeekColumn) / columns;

    m_canvas.setFont(kArial, 10, true, false);
    const QStringList names = DayNames(lang);
    for (int c = 0; c < columns; ++c)
        m_canvas.PrintWrappedText(left + c * cellWidth, top + 1, cellWidth, kHeader,
                                  names.value(sheet.weekdays[c]), TextAlign::Centre);
    m_canvas.DrawLine(mX, top + kHeader, mX + W, top + kHeader, Palette::kInk);

    for (int r = 0; r < int(sheet.weeks.size()); ++r) {
        const MonthLayout::Week& week = sheet.weeks[r];
        const double y = top + kHeader + r * cellHeight;
        if (r > 0)
            m_canvas.DrawLine(mX, y, mX + W, y, Palette::kGreyInk);
        m_canvas.setFont(kArial, 8, false, false);
        m_canvas.PrintWrappedText(mX, y + 1, kWeekColumn, kDayLine, QString::number(week.number),
                                  TextAlign::Centre);
        for (int c = 0; c < int(week.cells.size()); ++c) {
            const MonthLayout::Cell& cell = week.cells[c];
            const double x = left + c * cellWidth;
            if (!cell.inMonth)
                m_canvas.FillBox(x + 0.1, y + 0.1, cellWidth - 0.2, cellHeight - 0.2,
                                 Palette::kWeekendGrey);
            m_canvas.DrawLine(x, y, x, y + cellHeight, Palette::kGreyInk);
            m_canvas.setFont(kArial, 9, true, false);
            m_canvas.PrintWrappedText(x + kIndent, y + 0.5, cellWidth - 2 * kIndent, kDayLine,
                                      QString::number(cell.date.day()), TextAlign::Left);
            DrawCellEntries(cell, x, y + kDayLine, cellWidth);
        }
    }
    return FinishPage(mX, mY + H + 2, W);
}

void Druck::DrawCellEntries(const MonthLayout::Cell& cell, double x, double y, double width)
{
    m_canvas.setFont(kArial, 8, false, false);
    double line = y;
    for (const MonthLayout::Entry& entry : cell.entries) {
        m_canvas.FillBox(x + kIndent, line + 0.2, width - 2 * kIndent, kEntryLine - 0.4,
                         AppointmentColor(m_settings, entry.colorCode));
        const QString text =
            entry.time.isEmpty() ? entry.text : entry.time + QLatin1Char(' ') + entry.text;
        // One line, cut at the cell's edge.
        m_canvas.setTextClip(QRectF(x + kIndent, line, width - 2 * kIndent, kEntryLine));
        m_canvas.drawText(x + 2 * kIndent, line + 0.3, text);
        m_canvas.setTextClip(std::nullopt);
        line += kEntryLine;
    }
    if (cell.moreCount > 0)
        m_canvas.PrintWrappedText(x + 2 * kIndent, line + 0.3, width - 3 * kIndent, kEntryLine,
                                  MonthLayout::moreText(cell.moreCount, m_settings.LangCode()),
                                  TextAlign::Left);
}
