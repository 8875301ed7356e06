#pragma once

#include "view/Bindings.h"
#include "view/GeometryGuard.h"

#include <QMainWindow>
#include <functional>

class QMenu;
class QSystemTrayIcon;
class QTabWidget;

namespace app {
class Program;
}

namespace view {

class Flash;
class TrayIcon;

// The main window as Qt widgets: the open-window list with its buttons above the
// tabs, the status bar, the notification-area icon with its menu, and the timers.
// The window shows what the form's models hold and gives them the user's actions; the form
// decides everything, including whether the window is shown.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(app::Program& program, QWidget* parent = nullptr);
    ~MainWindow() override;

    controls::Form& form() const { return m_form; }
    FormWidgets& widgets() { return *m_widgets; }
    QTabWidget* tabs() const;
    /// The menu `Mnu_Fichier` of the notification-area icon.
    QMenu* trayMenu() const;
    QSystemTrayIcon* trayIcon() const;
    /// True when the desktop shows notification-area icons.
    static bool trayAvailable();
    /// True while the flash's lit state is showing.
    bool flashShown() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void linkProgram(app::Program& program);
    void followForm();
    void showBusy(bool busy);

    controls::Form& m_form;
    FormWidgets* m_widgets;
    TrayIcon* m_tray = nullptr;
    Flash* m_flash = nullptr;
    GeometryGuard m_geometry{*this};
    // The program's close and activation steps (set by `linkProgram`).
    std::function<void()> m_closeRequest;
    std::function<void()> m_activated;
    bool m_skipActivation = false;
    bool m_followingForm = false;
    bool m_busyShown = false;
};

} // namespace view
