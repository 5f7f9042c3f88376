#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

// norvane-cli new, edit and delete: appointments written as the window writes them, a
// series' occurrence among them. Each file written or removed is one JSON line.
namespace WriteCommand {

// args without the program name and the command word.
int create(const QStringList& args, QTextStream& out, QTextStream& err,
           const QString& programDirectory);
int edit(const QStringList& args, QTextStream& out, QTextStream& err,
         const QString& programDirectory);
int remove(const QStringList& args, QTextStream& out, QTextStream& err,
           const QString& programDirectory);
// Writes ahead the series kept by their rule files that time has caught up with, as a copy of the
// window does once a day.
int extend(const QStringList& args, QTextStream& out, QTextStream& err,
           const QString& programDirectory);

} // namespace WriteCommand
