// Tavrel on the desktop: the real Linux platform, the chosen browser's adapter and the Qt view.

#include "app/StartUp.h"
#include "app/TaskBarIcon.h"
#include "platform/linux/DesktopBrowser.h"
#include "platform/linux/LinuxPlatform.h"
#include "view/Icons.h"
#include "view/MainWindow.h"
#include "view/QtDialogs.h"

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
    // The browser the user chose on the Configuration tab, unless the environment fixes it.
    platform::linuxp::DesktopBrowser browser(platform::linuxp::ChromiumOptions::fromEnvironment());
    platform::linuxp::LinuxPlatform desktop(browser, dialogs);

    // A second instance has shown its warning by now and ends here.
    std::unique_ptr<app::Program> program = app::startUp(desktop.platform());
    if (!program)
        return 0;
    view::MainWindow window(*program);
    dialogs.setParentWindow(&window);

    return QApplication::exec();
}
