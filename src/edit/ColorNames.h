#pragma once

#include <QColor>
#include <QCoreApplication>
#include <QString>

// What a colour is called, for a screen reader that cannot show it: "light green", German
// "hellgrün". The nearest of a few hues in three shades, or a grey.
class ColorNames {
    Q_DECLARE_TR_FUNCTIONS(ColorNames)

public:
    static QString nameOf(const QColor& color);
    // A colour of the settings' list as a screen reader reads it: "Color 3, light green", with
    // the user's own name for it after that, when there is one.
    static QString spoken(int number, const QColor& color, const QString& userText);
};
