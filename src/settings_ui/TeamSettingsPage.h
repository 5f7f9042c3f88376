#pragma once

#include "settings/Team.h"

#include <QWidget>

class QPushButton;
class TeamCategoriesBox;
class QTableWidget;

// The settings window's page of the team: who is listed, under which name and in which colour,
// in the order the views show them; below, the rooms and equipment it books, with a note each.
// Written with the rest of the settings file, so a file the administrator locked keeps its list.
class TeamSettingsPage : public QWidget {
    Q_OBJECT

public:
    explicit TeamSettingsPage(QWidget* parent = nullptr);

    void show(const QList<TeamMember>& team);
    // Rows without a login are left out; a login listed twice counts once, as on reading.
    QList<TeamMember> chosen() const;
    void showRooms(const QList<TeamRoom>& rooms);
    // Rows without a name are left out; a name listed twice (letter case aside) counts once.
    QList<TeamRoom> chosenRooms() const;
    // Adds the names the list lacks, each as a row of its own for its note.
    void addRooms(const QStringList& names);
    void setLanguage(const QString& langCode);
    // The team's categories, below the rooms.
    TeamCategoriesBox& categories() const { return *m_categories; }

private:
    enum Column { kLogin, kName, kColor, kColumns };
    void addRow(const TeamMember& member);
    void moveRow(int by);
    void pickColor(int row);
    void showColor(int row, qint64 color);
    QString text(const char* source) const;

    QString m_lang;
    QTableWidget* table_team;
    QPushButton* command_add;
    QPushButton* command_remove;
    QPushButton* command_up;
    QPushButton* command_down;
    QTableWidget* table_rooms;
    QPushButton* command_room_add;
    QPushButton* command_room_remove;
    TeamCategoriesBox* m_categories;
};
