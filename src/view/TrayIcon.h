#pragma once

#include <QObject>
#include <functional>

class QMenu;
class QSystemTrayIcon;
class QWidget;

namespace view {

// The program's icon in the notification area with its menu, and what stands in for it on a
// desktop without a notification area: there the window waits minimised in the task bar,
// restoring it from there counts as a click on the icon, and the context menu of a widget of
// the window (the status bar) opens the icon's menu. The icon stays for the whole run.
class TrayIcon : public QObject {
    Q_OBJECT
public:
    /// What the icon reports to the program and asks of it.
    struct Links {
        /// A left click on the icon.
        std::function<void()> clicked;
        /// A right click on the icon or on the stand-in: the program opens the menu or not.
        std::function<void()> menuAsked;
        /// True while the program holds the window hidden in the notification area.
        std::function<bool()> waiting;
    };

    /// `menu` is the icon's menu (the icon does not own it); `window` is the window it hides.
    TrayIcon(QWidget& window, QMenu* menu, Links links);

    /// True when the desktop shows notification-area icons.
    static bool available();

    QSystemTrayIcon* icon() const { return m_icon; }
    QMenu* menu() const { return m_menu; }
    /// The icon's tooltip; an empty text shows the program's name.
    void setToolTip(const QString& text);
    /// Opens the menu at the mouse pointer.
    void popupMenu();
    /// Without a notification area, the context menu of `widget` asks for the icon's menu.
    void addStandIn(QWidget* widget);
    /// Without a notification area: the window goes to the task bar instead of hiding.
    void minimiseWindow();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& m_window;
    QMenu* m_menu;
    Links m_links;
    QSystemTrayIcon* m_icon;
};

} // namespace view
