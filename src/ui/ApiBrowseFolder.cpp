#include "ui/ApiBrowseFolder.h"

#include "ui/ApiOpenSave.h"
#include "ui/OpenDialog.h"

#include <QFileDialog>

namespace {

FolderDialogAnswer& folderDialogAnswer()
{
    static FolderDialogAnswer answer;
    return answer;
}

} // namespace

void setFolderDialogAnswer(FolderDialogAnswer answer)
{
    folderDialogAnswer() = std::move(answer);
}

void BrowseForFolder(QWidget* owner, const QString& title, FolderChosen chosen)
{
    auto* dialog = new QFileDialog(owner, title);
    dialog->setFileMode(QFileDialog::Directory);
    dialog->setOption(QFileDialog::ShowDirsOnly, true);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    openDialog<QFileDialog>(dialog, folderDialogAnswer(),
                            [chosen = std::move(chosen)](QFileDialog& answered, int result) {
                                chosen(result == QDialog::Accepted
                                           ? CutAtNul(answered.selectedFiles().value(0))
                                           : QString());
                            });
}
