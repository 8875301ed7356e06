#pragma once

#include "platform/NamePattern.h"
#include "platform/Platform.h"

#include <QStringList>
#include <functional>
#include <vector>

namespace controls {
class Button;
class CheckBox;
class DriveList;
class FolderList;
class ListBox;
class StatusBar;
} // namespace controls

namespace antispy {

// The search of folders for known spyware file names, and the deletion of found files.
class FileSearch {
public:
    struct Controls {
        controls::ListBox& names;
        controls::DriveList& drives;
        controls::FolderList& folders;
        controls::CheckBox& recurse;
        controls::Button& stopButton;
        controls::ListBox& found;
        controls::StatusBar& status;
    };

    /// `setBusy` shows that the program is busy (the hourglass) or no longer is.
    FileSearch(platform::Platform& platform, Controls controls, std::function<void(bool)> setBusy);
    /// Offers the mounted volumes and points the folder list at the root folder (start-up).
    void setStartFolderToRoot();

    /// Searches the chosen folder (and its subfolders) for every listed name.
    void find();
    /// Stops a running search.
    void stop();
    void selectAll();
    void deselectAll();
    /// Deletes the selected found files.
    void deleteSelected();
    /// Another drive was chosen.
    void driveChanged();
    /// Another folder became current.
    void folderChanged();

    /// Copies the found files into the list of found files and says how many there are.
    void showFoundFiles();
    /// The registry search shows its own lines in the found-file list: none of them names a
    /// file.
    void forgetShownFiles();

    /// The found files as listed: folder, "/", the name in upper case.
    const QStringList& foundFiles() const { return m_found; }
    bool searching() const { return m_searching; }

private:
    /// A found file as the search saw it: its raw path and what it is.
    struct Found {
        QByteArray path;
        platform::FileId id;
    };
    struct Entry {
        platform::NamePattern pattern;
        QStringList shown;
        std::vector<Found> found;
    };
    /// Searches a folder tree (its raw path) for every entry at once; matches go to each
    /// entry's own results in the order a walk per entry would find them.
    void searchFolder(bool recurse, const QByteArray& folder, std::vector<Entry>& entries);
    void showFolders();

    platform::Platform& m_p;
    Controls m_c;
    std::function<void(bool)> m_setBusy;
    QStringList m_found;
    /// The file behind each line of m_found (whose names are upper-cased).
    std::vector<Found> m_foundFiles;
    /// The file behind each line of the found-file list, as long as the lines are search
    /// results.
    std::vector<Found> m_shownFiles;
    bool m_stopRequested = false;
    bool m_searching = false;
};

} // namespace antispy
