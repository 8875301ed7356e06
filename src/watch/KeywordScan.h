#pragma once

#include "keywords/KeywordMatcher.h"
#include "platform/Browser.h"

#include <QString>
#include <vector>

namespace app {
class FrmMain;
}

namespace watch {

// The keyword scan: every tick rebuilds the open-window list and closes each window whose
// page name or address holds a keyword.
class KeywordScan {
public:
    explicit KeywordScan(app::FrmMain& f);
    void Timer1_Timer();
    /// Handle of the window listed in row r of `ListView1` (0 when unknown).
    platform::WindowHandle rowHandle(int r) const;
    /// True when the width and height shown in row r were read from that row's own window.
    bool rowSizeRead(int r) const;

private:
    void refreshWindowList();
    void closeRow(int s, int p);
    const keywords::KeywordMatcher& matcher();

    app::FrmMain& f;
    // Values read for the window enumerated last; a failed read keeps the previous value.
    QString m_pageName;
    QString m_url;
    qint32 TailleLargIeFen = 0;
    qint32 TailleHautIeFen = 0;
    std::vector<platform::WindowHandle> m_rowHandles;
    std::vector<bool> m_rowSizeRead;

    keywords::KeywordMatcher m_matcher;
    std::uint64_t m_matcherRevision = ~std::uint64_t(0);
    std::vector<int> m_found;
};

} // namespace watch
