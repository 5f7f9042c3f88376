#pragma once

#include <QString>
#include <QStringList>

// Text as the local index keeps and searches it: a word typed without its accents, in any
// letter case, finds the word as written ("muller" finds "Müller", "strasse" finds "Straße").
namespace TextFolding {

// A folded search word this long or longer is found anywhere inside a word ("strasse" in
// "Hauptstraße", as compound words want); a shorter one at a word's start.
constexpr int kInsideWordLength = 3;

// Lower case, compatibility-decomposed with the combining marks dropped, ß as "ss".
QString fold(const QString& text);

// The folded words of a query, split where the index splits words (anything but letters and
// digits): "Meier-Straße" gives "meier" and "strasse".
QStringList queryWords(const QStringList& words);

} // namespace TextFolding
