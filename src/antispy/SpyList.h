#pragma once

#include "platform/Platform.h"

#include <QStringList>

namespace controls {
class Button;
class ListBox;
class TextBox;
} // namespace controls

namespace antispy {

// The list of known spyware file names, its file `ListeSpy.dat` and the commands that edit it.
class SpyList {
public:
    struct Controls {
        controls::ListBox& names;
        controls::TextBox& nameBox;
        controls::Button& addButton;
        controls::Button& deleteButton;
    };

    SpyList(platform::Platform& platform, Controls controls);
    /// Loads the list at start-up (the file, or the built-in list) and disables its buttons.
    void loadAtStartup();

    /// The built-in names, in the order they are offered.
    static const QStringList& defaultEntries();
    /// The file's path: `ListeSpy.dat` in the program folder.
    QString listFile() const;

    /// The text of the name box changed: adding needs a text.
    void nameBoxChanged();
    /// The name box lost the focus: its text is put in upper case.
    void nameBoxLeft();
    /// Adds the typed name unless the list holds it as an extension already.
    void addTypedName();
    /// A click on the list: deleting needs a selected name.
    void listClicked();
    /// Deletes the selected name (asking first when it is the last one).
    void deleteSelected();
    /// Writes the list to its file.
    void save();

private:
    platform::Platform& m_p;
    Controls m_c;
};

} // namespace antispy
