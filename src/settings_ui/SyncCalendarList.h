#pragma once

#include "sync/Sync.h"

#include <QStringList>
#include <QWidget>

#include <optional>

class QTableWidget;

// The Sync page's list of the account's calendars: each with its name and colour from the
// server, paired with a data folder of the list, a new folder beside the active one, or none,
// and whether it is only synced down (always so for one the server lets the user only read).
class SyncCalendarList : public QWidget {
    Q_OBJECT

public:
    // The data folders of the list; the active one among them is offered first.
    SyncCalendarList(const QStringList& dataFolders, const QString& activeFolder,
                     QWidget* parent = nullptr);

    void setLanguage(const QString& langCode);
    // The pairs of the settings, before the server is asked.
    void showPairs(const QList<SyncPair>& pairs);
    // The server's calendars take the rows, each keeping the folder the settings gave it. A
    // single calendar of an account without pairs goes with the active folder, as ever.
    void showListing(const QList<ServerCalendar>& calendars, const QList<SyncPair>& saved);

    // The calendars paired with a folder.
    QList<SyncPair> pairs() const;
    // The new folders they were given: made when the settings are written.
    QStringList newFolders() const;

private:
    void addRow(const ServerCalendar& calendar, const std::optional<QString>& folder,
                bool readOnly);
    // A new folder for the calendar, beside the active one.
    QString newFolderFor(const ServerCalendar& calendar) const;
    QString text(const char* source) const;

    QStringList m_folders;
    QString m_active;
    QString m_lang;
    QList<ServerCalendar> m_calendars; // by row
    QTableWidget* table_sync_calendars;
};
