#include "ui/ScreenColors.h"

#include <QWidget>

#include <algorithm>
#include <cmath>

namespace {

// An appointment's fill on a dark desktop stays at or below this luminance, so light text on
// it reads however pale the colour was chosen.
constexpr double kDarkFillLuminance = 0.1;

QColor withLightness(const QColor& color, double lightness)
{
    const QColor hsl = color.toHsl();
    return QColor::fromHslF(std::max<float>(0.0f, hsl.hslHueF()), hsl.hslSaturationF(),
                            float(std::clamp(lightness, 0.0, 1.0)));
}

QColor mix(const QColor& from, const QColor& to, double share)
{
    const auto channel = [share](int a, int b) { return int(std::lround(a + (b - a) * share)); };
    return QColor(channel(from.red(), to.red()), channel(from.green(), to.green()),
                  channel(from.blue(), to.blue()));
}

} // namespace

ScreenColors::ScreenColors(const QPalette& palette)
    : m_palette(palette)
    , m_dark(luminance(palette.color(QPalette::Base)) < luminance(palette.color(QPalette::Text)))
{
}

ScreenColors ScreenColors::of(const QWidget* widget)
{
    return ScreenColors(widget->palette());
}

QColor ScreenColors::adapt(const QColor& light) const
{
    if (!m_dark)
        return light;
    // White goes to the base, black to the text, a grey in between by its lightness.
    const QColor grey =
        mix(m_palette.color(QPalette::Text), m_palette.color(QPalette::Base), light.lightnessF());
    if (light.toHsl().hslSaturation() == 0)
        return grey;
    return withLightness(light, grey.lightnessF());
}

QColor ScreenColors::legible(const QColor& light, const QColor& background) const
{
    if (!m_dark)
        return light;
    QColor color = adapt(light);
    // Towards white or black, whichever stands further off the background.
    const double step =
        contrast(Qt::white, background) >= contrast(Qt::black, background) ? 0.05 : -0.05;
    for (int i = 0; i < 20 && contrast(color, background) < kReadable; ++i)
        color = withLightness(color, color.lightnessF() + step);
    return color;
}

QColor ScreenColors::litEdge() const
{
    return m_dark ? m_palette.color(QPalette::Light) : QColor(Qt::white);
}

QColor ScreenColors::selection(const QColor& light) const
{
    return m_dark ? m_palette.color(QPalette::Highlight) : light;
}

QColor ScreenColors::onSelection(const QColor& light) const
{
    return m_dark ? m_palette.color(QPalette::HighlightedText) : light;
}

QColor ScreenColors::appointment(const QColor& fill) const
{
    if (!m_dark || luminance(fill) <= kDarkFillLuminance)
        return fill;
    // The lightest variant of the hue that is still dark enough.
    double low = 0;
    double high = fill.lightnessF();
    for (int i = 0; i < 16; ++i) {
        const double middle = (low + high) / 2;
        (luminance(withLightness(fill, middle)) <= kDarkFillLuminance ? low : high) = middle;
    }
    return withLightness(fill, low);
}

QColor ScreenColors::onAppointment(const QColor& screenFill) const
{
    if (!m_dark)
        return Qt::black;
    const QColor text = m_palette.color(QPalette::Text);
    const QColor base = m_palette.color(QPalette::Base);
    return contrast(text, screenFill) >= contrast(base, screenFill) ? text : base;
}

double ScreenColors::luminance(const QColor& color)
{
    const auto linear = [](double c) {
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    const QColor rgb = color.toRgb();
    return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF()) +
           0.0722 * linear(rgb.blueF());
}

double ScreenColors::contrast(const QColor& a, const QColor& b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}
