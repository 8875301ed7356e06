#pragma once

#include "platform/Registry.h"

#include <QStringList>

namespace app {
class FrmMain;
}

namespace antispy {

// The search of the class registry for key names holding a known spyware name. Nothing in
// the registry is changed.
class RegistrySearch {
public:
    explicit RegistrySearch(app::FrmMain& f);

    void cmdCheckUp_Click();
    /// Walks HKEY_CLASSES_ROOT for one list entry.
    void SearchRegistry(const QString& entry);
    /// Walks the subkeys of an open key, depth first; `path` is the key's path below the
    /// root, empty for the root itself.
    void SearchRegistryKey(platform::HKEY key, const QString& searchText, const QString& path);

    /// The key paths found by the last search, in the order found.
    QStringList RegistryMatches;

private:
    app::FrmMain& f;
    bool m_searching = false;
};

} // namespace antispy
