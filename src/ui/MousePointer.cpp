#include "ui/MousePointer.h"

#include <QCursor>
#include <QGuiApplication>

void SetMousePointer(int shape)
{
    if (shape == 11)
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    else if (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
}
