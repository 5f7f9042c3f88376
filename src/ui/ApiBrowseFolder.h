#pragma once

#include <QString>

#include <functional>

class QFileDialog;
class QWidget;

// Lets the user pick a folder; its path, or an empty text when cancelled.
QString BrowseForFolder(QWidget* owner, const QString& title);

// For tests: answers the folder browser in place of a person. The hook gets the prepared
// dialog, may pick a folder in it, and returns QDialog::Accepted or QDialog::Rejected; the
// dialog is then not shown. An empty hook shows the dialog again.
using FolderDialogAnswer = std::function<int(QFileDialog&)>;
void setFolderDialogAnswer(FolderDialogAnswer answer);
