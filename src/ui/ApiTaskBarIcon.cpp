#include "ui/ApiTaskBarIcon.h"

#include "ui/PictureBox.h"

#include <QCursor>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QSystemTrayIcon>

namespace {

QIcon drawnCalendarSheet()
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.fillRect(3, 5, 26, 24, Qt::white);
    p.fillRect(3, 5, 26, 7, QColor(0, 90, 180));
    p.setPen(QColor(128, 128, 128));
    p.drawRect(3, 5, 25, 23);
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 4; ++column)
            p.fillRect(6 + column * 6, 15 + row * 4, 3, 2, QColor(0, 90, 180));
    return QIcon(pixmap);
}

} // namespace

TaskBarIcon::TaskBarIcon(int id, QWidget* owner, const QString& tooltip, const QIcon& icon)
    : QObject(owner)
    , m_id(id)
    , m_tray(new QSystemTrayIcon(IconFor(owner, icon), this))
{
    m_tray->setToolTip(tooltip.left(kMaxToolTip));
    connect(m_tray, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) { onActivated(reason); });
    m_tray->show();
}

QWidget* TaskBarIcon::owner() const
{
    return qobject_cast<QWidget*>(parent());
}

QString TaskBarIcon::toolTip() const
{
    return m_tray->toolTip();
}

QIcon TaskBarIcon::icon() const
{
    return m_tray->icon();
}

void TaskBarIcon::setContextMenu(QMenu* menu)
{
    m_tray->setContextMenu(menu);
}

QIcon TaskBarIcon::IconFor(QWidget* owner, const QIcon& icon)
{
    if (!icon.isNull())
        return icon;
    if (const auto* picture = qobject_cast<const PictureBox*>(owner);
        picture && !picture->image().isNull() && picture->image().width() > 1)
        return QIcon(QPixmap::fromImage(picture->image()));
    if (owner && !owner->windowIcon().isNull())
        return owner->windowIcon();
    return drawnCalendarSheet();
}

void TaskBarIcon::onActivated(int reason)
{
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        emit LeftButtonDown();
        break;
    case QSystemTrayIcon::Context:
        if (!m_tray->contextMenu())
            emit RightButtonDown(QCursor::pos());
        break;
    default:
        // Double and middle clicks mean nothing here.
        break;
    }
}

bool IsTrayAvailable()
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

TaskBarIcon* FindTrayIcon(int id, QWidget* owner)
{
    if (!owner)
        return nullptr;
    const auto icons = owner->findChildren<TaskBarIcon*>(Qt::FindDirectChildrenOnly);
    for (TaskBarIcon* icon : icons)
        if (icon->id() == id)
            return icon;
    return nullptr;
}

TaskBarIcon* AddTrayIcon(int id, QWidget* owner, const QString& tooltip, const QIcon& icon)
{
    if (!owner || !IsTrayAvailable())
        return nullptr;
    RemoveTrayIcon(id, owner);
    return new TaskBarIcon(id, owner, tooltip, icon);
}

bool RemoveTrayIcon(int id, QWidget* owner)
{
    TaskBarIcon* icon = FindTrayIcon(id, owner);
    if (!icon)
        return false;
    icon->trayIcon()->hide();
    // Later, since this may run inside one of the icon's own signals.
    icon->setParent(nullptr);
    icon->deleteLater();
    return true;
}
