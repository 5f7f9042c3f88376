#pragma once

#include "views/FolderMarks.h"

#include <QList>
#include <QWidget>

// The legend of the side panel while folders are shown beside the active one: each folder
// shown with its colour, a folder that does not answer named so in red, and a click on one
// beside the active one hides it.
class FolderLegend : public QWidget {
    Q_OBJECT

public:
    struct Entry {
        FolderMark mark;
        bool answering = true;
        bool reachable = true;
    };

    explicit FolderLegend(QWidget* parent);
    // Hidden for the active folder alone; the buttons are named legend_folder_1, _2, ...
    void setEntries(const QList<Entry>& entries);
    const QList<Entry>& entries() const { return m_entries; }

signals:
    // The user hid the folder, as the list of data folders names it.
    void hideAsked(const QString& listed);

private:
    QList<Entry> m_entries;
};
