#pragma once

#include <QStringList>

namespace app {
class FrmMain;
}
namespace controls {
class ListBox;
}

namespace antispy {

// The list of known spyware file names (`lstFilters`), its file `ListeSpy.dat` and the
// commands that edit it.
class SpyList {
public:
    explicit SpyList(app::FrmMain& f);
    /// Loads the list at start-up (the file, or the built-in list) and disables its buttons.
    void loadAtStartup();

    /// The built-in names, in the order they are offered.
    static const QStringList& defaultEntries();
    /// Appends the built-in names to a list.
    static void LoadDefaultSpywareList(controls::ListBox& list);
    /// The file's path: `ListeSpy.dat` in the program folder.
    QString listFile() const;

    void txtFilter_Change();
    void txtFilter_LostFocus();
    void cmdAddFilter_Click();
    void lstFilters_Click();
    void cmdDeleteFilter_Click();
    void Command4_Click();

private:
    app::FrmMain& f;
};

} // namespace antispy
