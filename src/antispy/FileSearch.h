#pragma once

#include "platform/NamePattern.h"

#include <QStringList>
#include <vector>

namespace app {
class FrmMain;
}
namespace controls {
class ListBox;
}

namespace antispy {

/// Text of a file error number, as the error messages show it.
QString fileErrorDescription(int number);

// The search of folders for known spyware file names, and the deletion of found files.
class FileSearch {
public:
    explicit FileSearch(app::FrmMain& f);
    /// Points the folder list at the root folder (start-up).
    void setStartFolderToRoot();

    void cmdFind_Click();
    void Command22_Click();
    void cmdSelAll_Click();
    void cmdDeSelAll_Click();
    void cmdDelete_Click();
    void drvStart_Change();
    void dirStart_Change();

    /// Copies the found files into a list and reports their number in the status bar.
    void ShowFoundFiles(controls::ListBox& list);
    /// The registry search shows its own lines in `lstFiles`: none of them names a file.
    void forgetShownFiles();

    /// The found files as listed: folder, "/", the name in upper case.
    QStringList FoundFiles;
    bool SearchStopped = false;
    bool searching() const { return m_searching; }

private:
    struct Entry {
        platform::NamePattern pattern;
        QStringList shown;
        QStringList real;
    };
    /// Searches a folder tree for every entry at once; matches go to each entry's own
    /// results in the order a walk per entry would find them.
    void SearchFolder(bool recurse, const QString& folder, std::vector<Entry>& entries);
    void showFolders();

    app::FrmMain& f;
    /// The real path of each file in FoundFiles (the listed one is upper-cased).
    QStringList m_foundReal;
    /// The real path behind each line of `lstFiles`, as long as the lines are search results.
    QStringList m_shownReal;
    bool m_searching = false;
};

} // namespace antispy
