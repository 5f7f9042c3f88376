#pragma once

#include "settings/Team.h"

#include <QWidget>

class QLabel;
class QPushButton;
class QTableWidget;

// The team's categories on the settings window's team page: a name and a colour each, and
// the names appointments use that the list lacks, with a button that adds them.
class TeamCategoriesBox : public QWidget {
    Q_OBJECT

public:
    explicit TeamCategoriesBox(QWidget* parent = nullptr);

    void show(const QList<TeamCategory>& categories);
    // Rows without a name are left out; a name listed twice (letter case aside) counts once;
    // semicolons and commas, which separate names in files, become blanks.
    QList<TeamCategory> chosen() const;
    // The names known appointments use; those the list lacks are offered.
    void setUsed(const QStringList& names);
    void setLanguage(const QString& langCode);

private:
    void addRow(const TeamCategory& category);
    void showColor(int row, qint64 color);
    void showUnlisted();
    QString text(const char* source) const;

    QString m_lang;
    QStringList m_used;
    QTableWidget* table_categories;
    QPushButton* command_category_add;
    QPushButton* command_category_remove;
    QLabel* label_unlisted;
    QPushButton* command_add_unlisted;
};
