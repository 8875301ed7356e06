#pragma once

#include "app/RegistryValues.h"

#include <QString>

namespace controls {
class CheckBox;
}

namespace app {

// Start with the desktop session: the start-list entry "Tavrel" and the switch
// that mirrors the entry's presence.
class StartWithSession {
public:
    StartWithSession(platform::Platform& platform, controls::CheckBox& startSwitch);
    /// Reflects the start-list entry in the switch (activation step).
    void readBack();
    /// The switch's change rule: writes the entry when on, removes it when off.
    void switchChanged();
    /// The start key of this family of systems.
    QString startKey() const;

    static constexpr const char* kValueName = "Tavrel";

private:
    controls::CheckBox& m_switch;
    RegistryValues m_registry;
};

} // namespace app
