#pragma once

#include <QColor>
#include <QtGlobal>

class Settings;

// A colour as the settings file stores it: red in the low byte, then green, then blue; with
// the high bit set, a system colour (the settings' "window" is the palette's base).
qint64 RgbValue(const QColor& color);
QColor ColorOfRgbValue(qint64 value);

// The fill of an appointment of colour code, on screen and on paper: the settings' colour of
// that code, colour 1 for a code outside the table.
QColor AppointmentColor(const Settings& settings, int code);
