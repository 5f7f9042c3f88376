#pragma once

#include <QString>

// The program's two languages: English source texts in tr(), German from the compiled
// translations in the resources (":/i18n/*_de.qm"), so a third language is one more file set.
namespace Language {

// Installs the German translations for "de" (ours and Qt's own, for its standard dialogs and
// buttons) and removes them for any other code. The language itself is the settings'
// "LangCode"; this only makes the texts follow it.
void apply(const QString& langCode);

// A text in the given language whatever is installed: for a window that previews another
// language before the user confirms it.
QString translate(const char* context, const char* sourceText, const QString& langCode);

} // namespace Language
