#pragma once

class QLabel;

// A label that works as one of a row of switch buttons, as the main window's Day and Week do:
// a screen reader meets a toggle button named by its text, pressed while it is the one chosen,
// whose press action clicks it as the mouse would.
namespace ToggleLabel {

// Before anything asks the label for its accessible interface.
void make(QLabel* label);
// Tells a screen reader when the state changes.
void setPressed(QLabel* label, bool pressed);
bool isPressed(const QLabel* label);

} // namespace ToggleLabel
