#pragma once

#include "watch/ClosureTotals.h"

#include <QString>

namespace watch {

// One window closed or one new window refused, as the journal file and the notices tell it.
struct Closure {
    ClosureTotals::Cause cause = ClosureTotals::ByKeyword;
    /// The keyword that closed the window; empty for the other causes.
    QString keyword;
    /// The page's name; for a refused new window, the name of the page that asked for it.
    QString pageName;
    /// The page's address; for a refused new window, the address it was asked for (empty when
    /// the browser did not say).
    QString url;
};

/// The cause as the journal writes it: "mot clé", "pop-up sans clic", "pop-up d'une petite
/// fenêtre" or "petite fenêtre".
QString causeText(ClosureTotals::Cause cause);

/// What a notice says of one closure: what happened and why, then the page's name and its
/// address, one a line (a line left out when empty).
QString noticeText(const Closure& closure);

} // namespace watch
