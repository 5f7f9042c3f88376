#pragma once

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class FileAccess;

// The record an import keeps in the data folder of the appointment files it writes, each noted
// before it is written: an import killed half-way, or one the user regrets, can be taken back.
class ImportRecord {
    Q_DECLARE_TR_FUNCTIONS(ImportRecord)

public:
    // Below the data folder; the store never looks there.
    static inline const QString kDirectory = QStringLiteral("ImportRecords");

    // Starts the record of an import of source into dataFolder by user; null, with the reason
    // in error, when it cannot be written.
    static std::unique_ptr<ImportRecord> start(const QString& dataFolder, const QString& source,
                                               const QString& user, QString* error);

    const QString& path() const { return m_path; }
    const QString& error() const { return m_error; }

    // A new appointment file, noted before it is written; false when the record cannot be
    // written (error() says why).
    bool noteNew(const QString& file);
    // A file of an earlier import written over: taking this import back leaves it.
    bool noteUpdated(const QString& file);
    // The import ran to its end; a record of nothing written goes.
    void finish(bool anyWritten);

private:
    ImportRecord(const QString& dataFolder, const QString& path);
    bool note(const char* key, const QString& file);

    QString m_folder; // ends in a separator
    QString m_path;
    QFile m_file;
    QString m_error;
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
    QStringList created; // relative to folder
    int updated = 0;
};

ImportRecordInfo ReadImportRecord(const QString& recordPath);

// The newest record of an import by user in dataFolder; empty when there is none.
QString LastImportRecord(const QString& dataFolder, const QString& user);

struct UndoOutcome {
    ImportRecordInfo record;
    int removed = 0; // files of the import removed
    int gone = 0;    // ... already gone (removed by hand, or never written)
    int failed = 0;  // ... that could not be removed: the record stays for another try
    bool stopped = false;
};

// Removes the appointment files the import created, never those of an earlier import it wrote
// over; the record goes once none of its files is left. stop, asked before each file, ends it
// early.
UndoOutcome UndoImport(const QString& recordPath, FileAccess& files,
                       const std::function<bool()>& stop = {});

// What became of it, in the installed language.
QString UndoSummary(const UndoOutcome& outcome);
