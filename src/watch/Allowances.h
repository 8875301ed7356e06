#pragma once

#include "platform/Browser.h"
#include "platform/Clock.h"
#include "watch/AllowedSites.h"

#include <QDateTime>
#include <QString>
#include <map>
#include <vector>

namespace watch {

// What no rule may close or refuse: the pages of the sites always allowed, and the window the
// user asked to open anyway. Such a window is spared once: the first window that shows the
// address within a minute of the request is spared while it shows that address; once it
// goes elsewhere, the rules judge it again.
class Allowances {
public:
    Allowances(const AllowedSites& sites, platform::Clock& clock)
        : m_sites(sites), m_clock(clock) {}

    /// True when no rule may close this window: its site is allowed, or the user asked to open
    /// it anyway and it still shows that address.
    bool spares(platform::WindowHandle handle, const QString& url);
    /// True when a new window may not be refused: its address's site or its opener's is
    /// allowed.
    bool sparesRequest(const QString& openerUrl, const QString& url) const;
    /// The user asked to open this address anyway.
    void grantOnce(const QString& url);

    /// The form in which two addresses count as the same page (no fragment, no trailing "/").
    static QString pageKey(const QString& url);

private:
    struct Grant {
        QString key;
        QDateTime until;
    };

    const AllowedSites& m_sites;
    platform::Clock& m_clock;
    std::vector<Grant> m_grants;
    // Windows spared so far, with the page they were spared for.
    std::map<platform::WindowHandle, QString> m_spared;
};

} // namespace watch
