#pragma once

#include <QObject>
#include <QString>
#include <vector>

namespace controls {
class MenuItem;
}

namespace app {

class MainForm;

// The notification-area icon as the program sees it, and the hide/show toggle of the main
// window. The view shows the real icon and reports its notifications here.
class TaskBarIcon : public QObject {
    Q_OBJECT
public:
    explicit TaskBarIcon(MainForm& form);
    bool IconInTray() const { return m_inTray; }
    void EnterTray();
    void LeaveTray();
    const QString& toolTip() const { return m_toolTip; }
    /// The icon's tooltip; `toolTipChanged` tells each change.
    void setToolTip(const QString& text);

    void hideToTray();
    void showFromTray();
    /// Shows a window that is in the tray, hides one that is not (the hide/show menu item).
    void toggle();
    /// The icon's activation notification, with the mouse button code (1 = left).
    void activation(int button);
    /// The icon's context notification, with the mouse button code (2 = right). True when
    /// it opens the menu `Mnu_Fichier`.
    bool contextNotification(int button);
    /// The items of the tray menu in their order, separators included.
    std::vector<controls::MenuItem*> menuItems() const;

signals:
    /// The menu `Mnu_Fichier` is to open at the mouse pointer.
    void menuRequested();
    void trayChanged(bool inTray);
    void toolTipChanged(const QString& text);

private:
    MainForm& f;
    bool m_inTray = false;
    QString m_toolTip;
};

} // namespace app
