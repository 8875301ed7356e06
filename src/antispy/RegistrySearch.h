#pragma once

#include "platform/Platform.h"

#include <QStringList>
#include <functional>

namespace controls {
class ListBox;
}

namespace antispy {

class FileSearch;

// The search of the class registry for key names holding a known spyware name. Nothing in
// the registry is changed.
class RegistrySearch {
public:
    struct Controls {
        controls::ListBox& names;
        controls::ListBox& found;
    };

    /// The matches are shown in the found-file list, which then no longer shows `files`'s
    /// results; `setBusy` shows that the program is busy or no longer is.
    RegistrySearch(platform::Platform& platform, Controls controls, FileSearch& files,
                   std::function<void(bool)> setBusy);

    /// Searches the class registry for every listed name and shows the keys found.
    void run();
    /// The key paths found by the last search, in the order found.
    const QStringList& matches() const { return m_matches; }

private:
    /// Walks HKEY_CLASSES_ROOT for one list entry.
    void searchRoot(const QString& entry);
    /// Walks the subkeys of an open key, depth first; `path` is the key's path below the
    /// root, empty for the root itself.
    void searchKey(platform::HKEY key, const QString& searchText, const QString& path);

    platform::Platform& m_p;
    Controls m_c;
    FileSearch& m_files;
    std::function<void(bool)> m_setBusy;
    QStringList m_matches;
    bool m_searching = false;
};

} // namespace antispy
