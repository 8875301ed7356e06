#pragma once

#include <QString>
#include <QStringList>

namespace platform::linuxp {

// How Tavrel reaches the browser. Read from the environment by the program (its command-line
// options set the same variables); tests fill it in.
struct ChromiumOptions {
    /// Browser to launch (TAVREL_BROWSER); empty: chromium found on the PATH.
    QString browser;
    /// The browser's name as the user knows it ("Chromium"); empty: taken from the program.
    QString productName;
    /// Launch on the browser's own usual profile (no --user-data-dir) rather than Tavrel's.
    bool ownProfile = false;
    /// The folder of the browser's usual profile, where a running browser holds its lock;
    /// empty when unknown. Only read when `ownProfile` is set.
    QString usualProfileDir;
    /// Flags added to the launch command (TAVREL_BROWSER_ARGS, split like a shell would).
    QStringList arguments;
    /// Profile folder of a launched browser (TAVREL_BROWSER_PROFILE); empty: Tavrel's own
    /// folder under the user's data folder. A --user-data-dir in `arguments` wins.
    QString profileDir;
    /// Attach to a browser already listening on this loopback address (TAVREL_ATTACH)
    /// instead of launching one; port 0 means launch.
    QString attachHost = QStringLiteral("127.0.0.1");
    quint16 attachPort = 0;
    /// Key state from the X server when a display opens. Off in a Wayland session, where the
    /// browser's windows are not X windows, unless the browser is launched with
    /// --ozone-platform=x11; TAVREL_KEY_STATE=page turns it off, =x11 on.
    bool useX11 = true;
    /// Period of the snapshot refresh.
    int pollMs = 200;
    /// A new page still not set up by then is listed and run anyway; a refused pop-up still
    /// there this long after its close was asked for is closed again.
    int popupFallbackMs = 500;
    /// Delay before attaching again, or before launching again after a crash.
    int retryMs = 1000;
    /// A launched browser that has not answered by then is given up (it refuses to be
    /// watched on that profile, or hangs).
    int answerMs = 20000;
    /// Period of the look at a profile held by another browser, until it is free.
    int profileCheckMs = 2000;
    /// Look at the profile's lock before launching (tests turn it off to see the hand-off).
    bool checkProfileLock = true;
    /// Why a value of the environment was not usable; nothing starts while it is set.
    QString error;

    static ChromiumOptions fromEnvironment();
};

} // namespace platform::linuxp
