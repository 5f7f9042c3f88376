#include "colors/StoredColor.h"

#include "settings/Settings.h"

#include <QGuiApplication>
#include <QPalette>

qint64 RgbValue(const QColor& color)
{
    const QColor rgb = color.toRgb();
    return qint64(rgb.red()) | (qint64(rgb.green()) << 8) | (qint64(rgb.blue()) << 16);
}

QColor ColorOfRgbValue(qint64 value)
{
    if (value & 0x80000000LL)
        return QGuiApplication::palette().color(QPalette::Base);
    return QColor(int(value & 0xff), int((value >> 8) & 0xff), int((value >> 16) & 0xff));
}

QColor AppointmentColor(const Settings& settings, int code)
{
    if (code < 1 || code > Settings::kColorCount)
        code = 1;
    return ColorOfRgbValue(settings.Color(code));
}
