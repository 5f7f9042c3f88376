#pragma once

#include <QString>

class QWidget;

// Opens a web page, a "mailto:" address or a file with the program the desktop associates
// with it. Only the operation "Open" (any letter case, or empty) is known; others do
// nothing. False when nothing could be opened; callers may ignore it.
bool OpenDocument(QWidget* owner, const QString& operation, const QString& target);
