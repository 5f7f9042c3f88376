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
        AccessibleItem item;
        item.role = QAccessible::Cell;
        item.row = cell.row;
        item.column = cell.column;
        item.rect = cell.rect;
        item.state.selectable = true;
        item.state.focusable = true;
        item.state.selected = cell.selected;
        item.state.focused = cell.focused;
        if (cell.column == kWeekColumn) {
            item.name = tr("Week %1").arg(cell.week);
        } else {
            item.name = LongDate(cell.date, langCode);
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
