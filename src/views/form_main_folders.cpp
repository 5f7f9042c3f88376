// The main window's data folders: one just added in the settings is offered at once, since a
// folder only joins the Datasource menu and is not shown until chosen there.
#include "views/form_main.h"

#include "profile/FileAccess.h"
#include "settings/Settings.h"

#include <QDir>
#include <QMessageBox>
#include <QPushButton>

void form_main::offerAddedFolder(const QStringList& before)
{
    QStringList known;
    for (const QString& folder : before)
        known << WithTrailingSeparator(folder);
    const QStringList folders = m_settings.dataFolders();
    int added = -1; // the last one new to the list, unless it is shown already
    for (int i = 0; i < folders.size(); ++i) {
        const QString folder = WithTrailingSeparator(folders[i]);
        if (!known.contains(folder) && folder != m_settings.GetDataFolder())
            added = i;
    }
    if (added < 0)
        return;
    if (m_folderQuestion)
        m_folderQuestion->close();
    auto* box = new QMessageBox(
        QMessageBox::Question, QStringLiteral("Norvane"),
        tr("The data folder \"%1\" was added.\n\nShow this data folder now? The Datasource menu "
           "switches between the data folders at any time.")
            .arg(QDir::toNativeSeparators(folders[added])),
        QMessageBox::NoButton, this);
    box->setObjectName(QStringLiteral("message_show_folder"));
    box->setTextFormat(Qt::PlainText); // a path may hold anything
    box->setAttribute(Qt::WA_DeleteOnClose);
    QPushButton* yes = box->addButton(tr("Show it"), QMessageBox::AcceptRole);
    yes->setObjectName(QStringLiteral("button_show_folder_yes"));
    QPushButton* no = box->addButton(tr("Not now"), QMessageBox::RejectRole);
    no->setObjectName(QStringLiteral("button_show_folder_no"));
    box->setDefaultButton(yes);
    box->setEscapeButton(no);
    const QString folder = folders[added];
    connect(box, &QMessageBox::finished, this, [this, box, yes, folder] {
        // The list may have changed meanwhile: the folder is looked for again.
        const qsizetype index = m_settings.dataFolders().indexOf(folder);
        if (box->clickedButton() == yes && index >= 0)
            mnu_datafolder_array_Click(int(index));
    });
    m_folderQuestion = box;
    box->open();
}
