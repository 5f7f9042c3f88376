#include "service/WriteJournal.h"

#include "profile/ProfileCache.h"

void WriteJournal::begin()
{
    m_recording = true;
    m_complete = true;
    m_files.clear();
    m_index.clear();
}

QList<FileVersions> WriteJournal::end()
{
    m_recording = false;
    QList<FileVersions> files;
    if (m_complete) {
        for (FileVersions& file : m_files)
            if (file.before != file.after)
                files.append(std::move(file));
    }
    m_files.clear();
    m_index.clear();
    return files;
}

bool WriteJournal::noteBefore(const QString& path, const QString& root)
{
    if (m_index.contains(path))
        return true;
    const ReadOutcome old = ForwardingFileAccess::read(path, ProfileCache::kMaxFileBytes, root);
    FileVersions file{path, std::nullopt, std::nullopt};
    if (old.status == ReadOutcome::Read)
        file.before = file.after = old.bytes;
    else if (old.status != ReadOutcome::Missing)
        return false;
    keep(std::move(file));
    return true;
}

void WriteJournal::keep(FileVersions file)
{
    m_index.insert(file.path, m_files.size());
    m_files.append(std::move(file));
}

WriteOutcome WriteJournal::writeFile(const QString& path, const QByteArray& content,
                                     const QString& root, Replace replace)
{
    // A new file had nothing before it: should anything have the name, nothing is written.
    if (m_recording && replace == Replace::Never && !m_index.contains(path))
        keep(FileVersions{path, std::nullopt, std::nullopt});
    if (m_recording && !noteBefore(path, root))
        m_complete = false;
    WriteOutcome outcome = ForwardingFileAccess::writeFile(path, content, root, replace);
    if (m_recording && outcome.ok && m_index.contains(path))
        m_files[m_index.value(path)].after = content;
    return outcome;
}

bool WriteJournal::remove(const QString& path, const QString& root)
{
    if (m_recording && !noteBefore(path, root))
        m_complete = false;
    const bool removed = ForwardingFileAccess::remove(path, root);
    if (m_recording && removed && m_index.contains(path))
        m_files[m_index.value(path)].after.reset();
    return removed;
}
