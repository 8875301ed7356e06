#pragma once

#include "platform/Processes.h"

#include <functional>

namespace platform::linuxp {

// Programs started detached, always with an argument vector (never through a shell).
class LinuxProcesses : public Processes {
public:
    bool start(const QString& program, const QStringList& arguments) override;
    /// Through xdg-open, the desktop's choice of application.
    bool openUrl(const QString& url) override;
    /// The watched browser's settings of cookies and privacy, opened by `openBrowserSettings`
    /// (the browser shell's); false when there is none or it cannot.
    bool openInternetOptions() override;
    void processEvents() override;
    /// Flushes the standard streams and ends the process at once: no destructor runs, only
    /// the `beforeEnd` step.
    [[noreturn]] void endNow() override;
    /// Runs just before an immediate end (the single-instance lock is given back there).
    std::function<void()> beforeEnd;
    /// Opens the watched browser's settings (see BrowserShell::openSettings).
    std::function<bool()> openBrowserSettings;
};

} // namespace platform::linuxp
