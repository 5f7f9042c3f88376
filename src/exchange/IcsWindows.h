#pragma once

#include <QDate>
#include <QString>

#include <functional>

class DataAccess;
class QWidget;
class Settings;

// How the iCalendar windows tell the user; message boxes by default.
struct IcsWindowHooks {
    std::function<void(QWidget*, const QString& title, const QString& text)> message;
    std::function<void(QWidget*, const QString& title, const QString& text)> error;

    // Message boxes for the hooks left empty.
    IcsWindowHooks withDefaults() const;
};

// "File > Export to iCalendar...": the days to export (the shown date's month at first), then
// the file to save them in, written whole or not at all.
void ExportIcsWindow(QWidget* parent, Settings& settings, DataAccess& store, const QDate& shownDate,
                     IcsWindowHooks hooks = {});

// "File > Import iCalendar...": the file, the colour of the new appointments, the import into
// the active data folder, and its summary. The caller rebuilds its view afterwards.
void ImportIcsWindow(QWidget* parent, Settings& settings, DataAccess& store,
                     IcsWindowHooks hooks = {});
