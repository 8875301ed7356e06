#pragma once

#include "platform/Files.h"

namespace controls {
class TextBox;
}

namespace app {

// The help tab's text, from the help file shipped with the program.
class HelpText {
public:
    HelpText(const platform::Files& files, controls::TextBox& box) : m_files(files), m_box(box) {}
    /// Loads the help file into the box; a missing file leaves it empty.
    void load();

private:
    const platform::Files& m_files;
    controls::TextBox& m_box;
};

} // namespace app
