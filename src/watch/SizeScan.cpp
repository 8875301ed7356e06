#include "watch/SizeScan.h"

#include "controls/Simple.h"

namespace watch {

namespace {
// Ticks of one flash sequence (about one second at 200 ms).
constexpr qint32 kFlashTicks = 5;
} // namespace

SizeScan::SizeScan(platform::BrowserShell& browser, const WindowSnapshot& windows,
                   const RuleSettings& settings, const controls::CheckBox& keywordScanSwitch,
                   const controls::CheckBox& sizeScanSwitch, controls::Picture& flashPicture,
                   controls::Timer& flashTimer, Feedback feedback)
    : m_browser(browser), m_windows(windows), m_settings(settings),
      m_keywordScanSwitch(keywordScanSwitch), m_sizeScanSwitch(sizeScanSwitch),
      m_flashPicture(flashPicture), m_flashTimer(flashTimer), m_feedback(std::move(feedback)) {}

void SizeScan::tick() {
    if (m_keywordScanSwitch.value() == 0)
        return;
    for (int s = 0; s < m_windows.size(); ++s) {
        if (m_sizeScanSwitch.value() == 0)
            continue;
        const WindowSnapshot::Row& row = m_windows.at(s);
        // A size that cannot be read closes nothing: the size the list carried over from
        // another window when this one did not answer is not this window's.
        if (!row.sizeRead)
            continue;
        if (row.width > m_settings.limitWidth || row.height > m_settings.limitHeight)
            continue;
        if (row.handle == 0)
            continue; // no window of its own to ask: nothing is closed, nothing counted
        if (m_feedback.allowances.spares(row.handle, row.url))
            continue;

        ++m_closeParity;
        const bool counted = m_closeParity != 2;
        if (!counted)
            m_closeParity = 0;
        m_feedback.totals.add(ClosureTotals::BySizeScan, counted ? 1 : 0);
        m_feedback.status.setSimpleText(QStringLiteral("Fermeture par taille : ") + row.pageName +
                                        QStringLiteral("     (Total:") +
                                        QString::number(m_feedback.totals.bySizeScan()) + u')');
        const Closure closure{ClosureTotals::BySizeScan, {}, row.pageName, row.url};
        m_browser.postClose(row.handle);
        m_feedback.playSound();
        if (m_feedback.closed)
            m_feedback.closed(closure);
    }
}

void SizeScan::flashTick() {
    m_flash = !m_flash;
    ++m_flashTicks;
    // The picture lights at the odd ticks of each sequence and is dark when it ends, whatever
    // the flag held before the sequence.
    m_flashPicture.setVisible(m_flashTicks % 2 == 1);
    if (m_flashTicks >= kFlashTicks) {
        m_flashTicks = 0;
        m_flashTimer.setEnabled(false);
        m_flashPicture.setVisible(false);
    }
}

} // namespace watch
