#include "platform/linux/FirefoxOptions.h"

#include <QFileInfo>
#include <QProcess>

namespace platform::linuxp {

namespace {

bool isLoopback(const QString& host) {
    return host == u"127.0.0.1" || host == u"localhost" || host == u"::1";
}

} // namespace

bool FirefoxOptions::requested() {
    const QString kind = qEnvironmentVariable("TAVREL_BROWSER_KIND").trimmed().toLower();
    if (!kind.isEmpty())
        return kind == u"firefox";
    return QFileInfo(qEnvironmentVariable("TAVREL_BROWSER"))
        .fileName()
        .contains(u"firefox", Qt::CaseInsensitive);
}

FirefoxOptions FirefoxOptions::fromEnvironment() {
    FirefoxOptions o;
    o.browser = qEnvironmentVariable("TAVREL_BROWSER");
    o.arguments = QProcess::splitCommand(qEnvironmentVariable("TAVREL_BROWSER_ARGS"));
    o.profileDir = qEnvironmentVariable("TAVREL_BROWSER_PROFILE");
    o.useX11 = qEnvironmentVariable("TAVREL_KEY_STATE") != u"page";
    const QString guard = qEnvironmentVariable("TAVREL_POPUP_GUARD").trimmed().toLower();
    if (guard == u"light")
        o.popupGuard = PopupGuard::Light;
    else if (!guard.isEmpty() && guard != u"strict")
        o.error =
            QStringLiteral("TAVREL_POPUP_GUARD: \"%1\" is neither strict nor light").arg(guard);
    const QString attach = qEnvironmentVariable("TAVREL_ATTACH").trimmed();
    if (attach.isEmpty())
        return o;
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
        o.error = QStringLiteral("TAVREL_ATTACH: \"%1\" is not host:port").arg(attach);
    else if (!isLoopback(host))
        // The debugging port speaks plain text and grants full control of the browser: it is
        // only ever reached on this machine.
        o.error = QStringLiteral("TAVREL_ATTACH: %1 is not a loopback address").arg(host);
    else {
        o.attachHost = host;
        o.attachPort = quint16(number);
    }
    return o;
}

} // namespace platform::linuxp
