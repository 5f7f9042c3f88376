#pragma once

#include <QList>
#include <QString>

#include <functional>

// How a text is set into a box on paper: lines at their positions in millimetres, computed
// without a printer so the layout can be checked as data.
struct WrappedLine {
    QString text; // trailing spaces removed
    double x = 0;
    double y = 0; // top of the line
};

enum class TextAlign { Left = 0, Right = 1, Centre = 2 };

// Width of a text in millimetres, in the font it will be printed with.
using TextWidth = std::function<double(const QString& text)>;

// The sample whose height sets the line spacing.
inline const QString kLineSample = QStringLiteral("AQq_'123");

// Wraps text into the box (x, y, w, h): CR LF (or a lone CR or LF) ends a line; a line too
// wide breaks after its last space, hyphen, full stop or comma (not one between two digits,
// which belongs to a number), or between two characters when it has none. Lines are sampleHeight
// apart (both in whole millimetres) from y; the first line is always there, the others only while
// the next one would still end inside the box.
QList<WrappedLine> WrapText(double x, double y, double w, double h, const QString& text,
                            TextAlign align, const TextWidth& width, double sampleHeight);
