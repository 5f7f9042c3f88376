// The View menu's category filter: the team's categories, a check mark each; every view shows
// the appointments of the categories checked, all of them while none is.
#include "views/form_main.h"

#include "views/MainWindowControls.h"

#include <QAction>
#include <QMenu>

void form_main::setupCategoryFilter()
{
    m_categoryMenu = new QMenu(this);
    m_categoryMenu->setObjectName(QStringLiteral("mnu_view_categories"));
    m_ui->mnu_view->insertMenu(m_ui->mnu_view_goto, m_categoryMenu);
    m_ui->mnu_view->insertSeparator(m_ui->mnu_view_goto);
    // Built as the menu opens: the team's list and the language may have changed since.
    connect(m_ui->mnu_view, &QMenu::aboutToShow, this, &form_main::fillCategoryMenu);
    fillCategoryMenu();
}

void form_main::fillCategoryMenu()
{
    m_categoryMenu->setTitle(tr("&Categories"));
    m_categoryMenu->clear();
    QAction* all = m_categoryMenu->addAction(tr("All categories"));
    all->setCheckable(true);
    all->setChecked(m_shownCategories.isEmpty());
    connect(all, &QAction::triggered, this, [this] {
        m_shownCategories.clear();
        drawView();
    });
    m_categoryMenu->addSeparator();
    QStringList names;
    for (const TeamCategory& category : m_settings.TeamCategories())
        names << category.name;
    // A category checked stays offered, though the team's list no longer has it.
    for (const QString& name : m_shownCategories)
        if (!names.contains(name, Qt::CaseInsensitive))
            names << name;
    for (const QString& name : names) {
        QAction* entry =
            m_categoryMenu->addAction(QString(name).replace(u'&', QStringLiteral("&&")));
        entry->setCheckable(true);
        entry->setChecked(m_shownCategories.contains(name, Qt::CaseInsensitive));
        connect(entry, &QAction::toggled, this, [this, name](bool on) {
            m_shownCategories.removeAll(name);
            if (on)
                m_shownCategories << name;
            drawView();
        });
    }
}
