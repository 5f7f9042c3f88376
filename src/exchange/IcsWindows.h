#pragma once

#include <QDate>
#include <QString>

#include <functional>
#include <memory>

class FileAccess;
class QWidget;
class Settings;

// How the iCalendar windows tell the user; message boxes by default.
struct IcsWindowHooks {
    std::function<void(QWidget*, const QString& title, const QString& text)> message;
    std::function<void(QWidget*, const QString& title, const QString& text)> error;
    // A question to answer with yes (true) or no.
    std::function<bool(QWidget*, const QString& title, const QString& text)> question;

    // Message boxes for the hooks left empty.
    IcsWindowHooks withDefaults() const;
};

// Makes the file access of one of the windows' jobs, on the job's thread; one made by
// MakeFileAccess when empty. Tests put a share of their own there.
using IcsJobFiles = std::function<std::unique_ptr<FileAccess>()>;

// "File > Export to iCalendar...": the days to export (the shown date's month at first), then
// the file to save them in, written whole or not at all. The appointments come from the active
// data folder of settings, read on a thread of the window's own as the file is written.
void ExportIcsWindow(QWidget* parent, Settings& settings, const QDate& shownDate,
                     IcsWindowHooks hooks = {});

// "File > Import iCalendar...": the file, the colour of the new appointments, the import into
// the active data folder of settings, and its summary. The file is read and the appointments
// are saved on a thread of the window's own. The caller rebuilds its view afterwards.
void ImportIcsWindow(QWidget* parent, Settings& settings, IcsWindowHooks hooks = {});

// "File > Undo last import": the newest import of the user into the active data folder of
// settings, taken back once the user agrees: the appointments it created are removed (on a
// thread of its own), those of an earlier import it updated stay. The caller rebuilds its view
// afterwards.
void UndoLastImportWindow(QWidget* parent, Settings& settings, IcsWindowHooks hooks = {});
