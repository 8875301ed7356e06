#include "app/PasswordLock.h"

#include "app/FrmMain.h"

namespace app {

PasswordLock::PasswordLock(FrmMain& form) : f(form) {}

void PasswordLock::LockConfiguration() {}

void PasswordLock::UnlockConfiguration() {}

bool PasswordLock::locked() const {
    return !f.quit.enabled();
}

void PasswordLock::closeRequestWhileLocked() {}

} // namespace app
