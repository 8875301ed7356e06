#include "E2eSupport.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QStandardPaths>
#include <QTcpSocket>
#include <QTimer>
#include <memory>

namespace e2e {

const QString kOpener = QStringLiteral(R"html(<html><head><title>Opener</title></head>
<body style="margin:0">
<button id="b" style="position:absolute;left:0;top:0;width:300px;height:200px"
  onclick="window.open('/popup.html?first','','width=200,height=100');
           window.open('/popup.html?second','','width=200,height=100')">open</button>
<script>window.ticks = 0; setInterval(() => { window.ticks++; }, 10);</script>
</body></html>)html");

const QString kPopup =
    QStringLiteral("<html><head><title>Popup</title></head><body>p</body></html>");

using platform::linuxp::CdpReply;

bool waitUntil(const std::function<bool()>& done, int ms) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() >= ms)
            return false;
        QEventLoop loop;
        QTimer::singleShot(5, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

void spin(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// --- Server ------------------------------------------------------------------------------------

namespace {
// The value of a request's Cookie header, or nothing.
QByteArray cookieHeader(const QByteArray& head) {
    for (const QByteArray& line : head.split('\n'))
        if (line.toLower().startsWith("cookie:"))
            return line.mid(7).trimmed();
    return {};
}
} // namespace

LocalServer::LocalServer() {
    m_server.listen(QHostAddress::LocalHost, 0);
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QObject::destroyed, this, [this, socket] { m_buffers.erase(socket); });
            connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                QByteArray& in = m_buffers[socket];
                in += socket->readAll();
                if (!in.contains("\r\n\r\n"))
                    return;
                const QList<QByteArray> line = in.left(in.indexOf("\r\n")).split(' ');
                const QString target = line.size() > 1 ? QString::fromLatin1(line[1]) : QString();
                requested.append(target);
                cookiesSent.append(cookieHeader(in.left(in.indexOf("\r\n\r\n"))));
                const QString path = target.section(u'?', 0, 0);
                const auto page = m_pages.find(path);
                const QByteArray body = page != m_pages.end() ? page->second : "not found";
                socket->write(
                    (page != m_pages.end() ? "HTTP/1.1 200 OK\r\n" : "HTTP/1.1 404 Not Found\r\n") +
                    QByteArray("Content-Type: text/html; charset=utf-8\r\n"
                               "Cache-Control: no-store\r\nConnection: close\r\n") +
                    (page != m_pages.end() ? m_headers[path] : QByteArray()) +
                    QByteArray("Content-Length: ") + QByteArray::number(body.size()) + "\r\n\r\n" +
                    body);
                socket->disconnectFromHost();
                in.clear();
            });
        }
    });
}

QString LocalServer::url(const QString& path) const {
    return QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path);
}

bool LocalServer::wasRequested(const QString& fragment) const {
    for (const QString& r : requested)
        if (r.contains(fragment))
            return true;
    return false;
}

// --- Browser -----------------------------------------------------------------------------------

QString Browser::unavailableReason() {
    static const QString reason = [] {
        const QString path = qEnvironmentVariableIsSet("TAVREL_BROWSER")
                                 ? qEnvironmentVariable("TAVREL_BROWSER")
                                 : QStandardPaths::findExecutable(QStringLiteral("chromium"));
        if (path.isEmpty())
            return QStringLiteral("chromium is not on the PATH (install the chromium package)");
        if (!QFileInfo(path).isExecutable())
            return QStringLiteral("%1 is not executable").arg(path);
        return QString();
    }();
    return reason;
}

platform::linuxp::ChromiumOptions Browser::headlessOptions(const QString& profile) {
    platform::linuxp::ChromiumOptions o;
    o.browser = qEnvironmentVariable("TAVREL_BROWSER");
    o.arguments = {QStringLiteral("--headless=new"),
                   QStringLiteral("--no-sandbox"),
                   QStringLiteral("--disable-gpu"),
                   QStringLiteral("--disable-quic"),
                   QStringLiteral("--disable-background-networking"),
                   QStringLiteral("--disable-component-update"),
                   QStringLiteral("--disable-sync"),
                   QStringLiteral("--user-data-dir=") + profile,
                   QStringLiteral("about:blank")};
    // TAVREL_E2E_HEADFUL=1 runs the same tests on a browser with windows (under Xvfb).
    if (qEnvironmentVariable("TAVREL_E2E_HEADFUL") == u"1")
        o.arguments.removeAll(QStringLiteral("--headless=new"));
    o.useX11 = false;
    o.retryMs = 300;
    return o;
}

