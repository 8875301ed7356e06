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

// Hands every call to the dialogs the view installs. Until then (or without a view) a message
// is written to the standard error stream and answered as a user who closes it would: OK, No,
// Cancel.
class DialogsSlot : public Dialogs {
public:
    void install(Dialogs* dialogs) { m_dialogs = dialogs; }
    MessageAnswer message(const QString& text, MessageButtons buttons, MessageIcon icon,
                          const QString& title) override;
    QString input(const QString& prompt, const QString& title, const QString& defaultText) override;
    std::optional<QString> openFile(const QString& title, const QString& initialFolder,
                                    const QString& filter) override;
    void runModal(ModalForm& form) override;

private:
    Dialogs* m_dialogs = nullptr;
};

// The real platform of a Linux desktop: every backend, owned here, with the browser and the
// dialogs given from outside (the Chromium adapter, the view's dialogs).
class LinuxPlatform {
public:
    explicit LinuxPlatform(platform::BrowserShell& browser);
    LinuxPlatform(const LinuxPlatform&) = delete;
    LinuxPlatform& operator=(const LinuxPlatform&) = delete;

    platform::Platform& platform() { return m_platform; }
    /// The dialogs shown from now on (the view's); they must outlive their use here.
    void setDialogs(platform::Dialogs& dialogs) { m_dialogs.install(&dialogs); }

    LinuxFiles files;
    LinuxSettings settings;
    SystemClock clock;
    LinuxSound sound;
    LinuxProcesses processes;
    LinuxInstance instance;
    LinuxRegistry registry;
    LinuxSystem system;

private:
    DialogsSlot m_dialogs;
    platform::Platform m_platform;
};

} // namespace platform::linuxp
