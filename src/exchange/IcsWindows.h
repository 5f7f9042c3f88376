#pragma once

#include <QDate>
#include <QString>

#include <functional>

class FolderJobs;
class QWidget;
class Settings;

// How the iCalendar windows tell the user, without waiting for them; message boxes by default.
// What a window tells as it closes goes over its parent.
struct IcsWindowHooks {
    std::function<void(QWidget*, const QString& title, const QString& text)> message;
    std::function<void(QWidget*, const QString& title, const QString& text)> error;
    // A question to answer with yes (true) or no, through answer, once the user has chosen.
    std::function<void(QWidget*, const QString& title, const QString& text,
                       std::function<void(bool yes)> answer)>
        question;

    // Message boxes for the hooks left empty.
    IcsWindowHooks withDefaults() const;
};

// Each of these opens its window window-modal over parent and returns at once; done runs once
// it has closed (at once when its file dialog is cancelled). Their jobs run on threads of jobs,
// with its file accesses, and the appointment files they write or remove are told to it.

// "File > Export to iCalendar...": the days to export (the shown date's month at first), then
// the file to save them in, written whole or not at all. The appointments come from the active
// data folder of settings.
void ExportIcsWindow(QWidget* parent, Settings& settings, FolderJobs& jobs, const QDate& shownDate,
                     std::function<void()> done, IcsWindowHooks hooks = {});

// "File > Import iCalendar...": the file, the colour of the new appointments, the import into
// the active data folder of settings, and its summary.
void ImportIcsWindow(QWidget* parent, Settings& settings, FolderJobs& jobs,
                     std::function<void()> done, IcsWindowHooks hooks = {});

// "File > Undo last import": the newest import of the user into the active data folder of
// settings, taken back once the user agrees: the appointments it created are removed, those of
// an earlier import it updated stay. A progress window with Cancel shows while it looks for the
// import and while it takes it back.
void UndoLastImportWindow(QWidget* parent, Settings& settings, FolderJobs& jobs,
                          std::function<void()> done, IcsWindowHooks hooks = {});
