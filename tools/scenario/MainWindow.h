#pragma once

#include <QString>
#include <array>

namespace app {
class FrmMain;
class TaskBarIcon;
} // namespace app
namespace watch {
class cIEWindows;
}

namespace scenario {

// What the commands reach in the main window besides its named controls (those they find by
// name). These are the only uses of the main window's members in the runner: a change to
// that class is made here.

/// The values the settings give the rest of the program.
struct Globals {
    bool autoClose = false;
    qint16 limitWidth = 0;
    qint16 limitHeight = 0;
    QString soundFile;
    QString password;
};
Globals globals(const app::FrmMain& f);
void setGlobals(app::FrmMain& f, const Globals& values);

/// Windows closed so far, by cause.
std::array<qint64, 4> closureTotals(const app::FrmMain& f);
bool passwordLocked(app::FrmMain& f);
/// The collection of watched browser windows (null before the first scan).
watch::cIEWindows* windowCollection(app::FrmMain& f);
/// Whether the size scan is signalling a refused pop-up.
bool sizeScanFlashing(app::FrmMain& f);
app::TaskBarIcon& trayIcon(app::FrmMain& f);

/// The closure sound, as a closing step plays it.
void playClosureSound(app::FrmMain& f);
/// The main window becomes the program's active window again.
void activate(app::FrmMain& f);
/// A request to close the main window.
void requestClose(app::FrmMain& f);

} // namespace scenario
