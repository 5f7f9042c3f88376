#pragma once

#include <QByteArray>
#include <QString>

// The copy's version of a file both sides changed, as an appointment of its own: every key
// kept, a UID of its own (drawn from its bytes, so a repeated reconcile writes the same file),
// no series or span that would tie it to the share's version, and the first line of its text
// marked with who changed it, in the team's language.
namespace ConflictCopy {

// A rule file's copy keeps a series of its own, named by seriesIdOf(bytes).
QByteArray of(const QByteArray& bytes, const QString& who, const QString& langCode, bool ruleFile);
QString seriesIdOf(const QByteArray& bytes);

// The first line's mark, for a reader that finds the copies.
QString mark(const QString& who, const QString& langCode);

} // namespace ConflictCopy
