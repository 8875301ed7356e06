#include "watch/KeywordScan.h"

#include "controls/ListView.h"
#include "controls/Simple.h"

namespace watch {

KeywordScan::KeywordScan(platform::BrowserShell& browser, platform::Clock& clock,
                         const keywords::KeywordList& keywords, keywords::Journal& journal,
                         keywords::Statistics& statistics, WindowSnapshot& windows,
                         controls::ListView& windowListView, Feedback feedback)
    : m_browser(browser), m_clock(clock), m_keywords(keywords), m_journal(journal),
      m_statistics(statistics), m_windows(windows), m_windowListView(windowListView),
      m_feedback(std::move(feedback)) {}

void KeywordScan::listWindows() {
    std::vector<WindowSnapshot::Row> rows;
    for (platform::BrowserWindow* window : m_browser.windows()) {
        if (auto v = window->locationName())
            m_pageName = *v;
        if (auto v = window->locationURL())
            m_url = *v;
        const auto w = window->width();
        const auto h = window->height();
        if (w)
            m_width = *w;
        if (h)
            m_height = *h;
        rows.push_back({window->hwnd(), m_pageName, m_url, m_width, m_height, w && h});
    }
    m_windows.assign(std::move(rows));
}

void KeywordScan::tick() {
    // The selected row stays selected by its place in the list (the last row when the list
    // got shorter).
    int remembered = m_windowListView.firstSelected() + 1;
    listWindows();
    if (remembered > m_windows.size())
        remembered = m_windows.size();
    if (remembered != 0)
        m_windowListView.setSelected(remembered - 1, true);
    if (m_windows.size() == 0)
        return;

    const keywords::KeywordMatcher& matcher = m_keywords.matcher();
    const quint64 revision = m_keywords.revision();
    // Windows that went are forgotten now and then.
    if (m_clear.size() > 2 * m_windows.size() + 16)
        m_clear.clear();
    for (int s = 0; s < m_windows.size(); ++s) {
        m_found.clear();
        const WindowSnapshot::Row& row = m_windows.at(s);
        const auto clear = m_clear.constFind(row.handle);
        if (clear != m_clear.constEnd() && clear->revision == revision &&
            clear->pageName == row.pageName && clear->url == row.url)
            continue;
        if (m_feedback.allowances.spares(row.handle, row.url))
            continue;
        matcher.findAll(row.pageName.toLower(), row.url.toLower(), m_found);
        if (m_found.empty()) {
            m_clear.insert(row.handle, {row.pageName, row.url, revision});
            continue;
        }
        m_clear.remove(row.handle);
        for (int k : m_found)
            if (k < m_keywords.size() && s < m_windows.size())
                close(s, k);
    }
}

void KeywordScan::close(int s, int k) {
    // The close request goes to the row's own window, never to another one that merely
    // shares its page name.
    const WindowSnapshot::Row& row = m_windows.at(s);
    const QString keyword = m_keywords.at(k);
    m_journal.append({m_clock.now().toString(QStringLiteral("HH:mm:ss")), keyword, row.url});
    m_statistics.increment(keyword);
    m_feedback.totals.add(ClosureTotals::ByKeyword);
    m_feedback.status.setSimpleText(QStringLiteral("Fermeture: ") + row.pageName +
                                    QStringLiteral("     (Total:") +
                                    QString::number(m_feedback.totals.byKeyword()) + u')');
    const Closure closure{ClosureTotals::ByKeyword, keyword, row.pageName, row.url};
    m_browser.postClose(row.handle);
    m_feedback.playSound();
    if (m_feedback.closed)
        m_feedback.closed(closure);
}

} // namespace watch
