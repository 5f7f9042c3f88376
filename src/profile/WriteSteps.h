#pragma once

// The last steps of a file's atomic write, and the metadata of an open file: on a share each
// request is a round trip, so these ask as few as they can and one beside another where they
// may.
#include "profile/FileAccess.h"

#include <QByteArray>

#include <future>
#include <optional>

#include <sys/stat.h>

FileMeta metaOf(const struct stat& st);

// The metadata of the entry name in dirFd, a link itself and not its target; none when there is
// none.
std::optional<FileMeta> MetadataAt(int dirFd, const QByteArray& name);

// The same asked on a thread of its own, so that the caller's next request goes out beside it.
// The entry is opened (without being read) before the thread starts, so that a rename made
// meanwhile does not matter. An invalid future when it cannot be opened or no thread be had.
std::future<std::optional<FileMeta>> MetadataBeside(int dirFd, const QByteArray& name);

// Gives the entry from in dirFd the name to: 0 or the system's error, EEXIST when replace
// says Never and something has the name. Where the file system refuses a taken name in the
// rename itself (a local disk, an SMB share) that is one request; where it cannot (NFS, an
// older FUSE share), a look comes first, which leaves another writer a moment to take it.
int RenameInDirectory(int dirFd, const QByteArray& from, const QByteArray& to,
                      FileAccess::Replace replace);

// Whether path (without links) lies on a file system reached over the network or through FUSE,
// where every request waits for an answer.
bool OnNetworkFileSystem(const QByteArray& path);
