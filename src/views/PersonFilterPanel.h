#pragma once

#include "settings/Team.h"

#include <QStringList>
#include <QWidget>

class QCheckBox;
class QVBoxLayout;

// The people of the side panel: a check box per person in the person's colour, the team in
// its order and the user first when not listed, which also serves as the people's legend.
// What is ticked filters the views; everyone ticked filters nothing. The last box ticked stays
// ticked: a filter that shows nobody would only look like an empty calendar.
class PersonFilterPanel : public QWidget {
    Q_OBJECT

public:
    explicit PersonFilterPanel(QWidget* parent = nullptr);

    // Rebuilds the boxes; those ticked before stay ticked, a new person is ticked.
    void setPeople(const QList<TeamMember>& team, const QString& login);
    // The logins ticked, or none when everyone is: what PersonLanes::kept takes.
    QStringList shown() const;
    void setLanguage(const QString& langCode);

signals:
    void shownChanged(const QStringList& logins);

private:
    QVBoxLayout* m_layout;
    QList<QCheckBox*> m_boxes;
    QList<TeamMember> m_team;
    QString m_login;
    QString m_lang;
};
