#pragma once

#include <QString>

#include <functional>

class QFileDialog;
class QWidget;

// Lets the user pick a folder in a dialog over owner; the call returns at once. chosen later
// gets the folder's path, or an empty text when cancelled, and never runs once owner is gone.
using FolderChosen = std::function<void(const QString& folder)>;
void BrowseForFolder(QWidget* owner, const QString& title, FolderChosen chosen);

// For tests: answers the folder browser in place of a person. The hook gets the prepared
// dialog, may pick a folder in it, and returns QDialog::Accepted or QDialog::Rejected; the
// dialog is then not shown and chosen runs before BrowseForFolder returns. An empty hook shows
// the dialog again.
using FolderDialogAnswer = std::function<int(QFileDialog&)>;
void setFolderDialogAnswer(FolderDialogAnswer answer);
