// Tavrel on the desktop: the real Linux platform, the chosen browser's adapter and the Qt view.

#include "app/CommandLine.h"
#include "app/StartUp.h"
#include "app/TaskBarIcon.h"
#include "platform/linux/DesktopBrowser.h"
#include "platform/linux/DesktopNotifier.h"
#include "platform/linux/LinuxDisplay.h"
#include "platform/linux/LinuxPlatform.h"
#include "view/Icons.h"
#include "view/MainWindow.h"
#include "view/QtDialogs.h"
#include "view/TrayNotifier.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstdio>
#include <memory>

namespace {

QStringList argumentsOf(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

void print(FILE* stream, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
}

} // namespace

int main(int argc, char** argv) {
    // Help and version need no display: they are answered before Qt looks for one. Qt's own
    // options (-platform, -session, ...) are still there at this point and are let through.
    const QStringList arguments = argumentsOf(argc, argv);
    const app::CommandLine early = app::CommandLine::parse(arguments, true);
    if (early.action == app::CommandLine::Action::ShowHelp ||
        early.action == app::CommandLine::Action::ShowVersion) {
        print(stdout, early.text);
        return 0;
    }
    const platform::linuxp::DisplayChoice display = platform::linuxp::chooseDisplay(arguments);
    if (!display.usable) {
        print(stderr, QStringLiteral("Tavrel ne peut pas s'ouvrir : aucun affichage ne répond "
                                     "(DISPLAY, WAYLAND_DISPLAY) ; essayez « xvfb-run -a "
                                     "tavrel ».\n"));
        return 1;
    }
    if (!display.platform.isEmpty())
        qputenv("QT_QPA_PLATFORM", display.platform);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavrel"));
    QApplication::setApplicationVersion(app::programVersion());
    // Wayland compositors match the window to its launcher (tavrel.desktop) by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("tavrel"));
    const app::CommandLine commandLine = app::CommandLine::parse(QApplication::arguments());
    if (commandLine.action == app::CommandLine::Action::Fail) {
        print(stderr, commandLine.text + u'\n');
        return 1;
    }
    // Before the browser adapter and the platform read them.
    commandLine.applyToEnvironment();

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
    // The browser the user chose on the Configuration tab, unless the environment fixes it.
    platform::linuxp::DesktopBrowser browser(platform::linuxp::ChromiumOptions::fromEnvironment());
    platform::linuxp::LinuxPlatform desktop(browser, dialogs, notifier);

    // A second instance has shown its warning by now and ends here.
    std::unique_ptr<app::Program> program = app::startUp(desktop.platform());
    if (!program)
        return 0;
    view::MainWindow window(*program);
    dialogs.setParentWindow(&window);
    balloons.setIcon(window.trayIcon());

    return QApplication::exec();
}
