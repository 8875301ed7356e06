#pragma once

#include "platform/linux/BidiPopupHold.h"

#include <QString>
#include <QStringList>

namespace platform::linuxp {

// How Tavrel reaches Firefox. Read from the environment by the program; tests fill it in.
struct FirefoxOptions {
    /// Browser to launch (TAVREL_BROWSER); empty: firefox-esr, else firefox, found on the PATH.
    QString browser;
    /// The browser's name as the user knows it; empty: "Firefox".
    QString productName;
    /// Launch on the user's usual Firefox profile rather than Tavrel's own.
    bool ownProfile = false;
    /// That profile's folder (see FirefoxProfiles::usualProfile); empty when Firefox has
    /// none yet. Only read when `ownProfile` is set.
    QString usualProfileDir;
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
    /// How long a launched browser may take to open its debugging port; one that has not by
    /// then is given up (it hangs, or shows a question on the screen).
    int startTimeoutMs = 30000;
    /// Period of the look at a profile held by another Firefox, until it is free.
    int profileCheckMs = 2000;
    /// Look at the profile's lock before launching (tests turn it off to see what Firefox
    /// does on a profile in use).
    bool checkProfileLock = true;
    /// Why a value of the environment was not usable; nothing starts while it is set.
    QString error;

    static FirefoxOptions fromEnvironment();
    /// The pop-up guard the environment asks for (TAVREL_POPUP_GUARD); when its value is not
    /// one, the strict guard, and `error` says so.
    static PopupGuard popupGuardFromEnvironment(QString* error);
    /// True for a launch flag that names the profile (--profile, -profile, -P).
    static bool namesProfile(const QString& argument);
    /// True when Firefox is asked for: TAVREL_BROWSER_KIND=firefox, or, when that variable
    /// is not set, a `program` (TAVREL_BROWSER) whose file name holds "firefox".
    static bool requested(const QString& program);
};

} // namespace platform::linuxp
