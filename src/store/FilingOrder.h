#pragma once

#include "store/DataAccess.h"

#include <QSet>
#include <QString>

#include <functional>

class ClassTermin;

// The one order in which an appointment comes to its file, for the editor, the sync and the
// imports alike: where the caller files it is its own choice, but the name and the order of
// the write and the removal are these.

// The base name an appointment gets in directory (absolute, ending in a separator): that of
// its earlier file (absolute; empty for a new one) unless another file has it there, else a
// fresh one drawn by draw. listed: what a listing of directory has just told (see
// DataAccess::UnusedFileName), null for nothing.
QString FilingName(DataAccess& store, const QString& directory, const QString& earlier,
                   const std::function<quint32()>& draw, const QSet<QString>* listed = nullptr);

// Writes the appointment to its file; only once it is safely there does its earlier file
// (empty: none) go, inside its own data folder (the store's when its path does not tell), so
// a failed save never loses it.
WriteOutcome SaveInPlaceOf(DataAccess& store, ClassTermin& appointment, const QString& earlier);
