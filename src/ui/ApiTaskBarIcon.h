#pragma once

#include <QIcon>
#include <QObject>
#include <QPoint>
#include <QString>

class QMenu;
class QSystemTrayIcon;
class QWidget;

// The program's icon in the notification area. It only reports the presses the main window
// reacts to; what they do (restore the window, pop up its menu) stays with the main window.
class TaskBarIcon : public QObject {
    Q_OBJECT

public:
    // Longer tooltips are cut, as the notification area has always done.
    static constexpr int kMaxToolTip = 63;

    // Shown at once. The icon is a child of the owner, so it goes when the owner goes.
    TaskBarIcon(int id, QWidget* owner, const QString& tooltip, const QIcon& icon = QIcon());

    int id() const { return m_id; }
    QWidget* owner() const;
    QString toolTip() const;
    QIcon icon() const;
    // For desktops that draw the icon's menu themselves. With a menu set, a right press pops
    // it up and RightButtonDown is not raised.
    void setContextMenu(QMenu* menu);
    QSystemTrayIcon* trayIcon() const { return m_tray; }

    // The icon given, else the owner's picture or window icon, else a drawn calendar sheet.
    static QIcon IconFor(QWidget* owner, const QIcon& icon);

signals:
    void LeftButtonDown();
    // Where to pop up the menu, in screen coordinates.
    void RightButtonDown(QPoint globalPosition);

private:
    void onActivated(int reason);

    int m_id;
    QSystemTrayIcon* m_tray;
};

// False where the desktop has no notification area; the main window must not hide into it.
bool IsTrayAvailable();

// Puts the icon into the notification area, replacing one with the same id and owner.
// Returns nullptr, and adds nothing, where there is no notification area.
TaskBarIcon* AddTrayIcon(int id, QWidget* owner, const QString& tooltip,
                         const QIcon& icon = QIcon());

// Removes the icon; false when the owner has no icon with that id.
bool RemoveTrayIcon(int id, QWidget* owner);

// The icon with that id, nullptr when there is none.
TaskBarIcon* FindTrayIcon(int id, QWidget* owner);
