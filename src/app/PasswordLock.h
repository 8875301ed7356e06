#pragma once

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
    /// Close request while locked: asks the password; the right one ends the process.
    void closeRequestWhileLocked();

private:
    FrmMain& f;
};

} // namespace app
