#pragma once

#include "layout/AgendaLayout.h"
#include "views/FolderMarks.h"

#include <QColor>
#include <QTreeWidget>

#include <functional>

// The agenda list of the main window: draws AgendaLayout's groups as headings with their
// lines below, today's heading marked. It takes no focus, so the window's keys move the
// list's days; what a press or a double click on a line hit it tells by signals.
class AgendaView : public QTreeWidget {
    Q_OBJECT

public:
    using Colors = std::function<QColor(int code)>;

    explicit AgendaView(QWidget* parent = nullptr);

    void setColors(Colors colors) { m_colors = std::move(colors); }
    // The folders shown: another folder's line carries its band and names it.
    void setFolders(const QList<FolderMark>& folders) { m_folders = folders; }
    void setGroups(QList<AgendaLayout::Group> groups, const QString& langCode);
    const QList<AgendaLayout::Group>& groups() const { return m_groups; }
    // The item of a group's line, for a click on it.
    QTreeWidgetItem* lineItem(int group, int line) const;
    // The group and line of an item; false for a heading.
    bool lineOf(const QTreeWidgetItem* item, int* group, int* line) const;
    // Makes the next (step 1) or previous (-1) line current, skipping the headings; the
    // first line when none is current. False when there is no such line.
    bool stepCurrentLine(int step);

signals:
    void linePressed(const AgendaLayout::Line& line, const QDate& day);
    void lineDoubleClicked(const AgendaLayout::Line& line, const QDate& day);

private:
    QList<AgendaLayout::Group> m_groups;
    Colors m_colors;
    QList<FolderMark> m_folders;
};
