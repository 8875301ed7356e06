#include "antispy/FileSearch.h"

#include "controls/FolderList.h"
#include "controls/ListView.h"
#include "controls/Simple.h"

#include <QSet>
#include <optional>

namespace antispy {

using platform::MessageButtons;
using platform::MessageIcon;

FileSearch::FileSearch(platform::Platform& platform, Controls controls,
                       std::function<void(bool)> setBusy)
    : m_p(platform), m_c(controls), m_setBusy(std::move(setBusy)) {}

void FileSearch::setStartFolderToRoot() {
    m_c.drives.setDrives(m_p.files.volumes());
    const QString root = QStringLiteral("/");
    m_c.drives.setCurrentIndex(m_c.drives.indexOf(root));
    if (m_c.folders.path() == root)
        showFolders();
    else
        m_c.folders.setPath(root);
}

void FileSearch::showFolders() {
    auto& files = m_p.files;
    const QString path = m_c.folders.path();
    QStringList folders;
    if (const auto listing = files.list(path)) {
        const QString prefix = path == u'/' ? QString() : path;
        for (const platform::DirEntry& e : *listing) {
            const platform::FileAttributes a = files.attributes(prefix + u'/' + e.name);
            if (a.exists && a.directory && !a.hidden && !a.system)
                folders.append(e.name);
        }
    }
    m_c.folders.setFolders(folders);
}

void FileSearch::folderChanged() {
    showFolders();
}

void FileSearch::driveChanged() {
    const QString drive = m_c.drives.currentDrive();
    if (!m_p.files.list(drive)) {
        // A drive that cannot be read changes nothing: the list goes back to the drive of
        // the current folder.
        int back = -1;
        for (int i = 0; i < m_c.drives.drives().size(); ++i) {
            const QString d = m_c.drives.drives().at(i);
            const QString prefix = d.endsWith(u'/') ? d : d + u'/';
            if ((m_c.folders.path() == d || m_c.folders.path().startsWith(prefix)) &&
                (back < 0 || d.size() > m_c.drives.drives().at(back).size()))
                back = i;
        }
        m_c.drives.setCurrentIndex(back);
        return;
    }
    m_c.folders.setPath(drive);
}

void FileSearch::find() {
    // A second start while a search runs would empty the results under the running one.
    if (m_searching)
        return;
    if (!m_c.stopButton.enabled())
        m_stopRequested = false;
    m_setBusy(true);
    if (m_c.names.count() == 0) {
        m_setBusy(false);
        m_p.dialogs.message(
            QStringLiteral("Une liste de Spywares connus est obligatoire.\rRecherche abandonée"),
            MessageButtons::Ok, MessageIcon::None, QString());
        return;
    }
    m_stopRequested = false;
    m_c.stopButton.setEnabled(true);
    const bool recurse = m_c.recurse.value() == 1;
    m_found.clear();
    m_foundFiles.clear();
    QString start = m_c.folders.path();
    if (start.endsWith(u'/'))
        start.chop(1);

    std::vector<Entry> entries;
    entries.reserve(m_c.names.count());
    for (const QString& item : m_c.names.items())
        entries.push_back(Entry{platform::NamePattern(item), {}, {}});
    m_searching = true;
    try {
        searchFolder(recurse, start.toUtf8(), entries);
    } catch (...) {
        m_searching = false;
        throw;
    }
    m_searching = false;
    for (const Entry& e : entries) {
        m_found += e.shown;
        m_foundFiles.insert(m_foundFiles.end(), e.found.begin(), e.found.end());
    }
    showFoundFiles();
    m_setBusy(false);
}

void FileSearch::searchFolder(bool recurse, const QByteArray& folder, std::vector<Entry>& entries) {
    auto& files = m_p.files;
    auto& processes = m_p.processes;
    // Depth first, one subtree after the other: a folder's own files come before those of
    // its subfolders, which follow in listing order. The root is "" so that paths below it
    // get a single "/". Paths are kept as the system gives them (bytes), so that a name that
    // is not UTF-8 leads back to its own file; they are shown with U+FFFD.
    std::vector<QByteArray> pending{folder};
    while (!pending.empty()) {
        const QByteArray dir = pending.back();
        pending.pop_back();
        const QString shownDir = dir.isEmpty() ? QStringLiteral("/") : platform::shownName(dir);
        m_c.status.setSimpleText(QStringLiteral("Recherche : ") + shownDir);
        int error = platform::FileError::None;
        // Each entry is looked at once, as the listing tells what it is; only a name that
        // matches is examined (what the file is, for its safe deletion; where a link leads).
        const auto listing = files.listKinds(dir.isEmpty() ? QByteArray("/") : dir, &error);
        if (!listing) {
            m_p.dialogs.message(
                QString::number(error) + QStringLiteral(" -- ") + platform::fileErrorText(error),
                MessageButtons::Ok, MessageIcon::Critical, QStringLiteral("DirUdevuzu"));
            continue;
        }
        const QString shownPrefix = dir.isEmpty() ? QString() : shownDir;
        std::vector<QByteArray> subfolders;
        for (const platform::DirEntry& e : *listing) {
            processes.processEvents();
            if (m_stopRequested)
                return;
            if (e.hidden || e.system)
                continue;
            if (e.directory) {
                // A link to a folder is never followed: it could lead out of the tree or
                // round in a loop.
                if (recurse && !e.symlink)
                    subfolders.push_back(dir + '/' + e.rawName);
                continue;
            }
            const QString folded = platform::NamePattern::fold(e.name);
            QString shown;
            QByteArray path;
            std::optional<platform::DirEntry> examined;
            for (Entry& entry : entries) {
                if (!entry.pattern.matchesFolded(folded))
                    continue;
                if (shown.isEmpty()) {
                    path = dir + '/' + e.rawName;
                    examined = files.entry(path);
                    // Gone meanwhile, or a link to a folder or to nothing: not a file.
                    if (!examined || examined->directory || examined->system)
                        break;
                    shown = shownPrefix + u'/' + e.name.toUpper();
                }
                entry.shown.append(shown);
                entry.found.push_back({path, examined->id});
            }
        }
        for (auto it = subfolders.crbegin(); it != subfolders.crend(); ++it)
            pending.push_back(*it);
    }
}

void FileSearch::showFoundFiles() {
    m_c.found.clear();
    for (const QString& path : std::as_const(m_found))
        m_c.found.addItem(path);
    m_shownFiles = m_foundFiles;
    if (!m_found.isEmpty())
        m_c.status.setSimpleText(QStringLiteral("Fichiers trouvés : ") +
                                 QString::number(m_c.found.count()));
    else
        m_c.status.setSimpleText(
            QStringLiteral("Pas de fichiers trouvés à partir du masque de sélection."));
}

void FileSearch::forgetShownFiles() {
    m_shownFiles.clear();
}

void FileSearch::stop() {
    m_stopRequested = true;
    m_c.stopButton.setEnabled(false);
}

void FileSearch::selectAll() {
    for (int i = 0; i < m_c.found.count(); ++i)
        m_c.found.setSelected(i, true);
}

void FileSearch::deselectAll() {
    for (int i = 0; i < m_c.found.count(); ++i)
        m_c.found.setSelected(i, false);
}

void FileSearch::deleteSelected() {
    auto& list = m_c.found;
    auto& dialogs = m_p.dialogs;
    if (list.firstSelected() < 0) {
        dialogs.message(QStringLiteral("Vous devez sélectionner un fichier pour le supprimer."),
                        MessageButtons::Ok, MessageIcon::None, QString());
        return;
    }
    auto& files = m_p.files;
    const bool searchResults = m_shownFiles.size() == std::size_t(list.count());
    // A file found by two entries is listed twice: once deleted, it counts as deleted.
    QSet<QByteArray> deleted;
    for (int i = 0; i < list.count(); ++i) {
        if (!list.isSelected(i))
            continue;
        // The file deleted is the one found, by its own name and only while it is what the
        // search saw: never another file whose name shows alike (the list shows names in
        // upper case, and bytes that are not UTF-8 as U+FFFD), nor a file that a link put on
        // the way since.
        int error = platform::FileError::FileNotFound; // a registry key names no file
        if (searchResults) {
            const Found& found = m_shownFiles.at(std::size_t(i));
            if (deleted.contains(found.path))
                continue;
            error = files.removeListed(found.path, found.id);
            if (error == platform::FileError::None)
                deleted.insert(found.path);
        }
        if (error != platform::FileError::None) {
            if (error == platform::FileError::PathFileAccess)
                dialogs.message(
                    QStringLiteral(
                        "Erreur '75' : supprimer l'attribut <Lecture seule> du fichier."),
                    MessageButtons::Ok, MessageIcon::None, QString());
            else
                dialogs.message(QStringLiteral("Erreur '%1' : Erreur pendant la suppression du "
                                               "fichier.")
                                    .arg(error),
                                MessageButtons::Ok, MessageIcon::None, QString());
            return;
        }
    }
    for (int i = list.count() - 1; i >= 0; --i) {
        if (!list.isSelected(i))
            continue;
        list.removeItem(i);
        if (searchResults)
            m_shownFiles.erase(m_shownFiles.begin() + i);
    }
}

} // namespace antispy
