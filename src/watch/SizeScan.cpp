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
    f.Timer2.onTimer = [this] { Timer2_Timer(); };
    f.tmrFlash.onTimer = [this] { tmrFlash_Timer(); };
    f.imgFlash.setVisible(false);
}

void SizeScan::Timer2_Timer() {
    if (f.Check2.value() == 0)
        return;
    if (f.ListView1.rowCount() == 0)
        return;
    const int n = f.ListView1.rowCount();
    for (int s = 0; s < n && s < f.ListView1.rowCount(); ++s) {
        // The row's own window, never another one that merely shares its page name.
        const platform::WindowHandle handle = f.keywordScan().rowHandle(s);
        if (handle != 0)
            f.LeHwnd = handle;
        if (f.ChkFenMotCle.value() == 0)
            continue;
        // A size that cannot be read closes nothing: neither an empty or damaged cell, nor
        // the size the list carried over from another window when this one did not answer.
        if (!f.keywordScan().rowSizeRead(s))
            continue;
        const std::optional<int> w = pixels(f.ListView1.subItem(s, 2));
        const std::optional<int> h = pixels(f.ListView1.subItem(s, 3));
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
        f.Sb.setSimpleText(QStringLiteral("Fermeture par taille : ") + f.ListView1.text(s) +
                           QStringLiteral("     (Total:") + QString::number(total) + u')');
        f.platform().browser.postClose(f.LeHwnd);
        f.switches().PlayClosureSound();
    }
}

void SizeScan::tmrFlash_Timer() {
    m_flash = !m_flash;
    ++m_flashTicks;
    // The picture lights at the odd ticks of each sequence and is dark when it ends, whatever
    // the flag held before the sequence.
    f.imgFlash.setVisible(m_flashTicks % 2 == 1);
    if (m_flashTicks >= kFlashTicks) {
        m_flashTicks = 0;
        f.tmrFlash.setEnabled(false);
        f.imgFlash.setVisible(false);
    }
}

} // namespace watch
