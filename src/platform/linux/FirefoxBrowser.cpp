#include "platform/linux/FirefoxBrowser.h"

#include "platform/linux/CdpJson.h"
#include "platform/linux/FirefoxCookies.h"

#include <QJsonArray>
#include <QTimer>

namespace platform::linuxp {

using cdp::str;

namespace {

// The events the adapter lives on; the requests are added under the strict guard, else a
// pop-up's requests are subscribed to one by one.
const QStringList kEvents{QStringLiteral("browsingContext.contextCreated"),
                          QStringLiteral("browsingContext.contextDestroyed"),
                          QStringLiteral("browsingContext.navigationStarted"),
                          QStringLiteral("browsingContext.navigationCommitted"),
                          QStringLiteral("browsingContext.navigationFailed"),
                          QStringLiteral("browsingContext.fragmentNavigated"),
                          QStringLiteral("browsingContext.historyUpdated"),
                          QStringLiteral("browsingContext.load"),
                          QStringLiteral("script.message")};

} // namespace

FirefoxBrowser::FirefoxBrowser(QObject* parent)
    : FirefoxBrowser(FirefoxOptions::fromEnvironment(), parent) {
    m_autoStart = true;
    QTimer::singleShot(0, this, [this] {
        if (m_autoStart && !start())
            qWarning("Tavrel: no browser: %s", qPrintable(lastError()));
    });
}

FirefoxBrowser::FirefoxBrowser(FirefoxOptions options, QObject* parent)
    : BrowserShell(parent), m_options(std::move(options)), m_launcher(m_options),
      m_snapshot(m_launcher, m_options.pollMs), m_pages(m_launcher, m_snapshot, m_options.useX11),
      m_gate(m_launcher, m_snapshot, m_pages, m_options.popupFallbackMs) {
    connect(&m_launcher, &FirefoxLauncher::opened, this, &FirefoxBrowser::onConnected);
    connect(&m_launcher, &FirefoxLauncher::closed, this, &FirefoxBrowser::onDisconnected);
    connect(&m_launcher, &FirefoxLauncher::event, this, &FirefoxBrowser::onEvent);
    connect(&m_launcher, &FirefoxLauncher::statusChanged, this, &BrowserShell::statusChanged);
    connect(&m_snapshot, &FirefoxSnapshot::windowRegistered, this, &BrowserShell::windowRegistered);
    connect(&m_snapshot, &FirefoxSnapshot::windowRevoked, this, &BrowserShell::windowRevoked);
    connect(&m_snapshot, &FirefoxSnapshot::windowDropped, &m_pages, &FirefoxPages::forget);
    connect(&m_gate, &FirefoxPopupGate::popupRefusalDone, this, &FirefoxBrowser::popupRefusalDone);
    m_snapshot.setPassedOver([this](const QString& context) { return m_gate.isHeld(context); });
    // A context that no event announced (should the browser skip one) is admitted as the
    // user's own.
    m_snapshot.setAdopt([this](QJsonObject info) {
        info.remove(QStringLiteral("originalOpener"));
        m_gate.onCreated(info);
        m_pages.inject(str(info, "context"));
    });
}

FirefoxBrowser::~FirefoxBrowser() {
    blockSignals(true);
    m_snapshot.silenceWindows();
    stop();
}

bool FirefoxBrowser::start() {
    m_autoStart = false;
    return m_launcher.start();
}

void FirefoxBrowser::onConnected() {
    // The page script first, so that every document made from now on has it; then the events.
    // The contexts announced before the subscription's answer existed already.
    m_pages.setUp();
    m_gate.setSeeding(true);
    const quint64 generation = m_launcher.generation();
    const bool strict = m_launcher.popupGuard() == PopupGuard::Strict;
    QStringList events = kEvents;
    if (strict)
        events << QStringLiteral("network.beforeRequestSent");
    m_launcher.send(
        QStringLiteral("session.subscribe"),
        QJsonObject{{QStringLiteral("events"), QJsonArray::fromStringList(events)}},
        [this, generation](const BidiReply& reply) {
            if (generation != m_launcher.generation())
                return;
            m_gate.setSeeding(false);
            if (!reply.ok)
                qWarning("Tavrel: Firefox refused the events: %s", qPrintable(reply.error));
        },
        true);
    // The strict guard: every request waits for the socket, which lets those of decided
    // pages go at once (see BidiPopupHold).
    if (strict)
        m_launcher.send(QStringLiteral("network.addIntercept"),
                        QJsonObject{{QStringLiteral("phases"),
                                     QJsonArray{QStringLiteral("beforeRequestSent")}}},
                        [this, generation](const BidiReply& reply) {
                            if (generation == m_launcher.generation() && !reply.ok)
                                qWarning("Tavrel: Firefox refused to hold requests: %s",
                                         qPrintable(reply.error));
                        });
    m_snapshot.startPolling();
    emit connectionChanged(true);
}

void FirefoxBrowser::onDisconnected() {
    m_gate.reset();
    m_pages.reset();
    m_snapshot.reset(); // every window reported closed
    emit connectionChanged(false);
}

// --- Events ------------------------------------------------------------------------------------

void FirefoxBrowser::onEvent(const QString& method, const QJsonObject& params) {
    if (method == u"browsingContext.contextCreated") {
        m_gate.onCreated(params);
        // The address its opener announced was this window's, decided now.
        m_pages.windowMade(str(params, "originalOpener"));
        return;
    }
    if (method == u"browsingContext.contextDestroyed")
        return onContextGone(params);
    if (method == u"script.message")
        return m_pages.onMessage(params);
    if (method == u"network.beforeRequestSent") {
        if (params.value(QStringLiteral("isBlocked")).toBool())
            m_gate.onBlocked(str(params, "context"),
                             str(params.value(QStringLiteral("request")).toObject(), "request"));
        return;
    }
    if (method == u"tavrel.held")
        return m_gate.onHeld(params);
    if (method == u"browsingContext.navigationStarted")
        m_gate.onNavigationStarted(str(params, "context"));
    if (method.startsWith(u"browsingContext."))
        m_pages.onNavigation(method, params);
}

void FirefoxBrowser::onContextGone(const QJsonObject& params) {
    const QString context = str(params, "context");
    if (!str(params, "parent").isEmpty()) {
        m_snapshot.forgetFrame(context);
        return;
    }
    if (!m_gate.onGone(context))
        m_snapshot.revoke(context);
}

// --- The shell ---------------------------------------------------------------------------------

QList<BrowserWindow*> FirefoxBrowser::windows() const {
    QList<BrowserWindow*> list;
    list.reserve(qsizetype(m_snapshot.registered().size()));
    for (FirefoxWindow* w : m_snapshot.registered())
        list.append(w);
    return list;
}

bool FirefoxBrowser::postClose(WindowHandle handle) {
    FirefoxWindow* w = m_snapshot.byHandle(handle);
    if (!w || !connected())
        return false;
    // The window leaves the list when the browser reports it destroyed. A page's question
    // before leaving is not asked: the close is not the user's.
    m_launcher.send(QStringLiteral("browsingContext.close"),
                    QJsonObject{{QStringLiteral("context"), w->context()},
                                {QStringLiteral("promptUnload"), false}});
    return true;
}

QPoint FirefoxBrowser::cursorPosIn(WindowHandle handle) const {
    const FirefoxWindow* w = m_snapshot.byHandle(handle);
    return w ? m_pages.cursorPosIn(*w) : QPoint();
}

QString FirefoxBrowser::contextOf(WindowHandle handle) const {
    const FirefoxWindow* w = m_snapshot.byHandle(handle);
    return w ? w->context() : QString();
}

// --- Cookies -----------------------------------------------------------------------------------

bool FirefoxBrowser::hasCookies() const {
    return connected() && status().state == BrowserStatus::State::Watching;
}

void FirefoxBrowser::readCookies(CookieCallback done) {
    firefox::readCookies(m_launcher, std::move(done));
}

void FirefoxBrowser::deleteCookies(const QList<BrowserCookie>& cookies, CookieCallback done) {
    firefox::deleteCookies(m_launcher, cookies, std::move(done));
}

// --- Addresses opened on the user's demand, and those pages ask new windows for ---------------

bool FirefoxBrowser::openUrl(const QString& url) {
    if (!connected())
        return false;
    // A new tab, opened by no page, is admitted like the user's own; then it goes to the
    // address (Firefox makes a tab with its blank page only).
    const quint64 generation = m_launcher.generation();
    m_launcher.send(
        QStringLiteral("browsingContext.create"),
        QJsonObject{{QStringLiteral("type"), QStringLiteral("tab")}},
        [this, generation, url](const BidiReply& reply) {
            const QString context = reply.result.value(QStringLiteral("context")).toString();
            if (!reply.ok || context.isEmpty() || generation != m_launcher.generation()) {
                qWarning("Tavrel: Firefox did not open a tab: %s", qPrintable(reply.error));
                return;
            }
            m_launcher.send(QStringLiteral("browsingContext.navigate"),
                            QJsonObject{{QStringLiteral("context"), context},
                                        {QStringLiteral("url"), url},
                                        {QStringLiteral("wait"), QStringLiteral("none")}},
                            [url](const BidiReply& r) {
                                if (!r.ok)
                                    qWarning("Tavrel: Firefox did not open %s: %s", qPrintable(url),
                                             qPrintable(r.error));
                            });
        });
    return true;
}

QString FirefoxBrowser::requestedWindowUrl(WindowHandle opener) const {
    return m_pages.requestedUrl(opener);
}

} // namespace platform::linuxp
