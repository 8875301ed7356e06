#include "app/PasswordLock.h"

#include "app/FrmMain.h"

namespace app {

namespace {
constexpr int ConfigurationTab = 2;
} // namespace

PasswordLock::PasswordLock(FrmMain& form) : f(form) {
    f.setPasswordButton.onClick = [this] { Command18_Click(); };
    f.passwordMenuItem.onClick = [this] { Mnu_MdP_Click(); };
}

void PasswordLock::LockConfiguration() {
    f.tabs.setTabEnabled(ConfigurationTab, false);
    f.quitMenuItem.setEnabled(false);
    f.quitButton.setEnabled(false);
    f.deleteKeywordButton.setEnabled(false);
    f.reopenUrlButton.setEnabled(false);
}

void PasswordLock::UnlockConfiguration() {
    f.tabs.setTabEnabled(ConfigurationTab, true);
    f.quitMenuItem.setEnabled(true);
    f.quitButton.setEnabled(true);
    f.deleteKeywordButton.setEnabled(true);
    f.reopenUrlButton.setEnabled(true);
}

bool PasswordLock::locked() const {
    return !f.quitMenuItem.enabled();
}

void PasswordLock::Command18_Click() {
    // Takes effect for this run only; the box is stored when the configuration is saved.
    f.gPassword = f.passwordBox.text();
    if (!f.gPassword.isEmpty()) {
        LockConfiguration();
        f.tabs.setCurrent(0);
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
        f.tabs.setCurrent(ConfigurationTab);
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
    f.tabs.setCurrent(0);
    LockConfiguration();
    f.platform().dialogs.message(QStringLiteral("Mot de passe incorrect !!!"),
                                 platform::MessageButtons::Ok, platform::MessageIcon::Information,
                                 QStringLiteral("Mauvais mot de passe"));
}

} // namespace app
