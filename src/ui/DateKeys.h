#pragma once

#include <QDate>
#include <Qt>

#include <optional>

// The keys that walk the days of a month sheet, the editor's and the main window's alike:
// Left and Right a day, Up and Down a week, Page Up and Page Down a month (the same day, or the
// month's last when it is shorter), Home and End the first and last day of the month. Nothing
// for other keys or with a modifier held, so those stay free for the window.
namespace DateKeys {

std::optional<QDate> step(const QDate& from, int key, Qt::KeyboardModifiers modifiers);

} // namespace DateKeys
