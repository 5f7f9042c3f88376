#pragma once

#include <QString>

class QDialog;
class QWidget;

// Shows the help page shipped with the program, in the user's language, window-modal over
// parent; returns at once with the window, which deletes itself once closed.
QDialog* ShowHelp(QWidget* parent, const QString& langCode);

// The resource path of the help page for a language.
QString HelpPagePath(const QString& langCode);
