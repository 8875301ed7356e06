#pragma once

namespace app {
class FrmMain;
}

namespace keywords {

// The save, hide and quit commands.
class Saving {
public:
    explicit Saving(app::FrmMain& f);
    /// The hide command: writes both files, then shows or hides the window.
    void Command10_Click();

private:
    app::FrmMain& f;
};

} // namespace keywords
