#pragma once

#include "platform/Browser.h"
#include "watch/Feedback.h"

namespace controls {
class CheckBox;
class Timer;
} // namespace controls

namespace watch {

// Decides whether a page may open a new window: a small window may not (size rule), and
// without a click in a page since the last decision no page may (automatic rule); when the
// browser tells that it saw no user gesture behind the request, a reported click does not
// count. Holding Control asks for the window whatever the automatic rule says.
class PopupRules {
public:
    PopupRules(platform::BrowserShell& shell, const RuleSettings& settings,
               const controls::CheckBox& sizeRuleSwitch, controls::Timer& flashTimer,
               Feedback feedback);

    /// A page of `opener` asks for a new window; true when it is refused.
    bool refuse(platform::BrowserWindow* opener);
    /// The page of `opener` refused `count` windows itself after a refusal (the last asking
    /// for `url`): each is counted and told as the automatic rule's.
    void countRefusedByPage(platform::BrowserWindow* opener, int count, const QString& url);
    /// A click was made in a page: one new window is allowed.
    void noteClick() { m_userClick = true; }
    /// A click was made since the last decision.
    bool userClicked() const { return m_userClick; }

private:
    platform::BrowserShell& m_shell;
    const RuleSettings& m_settings;
    const controls::CheckBox& m_sizeRuleSwitch;
    controls::Timer& m_flashTimer;
    Feedback m_feedback;
    bool m_userClick = false;
};

} // namespace watch
