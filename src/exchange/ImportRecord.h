#pragma once

#include "profile/Descriptor.h"
#include "profile/FileAccess.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

// The record an import keeps in the data folder of the appointment files it writes, each noted
// before it is written: an import killed half-way, or one the user regrets, can be taken back.
// Each new file is noted with the bytes it is to hold, and again with its time once written, so
// that taking the import back leaves a file someone changed since.
class ImportRecord {
    Q_DECLARE_TR_FUNCTIONS(ImportRecord)

public:
    // Below the data folder; the store never looks there.
    static inline const QString kDirectory = QStringLiteral("ImportRecords");

    // Starts the record of an import of source into dataFolder by user; null, with the reason
    // in error, when it cannot be written. It is written only into an ImportRecords directory
    // that really lies in the data folder, never through a link.
    static std::unique_ptr<ImportRecord> start(const QString& dataFolder, const QString& source,
                                               const QString& user, QString* error);

    const QString& path() const { return m_path; }
    const QString& error() const { return m_error; }

    // A new appointment file and the bytes it is to hold, noted before it is written; false
    // when the record cannot be written (error() says why).
    bool noteNew(const QString& file, const QByteArray& content);
    // The new file as written: noted along with the next line, the record's one write a file.
    void noteWritten(const QString& file, const FileMeta& written);
    // A file of an earlier import written over: taking this import back leaves it.
    bool noteUpdated(const QString& file);
    // The import ran to its end; a record of nothing written goes.
    void finish(bool anyWritten);

private:
    ImportRecord(const QString& dataFolder, const QString& path, int directory);
    bool write(const QByteArray& lines);
    QByteArray relative(const QString& file) const;

    QString m_folder; // ends in a separator
    QString m_path;
    Descriptor m_directory; // the ImportRecords directory, as opened
    QFile m_file;
    QByteArray m_pending; // the last file's written= line
    QString m_error;
};

// A new file the record names, with what it noted of it.
struct ImportedFile {
    QString relative;  // to the data folder, '/'-separated
    QByteArray sha256; // of the bytes it was to hold; empty when the record does not tell
    qint64 size = -1;
    qint64 writtenNs = 0; // its modification time once written; 0 when unknown
};

// What a record holds.
struct ImportRecordInfo {
    QString path; // of the record
    bool ok = false;
    QString error;  // why it cannot be read, when not ok
    QString folder; // the data folder it lies in, ending in a separator
    QString source; // the file imported
    QString user;
    QDateTime started;
    bool finished = false;
    FileMeta meta; // of the record file: its time is that of its last line
    QList<ImportedFile> created;
    QStringList ignored; // lines naming no appointment file of the folder's tree
    int updated = 0;
    QStringList updatedFiles; // of earlier imports written over, relative as created's
};

// The record at recordPath, read only when it lies inside the data folder it names.
ImportRecordInfo ReadImportRecord(const QString& recordPath, FileAccess& files);

// The newest record of an import by user in dataFolder; empty when there is none.
QString LastImportRecord(const QString& dataFolder, const QString& user, FileAccess& files);

struct UndoOutcome {
    ImportRecordInfo record;
    int removed = 0;     // files of the import removed
    int gone = 0;        // ... already gone (removed by hand, or never written)
    QStringList kept;    // ... changed since the import, left as they are
    QStringList outside; // ... reached through a link out of the data folder, left alone
    int failed = 0;      // ... that could not be read or removed: the record stays
    bool stopped = false;
};

// Removes the appointment files the import created that are still as it wrote them, never
// those of an earlier import it wrote over, nor one changed since: a file whose bytes the
// record notes is removed when they are the same, one it notes no bytes for (a record of an
// older version) when it was not modified after the record's last line. The record goes once
// none of its files is left to try. stop, asked before each file, ends it early.
UndoOutcome UndoImport(const QString& recordPath, FileAccess& files,
                       const std::function<bool()>& stop = {});

// What became of it, in the installed language.
QString UndoSummary(const UndoOutcome& outcome);
