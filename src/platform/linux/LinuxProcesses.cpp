#include "platform/linux/LinuxProcesses.h"

#include <QCoreApplication>
#include <QProcess>
#include <QStandardPaths>
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

QString LinuxProcesses::browserProgram() {
    QString browser = qEnvironmentVariable("TAVREL_BROWSER");
    if (browser.isEmpty())
        browser = QStringLiteral("chromium");
    return QStandardPaths::findExecutable(browser);
}

QStringList LinuxProcesses::cookieSettingsArguments() {
    // The page opens in the watched browser's own profile (the one the browser adapter
    // launches with), where a running browser takes it as a new tab. A browser Tavrel attached
    // to has a profile of its own choosing: the default one is the best guess.
    QString profileArgument;
    for (const QString& a : QProcess::splitCommand(qEnvironmentVariable("TAVREL_BROWSER_ARGS")))
        if (a.startsWith(QStringLiteral("--user-data-dir=")))
            profileArgument = a;
    if (profileArgument.isEmpty() && qEnvironmentVariable("TAVREL_ATTACH").isEmpty()) {
        QString profile = qEnvironmentVariable("TAVREL_BROWSER_PROFILE");
        if (profile.isEmpty())
            profile = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                      QStringLiteral("/Tavrel/browser-profile");
        profileArgument = QStringLiteral("--user-data-dir=") + profile;
    }
    QStringList arguments;
    if (!profileArgument.isEmpty())
        arguments.append(profileArgument);
    arguments.append(QStringLiteral("chrome://settings/cookies"));
    return arguments;
}

bool LinuxProcesses::openInternetOptions() {
    const QString browser = browserProgram();
    if (browser.isEmpty())
        return false;
    return start(browser, cookieSettingsArguments());
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
