// The editor's page of categories: the team's list and the appointment's own names, a check
// box each, so that a name the list lacks stays on the appointment until unchecked.
#include "edit/form_edit.h"

#include "edit/form_edit_layout.h"
#include "settings/Settings.h"
#include "ui/ApiColorPicker.h"

#include <QLabel>
#include <QListWidget>
#include <QRegularExpression>

using namespace FormEditLayout;

void form_edit::createCategoriesPage()
{
    QFrame* page = createPage(kCategoriesPage);
    label_categories = createHeading(page, "label_categories", Layout::kCategoriesCaption);
    list_categories = new QListWidget(page);
    list_categories->setObjectName(QStringLiteral("list_categories"));
    list_categories->setGeometry(Layout::kCategories);
}

void form_edit::showCategories(const QStringList& own)
{
    list_categories->clear();
    const auto add = [this, &own](const QString& name, qint64 color) {
        auto* item = new QListWidgetItem(name, list_categories);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        const qsizetype at = own.indexOf(QRegularExpression(
            QRegularExpression::escape(name), QRegularExpression::CaseInsensitiveOption));
        // Its own spelling stays while checked: an edit of something else changes no name.
        item->setData(Qt::UserRole, own.value(at));
        item->setCheckState(at >= 0 ? Qt::Checked : Qt::Unchecked);
        if (color >= 0)
            item->setIcon(ColorSwatch(ColorOfRgbValue(color)));
    };
    const QList<TeamCategory>& listed = m_settings.TeamCategories();
    for (const TeamCategory& category : listed)
        add(category.name, category.color);
    for (const QString& name : Team::unlisted(listed, own))
        add(name, -1);
}

QStringList form_edit::chosenCategories() const
{
    QStringList names;
    for (int row = 0; row < list_categories->count(); ++row)
        if (const QListWidgetItem* item = list_categories->item(row);
            item->checkState() == Qt::Checked) {
            const QString own = item->data(Qt::UserRole).toString();
            names << (own.isEmpty() ? item->text() : own);
        }
    return names;
}
