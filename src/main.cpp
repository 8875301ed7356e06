// Tavrel on the desktop: the real Linux platform, a browser adapter (Chromium, or Firefox when
// the environment asks for it) and the Qt view.

#include "app/StartUp.h"
#include "app/TaskBarIcon.h"
#include "platform/linux/ChromiumBrowser.h"
#include "platform/linux/FirefoxBrowser.h"
#include "platform/linux/LinuxPlatform.h"
#include "view/Icons.h"
#include "view/MainWindow.h"
#include "view/QtDialogs.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <functional>
#include <memory>

namespace {

// The browser adapter. Firefox over WebDriver BiDi when TAVREL_BROWSER_KIND=firefox or
// TAVREL_BROWSER names a firefox; Chromium otherwise. (Until the Configuration tab's browser
// choice offers Firefox.)
struct BrowserAdapter {
    std::unique_ptr<platform::BrowserShell> shell;
    std::function<bool()> start;
    /// Calls `changed(connected)` whenever the connection opens or ends.
    std::function<void(std::function<void(bool)> changed)> watch;

    template <class Adapter> static BrowserAdapter make() {
        auto* adapter = new Adapter;
        return {std::unique_ptr<platform::BrowserShell>(adapter),
                [adapter] { return adapter->start(); },
                [adapter](std::function<void(bool)> changed) {
                    QObject::connect(adapter, &Adapter::connectionChanged, std::move(changed));
                }};
    }
    static BrowserAdapter fromEnvironment() {
        if (platform::linuxp::FirefoxOptions::requested())
            return make<platform::linuxp::FirefoxBrowser>();
        return make<platform::linuxp::ChromiumBrowser>();
    }
};

} // namespace

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
    BrowserAdapter browser = BrowserAdapter::fromEnvironment();
    platform::linuxp::LinuxPlatform desktop(*browser.shell, dialogs);

    // A second instance has shown its warning by now and ends here.
    std::unique_ptr<app::Program> program = app::startUp(desktop.platform());
    if (!program)
        return 0;
    view::MainWindow window(*program);
    dialogs.setParentWindow(&window);

    // A browser the user closed is started again when the user brings Tavrel's window back
    // from the notification area (a crashed one is started again by the adapter itself).
    bool browserClosed = false;
    browser.watch([&](bool connected) { browserClosed = !connected; });
    QObject::connect(&program->taskBarIcon(), &app::TaskBarIcon::trayChanged, [&](bool inTray) {
        if (!inTray && browserClosed) {
            browserClosed = false;
            browser.start();
        }
    });
    return QApplication::exec();
}
