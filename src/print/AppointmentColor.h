#pragma once

#include <QColor>

class Settings;

// The fill of an appointment of colour code, on screen and on paper: the settings' colour of
// that code, colour 1 for a code outside the table; the system colour the settings call
// "window" is the palette's base.
QColor AppointmentColor(const Settings& settings, int code);
