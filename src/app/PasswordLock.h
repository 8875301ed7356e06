#pragma once

#include "platform/Dialogs.h"

#include <QString>
#include <functional>

namespace app {

class MainForm;

// The password lock of the configuration tab, the quit commands and two keyword commands.
class PasswordLock {
public:
    /// `endProgram` ends the process at once (the right password given to a close request).
    PasswordLock(MainForm& form, platform::Dialogs& dialogs, std::function<void()> endProgram);

    const QString& password() const { return m_password; }
    void setPassword(const QString& password) { m_password = password; }

    void lock();
    void unlock();
    /// The configuration is locked exactly while the quit menu item is disabled.
    bool locked() const;
    /// The validate button beside the password box: the box's text becomes the password.
    void takePasswordFromBox();
    /// The tray menu's "Entrer le mot de passe": the right password unlocks and opens the
    /// configuration tab, a wrong one locks.
    void askToUnlock();
    /// A close request while locked: asks the password; the right one ends the process.
    void closeRequestWhileLocked();

private:
    /// Back to the first tab, locked, with the wrong-password message.
    void refuse();

    MainForm& f;
    platform::Dialogs& m_dialogs;
    std::function<void()> m_endProgram;
    QString m_password;
};

} // namespace app
