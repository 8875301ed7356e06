#pragma once

#include "platform/Platform.h"
#include "platform/linux/LinuxFiles.h"
#include "platform/linux/LinuxInstance.h"
#include "platform/linux/LinuxProcesses.h"
#include "platform/linux/LinuxRegistry.h"
#include "platform/linux/LinuxSettings.h"
#include "platform/linux/LinuxSound.h"
#include "platform/linux/LinuxSystem.h"

namespace platform::linuxp {

class SystemClock : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

// The real platform of a Linux desktop: every backend, owned here, with the browser, the
// dialogs and the notices given from outside (the Chromium adapter, the view's dialogs, the
// desktop's notification service with the view's balloon behind it).
class LinuxPlatform {
public:
    /// The browser, the dialogs and the notifier must outlive the platform.
    LinuxPlatform(platform::BrowserShell& browser, platform::Dialogs& dialogs,
                  platform::Notifier& notifier);
    LinuxPlatform(const LinuxPlatform&) = delete;
    LinuxPlatform& operator=(const LinuxPlatform&) = delete;

    platform::Platform& platform() { return m_platform; }

    LinuxFiles files;
    LinuxSettings settings;
    SystemClock clock;
    LinuxSound sound;
    LinuxProcesses processes;
    LinuxInstance instance;
    LinuxRegistry registry;
    LinuxSystem system;

private:
    platform::Platform m_platform;
};

} // namespace platform::linuxp
