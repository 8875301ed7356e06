#include "platform/linux/FirefoxOptions.h"

#include <QFileInfo>
#include <QProcess>

namespace platform::linuxp {

namespace {

bool isLoopback(const QString& host) {
    return host == u"127.0.0.1" || host == u"localhost" || host == u"::1";
}

} // namespace

bool FirefoxOptions::namesProfile(const QString& argument) {
    return argument == u"--profile" || argument == u"-profile" || argument == u"-P" ||
           argument == u"--P" || argument.startsWith(u"--profile=");
}

bool FirefoxOptions::requested(const QString& program) {
    const QString kind = qEnvironmentVariable("TAVREL_BROWSER_KIND").trimmed().toLower();
    if (!kind.isEmpty())
        return kind == u"firefox";
    return QFileInfo(program).fileName().contains(u"firefox", Qt::CaseInsensitive);
}

PopupGuard FirefoxOptions::popupGuardFromEnvironment(QString* error) {
    const QString guard = qEnvironmentVariable("TAVREL_POPUP_GUARD").trimmed().toLower();
    if (guard == u"light")
        return PopupGuard::Light;
    if (!guard.isEmpty() && guard != u"strict" && error)
        *error = QStringLiteral("TAVREL_POPUP_GUARD : « %1 » n'est ni strict ni light").arg(guard);
    return PopupGuard::Strict;
}

FirefoxOptions FirefoxOptions::fromEnvironment() {
    FirefoxOptions o;
    o.browser = qEnvironmentVariable("TAVREL_BROWSER");
    o.arguments = QProcess::splitCommand(qEnvironmentVariable("TAVREL_BROWSER_ARGS"));
    o.profileDir = qEnvironmentVariable("TAVREL_BROWSER_PROFILE");
    o.useX11 = qEnvironmentVariable("TAVREL_KEY_STATE") != u"page";
    o.popupGuard = popupGuardFromEnvironment(&o.error);
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