Browser::Browser(bool x11KeyState) {
    if (!unavailableReason().isEmpty())
        return;
    platform::linuxp::ChromiumOptions options = headlessOptions(m_profile.path());
    options.useX11 = x11KeyState;
    m_shell = std::make_unique<platform::linuxp::ChromiumBrowser>(options);
    if (!m_shell->start()) {
        m_error = m_shell->lastError();
        return;
    }
    // Started: the connection is open and the first tab is listed.
    m_started =
        waitUntil([this] { return m_shell->connected() && !m_shell->windows().isEmpty(); }, 30000);
    if (!m_started)
        m_error = QStringLiteral("the browser did not come up: ") + m_shell->lastError();
}

CdpReply Browser::command(const QString& method, const QJsonObject& params,
                          const QString& sessionId, int ms) {
    // Shared: an answer that comes after we stopped waiting has somewhere to go.
    const auto answer = std::make_shared<std::optional<CdpReply>>();
    auto* c = m_shell->connection();
    if (!c)
        return {false, {}, QStringLiteral("not connected")};
    c->send(method, params, sessionId, [answer](const CdpReply& r) { *answer = r; });
    if (!waitUntil([&] { return answer->has_value(); }, ms))
        return {false, {}, QStringLiteral("no answer to ") + method};
    return **answer;
}

platform::WindowHandle Browser::openTab(const QString& url) {
    const CdpReply r = command(QStringLiteral("Target.createTarget"), {{"url", url}});
    if (!r.ok)
        return 0;
    const QString targetId = r.result.value(QStringLiteral("targetId")).toString();
    platform::WindowHandle handle = 0;
    waitUntil([&] {
        for (auto* w : m_shell->windows())
            if (static_cast<platform::linuxp::ChromiumWindow*>(w)->targetId() == targetId &&
                w->hasDocument())
                handle = w->hwnd();
        return handle != 0;
    });
    // Loaded: the document is the page's own (not the blank one before it) and its
    // scripts have run.
    const QJsonValue loaded(url + QStringLiteral(" complete"));
    if (handle && !waitUntil([&] {
            return eval(handle, "location.href + ' ' + document.readyState") == loaded;
        }))
        return 0;
    return handle;
}

platform::linuxp::ChromiumWindow* Browser::window(platform::WindowHandle handle) const {
    for (auto* w : m_shell->windows())
        if (w->hwnd() == handle)
            return static_cast<platform::linuxp::ChromiumWindow*>(w);
    return nullptr;
}

QJsonValue Browser::eval(platform::WindowHandle handle, const QString& expression) {
    const CdpReply r =
        command(QStringLiteral("Runtime.evaluate"),
                {{"expression", expression}, {"returnByValue", true}}, m_shell->sessionOf(handle));
    return r.result.value(QStringLiteral("result")).toObject().value(QStringLiteral("value"));
}

QJsonValue Browser::evalIsolated(platform::WindowHandle handle, const QString& expression, int ms) {
    const QString session = m_shell->sessionOf(handle);
    const CdpReply world =
        command(QStringLiteral("Page.createIsolatedWorld"),
                {{"frameId", m_shell->targetOf(handle)}, {"worldName", "e2e"}}, session);
    const CdpReply r = command(QStringLiteral("Runtime.evaluate"),
                               {{"expression", expression},
                                {"returnByValue", true},
                                {"contextId", world.result.value("executionContextId")}},
                               session, ms);
    return r.result.value(QStringLiteral("result")).toObject().value(QStringLiteral("value"));
}

bool Browser::click(platform::WindowHandle handle, int x, int y, int modifiers) {
    const QString session = m_shell->sessionOf(handle);
    // Input to a background tab stalls: bring it to the front first.
    if (!command(QStringLiteral("Page.bringToFront"), {}, session).ok)
        return false;
    for (const char* type : {"mousePressed", "mouseReleased"})
        if (!command(QStringLiteral("Input.dispatchMouseEvent"),
                     {{"type", type},
                      {"x", x},
                      {"y", y},
                      {"button", "left"},
                      {"buttons", QLatin1String(type) == u"mousePressed" ? 1 : 0},
                      {"clickCount", 1},
                      {"modifiers", modifiers}},
                     session)
                 .ok)
            return false;
    return true;
}

bool Browser::listed(platform::WindowHandle handle) const {
    return window(handle) != nullptr;
}

QList<platform::WindowHandle> Browser::handles() const {
    QList<platform::WindowHandle> list;
    for (auto* w : m_shell->windows())
        list.append(w->hwnd());
    return list;
}

} // namespace e2e
