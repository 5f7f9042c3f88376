#pragma once

#include <QList>

class PictureBox;
class QAccessibleInterface;

// Assistive technology's view of the drawing surfaces: a PictureBox whose component describes
// its content (PictureBox::setAccessibleContent) shows that tree, with the component's parts as
// children that have their own role, name, place and state. Installed once, by the first
// PictureBox.
namespace PaintedAccessible {

void install();
// After the content changed: tells assistive technology what moved, the focus, the value,
// the name, the children. Does nothing while none listens.
void contentChanged(PictureBox* picture);
// After the drawing took the keyboard focus: tells which of its parts has it.
void focusEntered(PictureBox* picture);
// The interface of the part at path (child indices, outermost first); null when there is none.
QAccessibleInterface* partInterface(PictureBox* picture, const QList<int>& path);

} // namespace PaintedAccessible
