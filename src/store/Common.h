#pragma once

#include <QString>

// Paths as the data folder and its records name them, with either separator.

// The last component of a path, at most 100 characters; a trailing separator is dropped first.
QString LastPathPart(const QString& path);

// The directory part of a path including its last separator (either kind), and the part after
// it; a path without separator has no directory part.
QString DirectoryOfPath(const QString& path);
QString FileNameOfPath(const QString& path);
