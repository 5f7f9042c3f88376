#pragma once

#include <QDateTime>
#include <QHash>
#include <QMap>
#include <QString>

namespace Stress {

// Counters a process hands to the driver, one "name=value" line each.
using Figures = QMap<QString, qint64>;
bool writeFigures(const QString& path, const Figures& figures);
Figures readFigures(const QString& path, bool* ok);

// Path and text of every appointment a writer left behind, as its last write made them.
using Journal = QHash<QString, QString>;
bool writeJournal(const QString& path, const Journal& journal);
Journal readJournal(const QString& path, bool* ok);

struct RoleOptions {
    QString folder; // the data folder, ending in a separator
    int index = 0;
    quint64 seed = 0;
    QDateTime start;
    QDateTime deadline;
    QString results; // where figures (and the journal) go
};

// Creates, changes, moves and deletes its own appointments until the deadline.
int runWriter(const RoleOptions& options);
// Loads days, weeks and raw files without pause until the deadline, checking every one.
int runReader(const RoleOptions& options);

} // namespace Stress
