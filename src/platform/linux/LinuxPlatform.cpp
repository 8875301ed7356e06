#include "platform/linux/LinuxPlatform.h"

#include "platform/Logging.h"
#include "platform/linux/LinuxPaths.h"

namespace platform::linuxp {

LinuxPlatform::LinuxPlatform(platform::BrowserShell& browser, platform::Dialogs& dialogs,
                             platform::Notifier& notifier)
    : m_platform{browser,   files,    settings, dialogs, clock,   sound,
                 processes, instance, registry, system,  notifier} {
    // An immediate end runs no destructor: the lock is given back on the way out, so that the
    // next start does not depend on recognising a stale lock.
    processes.beforeEnd = [this] { instance.release(); };
    // "Options Internet": the watched browser's own settings, which it opens best.
    processes.openBrowserSettings = [&browser] { return browser.openSettings(); };
    // What the program writes lives in the user's data folder, what ships with it stays in
    // the install: the first start gives the user a keyword list of their own to edit.
    const QString data = files.programFolder();
    const QString shipped = files.shippedFolder();
    qCDebug(platform::lcFiles, "data folder %s, shipped files in %s", qPrintable(data),
            qPrintable(shipped));
    if (data != shipped)
        seedKeywordList(data, shipped);
}

} // namespace platform::linuxp
