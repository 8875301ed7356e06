#include "antispy/FileSearch.h"

#include "app/FrmMain.h"

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

FileSearch::FileSearch(app::FrmMain& form) : f(form) {
    f.recurseSwitch.setToolTip(
        QStringLiteral("Recherche des Spywares dans tous les sous dossiers (Recommandé)"));
    f.recurseSwitch.setValue(1);
    f.findSpywareButton.setToolTip(
        QStringLiteral("Recherche des fichier Spywares dans le dossier sélectionné"));
    f.stopSearchButton.setToolTip(QStringLiteral("Arrêt de la recherche"));
    f.stopSearchButton.setEnabled(false);
    f.foundFileList.setMultiSelect(true);
    f.selectAllFoundButton.setToolTip(
        QStringLiteral("Selection de tous les fichiers dans la liste."));
    f.deselectAllFoundButton.setToolTip(
        QStringLiteral("Désélectionne tous les fichies de la liste."));
    f.deleteFoundButton.setToolTip(
        QStringLiteral("Suppression des fichiers sélectionnés de votre ordinateur."));
    f.driveList.setDrives(f.platform().files.volumes());

    f.findSpywareButton.onClick = [this] { cmdFind_Click(); };
    f.stopSearchButton.onClick = [this] { Command22_Click(); };
    f.selectAllFoundButton.onClick = [this] { cmdSelAll_Click(); };
    f.deselectAllFoundButton.onClick = [this] { cmdDeSelAll_Click(); };
    f.deleteFoundButton.onClick = [this] { cmdDelete_Click(); };
    f.driveList.onChange = [this] { drvStart_Change(); };
    f.folderList.onChange = [this] { dirStart_Change(); };
}

void FileSearch::setStartFolderToRoot() {
    const QString root = QStringLiteral("/");
    f.driveList.setCurrentIndex(f.driveList.indexOf(root));
    if (f.folderList.path() == root)
        showFolders();
    else
        f.folderList.setPath(root);
}

void FileSearch::showFolders() {
    auto& files = f.platform().files;
    const QString path = f.folderList.path();
    QStringList folders;
    if (const auto listing = files.list(path)) {
        const QString prefix = path == u'/' ? QString() : path;
        for (const platform::DirEntry& e : *listing) {
            const platform::FileAttributes a = files.attributes(prefix + u'/' + e.name);
            if (a.exists && a.directory && !a.hidden && !a.system)
                folders.append(e.name);
        }
    }
    f.folderList.setFolders(folders);
}

void FileSearch::dirStart_Change() {
    showFolders();
}

void FileSearch::drvStart_Change() {
    const QString drive = f.driveList.currentDrive();
    if (!f.platform().files.list(drive)) {
        // A drive that cannot be read changes nothing: the list goes back to the drive of
        // the current folder.
        int back = -1;
        for (int i = 0; i < f.driveList.drives().size(); ++i) {
            const QString d = f.driveList.drives().at(i);
            const QString prefix = d.endsWith(u'/') ? d : d + u'/';
            if ((f.folderList.path() == d || f.folderList.path().startsWith(prefix)) &&
                (back < 0 || d.size() > f.driveList.drives().at(back).size()))
                back = i;
        }
        f.driveList.setCurrentIndex(back);
        return;
    }
    f.folderList.setPath(drive);
}

void FileSearch::cmdFind_Click() {
    // A second start while a search runs would empty the results under the running one.
    if (m_searching)
        return;
    if (!f.stopSearchButton.enabled())
        SearchStopped = false;
    f.setBusy(true);
    if (f.spyNameList.count() == 0) {
        f.setBusy(false);
        f.platform().dialogs.message(
            QStringLiteral("Une liste de Spywares connus est obligatoire.\rRecherche abandonée"),
            MessageButtons::Ok, MessageIcon::None, QString());
        return;
    }
    SearchStopped = false;
    f.stopSearchButton.setEnabled(true);
    const bool recurse = f.recurseSwitch.value() == 1;
    FoundFiles.clear();
    m_foundReal.clear();
    QString start = f.folderList.path();
    if (start.endsWith(u'/'))
        start.chop(1);

    std::vector<Entry> entries;
    entries.reserve(f.spyNameList.count());
    for (const QString& item : f.spyNameList.items())
        entries.push_back(Entry{platform::NamePattern(item), {}, {}});
    m_searching = true;
    try {
        SearchFolder(recurse, start, entries);
    } catch (...) {
        m_searching = false;
        f.setBusy(false);
        throw;
    }
    m_searching = false;
    for (const Entry& e : entries) {
        FoundFiles += e.shown;
        m_foundReal += e.real;
    }
    ShowFoundFiles(f.foundFileList);
    f.setBusy(false);
}

void FileSearch::SearchFolder(bool recurse, const QString& folder, std::vector<Entry>& entries) {
    auto& files = f.platform().files;
    auto& processes = f.platform().processes;
    // Depth first, one subtree after the other: a folder's own files come before those of
    // its subfolders, which follow in listing order. The root is "" so that paths below it
    // get a single "/".
    std::vector<QString> pending{folder};
    while (!pending.empty()) {
        const QString dir = pending.back();
        pending.pop_back();
        const QString shownDir = dir.isEmpty() ? QStringLiteral("/") : dir;
        f.statusBar.setSimpleText(QStringLiteral("Recherche : ") + shownDir);
        int error = platform::FileError::None;
        const auto listing = files.list(shownDir, &error);
        if (!listing) {
            f.platform().dialogs.message(
                QString::number(error) + QStringLiteral(" -- ") + fileErrorDescription(error),
                MessageButtons::Ok, MessageIcon::Critical, QStringLiteral("DirUdevuzu"));
            continue;
        }
        QStringList subfolders;
        for (const platform::DirEntry& e : *listing) {
            processes.processEvents();
            if (SearchStopped)
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

void FileSearch::ShowFoundFiles(controls::ListBox& list) {
    list.clear();
    for (const QString& path : FoundFiles)
        list.addItem(path);
    if (&list == &f.foundFileList)
        m_shownReal = m_foundReal;
    if (!FoundFiles.isEmpty())
        f.statusBar.setSimpleText(QStringLiteral("Fichiers trouvés : ") +
                                  QString::number(list.count()));
    else
        f.statusBar.setSimpleText(
            QStringLiteral("Pas de fichiers trouvés à partir du masque de sélection."));
}

void FileSearch::forgetShownFiles() {
    m_shownReal.clear();
}

void FileSearch::Command22_Click() {
    SearchStopped = true;
    f.stopSearchButton.setEnabled(false);
}

void FileSearch::cmdSelAll_Click() {
    for (int i = 0; i < f.foundFileList.count(); ++i)
        f.foundFileList.setSelected(i, true);
}

void FileSearch::cmdDeSelAll_Click() {
    for (int i = 0; i < f.foundFileList.count(); ++i)
        f.foundFileList.setSelected(i, false);
}

void FileSearch::cmdDelete_Click() {
    auto& list = f.foundFileList;
    auto& dialogs = f.platform().dialogs;
    if (list.firstSelected() < 0) {
        dialogs.message(QStringLiteral("Vous devez sélectionner un fichier pour le supprimer."),
                        MessageButtons::Ok, MessageIcon::None, QString());
        return;
    }
    auto& files = f.platform().files;
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
