#pragma once

namespace app {
class FrmMain;
}

namespace antispy {

// The list of known spyware file names.
class SpyList {
public:
    explicit SpyList(app::FrmMain& f);
    /// Loads the list at start-up (the file, or the built-in list) and disables its buttons.
    void loadAtStartup();

private:
    app::FrmMain& f;
};

} // namespace antispy
