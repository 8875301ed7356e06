#include "platform/linux/LinuxProcesses.h"

#include <QCoreApplication>
#include <QProcess>
#include <cstdio>
#include <cstdlib>

namespace platform::linuxp {

bool LinuxProcesses::start(const QString& program, const QStringList& arguments) {
    if (program.isEmpty())
        return false;
    return QProcess::startDetached(program, arguments);
}

bool LinuxProcesses::openUrl(const QString& url) {
    if (url.isEmpty())
        return false;
    return start(QStringLiteral("xdg-open"), {url});
}

bool LinuxProcesses::openInternetOptions() {
    return openBrowserSettings && openBrowserSettings();
}

void LinuxProcesses::processEvents() {
    QCoreApplication::processEvents();
}

void LinuxProcesses::endNow() {
    if (beforeEnd)
        beforeEnd();
    std::fflush(nullptr);
    std::_Exit(0);
}

} // namespace platform::linuxp
