#include "antispy/RegistrySearch.h"

#include "antispy/FileSearch.h"
#include "controls/ListView.h"

namespace antispy {

using platform::MessageButtons;
using platform::MessageIcon;

namespace {
const QString kRootName = QStringLiteral("HKEY_CLASSES_ROOT");
// Room for a key name, its terminating NUL included.
constexpr std::uint32_t kNameChars = 261;
} // namespace

RegistrySearch::RegistrySearch(platform::Platform& platform, Controls controls, FileSearch& files,
                               std::function<void(bool)> setBusy)
    : m_p(platform), m_c(controls), m_files(files), m_setBusy(std::move(setBusy)) {}

void RegistrySearch::run() {
    // Events run between entries: a second click must not empty the matches under the
    // running search.
    if (m_searching)
        return;
    m_searching = true;
    m_setBusy(true);
    m_matches.clear();
    try {
        for (int i = 0; i < m_c.names.count(); ++i) {
            m_p.processes.processEvents();
            if (i >= m_c.names.count())
                break;
            searchRoot(m_c.names.item(i));
        }
    } catch (...) {
        m_searching = false;
        throw;
    }
    m_searching = false;
    m_c.found.clear();
    m_files.forgetShownFiles();
    if (!m_matches.isEmpty()) {
        for (const QString& match : m_matches)
            m_c.found.addItem(match);
    } else {
        m_c.found.addItem(QStringLiteral("Pas d'entrée trouvée dans la base de registre en "
                                         "fonction du critère de recherche."));
    }
    m_setBusy(false);
}

void RegistrySearch::searchRoot(const QString& entry) {
    auto& registry = m_p.registry;
    platform::HKEY root = 0;
    const long opened =
        registry.openKey(platform::HKEY_CLASSES_ROOT, QString(), platform::KEY_READ, &root);
    if (opened != platform::ERROR_SUCCESS) {
        m_p.dialogs.message(registry.formatMessage(opened), MessageButtons::Ok, MessageIcon::None,
                            QStringLiteral("Erreur"));
        return;
    }
    searchKey(root, entry.toUpper(), QString());
    if (registry.closeKey(root) != platform::ERROR_SUCCESS)
        m_p.dialogs.message(QStringLiteral("Ne peut fermer la clé ou clé déjà fermée !"),
                            MessageButtons::Ok, MessageIcon::None, QString());
}

void RegistrySearch::searchKey(platform::HKEY key, const QString& searchText, const QString& path) {
    auto& registry = m_p.registry;
    for (std::uint32_t index = 0;; ++index) {
        QString name;
        // Any error ends this key's walk: normally the end of its subkeys.
        if (registry.enumKey(key, index, &name, kNameChars) != platform::ERROR_SUCCESS)
            return;
        const QString full = path.isEmpty() ? name : path + u'\\' + name;
        // An empty entry is contained in every name: it names nothing.
        if (!searchText.isEmpty() && name.toUpper().contains(searchText))
            m_matches.append(kRootName + u'\\' + full);
        platform::HKEY sub = 0;
        if (registry.openKey(platform::HKEY_CLASSES_ROOT, full, platform::KEY_READ, &sub) ==
            platform::ERROR_SUCCESS) {
            searchKey(sub, searchText, full);
            registry.closeKey(sub);
        }
    }
}

} // namespace antispy
