#pragma once

#include <QColor>
#include <QPalette>

class QWidget;

// The colours the drawn components put on screen. On a light desktop they are the calendar's
// own, as designed; on a dark one (a palette whose base is darker than its text) they follow
// the palette: white becomes the base, black the text, the selection the highlight, and a
// colour between keeps its hue at the lightness turned round between base and text. Paper
// keeps its own colours: printouts never ask this.
class ScreenColors {
public:
    explicit ScreenColors(const QPalette& palette);
    // The palette the widget shows with.
    static ScreenColors of(const QWidget* widget);

    bool isDark() const { return m_dark; }
    // A colour of the light design, as this desktop shows it.
    QColor adapt(const QColor& light) const;
    QColor paper() const { return adapt(Qt::white); }
    QColor ink() const { return adapt(Qt::black); }
    // A text colour of the light design on background, made readable there on a dark desktop.
    QColor legible(const QColor& light, const QColor& background) const;
    // The lit edge of a raised frame: white on a light desktop, the palette's light on a dark.
    QColor litEdge() const;
    QColor selection(const QColor& light) const;
    QColor onSelection(const QColor& light) const;
    // An appointment's fill: on a dark desktop the same hue, dark enough for light text.
    QColor appointment(const QColor& fill) const;
    // The text on an appointment's screen fill.
    QColor onAppointment(const QColor& screenFill) const;

    // Relative luminance and the contrast ratio of two colours (1 to 21), as the common
    // accessibility guidelines define them.
    static double luminance(const QColor& color);
    static double contrast(const QColor& a, const QColor& b);
    // What a text needs against its background to read easily.
    static constexpr double kReadable = 4.5;

private:
    QPalette m_palette;
    bool m_dark;
};
