#include "app/PasswordLock.h"

#include "app/MainForm.h"

namespace app {

namespace {
constexpr int ConfigurationTab = 2;
} // namespace

PasswordLock::PasswordLock(MainForm& form, platform::Dialogs& dialogs,
                           std::function<void()> endProgram)
    : f(form), m_dialogs(dialogs), m_endProgram(std::move(endProgram)) {}

void PasswordLock::lock() {
    f.tabs.setTabEnabled(ConfigurationTab, false);
    f.quitMenuItem.setEnabled(false);
    f.quitButton.setEnabled(false);
    f.deleteKeywordButton.setEnabled(false);
    f.reopenUrlButton.setEnabled(false);
}

void PasswordLock::unlock() {
    f.tabs.setTabEnabled(ConfigurationTab, true);
    f.quitMenuItem.setEnabled(true);
    f.quitButton.setEnabled(true);
    f.deleteKeywordButton.setEnabled(true);
    f.reopenUrlButton.setEnabled(true);
}

bool PasswordLock::locked() const {
    return !f.quitMenuItem.enabled();
}

void PasswordLock::takePasswordFromBox() {
    // Takes effect for this run only; the box is stored when the configuration is saved.
    m_password = f.passwordBox.text();
    if (!m_password.isEmpty()) {
        lock();
        f.tabs.setCurrent(0);
    } else {
        unlock();
    }
}

void PasswordLock::askToUnlock() {
    // Cancel answers the empty text, which is the right entry when there is no password.
    const QString entry = m_dialogs.input(
        QStringLiteral("Le mot de passe permet d'accéder à l'onglet configuration et "
                       "d'activer le menu <Quitter>.\rMot de passe S.V.P.?"),
        QStringLiteral("Entrez le mot de passe"), QString());
    if (entry == m_password) {
        unlock();
        f.tabs.setCurrent(ConfigurationTab);
    } else {
        refuse();
    }
}

void PasswordLock::closeRequestWhileLocked() {
    const QString entry = m_dialogs.input(
        QStringLiteral("Le mot de passe permet de quitter Tavrel.\rMot de passe S.V.P.?"),
        QStringLiteral("Entrez le mot de passe - Protection en cours"), QString());
    if (entry == m_password)
        m_endProgram(); // nothing is saved on this way out
    refuse();
}

void PasswordLock::refuse() {
    f.tabs.setCurrent(0);
    lock();
    m_dialogs.message(QStringLiteral("Mot de passe incorrect !!!"), platform::MessageButtons::Ok,
                      platform::MessageIcon::Information, QStringLiteral("Mauvais mot de passe"));
}

} // namespace app
