#include "platform/linux/LinuxPlatform.h"

namespace platform::linuxp {

LinuxPlatform::LinuxPlatform(platform::BrowserShell& browser, platform::Dialogs& dialogs,
                             platform::Notifier& notifier)
    : m_platform{browser,   files,    settings, dialogs, clock,   sound,
                 processes, instance, registry, system,  notifier} {
    // An immediate end runs no destructor: the lock is given back on the way out, so that the
    // next start does not depend on recognising a stale lock.
    processes.beforeEnd = [this] { instance.release(); };
}

} // namespace platform::linuxp
