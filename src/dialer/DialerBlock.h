#pragma once

#include <QString>

#include "platform/Platform.h"

namespace controls {
class CheckBox;
}

namespace dialer {

// The dialer download block: installs, checks and removes the outside add-on. The blocking
// itself is the add-on's work; this program only puts it in place and checks its class.
class DialerBlock {
public:
    DialerBlock(platform::Platform& platform, controls::CheckBox& blockSwitch);
    /// 1 switches the block on, any other value switches it off.
    void set(int state);
    /// Makes sure the add-on file exists, writing and registering it if not; false (with the
    /// switch turned off and greyed) when that fails.
    bool installAddOn();
    /// Writes a resource carried in the program to a file; false when there is no such
    /// resource or the file cannot be written.
    bool writeResourceFile(const QString& path, int number, const QString& type);
    /// The system folder with a trailing "/".
    QString systemFolder() const;
    /// Where the add-on file lies.
    QString addOnPath() const;

    static constexpr const char* kAddOnFile = "Sondrel.dll";
    static constexpr const char* kClassName = "Dravik.KillClass";
    static constexpr int kResourceNumber = 102;
    static constexpr const char* kResourceType = "CUSTOM";

private:
    platform::Platform& m_p;
    controls::CheckBox& m_switch;
};

} // namespace dialer
