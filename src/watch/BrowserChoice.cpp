#include "watch/BrowserChoice.h"

#include "controls/Simple.h"

namespace watch {

BrowserChoice::BrowserChoice(platform::BrowserShell& shell, controls::ComboBox& box,
                             controls::CheckBox& ownProfile)
    : m_shell(shell), m_box(box), m_ownProfile(ownProfile) {}

bool BrowserChoice::load(const QString& storedId, int ownProfile) {
    m_loading = true;
    m_stored = storedId;
    m_products = m_shell.browsersFound();
    m_box.clear();
    int chosen = -1;
    int fallback = -1;
    const QString byDefault = m_shell.defaultBrowser();
    for (int i = 0; i < m_products.size(); ++i) {
        m_box.addItem(m_products.at(i).name);
        if (m_products.at(i).id == storedId)
            chosen = i;
        if (m_products.at(i).id == byDefault)
            fallback = i;
    }
    const bool found = chosen >= 0 || storedId.isEmpty();
    if (chosen < 0)
        chosen = fallback >= 0 ? fallback : (m_products.isEmpty() ? -1 : 0);
    m_box.setCurrentIndex(chosen);
    m_ownProfile.setValue(ownProfile == 1 ? 1 : 0);

    const platform::BrowserOverrides fixed = m_shell.overrides();
    const QString why = QStringLiteral("Choisi par la ligne de commande ou l'environnement de "
                                       "Tavrel");
    m_box.setEnabled(!fixed.browser && !m_products.isEmpty());
    if (fixed.browser)
        m_box.setToolTip(why);
    m_ownProfile.setEnabled(!fixed.profile);
    if (fixed.profile)
        m_ownProfile.setToolTip(why);
    m_loading = false;
    apply();
    return found;
}

QString BrowserChoice::chosenId() const {
    const int i = m_box.currentIndex();
    if (i < 0 || i >= m_products.size())
        return m_stored;
    return m_products.at(i).id;
}

void BrowserChoice::boxChanged() {
    apply();
}

void BrowserChoice::switchChanged() {
    apply();
}

void BrowserChoice::apply() {
    if (m_loading)
        return;
    m_shell.choose(chosenId(), m_ownProfile.value() == 1);
}

} // namespace watch
