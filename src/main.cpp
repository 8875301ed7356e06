// Tavrel on the desktop: the real Linux platform, the Chromium adapter and the Qt view.

#include "app/FrmMain.h"
#include "app/StartUp.h"
#include "platform/linux/ChromiumBrowser.h"
#include "platform/linux/LinuxPlatform.h"
#include "view/Icons.h"
#include "view/MainWindow.h"
#include "view/QtDialogs.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <memory>

namespace {

// The program's dialogs are the view's. The platform takes them when it has a place for
// them; otherwise the bundle is put together here from its parts with the view's dialogs.
template <class Desktop> platform::Platform withDialogs(Desktop& desktop, platform::Dialogs& d) {
    if constexpr (requires { desktop.setDialogs(d); })
        desktop.setDialogs(d);
    const platform::Platform& p = desktop.platform();
    return platform::Platform{p.browser, p.files,     p.settings, d,          p.clock,
                              p.sound,   p.processes, p.instance, p.registry, p.system};
}

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
    platform::linuxp::ChromiumBrowser browser;
    platform::linuxp::LinuxPlatform desktop(browser);
    platform::Platform bundle = withDialogs(desktop, dialogs);

    // A second instance has shown its warning by now and ends here.
    std::unique_ptr<app::FrmMain> form = app::startUp(bundle);
    if (!form)
        return 0;
    view::MainWindow window(*form);
    dialogs.setParentWindow(&window);
    return QApplication::exec();
}
