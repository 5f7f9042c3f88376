// The main window's part in the sync: the question when a sync stopped before deleting most
// appointments of one side; the subscriptions' window.
#include "views/MainWindowControls.h"
#include "views/form_main.h"

#include <QMessageBox>
#include <QPushButton>

void form_main::askAboutMassDeletion(int count, int of, bool onServer)
{
    // The next stop asks again only once this question is answered.
    if (m_massDeletionQuestion)
        return;
    const QString text =
        (onServer ? tr("The sync would delete %1 of %2 appointments on the server.")
                  : tr("The sync would delete %1 of %2 appointments in the data folder."))
            .arg(count)
            .arg(of);
    auto* box = new QMessageBox(QMessageBox::Question, QStringLiteral("Norvane"), text,
                                QMessageBox::NoButton, this);
    box->setObjectName(QStringLiteral("message_mass_deletion"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    QPushButton* remove = box->addButton(onServer ? tr("Delete them on the server")
                                                  : tr("Delete them in the data folder"),
                                         QMessageBox::DestructiveRole);
    QPushButton* restore = box->addButton(onServer ? tr("Bring them back from the server")
                                                   : tr("Send them to the server again"),
                                          QMessageBox::AcceptRole);
    QPushButton* cancel = box->addButton(tr("Cancel"), QMessageBox::RejectRole);
    box->setDefaultButton(cancel);
    box->setEscapeButton(cancel);
    connect(box, &QMessageBox::finished, this, [this, box, remove, restore] {
        const QAbstractButton* chosen = box->clickedButton();
        if (!m_hooks.syncOnce || (chosen != remove && chosen != restore))
            return; // cancelled: nothing happens, the next sync stops again
        m_hooks.syncOnce(chosen == remove ? MassDeletionAnswer::Delete
                                          : MassDeletionAnswer::Restore);
    });
    m_massDeletionQuestion = box;
    box->open();
}

void form_main::connectSubscribe()
{
    m_ui->mnu_file_subscribe->setEnabled(bool(m_hooks.subscribe));
    connect(m_ui->mnu_file_subscribe, &QAction::triggered, this,
            [this] { m_hooks.subscribe(this, pauseUntilDone([this] { showOwnChange(); })); });
    connectOffline(); // the File menu's other way to keep the folder's appointments
}
