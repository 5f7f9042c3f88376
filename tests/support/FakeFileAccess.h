#pragma once

// File accesses that misbehave on purpose, as a share or another user's copy would. Header
// only: the tests that include it link the profile layer.
#include "profile/FileAccess.h"

#include <QSet>

#include <functional>

namespace FakeFileAccess {

// Reads of the chosen files fail, as on a share that has a bad moment (tests run as root, so
// file modes cannot make a read fail).
class FlakyReads : public ForwardingFileAccess {
public:
    FlakyReads()
        : ForwardingFileAccess(ThreadFileAccess())
    {
    }
    ReadOutcome read(const QString& path, qint64 maxBytes, const QString& root) override
    {
        if (failing.contains(path))
            return {ReadOutcome::Failed, {}, {}, QStringLiteral("Input/output error")};
        return m_inner.read(path, maxBytes, root);
    }
    // A folder that turned read-only: every write and removal is refused.
    WriteOutcome writeFile(const QString& path, const QByteArray& content, const QString& root,
                           Replace replace) override
    {
        if (readOnly)
            return WriteOutcome::failed(WriteOutcome::Cause::System, path,
                                        QStringLiteral("Read-only file system"));
        return m_inner.writeFile(path, content, root, replace);
    }
    bool remove(const QString& path, const QString& root) override
    {
        return !readOnly && m_inner.remove(path, root);
    }
    QSet<QString> failing;
    bool readOnly = false;
};

// Runs a step of another user's copy right after each listing, before anything listed is
// looked at.
class AfterListing : public ForwardingFileAccess {
public:
    explicit AfterListing(std::function<void()> step)
        : ForwardingFileAccess(ThreadFileAccess())
        , m_step(std::move(step))
    {
    }
    std::optional<DirectoryListing> listDirectory(const QString& dir, const QString& suffix,
                                                  const QString& root, DirectoryTime time) override
    {
        auto listing = m_inner.listDirectory(dir, suffix, root, time);
        m_step();
        return listing;
    }

private:
    std::function<void()> m_step;
};

} // namespace FakeFileAccess
