#include "antispy/RegistrySearch.h"

#include "antispy/FileSearch.h"
#include "app/FrmMain.h"

namespace antispy {

using platform::MessageButtons;
using platform::MessageIcon;

namespace {
const QString kRootName = QStringLiteral("HKEY_CLASSES_ROOT");
// Room for a key name, its terminating NUL included.
constexpr std::uint32_t kNameChars = 261;
} // namespace

RegistrySearch::RegistrySearch(app::FrmMain& form) : f(form) {
    f.registrySearchButton.setToolTip(
        QStringLiteral("Fonction future Recherche des Spywares dans la base de registre"));
    f.registrySearchButton.onClick = [this] { cmdCheckUp_Click(); };
}

void RegistrySearch::cmdCheckUp_Click() {
    // Events run between entries: a second click must not empty the matches under the
    // running search.
    if (m_searching)
        return;
    m_searching = true;
    f.setBusy(true);
    RegistryMatches.clear();
    try {
        for (int i = 0; i < f.spyNameList.count(); ++i) {
            f.platform().processes.processEvents();
            if (i >= f.spyNameList.count())
                break;
            SearchRegistry(f.spyNameList.item(i));
        }
    } catch (...) {
        m_searching = false;
        f.setBusy(false);
        throw;
    }
    m_searching = false;
    f.foundFileList.clear();
    f.fileSearch().forgetShownFiles();
    if (!RegistryMatches.isEmpty()) {
        for (const QString& match : RegistryMatches)
            f.foundFileList.addItem(match);
    } else {
        f.foundFileList.addItem(QStringLiteral("Pas d'entrée trouvée dans la base de registre en "
                                               "fonction du critère de recherche."));
    }
    f.setBusy(false);
}

void RegistrySearch::SearchRegistry(const QString& entry) {
    auto& registry = f.platform().registry;
    platform::HKEY root = 0;
    const long opened =
        registry.openKey(platform::HKEY_CLASSES_ROOT, QString(), platform::KEY_READ, &root);
    if (opened != platform::ERROR_SUCCESS) {
        f.platform().dialogs.message(registry.formatMessage(opened), MessageButtons::Ok,
                                     MessageIcon::None, QStringLiteral("Erreur"));
        return;
    }
    SearchRegistryKey(root, entry.toUpper(), QString());
    if (registry.closeKey(root) != platform::ERROR_SUCCESS)
        f.platform().dialogs.message(QStringLiteral("Ne peut fermer la clé ou clé déjà fermée !"),
                                     MessageButtons::Ok, MessageIcon::None, QString());
}

void RegistrySearch::SearchRegistryKey(platform::HKEY key, const QString& searchText,
                                       const QString& path) {
    auto& registry = f.platform().registry;
    for (std::uint32_t index = 0;; ++index) {
        QString name;
        // Any error ends this key's walk: normally the end of its subkeys.
        if (registry.enumKey(key, index, &name, kNameChars) != platform::ERROR_SUCCESS)
            return;
        const QString full = path.isEmpty() ? name : path + u'\\' + name;
        // An empty entry is contained in every name: it names nothing.
        if (!searchText.isEmpty() && name.toUpper().contains(searchText))
            RegistryMatches.append(kRootName + u'\\' + full);
        platform::HKEY sub = 0;
        if (registry.openKey(platform::HKEY_CLASSES_ROOT, full, platform::KEY_READ, &sub) ==
            platform::ERROR_SUCCESS) {
            SearchRegistryKey(sub, searchText, full);
            registry.closeKey(sub);
        }
    }
}

} // namespace antispy
