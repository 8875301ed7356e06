#include "antispy/FileSearch.h"

#include "controls/FolderList.h"
#include "controls/ListView.h"
#include "controls/Simple.h"

#include <QSet>

namespace antispy {

using platform::MessageButtons;
using platform::MessageIcon;

QString fileErrorDescription(int number) {
    namespace E = platform::FileError;
    switch (number) {
    case E::BadFileName:
        return QStringLiteral("Nom ou numéro de fichier incorrect");
    case E::FileNotFound:
        return QStringLiteral("Fichier introuvable");
    case E::DeviceIO:
        return QStringLiteral("Erreur d'entrée/sortie sur périphérique");
    case E::PermissionDenied:
        return QStringLiteral("Permission refusée");
    case E::PathFileAccess:
        return QStringLiteral("Erreur d'accès au chemin/fichier");
    case E::PathNotFound:
        return QStringLiteral("Chemin d'accès introuvable");
    default:
        return QStringLiteral("Erreur définie par l'application ou par l'objet");
    }
}

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
    m_foundReal.clear();
    QString start = m_c.folders.path();
    if (start.endsWith(u'/'))
        start.chop(1);

    std::vector<Entry> entries;
    entries.reserve(m_c.names.count());
    for (const QString& item : m_c.names.items())
        entries.push_back(Entry{platform::NamePattern(item), {}, {}});
    m_searching = true;
    try {
        searchFolder(recurse, start, entries);
    } catch (...) {
        m_searching = false;
        throw;
    }
    m_searching = false;
    for (const Entry& e : entries) {
        m_found += e.shown;
        m_foundReal += e.real;
    }
    showFoundFiles();
    m_setBusy(false);
}

void FileSearch::searchFolder(bool recurse, const QString& folder, std::vector<Entry>& entries) {
    auto& files = m_p.files;
    auto& processes = m_p.processes;
    // Depth first, one subtree after the other: a folder's own files come before those of
    // its subfolders, which follow in listing order. The root is "" so that paths below it
    // get a single "/".
    std::vector<QString> pending{folder};
    while (!pending.empty()) {
        const QString dir = pending.back();
        pending.pop_back();
        const QString shownDir = dir.isEmpty() ? QStringLiteral("/") : dir;
        m_c.status.setSimpleText(QStringLiteral("Recherche : ") + shownDir);
        int error = platform::FileError::None;
        const auto listing = files.list(shownDir, &error);
        if (!listing) {
            m_p.dialogs.message(
                QString::number(error) + QStringLiteral(" -- ") + fileErrorDescription(error),
                MessageButtons::Ok, MessageIcon::Critical, QStringLiteral("DirUdevuzu"));
            continue;
        }
        QStringList subfolders;
        for (const platform::DirEntry& e : *listing) {
            processes.processEvents();
            if (m_stopRequested)
                return;
            const QString path = dir + u'/' + e.name;
            const platform::FileAttributes a = files.attributes(path);
            if (!a.exists || a.hidden || a.system)
                continue;
            if (a.directory) {
                // A link to a folder is never followed: it could lead out of the tree or
                // round in a loop.
                if (recurse && !e.symlink && !a.symlink)
                    subfolders.append(path);
                continue;
            }
            const QString folded = platform::NamePattern::fold(e.name);
            QString shown;
            for (Entry& entry : entries) {
                if (!entry.pattern.matchesFolded(folded))
                    continue;
                if (shown.isEmpty())
                    shown = dir + u'/' + e.name.toUpper();
                entry.shown.append(shown);
                entry.real.append(path);
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
    m_shownReal = m_foundReal;
    if (!m_found.isEmpty())
        m_c.status.setSimpleText(QStringLiteral("Fichiers trouvés : ") +
                                 QString::number(m_c.found.count()));
    else
        m_c.status.setSimpleText(
            QStringLiteral("Pas de fichiers trouvés à partir du masque de sélection."));
}

void FileSearch::forgetShownFiles() {
    m_shownReal.clear();
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
    const bool searchResults = m_shownReal.size() == list.count();
    // A file found by two entries is listed twice: once deleted, it counts as deleted.
    QSet<QString> deleted;
    for (int i = 0; i < list.count(); ++i) {
        if (!list.isSelected(i))
            continue;
        // The list shows names in upper case; the file deleted is the one found, never
        // another file whose name differs only in case.
        const QString path = searchResults ? m_shownReal.at(i) : list.item(i);
        if (deleted.contains(path))
            continue;
        // A line that is no absolute path (a registry key) names no file here.
        const int error =
            path.startsWith(u'/') ? files.remove(path) : platform::FileError::FileNotFound;
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
        deleted.insert(path);
    }
    for (int i = list.count() - 1; i >= 0; --i) {
        if (!list.isSelected(i))
            continue;
        list.removeItem(i);
        if (searchResults)
            m_shownReal.removeAt(i);
    }
}

} // namespace antispy
