#include "tools/scenario/MainWindow.h"

#include "app/FrmMain.h"
#include "app/PasswordLock.h"
#include "app/Switches.h"
#include "watch/SizeScan.h"

namespace scenario {

Globals globals(const app::FrmMain& f) {
    return Globals{f.gAutoClose, f.gLimitWidth, f.gLimitHeight, f.gSoundFile, f.gPassword};
}

void setGlobals(app::FrmMain& f, const Globals& values) {
    f.gAutoClose = values.autoClose;
    f.gLimitWidth = values.limitWidth;
    f.gLimitHeight = values.limitHeight;
    f.gSoundFile = values.soundFile;
    f.gPassword = values.password;
}

std::array<qint64, 4> closureTotals(const app::FrmMain& f) {
    return f.gClosureTotals;
}

bool passwordLocked(app::FrmMain& f) {
    return f.passwordLock().locked();
}

watch::cIEWindows* windowCollection(app::FrmMain& f) {
    return f.IEWin;
}

bool sizeScanFlashing(app::FrmMain& f) {
    return f.sizeScan().flash();
}

app::TaskBarIcon& trayIcon(app::FrmMain& f) {
    return f.taskBarIcon();
}

void playClosureSound(app::FrmMain& f) {
    f.switches().PlayClosureSound();
}

void activate(app::FrmMain& f) {
    f.Form_Activate();
}

void requestClose(app::FrmMain& f) {
    f.closeRequest();
}

} // namespace scenario
