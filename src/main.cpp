// Tavrel on the desktop: the real Linux platform, the Chromium adapter and the Qt view.

#include "app/StartUp.h"
#include "app/TaskBarIcon.h"
#include "platform/linux/ChromiumBrowser.h"
#include "platform/linux/DesktopNotifier.h"
#include "platform/linux/LinuxPlatform.h"
#include "view/Icons.h"
#include "view/MainWindow.h"
#include "view/QtDialogs.h"
#include "view/TrayNotifier.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <memory>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavrel"));
    QApplication::setApplicationVersion(QStringLiteral("1.1.0"));
    QApplication::setWindowIcon(view::appIcon());
    // Hidden in the notification area, the program goes on running.
    QApplication::setQuitOnLastWindowClosed(false);
    // Qt's own dialog texts (the file dialog) in French when the translation is installed.
    QTranslator qtFrench;
    if (qtFrench.load(QLocale(QLocale::French), QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtFrench);

    view::QtDialogs dialogs;
    // Notices through the desktop's service, or else as balloons of the tray icon.
    view::TrayNotifier balloons;
    platform::linuxp::DesktopNotifier notifier(&balloons);
    platform::linuxp::ChromiumBrowser browser;
    platform::linuxp::LinuxPlatform desktop(browser, dialogs, notifier);

    // A second instance has shown its warning by now and ends here.
    std::unique_ptr<app::Program> program = app::startUp(desktop.platform());
    if (!program)
        return 0;
    view::MainWindow window(*program);
    dialogs.setParentWindow(&window);
    balloons.setIcon(window.trayIcon());

    // A browser the user closed is started again when the user brings Tavrel's window back
    // from the notification area (a crashed one is started again by the adapter itself).
    bool browserClosed = false;
    QObject::connect(&browser, &platform::linuxp::ChromiumBrowser::connectionChanged,
                     [&](bool connected) { browserClosed = !connected; });
    QObject::connect(&program->taskBarIcon(), &app::TaskBarIcon::trayChanged, [&](bool inTray) {
        if (!inTray && browserClosed) {
            browserClosed = false;
            browser.start();
        }
    });
    return QApplication::exec();
}
