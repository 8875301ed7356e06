#include "watch/SizeScan.h"

#include "app/FrmMain.h"

namespace watch {

SizeScan::SizeScan(app::FrmMain& form) : f(form) {
    f.Timer2.onTimer = [this] { Timer2_Timer(); };
    f.tmrFlash.onTimer = [this] { tmrFlash_Timer(); };
}

void SizeScan::Timer2_Timer() {}

void SizeScan::tmrFlash_Timer() {}

} // namespace watch
