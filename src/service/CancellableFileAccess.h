#pragma once

#include "profile/FileAccess.h"

#include <memory>

// An import job's way to the share until it is cancelled; from then on it answers as a folder
// that cannot be reached, without asking the share, so the import counts what is left as not
// saved and ends at once instead of waiting on a slow share for each item. The job cancels it
// between two items, never inside a save, so a cancel never leaves a half-written file. Used
// on the job's thread only.
class CancellableFileAccess : public ForwardingFileAccess {
public:
    explicit CancellableFileAccess(std::unique_ptr<FileAccess> inner);

    void cancel() { m_cancelled = true; }

    std::optional<DirectoryListing> listDirectory(const QString& dir, const QString& suffix,
                                                  const QString& root, DirectoryTime time) override;
    bool isListableDir(const QString& dir) override;
    std::optional<FileMeta> metadata(const QString& path) override;
    std::optional<FileMeta> directoryMetadata(const QString& dir) override;
    bool exists(const QString& path) override;
    ReadOutcome read(const QString& path, qint64 maxBytes, const QString& root) override;
    WriteOutcome writeFile(const QString& path, const QByteArray& content, const QString& root,
                           Replace replace) override;
    bool remove(const QString& path, const QString& root) override;
    bool makePath(const QString& dir) override;

private:
    std::unique_ptr<FileAccess> m_owned;
    bool m_cancelled = false;
};
