#include "app/PasswordLock.h"

#include "app/FrmMain.h"

namespace app {

namespace {
constexpr int ConfigurationTab = 2;
} // namespace

PasswordLock::PasswordLock(FrmMain& form) : f(form) {
    f.Command18.onClick = [this] { Command18_Click(); };
    f.Mnu_MdP.onClick = [this] { Mnu_MdP_Click(); };
}

void PasswordLock::LockConfiguration() {
    f.SSTab1.setTabEnabled(ConfigurationTab, false);
    f.quit.setEnabled(false);
    f.Command9.setEnabled(false);
    f.Command8.setEnabled(false);
    f.Command1.setEnabled(false);
}

void PasswordLock::UnlockConfiguration() {
    f.SSTab1.setTabEnabled(ConfigurationTab, true);
    f.quit.setEnabled(true);
    f.Command9.setEnabled(true);
    f.Command8.setEnabled(true);
    f.Command1.setEnabled(true);
}

bool PasswordLock::locked() const {
    return !f.quit.enabled();
}

void PasswordLock::Command18_Click() {
    // Takes effect for this run only; the box is stored when the configuration is saved.
    f.gPassword = f.TxtPass.text();
    if (!f.gPassword.isEmpty()) {
        LockConfiguration();
        f.SSTab1.setCurrent(0);
    } else {
        UnlockConfiguration();
    }
}

void PasswordLock::Mnu_MdP_Click() {
    // Cancel answers the empty text, which is the right entry when there is no password.
    const QString entry = f.platform().dialogs.input(
        QStringLiteral("Le mot de passe permet d'accéder à l'onglet configuration et "
                       "d'activer le menu <Quitter>.\rMot de passe S.V.P.?"),
        QStringLiteral("Entrez le mot de passe"), QString());
    if (entry == f.gPassword) {
        UnlockConfiguration();
        f.SSTab1.setCurrent(ConfigurationTab);
    } else {
        refuse();
    }
}

void PasswordLock::closeRequestWhileLocked() {
    const QString entry = f.platform().dialogs.input(
        QStringLiteral("Le mot de passe permet de quitter Tavrel.\rMot de passe S.V.P.?"),
        QStringLiteral("Entrez le mot de passe - Protection en cours"), QString());
    if (entry == f.gPassword)
        f.endNow(); // nothing is saved on this way out
    refuse();
}

void PasswordLock::refuse() {
    f.SSTab1.setCurrent(0);
    LockConfiguration();
    f.platform().dialogs.message(QStringLiteral("Mot de passe incorrect !!!"),
                                 platform::MessageButtons::Ok, platform::MessageIcon::Information,
                                 QStringLiteral("Mauvais mot de passe"));
}

} // namespace app
