#pragma once

#include <QColor>
#include <QCoreApplication>
#include <QList>
#include <QString>

#include <optional>

class Settings;

// A data folder shown in the views: its name and the colour that marks its appointments.
struct FolderMark {
    QString folder; // as the store names it, ending in a separator
    QString listed; // as the list of data folders names it; empty for a folder not listed
    QString name;   // its last path part
    QColor color;
    bool active = false;
    friend bool operator==(const FolderMark&, const FolderMark&) = default;
};

// Which data folders the views show and how an appointment of each is marked: the active one
// and those of the list shown beside it, each with the colour of its place in the list, so a
// folder keeps its colour however the others are shown or hidden.
namespace FolderMarks {

// The active folder first, then the list's folders marked shown, in the list's order, each once.
QList<FolderMark> shown(const Settings& settings);
// The mark of the folder a file lies in (the longest that its path starts with); nullopt for
// the active folder's files, which are drawn as they always were, and for a path of none.
std::optional<FolderMark> of(const QList<FolderMark>& shown, const QString& path);
// The colour of the folder at index of the list.
QColor colorOf(int index);
// "Calendar: Team", for a tooltip; empty for none.
QString calendarLine(const std::optional<FolderMark>& mark);

} // namespace FolderMarks
