#pragma once

#include <QString>

namespace app {

class FrmMain;

// The password lock of the configuration, the quit command and two keyword commands.
class PasswordLock {
public:
    explicit PasswordLock(FrmMain& f);
    void LockConfiguration();
    void UnlockConfiguration();
    /// The configuration is locked exactly while the menu item "Quitter" is disabled.
    bool locked() const;
    /// Validate button beside the password box: the box's text becomes the password.
    void Command18_Click();
    /// Menu item "Entrer le mot de passe": the right password unlocks and opens the
    /// configuration tab, a wrong one locks.
    void Mnu_MdP_Click();
    /// Close request while locked: asks the password; the right one ends the process.
    void closeRequestWhileLocked();

private:
    /// Back to the first tab, locked, with the wrong-password message.
    void refuse();

    FrmMain& f;
};

} // namespace app
