#include "views/AgendaView.h"

#include <QHeaderView>
#include <QIcon>
#include <QPainter>
#include <QPixmap>

namespace {

enum Column { TimeColumn, TextColumn, OwnerColumn, RepeatsColumn, ColumnCount };

} // namespace

AgendaView::AgendaView(QWidget* parent)
    : QTreeWidget(parent)
{
    setObjectName(QStringLiteral("agenda_view"));
    setFocusPolicy(Qt::NoFocus);
    setColumnCount(ColumnCount);
    setHeaderHidden(true);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(TextColumn, QHeaderView::Stretch);
    connect(this, &QTreeWidget::itemPressed, this, [this](QTreeWidgetItem* item) {
        int group = 0;
        int line = 0;
        if (lineOf(item, &group, &line))
            emit linePressed(m_groups[group].lines[line], m_groups[group].date);
    });
    connect(this, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        int group = 0;
        int line = 0;
        if (lineOf(item, &group, &line))
            emit lineDoubleClicked(m_groups[group].lines[line], m_groups[group].date);
    });
}

void AgendaView::setGroups(QList<AgendaLayout::Group> groups, const QString& langCode)
{
    m_groups = std::move(groups);
    clear();
    // Hidden for the eye; a screen reader names the columns by them.
    setHeaderLabels(AgendaLayout::columnNames(langCode));
    if (m_groups.isEmpty()) {
        auto* none = new QTreeWidgetItem(this);
        none->setText(TimeColumn, AgendaLayout::emptyText(langCode));
        none->setFlags(Qt::ItemIsEnabled);
        none->setFirstColumnSpanned(true);
        return;
    }
    QFont bold = font();
    bold.setBold(true);
    for (const AgendaLayout::Group& group : std::as_const(m_groups)) {
        // QTreeWidgetItem shows its texts plain, whatever a share put into them.
        auto* heading = new QTreeWidgetItem(this);
        QString text = group.heading;
        if (group.today)
            text += QStringLiteral(" (") + AgendaLayout::todayText(langCode) + QLatin1Char(')');
        heading->setText(TimeColumn, text);
        heading->setFont(TimeColumn, bold);
        heading->setFlags(Qt::ItemIsEnabled);
        heading->setFirstColumnSpanned(true);
        if (group.today)
            heading->setBackground(TimeColumn, palette().alternateBase());
        for (const AgendaLayout::Line& line : group.lines) {
            auto* item = new QTreeWidgetItem(heading);
            item->setText(TimeColumn, line.time);
            item->setText(TextColumn, line.text);
            item->setText(OwnerColumn, line.owner);
            if (line.repeats)
                item->setText(RepeatsColumn, AgendaLayout::repeatsText(langCode));
            const auto folder = FolderMarks::of(m_folders, line.appointment->filename());
            if (m_colors) {
                QPixmap swatch(12, 12);
                swatch.fill(m_colors(line.colorCode));
                if (folder)
                    QPainter(&swatch).fillRect(0, 0, 4, 12, folder->color);
                item->setIcon(TextColumn, QIcon(swatch));
            }
            if (folder) {
                item->setToolTip(TextColumn, FolderMarks::calendarLine(folder));
                item->setData(TextColumn, Qt::AccessibleDescriptionRole,
                              FolderMarks::calendarLine(folder));
            }
        }
    }
    expandAll();
}

QTreeWidgetItem* AgendaView::lineItem(int group, int line) const
{
    QTreeWidgetItem* heading = topLevelItem(group);
    return heading ? heading->child(line) : nullptr;
}

bool AgendaView::lineOf(const QTreeWidgetItem* item, int* group, int* line) const
{
    if (!item || !item->parent())
        return false;
    *group = indexOfTopLevelItem(item->parent());
    *line = item->parent()->indexOfChild(const_cast<QTreeWidgetItem*>(item));
    return *group >= 0 && *group < m_groups.size() && *line >= 0 &&
           *line < m_groups[*group].lines.size();
}

bool AgendaView::stepCurrentLine(int step)
{
    QTreeWidgetItem* item = currentItem();
    int group = 0;
    int line = 0;
    if (!lineOf(item, &group, &line))
        item = nullptr;
    do
        item = !item ? lineItem(0, 0) : step > 0 ? itemBelow(item) : itemAbove(item);
    while (item && !lineOf(item, &group, &line));
    if (!item)
        return false;
    setCurrentItem(item);
    scrollToItem(item);
    return true;
}
