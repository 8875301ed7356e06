#include "watch/KeywordScan.h"

#include "app/FrmMain.h"
#include "app/Switches.h"
#include "keywords/ListViews.h"
#include "keywords/Statistics.h"

namespace watch {

KeywordScan::KeywordScan(app::FrmMain& form) : f(form) {
    f.keywordScanTimer.onTimer = [this] { Timer1_Timer(); };
}

platform::WindowHandle KeywordScan::rowHandle(int r) const {
    return r >= 0 && r < int(m_rowHandles.size()) ? m_rowHandles[r] : 0;
}

bool KeywordScan::rowSizeRead(int r) const {
    return r >= 0 && r < int(m_rowSizeRead.size()) && m_rowSizeRead[r];
}

const keywords::KeywordMatcher& KeywordScan::matcher() {
    if (m_matcherRevision != f.keywordListView.revision()) {
        std::vector<QString> lowered;
        lowered.reserve(f.keywordListView.rowCount());
        for (const auto& row : f.keywordListView.rows())
            lowered.push_back(row.cells.value(0).toLower());
        m_matcher.build(lowered);
        m_matcherRevision = f.keywordListView.revision();
    }
    return m_matcher;
}

void KeywordScan::refreshWindowList() {
    std::vector<controls::ListView::Row> rows;
    m_rowHandles.clear();
    m_rowSizeRead.clear();
    for (platform::BrowserWindow* window : f.platform().browser.windows()) {
        if (auto v = window->locationName())
            m_pageName = *v;
        if (auto v = window->locationURL())
            m_url = *v;
        const auto w = window->width();
        const auto h = window->height();
        if (w)
            TailleLargIeFen = *w;
        if (h)
            TailleHautIeFen = *h;
        rows.push_back({QStringList{m_pageName, m_url, QString::number(TailleLargIeFen),
                                    QString::number(TailleHautIeFen)},
                        false});
        m_rowHandles.push_back(window->hwnd());
        m_rowSizeRead.push_back(w && h);
    }
    f.windowListView.setRows(std::move(rows));
}

void KeywordScan::Timer1_Timer() {
    int remembered = f.windowListView.firstSelected() + 1;
    refreshWindowList();
    if (remembered > f.windowListView.rowCount())
        remembered = f.windowListView.rowCount();
    if (remembered != 0)
        f.windowListView.setSelected(remembered - 1, true);
    if (f.windowListView.rowCount() == 0)
        return;

    const int n = f.windowListView.rowCount();
    const keywords::KeywordMatcher& m = matcher();
    for (int s = 0; s < n && s < f.windowListView.rowCount(); ++s) {
        m_found.clear();
        const QString name = f.windowListView.text(s).toLower();
        const QString url = f.windowListView.subItem(s, 1).toLower();
        m.findAll(name, url, m_found);
        for (int p : m_found)
            if (p < f.keywordListView.rowCount())
                closeRow(s, p);
    }
}

void KeywordScan::closeRow(int s, int p) {
    // The close request goes to the row's own window, never to another one that merely
    // shares its page name.
    f.LeHwnd = rowHandle(s);
    const QString keyword = f.keywordListView.text(p);
    f.journalView.appendRow({f.platform().clock.now().toString(QStringLiteral("HH:mm:ss")), keyword,
                             f.windowListView.subItem(s, 1)});
    f.statistics().increment(keyword);
    ++f.gClosureTotals[0];
    f.statusBar.setSimpleText(QStringLiteral("Fermeture: ") + f.windowListView.text(s) +
                              QStringLiteral("     (Total:") +
                              QString::number(f.gClosureTotals[0]) + u')');
    f.listViews().showTotals();
    f.platform().browser.postClose(f.LeHwnd);
    f.switches().PlayClosureSound();
}

} // namespace watch
