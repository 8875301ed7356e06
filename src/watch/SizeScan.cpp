#include "watch/SizeScan.h"

#include "app/FrmMain.h"
#include "app/Switches.h"
#include "keywords/ListViews.h"
#include "watch/KeywordScan.h"

#include <optional>

namespace watch {

namespace {

// Ticks of one flash sequence (about one second at 200 ms).
constexpr qint32 kFlashTicks = 5;

std::optional<int> pixels(const QString& cell) {
    bool ok = false;
    const int n = cell.trimmed().toInt(&ok);
    if (!ok)
        return std::nullopt;
    return n;
}

} // namespace

SizeScan::SizeScan(app::FrmMain& form) : f(form) {
    f.sizeScanTimer.onTimer = [this] { Timer2_Timer(); };
    f.flashTimer.onTimer = [this] { tmrFlash_Timer(); };
    f.flashPicture.setVisible(false);
}

void SizeScan::Timer2_Timer() {
    if (f.keywordScanSwitch.value() == 0)
        return;
    if (f.windowListView.rowCount() == 0)
        return;
    const int n = f.windowListView.rowCount();
    for (int s = 0; s < n && s < f.windowListView.rowCount(); ++s) {
        // The row's own window, never another one that merely shares its page name.
        const platform::WindowHandle handle = f.keywordScan().rowHandle(s);
        if (handle != 0)
            f.LeHwnd = handle;
        if (f.sizeScanSwitch.value() == 0)
            continue;
        // A size that cannot be read closes nothing: neither an empty or damaged cell, nor
        // the size the list carried over from another window when this one did not answer.
        if (!f.keywordScan().rowSizeRead(s))
            continue;
        const std::optional<int> w = pixels(f.windowListView.subItem(s, 2));
        const std::optional<int> h = pixels(f.windowListView.subItem(s, 3));
        if (!w || !h || *w > f.gLimitWidth || *h > f.gLimitHeight)
            continue;
        if (handle == 0)
            continue; // no window of its own to ask: nothing is closed, nothing counted

        auto& total = f.gClosureTotals[2];
        ++total;
        ++gSizeCloseParity;
        if (gSizeCloseParity == 2) {
            gSizeCloseParity = 0;
            --total;
        }
        f.listViews().showTotals();
        f.statusBar.setSimpleText(QStringLiteral("Fermeture par taille : ") +
                                  f.windowListView.text(s) + QStringLiteral("     (Total:") +
                                  QString::number(total) + u')');
        f.platform().browser.postClose(f.LeHwnd);
        f.switches().PlayClosureSound();
    }
}

void SizeScan::tmrFlash_Timer() {
    m_flash = !m_flash;
    ++m_flashTicks;
    // The picture lights at the odd ticks of each sequence and is dark when it ends, whatever
    // the flag held before the sequence.
    f.flashPicture.setVisible(m_flashTicks % 2 == 1);
    if (m_flashTicks >= kFlashTicks) {
        m_flashTicks = 0;
        f.flashTimer.setEnabled(false);
        f.flashPicture.setVisible(false);
    }
}

} // namespace watch
