#pragma once

#include "layout/FreeSlots.h"
#include "settings/Team.h"

#include <QDate>
#include <QDateTime>
#include <QDialog>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class FolderStores;
class QDateEdit;
class QLabel;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTimeEdit;

// Find a time: whom to ask (the team and the others the folders know, ticked), the rooms (the
// team's and the others booked, ticked), the length, the days and the hours; then the first free
// times of all of them by FreeSlots, from the days the folders' store services read for it (the
// window's thread never reads a folder). It looks when opened and on Find, and waits for the
// services' answer without a nested event loop. A time picked (a double click, or "New
// appointment") is told by slotTaken; the dialog stays open to pick another.
class FindTimeDialog : public QDialog {
    Q_OBJECT

public:
    struct Start {
        QList<TeamMember> team;
        QStringList others;      // logins the folders know besides the team's
        QStringList chosen;      // ticked at the start; one not listed yet is added
        QStringList rooms;       // the team's and those the folders know
        QStringList chosenRooms; // the same for rooms
        int minutes = 60;
        QDate from;
        QDate to;
        FreeSlots::Hours hours;
        QList<int> weekdays = {1, 2, 3, 4, 5, 6, 7}; // as FreeSlots::Request counts them
        QDateTime now;                               // no time before it is offered
        QString datePattern = QStringLiteral("yyyy-mm-dd");
        QString timeFormat = QStringLiteral("24h");
        QString langCode = QStringLiteral("en");
    };
    FindTimeDialog(FolderStores& stores, const Start& start, QWidget* parent = nullptr);

    struct Taken {
        FreeSlots::Slot slot;
        QStringList persons;
        QStringList rooms;
    };
    // The times found last, in the order listed.
    const QList<FreeSlots::Slot>& found() const { return m_found; }
    // Looks again with what the controls say now.
    void find();

signals:
    void slotTaken(const FindTimeDialog::Taken& taken);
    // The services answered a look, whatever it found.
    void answered();

private:
    // The request the controls make; nullopt, with the reason shown, when they make none.
    std::optional<FreeSlots::Request> request();
    void list(const FreeSlots::Request& asked, const QList<FreeSlots::Slot>& found);
    void take();

    FolderStores& m_stores;
    Start m_start;
    quint64 m_asked = 0; // the look whose answer counts; an older one's is dropped
    std::optional<FreeSlots::Request> m_shown; // the request the list shows the times of
    QList<FreeSlots::Slot> m_found;

    QListWidget* m_people = nullptr;
    QListWidget* m_rooms = nullptr;
    QSpinBox* m_length = nullptr;
    QDateEdit* m_from = nullptr;
    QDateEdit* m_to = nullptr;
    QTimeEdit* m_hoursFrom = nullptr;
    QTimeEdit* m_hoursTo = nullptr;
    QLabel* m_status = nullptr;
    QListWidget* m_slots = nullptr;
    QPushButton* m_take = nullptr;
};
