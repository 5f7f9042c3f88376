#pragma once

class QWidget;

// Keeps the window above all others from now on, with position and size unchanged and
// without taking the focus from the window the user is working in.
void MakeTopMost(QWidget* window);

// Whether the window is kept above all others.
bool IsTopMost(const QWidget* window);

// Brings the window back from the notification area or the task bar: a minimized window
// becomes normal, a hidden one is shown, and it comes in front of the others and takes the
// focus. It does not stay above the others unless it was topmost before.
void BringToFront(QWidget* window);
