#pragma once

#include "platform/linux/BidiPopupHold.h"

#include <QString>
#include <QStringList>

namespace platform::linuxp {

// How Tavrel reaches Firefox. Read from the environment by the program; tests fill it in.
struct FirefoxOptions {
    /// Browser to launch (TAVREL_BROWSER); empty: firefox-esr, else firefox, found on the PATH.
    QString browser;
    /// Flags added to the launch command (TAVREL_BROWSER_ARGS, split like a shell would).
    QStringList arguments;
    /// Profile folder of a launched browser (TAVREL_BROWSER_PROFILE); empty: Tavrel's own
    /// folder under the user's data folder. A --profile in `arguments` wins.
    QString profileDir;
    /// Attach to a Firefox already listening on this loopback address (TAVREL_ATTACH)
    /// instead of launching one; port 0 means launch.
    QString attachHost = QStringLiteral("127.0.0.1");
    quint16 attachPort = 0;
    /// How pop-ups are held until decided (TAVREL_POPUP_GUARD=light for the light guard).
    PopupGuard popupGuard = PopupGuard::Strict;
    /// Key state from the X server when a display opens (TAVREL_KEY_STATE=page turns it off).
    bool useX11 = true;
    /// Period of the snapshot refresh (addresses, window sizes, windows nobody announced).
    int pollMs = 250;
    /// A refused pop-up still there after this long is asked to close again; an admitted
    /// one whose size has not come is listed anyway.
    int popupFallbackMs = 500;
    /// Delay before attaching again, or before launching again after a crash.
    int retryMs = 1000;
    /// How long a launched browser may take to open its debugging port.
    int startTimeoutMs = 30000;
    /// Why a value of the environment was not usable; nothing starts while it is set.
    QString error;

    static FirefoxOptions fromEnvironment();
    /// True when the environment asks for Firefox: TAVREL_BROWSER_KIND=firefox, or a
    /// TAVREL_BROWSER whose file name holds "firefox".
    static bool requested();
};

} // namespace platform::linuxp
