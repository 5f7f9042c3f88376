#pragma once

#include "offline/FolderPlan.h"
#include "profile/FileAccess.h"

#include <QHash>
#include <QString>

#include <optional>

// The files a data folder carries (see FolderPlan::isCarried) with their metadata, listed
// through a file access: the whole folder, or the window's days and the recurring tree. A
// directory that a listing named and that then cannot be listed fails the whole listing: a
// share that stops answering half-way must not look like one whose files were deleted.
namespace FolderListing {

using Files = QHash<QString, FileMeta>; // by path inside the folder

// nullopt with *error when the folder or one of its directories cannot be listed.
std::optional<Files> list(FileAccess& files, const QString& folder,
                          const std::optional<FolderPlan::Window>& window, QString* error);

} // namespace FolderListing
