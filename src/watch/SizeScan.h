#pragma once

#include <QtGlobal>

namespace app {
class FrmMain;
}

namespace watch {

// The size scan over the listed windows, and the flash timer.
class SizeScan {
public:
    explicit SizeScan(app::FrmMain& f);
    void Timer2_Timer();
    void tmrFlash_Timer();
    /// The flash flag, inverted at each tick of the flash timer.
    bool flash() const { return m_flash; }

private:
    app::FrmMain& f;
    // Counts the size closures of this run modulo 2: only every other closure adds to the
    // total.
    qint16 gSizeCloseParity = 0;
    bool m_flash = false;
    qint32 m_flashTicks = 0;
};

} // namespace watch
