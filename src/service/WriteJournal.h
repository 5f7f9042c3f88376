#pragma once

#include "profile/FileAccess.h"
#include "store/UndoStep.h"

#include <QHash>
#include <QList>
#include <QString>

// Notes, while it records, what each file written or removed through it held before the first
// write and holds after the last: the files of one change, for taking it back. What a file
// held is read just before it is first written, so it is what the write replaced.
class WriteJournal : public ForwardingFileAccess {
public:
    explicit WriteJournal(FileAccess& inner)
        : ForwardingFileAccess(inner)
    {
    }

    void begin();
    // The files written since begin, in the order first written; empty when one of them could
    // not be read before it was written (such a change cannot be taken back).
    QList<FileVersions> end();

    WriteOutcome writeFile(const QString& path, const QByteArray& content, const QString& root,
                           Replace replace) override;
    bool remove(const QString& path, const QString& root) override;

private:
    // False when path's old content cannot be known.
    bool noteBefore(const QString& path, const QString& root);
    // Keeps the file's first version: the one before anything this change wrote.
    void keep(FileVersions file);

    bool m_recording = false;
    bool m_complete = true;
    QList<FileVersions> m_files;
    QHash<QString, qsizetype> m_index;
};
