#include "FirefoxSupport.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QStandardPaths>

namespace e2e {

using platform::WindowHandle;
using platform::linuxp::BidiReply;
using platform::linuxp::FirefoxWindow;

QString Firefox::program() {
    if (qEnvironmentVariableIsSet("TAVREL_E2E_FIREFOX"))
        return qEnvironmentVariable("TAVREL_E2E_FIREFOX");
    for (const char* name : {"firefox-esr", "firefox"})
        if (const QString path = QStandardPaths::findExecutable(QLatin1String(name));
            !path.isEmpty())
            return path;
    return {};
}

QString Firefox::unavailableReason() {
    static const QString reason = [] {
        const QString path = program();
        if (path.isEmpty())
            return QStringLiteral(
                "neither firefox-esr nor firefox is on the PATH (install the firefox-esr package)");
        if (!QFileInfo(path).isExecutable())
            return QStringLiteral("%1 is not executable").arg(path);
        return QString();
    }();
    return reason;
}

platform::linuxp::FirefoxOptions Firefox::headlessOptions(const QString& profile) {
    platform::linuxp::FirefoxOptions o;
    o.browser = program();
    o.arguments = {QStringLiteral("--headless")};
    o.profileDir = profile;
    // TAVREL_E2E_HEADFUL=1 runs the same tests on a browser with windows (under Xvfb).
    if (qEnvironmentVariable("TAVREL_E2E_HEADFUL") == u"1")
        o.arguments.removeAll(QStringLiteral("--headless"));
    o.useX11 = false;
    o.retryMs = 300;
    // A first start on a fresh profile can take long on a loaded machine (the tests run
    // beside a build, or beside the Chromium ones).
    o.startTimeoutMs = 60000;
    return o;
}

Firefox::Firefox(platform::linuxp::PopupGuard guard) {
    if (!unavailableReason().isEmpty())
        return;
    auto options = headlessOptions(m_profile.path());
    options.popupGuard = guard;
    m_shell = std::make_unique<platform::linuxp::FirefoxBrowser>(options);
    if (!m_shell->start()) {
        m_error = m_shell->lastError();
        return;
    }
    // Started: the session is open and the first tab is listed.
    m_started =
        waitUntil([this] { return m_shell->connected() && !m_shell->windows().isEmpty(); }, 90000);
    if (!m_started)
        m_error = QStringLiteral("Firefox did not come up: ") + m_shell->lastError();
}

BidiReply Firefox::command(const QString& method, const QJsonObject& params, int ms) {
    std::optional<BidiReply> answer;
    auto* c = m_shell->connection();
    if (!c)
        return {false, {}, QStringLiteral("not connected")};
    c->send(method, params, [&answer](const BidiReply& r) { answer = r; });
    if (!waitUntil([&] { return answer.has_value(); }, ms))
        return {false, {}, QStringLiteral("no answer to ") + method};
    return *answer;
}

WindowHandle Firefox::openTab(const QString& url) {
    const BidiReply created = command(QStringLiteral("browsingContext.create"), {{"type", "tab"}});
    if (!created.ok)
        return 0;
    const QString context = created.result.value(QStringLiteral("context")).toString();
    WindowHandle handle = 0;
    waitUntil([&] {
        for (auto* w : m_shell->windows())
            if (static_cast<FirefoxWindow*>(w)->context() == context && w->hasDocument())
                handle = w->hwnd();
        return handle != 0;
    });
    if (!handle || !command(QStringLiteral("browsingContext.navigate"),
                            {{"context", context}, {"url", url}, {"wait", "complete"}}, 20000)
                        .ok)
        return 0;
    // Loaded, and the adapter has heard of it.
    if (!waitUntil([&] { return window(handle) && window(handle)->locationURL() == url; }))
        return 0;
    return handle;
}

FirefoxWindow* Firefox::window(WindowHandle handle) const {
    for (auto* w : m_shell->windows())
        if (w->hwnd() == handle)
            return static_cast<FirefoxWindow*>(w);
    return nullptr;
}

QJsonValue Firefox::eval(WindowHandle handle, const QString& expression) {
    const BidiReply r = command(QStringLiteral("script.evaluate"),
                                {{"expression", expression},
                                 {"awaitPromise", false},
                                 {"target", QJsonObject{{"context", m_shell->contextOf(handle)}}}});
    const QJsonObject value = r.result.value(QStringLiteral("result")).toObject();
    const QString type = value.value(QStringLiteral("type")).toString();
    if (type == u"number" || type == u"string" || type == u"boolean")
        return value.value(QStringLiteral("value"));
    return QJsonValue::Null;
}

bool Firefox::click(WindowHandle handle, int x, int y, bool control) {
    const QString context = m_shell->contextOf(handle);
    // Input to a background tab may not arrive: bring it to the front first.
    if (!command(QStringLiteral("browsingContext.activate"), {{"context", context}}).ok)
        return false;
    auto act = [](std::initializer_list<QPair<QString, QJsonValue>> fields) {
        QJsonObject o;
        for (const auto& [k, v] : fields)
            o.insert(k, v);
        return QJsonValue(o);
    };
    const QJsonValue pause = act({{"type", "pause"}});
    const QJsonArray pointer{act({{"type", "pointerMove"}, {"x", x}, {"y", y}}), pause,
                             act({{"type", "pointerDown"}, {"button", 0}}),
                             act({{"type", "pointerUp"}, {"button", 0}}), pause};
    const QString controlKey = QStringLiteral("\uE009");
    const QJsonArray keys{control ? act({{"type", "keyDown"}, {"value", controlKey}}) : pause,
                          pause, pause, pause,
                          control ? act({{"type", "keyUp"}, {"value", controlKey}}) : pause};
    const QJsonArray actions{QJsonObject{{"type", "pointer"},
                                         {"id", "mouse"},
                                         {"parameters", QJsonObject{{"pointerType", "mouse"}}},
                                         {"actions", pointer}},
                             QJsonObject{{"type", "key"}, {"id", "keyboard"}, {"actions", keys}}};
    return command(QStringLiteral("input.performActions"),
                   {{"context", context}, {"actions", actions}})
        .ok;
}

bool Firefox::listed(WindowHandle handle) const {
    return window(handle) != nullptr;
}

QList<WindowHandle> Firefox::handles() const {
    QList<WindowHandle> list;
    for (auto* w : m_shell->windows())
        list.append(w->hwnd());
    return list;
}

} // namespace e2e
