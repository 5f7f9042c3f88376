#include "ui/ApiBrowseFolder.h"

#include "ui/ApiOpenSave.h"

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

QString BrowseForFolder(QWidget* owner, const QString& title)
{
    QFileDialog dialog(owner, title);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    const int result = folderDialogAnswer() ? folderDialogAnswer()(dialog) : dialog.exec();
    if (result != QDialog::Accepted)
        return QString();
    return CutAtNul(dialog.selectedFiles().value(0));
}
