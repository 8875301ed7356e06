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
    // Called at every step of a long loop (each file a search looks at): the events run in
    // batches, every 10 ms, which keeps the window alive without a pass over the event queue
    // per step.
    if (m_sinceEvents.isValid() && m_sinceEvents.elapsed() < 10)
        return;
    QCoreApplication::processEvents();
    m_sinceEvents.start();
}

void LinuxProcesses::endNow() {
    if (beforeEnd)
        beforeEnd();
    std::fflush(nullptr);
    std::_Exit(0);
}

} // namespace platform::linuxp
