#include "view/MainWindow.h"

#include "app/Program.h"
#include "app/TaskBarIcon.h"
#include "view/Flash.h"
#include "view/Icons.h"
#include "view/MainWindowLayout.h"
#include "view/TrayIcon.h"

#include <QApplication>
#include <QCloseEvent>
#include <QStatusBar>
#include <QTabWidget>

namespace view {

MainWindow::MainWindow(app::Program& program, QWidget* parent)
    : QMainWindow(parent), m_form(program.form()),
      m_widgets(new FormWidgets(program.form(), this)) {
    controls::Form& form = program.form();
    setObjectName(form.name());
    setWindowIcon(appIcon());
    setCentralWidget(layOutMainWindow(*m_widgets, this));
    if (auto* sb = m_widgets->getAs<QStatusBar>(QStringLiteral("Sb"))) {
        setStatusBar(sb);
        // Its right part: what browser is watched.
        if (QWidget* browser = m_widgets->get(QStringLiteral("lblBrowserStatus")))
            sb->addPermanentWidget(browser);
    }

    linkProgram(program);
    m_widgets->bindTimers();
    m_flash = new Flash(*m_widgets, *this, m_tray->icon());

    // The hourglass while the form is busy; a search lets events run, so it shows at once.
    connect(&form, &controls::Form::busyChanged, this, [this](bool busy) { showBusy(busy); });
    showBusy(form.busy());

    resize(920, 720);
    setMinimumSize(760, 600);
    // The load step already ran the activation step for the first showing.
    m_skipActivation = form.visible();
    connect(&form, &controls::Form::changed, this, [this] { followForm(); });
    followForm();
}

MainWindow::~MainWindow() {
    showBusy(false);
}

// The one place where the window calls on the program beyond the form's controls: the close
// and activation steps and the notification-area icon's model.
void MainWindow::linkProgram(app::Program& program) {
    m_closeRequest = [&program] { program.closeRequest(); };
    m_activated = [&program] { program.activate(); };

    app::TaskBarIcon& icon = program.taskBarIcon();
    controls::Form& form = program.form();
    TrayIcon::Links links;
    links.clicked = [&icon] { icon.activation(1); };
    links.menuAsked = [&icon] { icon.contextNotification(2); };
    links.waiting = [&form, &icon] { return !form.visible() && icon.IconInTray(); };
    // The menu `Mnu_Fichier`: the menu items that follow it in the form.
    QMenu* menu = m_widgets->buildMenu(QStringLiteral("Mnu_Fichier"), this);
    m_tray = new TrayIcon(*this, menu, std::move(links));
    m_tray->setToolTip(icon.toolTip());
    connect(&icon, &app::TaskBarIcon::menuRequested, m_tray, &TrayIcon::popupMenu);
    connect(&icon, &app::TaskBarIcon::toolTipChanged, m_tray, &TrayIcon::setToolTip);
    m_tray->addStandIn(m_widgets->get(QStringLiteral("Sb")));
}

QTabWidget* MainWindow::tabs() const {
    return m_widgets->getAs<QTabWidget>(QStringLiteral("SSTab1"));
}

QMenu* MainWindow::trayMenu() const {
    return m_tray->menu();
}

QSystemTrayIcon* MainWindow::trayIcon() const {
    return m_tray->icon();
}

bool MainWindow::trayAvailable() {
    return TrayIcon::available();
}

bool MainWindow::flashShown() const {
    return m_flash->shown();
}

void MainWindow::followForm() {
    if (m_followingForm)
        return;
    m_followingForm = true;
    if (windowTitle() != m_form.caption())
        setWindowTitle(m_form.caption());
    if (m_form.visible()) {
        if (isMinimized())
            showNormal();
        else if (!isVisible())
            m_geometry.show();
        raise();
        activateWindow();
    } else if (TrayIcon::available()) {
        m_geometry.hide();
    } else {
        // No notification area to come back from.
        m_tray->minimiseWindow();
    }
    m_followingForm = false;
}

void MainWindow::showBusy(bool busy) {
    if (busy == m_busyShown)
        return;
    m_busyShown = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // The form decides: it hides or shows the window, or asks for the password.
    event->ignore();
    m_closeRequest();
}

void MainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        if (m_skipActivation)
            m_skipActivation = false;
        else if (m_form.visible())
            m_activated();
    }
}

} // namespace view
