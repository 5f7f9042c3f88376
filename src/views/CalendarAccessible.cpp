#include "views/CalendarAccessible.h"

#include "calendar/Names.h"

#include <QCoreApplication>
#include <QStringList>

namespace CalendarAccessible {

namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("CalendarAccessible", text);
}

constexpr int kWeekColumn = 7;

} // namespace

AccessibleItem describe(const QDate& shown, const QList<Cell>& cells, const QString& langCode)
{
    AccessibleItem table;
    table.role = QAccessible::Table;
    table.name = MonthYear(shown, langCode);
    for (const Cell& cell : cells) {
        const bool week = cell.column == kWeekColumn;
        AccessibleItem item = AccessibleItem::choice(
            QAccessible::Cell, week ? tr("Week %1").arg(cell.week) : LongDate(cell.date, langCode),
            cell.rect, cell.selected, cell.focused);
        item.row = cell.row;
        item.column = cell.column;
        if (!week) {
            QStringList about;
            if (cell.today)
                about << tr("today");
            if (cell.marked)
                about << tr("has appointments");
            item.description = about.join(QStringLiteral(", "));
        }
        table.children.append(item);
    }
    return table;
}

} // namespace CalendarAccessible
