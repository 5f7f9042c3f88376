#include "print/AppointmentColor.h"

#include "settings/Settings.h"

#include <QGuiApplication>
#include <QPalette>

QColor AppointmentColor(const Settings& settings, int code)
{
    if (code < 1 || code > Settings::kColorCount)
        code = 1;
    const qint64 value = settings.Color(code);
    // Stored as the settings file has it: red in the low byte; the high bit a system colour.
    if (value & 0x80000000LL)
        return QGuiApplication::palette().color(QPalette::Base);
    return QColor(int(value & 0xff), int((value >> 8) & 0xff), int((value >> 16) & 0xff));
}
