// The data folders shown beside the active one: a check mark per folder in the Datasource
// menu, kept in the pointer file through the settings' thread, the store service of each, the
// legend in the side panel, and a folder that does not answer named alone.
#include "views/form_main.h"

#include "service/FolderStores.h"
#include "service/SettingsJobs.h"
#include "settings/Settings.h"
#include "store/Common.h"
#include "ui/PictureBox.h"
#include "ui/PlainText.h"
#include "views/FolderLegend.h"
#include "views/MainWindowControls.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>

void form_main::addShownFoldersMenu()
{
    // The menu's clear() leaves a submenu of before.
    delete m_ui->mnu_datafolder->findChild<QMenu*>(QStringLiteral("mnu_datafolder_shown"));
    const QStringList folders = m_settings.dataFolders();
    if (folders.size() < 2)
        return;
    const QString active = m_settings.GetDataFolder();
    QMenu* shown = m_ui->mnu_datafolder->addMenu(tr("S&hown beside the active one"));
    shown->setObjectName(QStringLiteral("mnu_datafolder_shown"));
    for (int i = 0; i < folders.size(); ++i) {
        QAction* entry = shown->addAction(menuText(LastPathPart(folders[i])));
        entry->setObjectName(QStringLiteral("mnu_datafolder_shown_%1").arg(i + 1));
        entry->setCheckable(true);
        // The active folder is always shown.
        const bool isActive = WithTrailingSeparator(folders[i]) == active;
        entry->setChecked(isActive || m_settings.ShownFolders().contains(folders[i]));
        entry->setEnabled(!isActive);
        connect(entry, &QAction::toggled, this, [this, listed = folders[i]](bool on) {
            // After the menu closed: the menu is filled anew.
            QMetaObject::invokeMethod(
                this, [this, listed, on] { mnu_datafolder_shown_Click(listed, on); },
                Qt::QueuedConnection);
        });
    }
}

void form_main::mnu_datafolder_shown_Click(const QString& listed, bool on)
{
    if (!m_settings.dataFolders().contains(listed) ||
        m_settings.ShownFolders().contains(listed) == on)
        return;
    m_settings.setFolderShown(listed, on);
    m_settingsJobs.savePointer(this, m_settings, [this](const WriteOutcome& saved) {
        if (!saved.ok)
            ShowFailure(tr("The choice of the data folders shown could not be saved.") +
                        QLatin1Char('\n') + saved.error);
    });
    ShowDataSource();
    LoadView();
}

void form_main::showBeside()
{
    QStringList beside;
    for (const FolderMark& mark : FolderMarks::shown(m_settings))
        if (!mark.active)
            beside << mark.folder;
    m_stores->showBeside(beside, m_settings.MonthInterval(), m_settings.ParallelRequests());
}

QString form_main::besideNotice() const
{
    QStringList silent;
    for (const StoreService* service : m_stores->all())
        if (service != &m_service && !service->answering())
            silent << LastPathPart(service->folder());
    if (silent.isEmpty())
        return {};
    return silent.size() == 1
               ? tr("The data folder \"%1\" is not answering. Its appointments shown may be out "
                    "of date.")
                     .arg(silent.first())
               : tr("The data folders \"%1\" are not answering. Their appointments shown may "
                    "be out of date.")
                     .arg(silent.join(QStringLiteral("\", \"")));
}

void form_main::showLegend()
{
    auto* legend = findChild<FolderLegend*>(QStringLiteral("folder_legend"));
    if (!legend) {
        legend = new FolderLegend(m_ui->label_datasource->parentWidget());
        connect(legend, &FolderLegend::hideAsked, this,
                [this](const QString& listed) { mnu_datafolder_shown_Click(listed, false); });
    }
    QList<FolderLegend::Entry> entries;
    for (const FolderMark& mark : FolderMarks::shown(m_settings)) {
        const StoreService& service = mark.active ? m_service : *m_stores->of(mark.folder);
        entries.append({mark, service.answering(), service.reachable()});
    }
    legend->setEntries(entries);
    placeInSidePanel(legend, m_ui->label_datasource);
    showPeoplePanel(); // below the legend
}

void form_main::placeInSidePanel(QWidget* widget, const QWidget* above)
{
    const QLabel* source = m_ui->label_datasource;
    const int top = above->geometry().bottom() + PictureBox::toPixels(60);
    const int room = m_ui->text_search->y() - PictureBox::toPixels(60) - top;
    widget->setGeometry(source->x(), top, source->width(),
                        std::max(0, std::min(widget->sizeHint().height(), room)));
}
