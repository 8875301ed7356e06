#pragma once

#include "platform/Browser.h"
#include "watch/Feedback.h"
#include "watch/WindowSnapshot.h"

#include <QtGlobal>

namespace controls {
class CheckBox;
class Picture;
class Timer;
} // namespace controls

namespace watch {

// The size scan over the windows the keyword scan listed: each window at most the limit wide
// and high is asked to close. Also the flash that signals a refused pop-up.
class SizeScan {
public:
    SizeScan(platform::BrowserShell& browser, const WindowSnapshot& windows,
             const RuleSettings& settings, const controls::CheckBox& keywordScanSwitch,
             const controls::CheckBox& sizeScanSwitch, controls::Picture& flashPicture,
             controls::Timer& flashTimer, Feedback feedback);

    /// One tick of the size scan.
    void tick();
    /// One tick of the flash.
    void flashTick();
    /// The flash flag, inverted at each tick of the flash.
    bool flash() const { return m_flash; }

private:
    platform::BrowserShell& m_browser;
    const WindowSnapshot& m_windows;
    const RuleSettings& m_settings;
    const controls::CheckBox& m_keywordScanSwitch;
    const controls::CheckBox& m_sizeScanSwitch;
    controls::Picture& m_flashPicture;
    controls::Timer& m_flashTimer;
    Feedback m_feedback;
    // Counts the size closures of this run modulo 2: only every other closure adds to the
    // total.
    qint16 m_closeParity = 0;
    bool m_flash = false;
    qint32 m_flashTicks = 0;
};

} // namespace watch
