#pragma once

#include "platform/Processes.h"

#include <QElapsedTimer>
#include <functional>

namespace platform::linuxp {

// Programs started detached, always with an argument vector (never through a shell).
class LinuxProcesses : public Processes {
public:
    bool start(const QString& program, const QStringList& arguments) override;
    /// Through xdg-open, the desktop's choice of application.
    bool openUrl(const QString& url) override;
    /// The watched browser's cookie settings page, in the browser named by TAVREL_BROWSER
    /// (else `chromium`) with the profile the browser adapter uses (TAVREL_BROWSER_ARGS'
    /// --user-data-dir, TAVREL_BROWSER_PROFILE, else ~/.local/share/Tavrel/browser-profile);
    /// false when no such browser is installed.
    bool openInternetOptions() override;
    void processEvents() override;
    /// Flushes the standard streams and ends the process at once: no destructor runs, only
    /// the `beforeEnd` step.
    [[noreturn]] void endNow() override;
    /// Runs just before an immediate end (the single-instance lock is given back there).
    std::function<void()> beforeEnd;

    /// The browser program that openInternetOptions starts, or empty when there is none.
    static QString browserProgram();
    /// Its arguments: the watched browser's profile, then the cookie settings page.
    static QStringList cookieSettingsArguments();

private:
    QElapsedTimer m_sinceEvents; // since the events last ran
};

} // namespace platform::linuxp
