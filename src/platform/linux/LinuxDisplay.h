#pragma once

#include <QByteArray>
#include <QStringList>

namespace platform::linuxp {

// The display the window opens on, checked before the application object is made: Qt ends the
// process with an abort when the display it was told to use does not answer.
struct DisplayChoice {
    /// A display answers, or QT_QPA_PLATFORM names a platform that needs none (offscreen, vnc).
    bool usable = false;
    /// The Qt platform to set in QT_QPA_PLATFORM before the application starts, where Qt's own
    /// choice would not work (only Wayland answers, or only X); empty: Qt chooses.
    QByteArray platform;
};

/// Looks at Qt's -platform argument among the program's `arguments`, else QT_QPA_PLATFORM, and
/// at DISPLAY, WAYLAND_DISPLAY (and XDG_RUNTIME_DIR) as they are now.
DisplayChoice chooseDisplay(const QStringList& arguments);
/// The X server named by DISPLAY accepts a connection.
bool x11Answers();
/// The compositor named by WAYLAND_DISPLAY (or handed over in WAYLAND_SOCKET) accepts a
/// connection.
bool waylandAnswers();
/// Qt's Wayland platform plugin is installed (Debian package qt6-wayland).
bool waylandPluginInstalled();

} // namespace platform::linuxp
