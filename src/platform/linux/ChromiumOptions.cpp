#include "platform/linux/ChromiumOptions.h"

#include <QProcess>

namespace platform::linuxp {

namespace {

bool isLoopback(const QString& host) {
    return host == u"127.0.0.1" || host == u"localhost" || host == u"::1";
}

// The key state comes from the X server only where the browser's windows are X windows. In a
// Wayland session Chromium draws its windows through the compositor, and the X server (Xwayland)
// sees none of the keys pressed there: the page's own reports tell instead.
bool xKeyStateApplies(const QStringList& browserArguments) {
    const QString choice = qEnvironmentVariable("TAVREL_KEY_STATE");
    if (choice == u"page")
        return false;
    if (choice == u"x11" || !qEnvironmentVariableIsSet("WAYLAND_DISPLAY"))
        return true;
    return browserArguments.contains(QStringLiteral("--ozone-platform=x11"));
}

} // namespace

ChromiumOptions ChromiumOptions::fromEnvironment() {
    ChromiumOptions o;
    o.browser = qEnvironmentVariable("TAVREL_BROWSER");
    o.arguments = QProcess::splitCommand(qEnvironmentVariable("TAVREL_BROWSER_ARGS"));
    o.profileDir = qEnvironmentVariable("TAVREL_BROWSER_PROFILE");
    o.useX11 = xKeyStateApplies(o.arguments);
    const QString attach = qEnvironmentVariable("TAVREL_ATTACH").trimmed();
    if (!attach.isEmpty()) {
        QString host = QStringLiteral("127.0.0.1");
        QString port = attach;
        if (const qsizetype colon = attach.lastIndexOf(u':'); colon >= 0) {
            host = attach.left(colon);
            port = attach.mid(colon + 1);
            if (host.startsWith(u'[') && host.endsWith(u']'))
                host = host.mid(1, host.size() - 2);
        }
        bool ok = false;
        const uint number = port.toUInt(&ok);
        if (!ok || number == 0 || number > 65535)
            o.error = QStringLiteral("TAVREL_ATTACH : « %1 » n'est pas de la forme hôte:port")
                          .arg(attach);
        else if (!isLoopback(host))
            // The debugging port speaks plain text and grants full control of the browser:
            // it is only ever reached on this machine.
            o.error = QStringLiteral("TAVREL_ATTACH : %1 n'est pas une adresse de cet ordinateur")
                          .arg(host);
        else {
            o.attachHost = host;
            o.attachPort = quint16(number);
        }
    }
    return o;
}

} // namespace platform::linuxp
