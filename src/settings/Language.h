#pragma once

#include <QString>

// The program's two languages: English source texts in tr(), German from the compiled
// translations in the resources (":/i18n/*_de.qm").
// A text that counts ("%n events") has its English plural forms in ":/i18n/*_en.qm".
namespace Language {

// Installs the German translations for "de" (ours and Qt's own, for its standard dialogs and
// buttons), the English plural forms for any other code, and removes the other language's. The
// language itself is the settings' "LangCode"; this only makes the texts follow it.
void apply(const QString& langCode);

// A text in the given language whatever is installed: for a window that previews another
// language before the user confirms it.
QString translate(const char* context, const char* sourceText, const QString& langCode);

} // namespace Language
