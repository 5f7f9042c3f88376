#pragma once

#include <QString>

class QWidget;

// Shows the help page shipped with the program, in the user's language.
void ShowHelp(QWidget* parent, const QString& langCode);

// The resource path of the help page for a language.
QString HelpPagePath(const QString& langCode);
