#pragma once

#include "view/Bindings.h"

#include <QMainWindow>
#include <QPointer>

class QMenu;
class QSystemTrayIcon;
class QTabWidget;

namespace app {
class FrmMain;
}

namespace view {

// The main window `FrmMain` as Qt widgets: the open-window list with its buttons above the
// seven tabs, the status bar, the notification-area icon with its menu, and the timers.
// The window shows what the form's models hold and gives them the user's actions; the form
// decides everything, including whether the window is shown.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(app::FrmMain& form, QWidget* parent = nullptr);
    ~MainWindow() override;

    app::FrmMain& form() const { return m_form; }
    FormWidgets& widgets() { return *m_widgets; }
    QTabWidget* tabs() const;
    /// The menu `Mnu_Fichier` of the notification-area icon.
    QMenu* trayMenu() const { return m_menu; }
    QSystemTrayIcon* trayIcon() const { return m_tray; }
    /// True when the desktop shows notification-area icons.
    static bool trayAvailable();
    /// True while the flash timer's effect is showing its alternate state.
    bool flashShown() const { return m_flashOn; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void buildWindowList(QWidget* central);
    void buildKeywordTab(QWidget* page);
    void buildJournalTab(QWidget* page);
    void buildConfigurationTab(QWidget* page);
    void buildStatisticsTab(QWidget* page);
    void buildCookieTab(QWidget* page);
    void buildAntiSpyTab(QWidget* page);
    void buildHelpTab(QWidget* page);
    void buildTray();
    void followForm();
    void flashTick();
    void showFlash(bool on);

    app::FrmMain& m_form;
    FormWidgets* m_widgets;
    QMenu* m_menu = nullptr;
    QSystemTrayIcon* m_tray = nullptr;
    bool m_skipActivation = false;
    bool m_flashOn = false;
    bool m_followingForm = false;
    bool m_busyShown = false;
    QByteArray m_hiddenGeometry;
};

} // namespace view
