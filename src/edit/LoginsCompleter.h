#pragma once

#include "settings/Team.h"

#include <QCompleter>

class QLineEdit;

// Completes the login being typed in a field that lists several, separated by commas, from
// the team: "anna, b" offers ben; the logins before the last comma stay as typed. A member's
// name finds the member too.
class LoginsCompleter : public QCompleter {
    Q_OBJECT

public:
    LoginsCompleter(const QList<TeamMember>& team, QLineEdit* field);

    QString pathFromIndex(const QModelIndex& index) const override;
    QStringList splitPath(const QString& path) const override;

private:
    QLineEdit* m_field;
};
