#pragma once

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

private:
    app::FrmMain& f;
};

} // namespace watch
