#pragma once

#include "profile/FileAccess.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>

// Requests a pass is going to make and no answer is known for yet: what may be asked all at
// once instead of one after another.
struct AheadRequests {
    QStringList listings;      // directories
    QStringList metadata;      // files held already, whose metadata tells whether they changed
    QStringList reads;         // files not held, or held and changed
    QStringList timedListings; // directories listed with their time (listFilesWithTime)

    bool empty() const { return size() == 0; }
    int size() const
    {
        return int(listings.size() + metadata.size() + reads.size() + timedListings.size());
    }
    // Each request once, in the order first wanted.
    void removeDuplicates();
};

// Answers asked ahead, each given out once to the call that asks exactly that (a listing by
// its directory, a read by its path and length limit) and asked of the inner file access
// otherwise: the logic above calls as it always did and finds its answers waiting. A write
// or a removal through it drops what was asked ahead about that file and its directory.
// Used on one thread only; the answers are fetched elsewhere and handed in by value.
class AnswersAhead : public ForwardingFileAccess {
public:
    using ForwardingFileAccess::ForwardingFileAccess;

    void addListing(const QString& dir, std::optional<DirectoryListing> listing);
    void addMetadata(const QString& path, std::optional<FileMeta> meta);
    void addRead(const QString& path, qint64 maxBytes, ReadOutcome read);
    void clear();

    // What is waiting; nullptr when nothing is.
    const std::optional<DirectoryListing>* listing(const QString& dir) const;
    const std::optional<FileMeta>* metadataOf(const QString& path) const;
    bool hasRead(const QString& path) const { return m_reads.contains(path); }

    std::optional<DirectoryListing> listDirectory(const QString& dir, const QString& suffix,
                                                  const QString& root, DirectoryTime time) override;
    std::optional<FileMeta> metadata(const QString& path) override;
    ReadOutcome read(const QString& path, qint64 maxBytes, const QString& root) override;
    WriteOutcome writeFile(const QString& path, const QByteArray& content, const QString& root,
                           Replace replace) override;
    bool remove(const QString& path, const QString& root) override;

private:
    void forget(const QString& path);

    struct Read {
        qint64 maxBytes = 0;
        ReadOutcome outcome;
    };
    QHash<QString, std::optional<DirectoryListing>> m_listings;
    QHash<QString, std::optional<FileMeta>> m_metadata;
    QHash<QString, Read> m_reads;
};
