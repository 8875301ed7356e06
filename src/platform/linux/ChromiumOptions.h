#pragma once

#include <QString>
#include <QStringList>

namespace platform::linuxp {

// How Tavrel reaches the browser. Read from the environment by the program; tests fill it in.
struct ChromiumOptions {
    /// Browser to launch (TAVREL_BROWSER); empty: chromium found on the PATH.
    QString browser;
    /// Flags added to the launch command (TAVREL_BROWSER_ARGS, split like a shell would).
    QStringList arguments;
    /// Profile folder of a launched browser (TAVREL_BROWSER_PROFILE); empty: Tavrel's own
    /// folder under the user's data folder. A --user-data-dir in `arguments` wins.
    QString profileDir;
    /// Attach to a browser already listening on this loopback address (TAVREL_ATTACH)
    /// instead of launching one; port 0 means launch.
    QString attachHost = QStringLiteral("127.0.0.1");
    quint16 attachPort = 0;
    /// Key state from the X server when a display opens (TAVREL_KEY_STATE=page turns it off).
    bool useX11 = true;
    /// Period of the snapshot refresh.
    int pollMs = 200;
    /// A new page still not set up by then is listed and run anyway; a refused pop-up still
    /// there this long after its close was asked for is closed again.
    int popupFallbackMs = 500;
    /// Delay before attaching again, or before launching again after a crash.
    int retryMs = 1000;
    /// Why a value of the environment was not usable; nothing starts while it is set.
    QString error;

    static ChromiumOptions fromEnvironment();
};

} // namespace platform::linuxp
