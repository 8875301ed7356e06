#pragma once

#include "controls/Control.h"

#include <QStringList>

namespace controls {

// A folder list: its current folder and the subfolders shown below it. The form fills the
// subfolders (it alone reaches the file system); the view navigates with `openFolder` and
// `openParent`, code with `setPath`.
class FolderList : public Control {
    Q_OBJECT
public:
    using Control::Control;
    Kind kind() const override { return Kind::FolderList; }

    /// The current folder ("/" for the root, otherwise without a trailing "/").
    const QString& path() const { return m_path; }
    /// Makes a folder current; runs `onChange` when it differs.
    void setPath(const QString& path);
    /// Names of the subfolders shown for the current folder.
    const QStringList& folders() const { return m_folders; }
    void setFolders(const QStringList& folders);
    /// The user opens subfolder i of the list.
    void openFolder(int i);
    /// The user goes up one folder; nothing happens at the root.
    void openParent();

    std::function<void()> onChange;

private:
    QString m_path;
    QStringList m_folders;
};

// A drive list: the mounted volumes and the chosen one (-1 for none).
class DriveList : public Control {
    Q_OBJECT
public:
    using Control::Control;
    Kind kind() const override { return Kind::DriveList; }

    const QStringList& drives() const { return m_drives; }
    void setDrives(const QStringList& drives);
    int currentIndex() const { return m_current; }
    QString currentDrive() const { return m_current >= 0 ? m_drives.at(m_current) : QString(); }
    /// Chooses a drive from code; runs nothing.
    void setCurrentIndex(int index);
    /// The user chooses a drive: runs `onChange` when the choice differs.
    void choose(int index);
    /// The index of a drive, or -1.
    int indexOf(const QString& drive) const { return int(m_drives.indexOf(drive)); }

    std::function<void()> onChange;

private:
    QStringList m_drives;
    int m_current = -1;
};

} // namespace controls
