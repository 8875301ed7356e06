#pragma once

namespace app {
class FrmMain;
}

namespace keywords {

// The save, hide and quit commands: the only moments the keyword list and the statistics
// reach their files. Every write is tried, and a failing one does not stop the next.
class Saving {
public:
    explicit Saving(app::FrmMain& f);
    /// The save command: statistics, then the keyword file in the plain form.
    void Command19_Click();
    /// The hide command: statistics, `ListeUrl.dat` in the quoted form, then shows or hides
    /// the window.
    void Command10_Click();
    /// The quit command: as the save command, then the settings, then the immediate end.
    [[noreturn]] void quit_Click();

private:
    void saveStatisticsAndList();
    app::FrmMain& f;
};

} // namespace keywords
