#pragma once

#include <QFileDialog>
#include <QString>
#include <QStringList>

#include <functional>

// A file dialog's filter list as one text: description, NUL, pattern, NUL, for every pair.
// Patterns are those of Windows: several are separated by ";", "*.*" means every file.
void AddFileFilter(QString& filter, const QString& description,
                   const QString& pattern = QStringLiteral("*.*"));

// The part before the first NUL character, the whole text when there is none.
QString CutAtNul(const QString& text);

// The filter list as a file dialog's name filters, one "Description (patterns)" per pair.
// "*.*" becomes "*", and a pattern is also offered in the other letter case, since the
// files it was written for may come from a file system that ignores case.
QStringList NameFilters(const QString& filter);

// The open dialog (open true) or the save dialog, over owner; the call returns at once.
// filterIndex counts the pairs from 1; defaultExtension is added to a typed name without one;
// an empty initialDirectory means the current directory; flags set the dialog's options.
// chosen later gets the chosen full path, or an empty text when cancelled, with the dialog's
// options after a choice (flags as given after a cancel); it never runs once owner is gone.
using FileChosen = std::function<void(const QString& path, QFileDialog::Options flags)>;
void ShowFileDialog(QWidget* owner, const QString& filter, int filterIndex,
                    QFileDialog::Options flags, const QString& defaultExtension,
                    const QString& fileName, const QString& title, const QString& initialDirectory,
                    bool open, FileChosen chosen);

// For tests: answers the file dialog in place of a person. The hook gets the prepared
// dialog, may choose a file in it, and returns QDialog::Accepted or QDialog::Rejected; the
// dialog is then not shown and chosen runs before ShowFileDialog returns. An empty hook shows
// the dialog again.
using FileDialogAnswer = std::function<int(QFileDialog&)>;
void setFileDialogAnswer(FileDialogAnswer answer);
