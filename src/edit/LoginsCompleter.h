#pragma once

#include "settings/Team.h"

#include <QCompleter>

class QLineEdit;

// Completes the name being typed in a field that lists several, from the team: the logins of
// its people, separated by commas ("anna, b" offers ben), or its rooms, separated by
// semicolons. The names before the last separator stay as typed. A member's name finds the
// member too, a room's note the room.
class LoginsCompleter : public QCompleter {
    Q_OBJECT

public:
    LoginsCompleter(const QList<TeamMember>& team, QLineEdit* field);
    LoginsCompleter(const QList<TeamRoom>& rooms, QLineEdit* field);

    QString pathFromIndex(const QModelIndex& index) const override;
    QStringList splitPath(const QString& path) const override;

private:
    struct Entry {
        QString shown;
        QString inserted;
    };
    LoginsCompleter(const QList<Entry>& entries, QChar separator, QLineEdit* field);
    // The text before the name being typed, with its separator and one blank.
    QString listBefore(const QString& text) const;

    QLineEdit* m_field;
    QChar m_separator;
};
