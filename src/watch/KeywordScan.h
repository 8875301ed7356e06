#pragma once

#include "keywords/Journal.h"
#include "keywords/KeywordList.h"
#include "keywords/Statistics.h"
#include "platform/Browser.h"
#include "platform/Clock.h"
#include "watch/Feedback.h"
#include "watch/WindowSnapshot.h"

#include <QHash>
#include <QString>
#include <vector>

namespace controls {
class ListView;
}

namespace watch {

// The keyword scan: at every tick, lists the open windows anew and asks each window whose page
// name or address holds a keyword to close. Each closure is journaled and counted against its
// keyword. A window whose page name and address were searched already, for the keywords as
// they are, and held none, is not searched again.
class KeywordScan {
public:
    KeywordScan(platform::BrowserShell& browser, platform::Clock& clock,
                const keywords::KeywordList& keywords, keywords::Journal& journal,
                keywords::Statistics& statistics, WindowSnapshot& windows,
                controls::ListView& windowListView, Feedback feedback);

    /// One tick.
    void tick();

private:
    void listWindows();
    void close(int row, int keyword);

    platform::BrowserShell& m_browser;
    platform::Clock& m_clock;
    const keywords::KeywordList& m_keywords;
    keywords::Journal& m_journal;
    keywords::Statistics& m_statistics;
    WindowSnapshot& m_windows;
    controls::ListView& m_windowListView;
    Feedback m_feedback;
    // Values read for the window listed last; a failed read keeps the previous value, even
    // from another window.
    QString m_pageName;
    QString m_url;
    qint32 m_width = 0;
    qint32 m_height = 0;
    std::vector<int> m_found;
    // The windows found to hold no keyword: their texts then, and the keywords' revision.
    struct Clear {
        QString pageName;
        QString url;
        quint64 revision = 0;
    };
    QHash<platform::WindowHandle, Clear> m_clear;
};

} // namespace watch
