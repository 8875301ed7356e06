#pragma once

#include "watch/Allowances.h"
#include "watch/Closure.h"
#include "watch/ClosureTotals.h"

#include <QtGlobal>
#include <functional>

namespace controls {
class StatusBar;
}

namespace watch {

// The limits and the automatic rule the pop-up rules and the size scan apply.
struct RuleSettings {
    /// New windows are refused unless the user has just clicked in a page.
    bool autoClose = false;
    /// A window at most this wide and this high is small (pixels).
    qint16 limitWidth = 250;
    qint16 limitHeight = 150;
};

// What every closure or refusal does besides the close request itself: it is counted, said in
// the status bar, and heard; then it is told (the journal file, the notices). What the
// allowances spare is neither closed nor refused.
struct Feedback {
    ClosureTotals& totals;
    controls::StatusBar& status;
    /// Plays the closure sound when the user wants it; returns when it has played.
    std::function<void()> playSound;
    /// The pages and new windows no rule may close or refuse.
    Allowances& allowances;
    /// Told of every closure and refusal once it is made.
    std::function<void(const Closure&)> closed;
};

} // namespace watch
