#include "edit/ColorNames.h"

#include <array>

namespace {

// The hues by the upper end of their range on the colour wheel, in degrees; red closes it.
struct Hue {
    int below;
    const char* light;
    const char* plain;
    const char* dark;
};
constexpr std::array<Hue, 9> kHues{{
    {15, QT_TRANSLATE_NOOP("ColorNames", "light red"), QT_TRANSLATE_NOOP("ColorNames", "red"),
     QT_TRANSLATE_NOOP("ColorNames", "dark red")},
    {40, QT_TRANSLATE_NOOP("ColorNames", "light orange"), QT_TRANSLATE_NOOP("ColorNames", "orange"),
     QT_TRANSLATE_NOOP("ColorNames", "dark orange")},
    {70, QT_TRANSLATE_NOOP("ColorNames", "light yellow"), QT_TRANSLATE_NOOP("ColorNames", "yellow"),
     QT_TRANSLATE_NOOP("ColorNames", "dark yellow")},
    {160, QT_TRANSLATE_NOOP("ColorNames", "light green"), QT_TRANSLATE_NOOP("ColorNames", "green"),
     QT_TRANSLATE_NOOP("ColorNames", "dark green")},
    {200, QT_TRANSLATE_NOOP("ColorNames", "light turquoise"),
     QT_TRANSLATE_NOOP("ColorNames", "turquoise"),
     QT_TRANSLATE_NOOP("ColorNames", "dark turquoise")},
    {260, QT_TRANSLATE_NOOP("ColorNames", "light blue"), QT_TRANSLATE_NOOP("ColorNames", "blue"),
     QT_TRANSLATE_NOOP("ColorNames", "dark blue")},
    {315, QT_TRANSLATE_NOOP("ColorNames", "light purple"),
     QT_TRANSLATE_NOOP("ColorNames", "purple"), QT_TRANSLATE_NOOP("ColorNames", "dark purple")},
    {345, QT_TRANSLATE_NOOP("ColorNames", "light pink"), QT_TRANSLATE_NOOP("ColorNames", "pink"),
     QT_TRANSLATE_NOOP("ColorNames", "dark pink")},
    {361, QT_TRANSLATE_NOOP("ColorNames", "light red"), QT_TRANSLATE_NOOP("ColorNames", "red"),
     QT_TRANSLATE_NOOP("ColorNames", "dark red")},
}};

const char* const kWhite = QT_TRANSLATE_NOOP("ColorNames", "white");
const char* const kBlack = QT_TRANSLATE_NOOP("ColorNames", "black");
const char* const kLightGrey = QT_TRANSLATE_NOOP("ColorNames", "light grey");
const char* const kGrey = QT_TRANSLATE_NOOP("ColorNames", "grey");
const char* const kDarkGrey = QT_TRANSLATE_NOOP("ColorNames", "dark grey");

constexpr double kLight = 0.74; // HSL lightness from which a hue is light
constexpr double kDark = 0.3;   // and up to which it is dark

} // namespace

QString ColorNames::nameOf(const QColor& color)
{
    const QColor c = color.toHsl();
    const double lightness = c.lightnessF();
    if (c.hslHue() < 0 || c.hslSaturationF() < 0.15) {
        if (lightness > 0.97)
            return tr(kWhite);
        if (lightness < 0.12)
            return tr(kBlack);
        return tr(lightness >= 0.7 ? kLightGrey : lightness <= 0.35 ? kDarkGrey : kGrey);
    }
    const Hue* hue = &kHues.back();
    for (const Hue& h : kHues)
        if (c.hslHue() < h.below) {
            hue = &h;
            break;
        }
    return tr(lightness >= kLight ? hue->light : lightness <= kDark ? hue->dark : hue->plain);
}

QString ColorNames::spoken(int number, const QColor& color, const QString& userText)
{
    const QString name = tr("Color %1, %2").arg(number).arg(nameOf(color));
    return userText.trimmed().isEmpty() ? name : userText + QStringLiteral(" (") + name + u')';
}
