#pragma once

#include <QString>
#include <QStringList>

// Text functions the profile layer and several windows rely on. Positions are 1-based.

// Position of the last occurrence of find in text, 0 when there is none.
int FindLastOf(const QString& text, const QString& find);
// Replaces up to count occurrences (-1: all) from position start on; replaced text is never
// scanned again, so replacing "a" by "aa" ends.
QString ReplaceText(const QString& text, const QString& find, const QString& replacement,
                    int start = 1, int count = -1, Qt::CaseSensitivity cs = Qt::CaseSensitive);
QString ReverseText(const QString& text);
// Cuts at each delimiter (at most limit pieces cut, -1: no limit); the rest is the last
// element, so "a;b;" gives "a", "b" and "".
QStringList SplitText(const QString& text, const QString& delimiter, int limit = -1,
                      Qt::CaseSensitivity cs = Qt::CaseSensitive);
