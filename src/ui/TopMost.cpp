#include "ui/TopMost.h"

#include <QWidget>

void MakeTopMost(QWidget* window)
{
    if (!window || IsTopMost(window))
        return;
    const bool wasVisible = window->isVisible();
    const QRect geometry = window->geometry();
    const bool quietShow = window->testAttribute(Qt::WA_ShowWithoutActivating);
    // Changing the flags hides the window; show it again without activating it.
    window->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    if (wasVisible) {
        window->setAttribute(Qt::WA_ShowWithoutActivating, true);
        window->setGeometry(geometry);
        window->show();
        window->setAttribute(Qt::WA_ShowWithoutActivating, quietShow);
    }
}

bool IsTopMost(const QWidget* window)
{
    return window && window->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

void BringToFront(QWidget* window)
{
    if (!window)
        return;
    if (window->isMinimized())
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    if (!window->isVisible())
        window->show();
    window->raise();
    window->activateWindow();
}
