#pragma once

namespace app {
class FrmMain;
}

namespace antispy {

// The search of folders for known spyware file names, and the deletion of found files.
class FileSearch {
public:
    explicit FileSearch(app::FrmMain& f);
    /// Points the folder list at the root folder (start-up).
    void setStartFolderToRoot();

private:
    app::FrmMain& f;
};

} // namespace antispy
