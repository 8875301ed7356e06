#include "controls/FolderList.h"

namespace controls {

namespace {
QString tidy(QString path) {
    while (path.size() > 1 && path.endsWith(u'/'))
        path.chop(1);
    return path.isEmpty() ? QStringLiteral("/") : path;
}
} // namespace

void FolderList::setPath(const QString& path) {
    const QString p = tidy(path);
    if (p == m_path)
        return;
    m_path = p;
    m_folders.clear();
    emit changed();
    if (onChange)
        onChange();
}

void FolderList::setFolders(const QStringList& folders) {
    if (folders == m_folders)
        return;
    m_folders = folders;
    emit changed();
}

void FolderList::openFolder(int i) {
    if (!enabled() || i < 0 || i >= m_folders.size())
        return;
    setPath((m_path == u'/' ? QString() : m_path) + u'/' + m_folders.at(i));
}

void FolderList::openParent() {
    if (!enabled() || m_path.isEmpty() || m_path == u'/')
        return;
    const qsizetype slash = m_path.lastIndexOf(u'/');
    setPath(slash <= 0 ? QStringLiteral("/") : m_path.left(slash));
}

void DriveList::setDrives(const QStringList& drives) {
    const QString current = currentDrive();
    m_drives = drives;
    m_current = int(m_drives.indexOf(current));
    emit changed();
}

void DriveList::setCurrentIndex(int index) {
    if (index < -1 || index >= m_drives.size() || index == m_current)
        return;
    m_current = index;
    emit changed();
}

void DriveList::choose(int index) {
    if (!enabled() || index < 0 || index >= m_drives.size() || index == m_current)
        return;
    m_current = index;
    emit changed();
    if (onChange)
        onChange();
}

} // namespace controls
