#pragma once

#include "colors/StoredColor.h"

#include <QColor>
#include <QIcon>
#include <QtGlobal>

#include <functional>

class QColorDialog;
class QWidget;

// What PickColor returns when the user cancels; callers treat it as "no choice".
inline constexpr qint64 kNoColorChosen = 0x010101;

// Lets the user choose a solid colour, starting from current (the colour being changed) when
// it is valid. The custom colours start empty on every call. The dialog opens over owner and
// the call returns at once; chosen later gets the colour as RgbValue, or kNoColorChosen when
// cancelled, and never runs once owner is gone.
using ColorChosen = std::function<void(qint64 rgb)>;
void PickColor(QWidget* owner, const QColor& current, ColorChosen chosen);

// A small outlined square of the colour, for lists that offer the settings' colours.
QIcon ColorSwatch(const QColor& color);

// For tests: answers the colour dialog in place of a person. The hook gets the prepared
// dialog, may set its colour, and returns QDialog::Accepted or QDialog::Rejected; the dialog
// is then not shown and chosen runs before PickColor returns. An empty hook shows the dialog
// again.
using ColorDialogAnswer = std::function<int(QColorDialog&)>;
void setColorDialogAnswer(ColorDialogAnswer answer);
