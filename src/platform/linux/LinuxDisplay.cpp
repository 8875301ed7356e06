#include "platform/linux/LinuxDisplay.h"

#include "platform/Logging.h"

#include <QDir>
#include <QFile>
#include <QLibraryInfo>
#include <QList>

#include <X11/Xlib.h>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace platform::linuxp {

namespace {

bool isWayland(const QByteArray& name) {
    return name.startsWith("wayland");
}

} // namespace

bool x11Answers() {
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return false;
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return false;
    XCloseDisplay(display);
    return true;
}

bool waylandAnswers() {
    if (!qEnvironmentVariableIsEmpty("WAYLAND_SOCKET"))
        return true; // a connection made for us by whoever started the program
    const QByteArray name = qgetenv("WAYLAND_DISPLAY");
    if (name.isEmpty())
        return false;
    QByteArray path = name;
    if (!name.startsWith('/')) {
        const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
        if (runtime.isEmpty())
            return false;
        path = runtime + '/' + name;
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (size_t(path.size()) >= sizeof(address.sun_path))
        return false;
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const bool connected =
        ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return connected;
}

bool waylandPluginInstalled() {
    QStringList folders =
        qEnvironmentVariable("QT_QPA_PLATFORM_PLUGIN_PATH").split(u':', Qt::SkipEmptyParts);
    for (const QString& base :
         qEnvironmentVariable("QT_PLUGIN_PATH").split(u':', Qt::SkipEmptyParts))
        folders += base + QStringLiteral("/platforms");
    folders += QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforms");
    for (const QString& folder : folders)
        if (!QDir(folder).entryList({QStringLiteral("libqwayland*.so")}, QDir::Files).isEmpty())
            return true;
    return false;
}

DisplayChoice chooseDisplay(const QStringList& arguments) {
    QByteArray requested = qgetenv("QT_QPA_PLATFORM");
    // Qt reads "-platform NAME" (or "--platform NAME") before the variable.
    for (qsizetype i = 1; i + 1 < arguments.size(); ++i)
        if (arguments[i] == u"-platform" || arguments[i] == u"--platform")
            requested = arguments[i + 1].toLocal8Bit();
    if (!requested.trimmed().isEmpty()) {
        // Qt tries each platform of the list in turn; one that works is enough.
        for (const QByteArray& entry : requested.split(';')) {
            const QByteArray name = entry.trimmed().split(':').first();
            if (name.isEmpty())
                continue;
            bool works = true; // a platform without a display server (offscreen, vnc, eglfs)
            if (name == "xcb")
                works = x11Answers();
            else if (isWayland(name))
                works = waylandPluginInstalled() && waylandAnswers();
            qCDebug(platform::lcDisplay, "QT_QPA_PLATFORM %s: %s", name.constData(),
                    works ? "usable" : "no display");
            if (works)
                return {true, {}};
        }
        return {false, {}};
    }
    const bool x11 = x11Answers();
    const bool wayland = waylandPluginInstalled() && waylandAnswers();
    qCDebug(platform::lcDisplay, "X server %s, Wayland compositor %s",
            x11 ? "answers" : "does not answer", wayland ? "answers" : "does not answer");
    if (x11 && wayland)
        return {true, {}};
    if (wayland)
        return {true, QByteArrayLiteral("wayland")};
    if (x11)
        // Qt may prefer Wayland in a Wayland session; the X server is the one that answers.
        return {true, qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ? QByteArray()
                                                                     : QByteArrayLiteral("xcb")};
    return {false, {}};
}

} // namespace platform::linuxp
