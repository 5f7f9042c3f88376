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

// The open dialog (open true) or the save dialog. filterIndex counts the pairs from 1;
// defaultExtension is added to a typed name without one; an empty initialDirectory means
// the current directory. Returns the chosen full path, or an empty text when cancelled.
// flags, when given, set the dialog's options and receive them back after a choice.
QString ShowFileDialog(QWidget* owner, const QString& filter, int filterIndex = 1,
                       QFileDialog::Options* flags = nullptr,
                       const QString& defaultExtension = QString(),
                       const QString& fileName = QString(), const QString& title = QString(),
                       const QString& initialDirectory = QString(), bool open = true);

// For tests: answers the file dialog in place of a person. The hook gets the prepared
// dialog, may choose a file in it, and returns QDialog::Accepted or QDialog::Rejected; the
// dialog is then not shown. An empty hook shows the dialog again.
using FileDialogAnswer = std::function<int(QFileDialog&)>;
void setFileDialogAnswer(FileDialogAnswer answer);
