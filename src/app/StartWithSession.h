#pragma once

#include "app/ModRegistry.h"

#include <QString>

namespace app {

class FrmMain;

// Start with the desktop session: the start-list entry "Tavrel" and the switch
// `chkStartOnWin`, which mirrors the entry's presence.
class StartWithSession {
public:
    explicit StartWithSession(FrmMain& f);
    /// Reflects the start-list entry in `chkStartOnWin` (activation step).
    void readBack();
    /// The switch's change rule: writes the entry when on, removes it when off.
    void chkStartOnWin_Click();
    /// The start key of this family of systems.
    QString startKey() const;

    static constexpr const char* kValueName = "Tavrel";

private:
    FrmMain& f;
    ModRegistry m_registry;
};

} // namespace app
