// The main window's Edit menu: undo and redo of this session's changes, each step as the
// store service recorded it, and the question when another user changed its files since.
#include "views/form_main.h"

#include "edit/AppointmentEditing.h"
#include "service/StoreService.h"
#include "views/MainWindowControls.h"

#include <QAction>
#include <QMessageBox>
#include <QPushButton>

void form_main::connectEditMenu()
{
    connect(m_ui->mnu_edit_undo, &QAction::triggered, this, [this] { m_edits->undo(false); });
    connect(m_ui->mnu_edit_redo, &QAction::triggered, this, [this] { m_edits->undo(true); });
    connect(m_stores.get(), &FolderStores::historyChanged, this, &form_main::showHistory);
    showHistory();
}

QString form_main::undoText(const UndoStep& step, bool redo)
{
    // A menu entry: short, and an ampersand in the text is no access key.
    QString title = step.title.size() > 40 ? step.title.left(39) + QChar(0x2026) : step.title;
    title.replace(QLatin1Char('&'), QStringLiteral("&&"));
    switch (step.act) {
    case UndoStep::Act::New:
        return redo ? tr("Redo creation of '%1'").arg(title)
                    : tr("Undo creation of '%1'").arg(title);
    case UndoStep::Act::Change:
        return redo ? tr("Redo change of '%1'").arg(title) : tr("Undo change of '%1'").arg(title);
    case UndoStep::Act::Move:
        return redo ? tr("Redo move of '%1'").arg(title) : tr("Undo move of '%1'").arg(title);
    case UndoStep::Act::Resize:
        return redo ? tr("Redo resizing of '%1'").arg(title)
                    : tr("Undo resizing of '%1'").arg(title);
    case UndoStep::Act::Delete:
        return redo ? tr("Redo deletion of '%1'").arg(title)
                    : tr("Undo deletion of '%1'").arg(title);
    case UndoStep::Act::Paste:
        return redo ? tr("Redo paste of '%1'").arg(title) : tr("Undo paste of '%1'").arg(title);
    case UndoStep::Act::Duplicate:
        return redo ? tr("Redo duplicate of '%1'").arg(title)
                    : tr("Undo duplicate of '%1'").arg(title);
    case UndoStep::Act::Series:
        return redo ? tr("Redo change of the series '%1'").arg(title)
                    : tr("Undo change of the series '%1'").arg(title);
    }
    return QString();
}

void form_main::showHistory()
{
    // Of the folder changed last, whichever it is.
    const std::shared_ptr<StoreService> undoing = m_stores->historyFor(false);
    const std::shared_ptr<StoreService> redoing = m_stores->historyFor(true);
    const UndoStep* undo = undoing ? undoing->history().nextUndo() : nullptr;
    const UndoStep* redo = redoing ? redoing->history().nextRedo() : nullptr;
    m_ui->mnu_edit_undo->setText(undo ? undoText(*undo, false) : tr("&Undo"));
    m_ui->mnu_edit_redo->setText(redo ? undoText(*redo, true) : tr("&Redo"));
    m_ui->mnu_edit_undo->setEnabled(undo && !m_edits->undoUnderWay());
    m_ui->mnu_edit_redo->setEnabled(redo && !m_edits->undoUnderWay());
}

void form_main::askUndoConflict(const StoreService::UndoOutcome& outcome,
                                std::function<void(UndoAnswer)> answer)
{
    const bool deleted = outcome.conflict.kind == DataAccess::FileChange::Kind::Deleted;
    QString text;
    if (deleted)
        text = tr("\"%1\" was deleted by another user since.").arg(outcome.title);
    else if (outcome.conflict.producer.isEmpty())
        text = tr("\"%1\" was changed by another user since.").arg(outcome.title);
    else
        text = tr("\"%1\" was changed by %2 since.").arg(outcome.title, outcome.conflict.producer);
    auto* box = new QMessageBox(QMessageBox::Question, QStringLiteral("Norvane"), text,
                                QMessageBox::NoButton, this);
    box->setObjectName(QStringLiteral("message_undo_conflict"));
    box->setTextFormat(Qt::PlainText); // the text comes from the share
    box->setAttribute(Qt::WA_DeleteOnClose);
    QPushButton* mine =
        box->addButton(deleted ? tr("Save my version again") : tr("Overwrite with my version"),
                       QMessageBox::AcceptRole);
    mine->setObjectName(QStringLiteral("button_undo_mine"));
    QPushButton* theirs = box->addButton(
        deleted ? tr("Leave it deleted") : tr("Keep the other version"), QMessageBox::AcceptRole);
    theirs->setObjectName(QStringLiteral("button_undo_theirs"));
    QPushButton* cancel = box->addButton(tr("Cancel"), QMessageBox::RejectRole);
    cancel->setObjectName(QStringLiteral("button_undo_cancel"));
    box->setDefaultButton(cancel);
    box->setEscapeButton(cancel);
    connect(box, &QMessageBox::finished, this, [box, mine, theirs, answer = std::move(answer)] {
        answer(box->clickedButton() == mine     ? UndoAnswer::Mine
               : box->clickedButton() == theirs ? UndoAnswer::Theirs
                                                : UndoAnswer::Cancel);
    });
    box->show();
}
