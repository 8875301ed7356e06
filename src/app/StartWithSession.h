#pragma once

namespace app {

class FrmMain;

// Start with the desktop session: the start-list entry and its switch.
class StartWithSession {
public:
    explicit StartWithSession(FrmMain& f);
    /// Reflects the start-list entry in `chkStartOnWin` (activation step).
    void readBack();

private:
    FrmMain& f;
};

} // namespace app
