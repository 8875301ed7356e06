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
    f.chkRecurse.setToolTip(
        QStringLiteral("Recherche des Spywares dans tous les sous dossiers (Recommandé)"));
    f.chkRecurse.setValue(1);
    f.cmdFind.setToolTip(
        QStringLiteral("Recherche des fichier Spywares dans le dossier sélectionné"));
    f.Command22.setToolTip(QStringLiteral("Arrêt de la recherche"));
    f.Command22.setEnabled(false);
    f.lstFiles.setMultiSelect(true);
    f.cmdSelAll.setToolTip(QStringLiteral("Selection de tous les fichiers dans la liste."));
    f.cmdDeSelAll.setToolTip(QStringLiteral("Désélectionne tous les fichies de la liste."));
    f.cmdDelete.setToolTip(
        QStringLiteral("Suppression des fichiers sélectionnés de votre ordinateur."));
    f.drvStart.setDrives(f.platform().files.volumes());

    f.cmdFind.onClick = [this] { cmdFind_Click(); };
    f.Command22.onClick = [this] { Command22_Click(); };
    f.cmdSelAll.onClick = [this] { cmdSelAll_Click(); };
    f.cmdDeSelAll.onClick = [this] { cmdDeSelAll_Click(); };
    f.cmdDelete.onClick = [this] { cmdDelete_Click(); };
    f.drvStart.onChange = [this] { drvStart_Change(); };
    f.dirStart.onChange = [this] { dirStart_Change(); };
}

void FileSearch::setStartFolderToRoot() {
    const QString root = QStringLiteral("/");
    f.drvStart.setCurrentIndex(f.drvStart.indexOf(root));
    if (f.dirStart.path() == root)
        showFolders();
    else
        f.dirStart.setPath(root);
}

void FileSearch::showFolders() {
    auto& files = f.platform().files;
    const QString path = f.dirStart.path();
    QStringList folders;
    if (const auto listing = files.list(path)) {
        const QString prefix = path == u'/' ? QString() : path;
        for (const platform::DirEntry& e : *listing) {
            const platform::FileAttributes a = files.attributes(prefix + u'/' + e.name);
            if (a.exists && a.directory && !a.hidden && !a.system)
                folders.append(e.name);
        }
    }
    f.dirStart.setFolders(folders);
}

void FileSearch::dirStart_Change() {
    showFolders();
}

void FileSearch::drvStart_Change() {
    const QString drive = f.drvStart.currentDrive();
    if (!f.platform().files.list(drive)) {
        // A drive that cannot be read changes nothing: the list goes back to the drive of
        // the current folder.
        int back = -1;
        for (int i = 0; i < f.drvStart.drives().size(); ++i) {
            const QString d = f.drvStart.drives().at(i);
            const QString prefix = d.endsWith(u'/') ? d : d + u'/';
            if ((f.dirStart.path() == d || f.dirStart.path().startsWith(prefix)) &&
                (back < 0 || d.size() > f.drvStart.drives().at(back).size()))
                back = i;
        }
        f.drvStart.setCurrentIndex(back);
        return;
    }
    f.dirStart.setPath(drive);
}

void FileSearch::cmdFind_Click() {
    // A second start while a search runs would empty the results under the running one.
    if (m_searching)
        return;
    if (!f.Command22.enabled())
        SearchStopped = false;
    f.setBusy(true);
    if (f.lstFilters.count() == 0) {
        f.setBusy(false);
        f.platform().dialogs.message(
            QStringLiteral("Une liste de Spywares connus est obligatoire.\rRecherche abandonée"),
            MessageButtons::Ok, MessageIcon::None, QString());
        return;
    }
    SearchStopped = false;
    f.Command22.setEnabled(true);
    const bool recurse = f.chkRecurse.value() == 1;
    FoundFiles.clear();
    m_foundReal.clear();
    QString start = f.dirStart.path();
    if (start.endsWith(u'/'))
        start.chop(1);

    std::vector<Entry> entries;
    entries.reserve(f.lstFilters.count());
    for (const QString& item : f.lstFilters.items())
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
    ShowFoundFiles(f.lstFiles);
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
        f.Sb.setSimpleText(QStringLiteral("Recherche : ") + shownDir);
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
    if (&list == &f.lstFiles)
        m_shownReal = m_foundReal;
    if (!FoundFiles.isEmpty())
        f.Sb.setSimpleText(QStringLiteral("Fichiers trouvés : ") + QString::number(list.count()));
    else
        f.Sb.setSimpleText(
            QStringLiteral("Pas de fichiers trouvés à partir du masque de sélection."));
}

void FileSearch::forgetShownFiles() {
    m_shownReal.clear();
}

void FileSearch::Command22_Click() {
    SearchStopped = true;
    f.Command22.setEnabled(false);
}

void FileSearch::cmdSelAll_Click() {
    for (int i = 0; i < f.lstFiles.count(); ++i)
        f.lstFiles.setSelected(i, true);
}

void FileSearch::cmdDeSelAll_Click() {
    for (int i = 0; i < f.lstFiles.count(); ++i)
        f.lstFiles.setSelected(i, false);
}

void FileSearch::cmdDelete_Click() {
    auto& list = f.lstFiles;
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
