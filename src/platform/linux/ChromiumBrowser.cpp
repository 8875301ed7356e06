#include "platform/linux/ChromiumBrowser.h"

#include "platform/Logging.h"
#include "platform/linux/CdpJson.h"
#include "platform/linux/ChromiumCookies.h"

#include <QTimer>

namespace platform::linuxp {

using cdp::obj;
using cdp::str;

ChromiumBrowser::ChromiumBrowser(QObject* parent)
    : ChromiumBrowser(ChromiumOptions::fromEnvironment(), parent) {
    m_autoStart = true;
    QTimer::singleShot(0, this, [this] {
        if (m_autoStart && !start())
            qCWarning(platform::lcBrowser, "no browser: %s", qPrintable(lastError()));
    });
}

ChromiumBrowser::ChromiumBrowser(ChromiumOptions options, QObject* parent)
    : BrowserShell(parent), m_options(std::move(options)), m_launcher(m_options),
      m_snapshot(m_launcher, m_options.pollMs),
      m_sessions(m_launcher, m_snapshot, m_options.useX11),
      m_gate(m_launcher, m_snapshot, m_sessions, m_options.popupFallbackMs) {
    connect(&m_launcher, &ChromiumLauncher::opened, this, &ChromiumBrowser::onConnected);
    connect(&m_launcher, &ChromiumLauncher::closed, this, &ChromiumBrowser::onDisconnected);
    connect(&m_launcher, &ChromiumLauncher::event, this, &ChromiumBrowser::onEvent);
    connect(&m_launcher, &ChromiumLauncher::statusChanged, this, &BrowserShell::statusChanged);
    connect(&m_snapshot, &ChromiumSnapshot::windowRegistered, this,
            &BrowserShell::windowRegistered);
    connect(&m_snapshot, &ChromiumSnapshot::windowRevoked, this, &BrowserShell::windowRevoked);
    connect(&m_snapshot, &ChromiumSnapshot::windowDropped, &m_sessions, &ChromiumSessions::forget);
    connect(&m_gate, &ChromiumPopupGate::popupRefusalDone, this,
            &ChromiumBrowser::popupRefusalDone);
    m_snapshot.setPassedOver(
        [this](const QString& targetId) { return m_gate.isRefused(targetId); });
    m_sinceStart.start();
}

ChromiumBrowser::~ChromiumBrowser() {
    blockSignals(true);
    m_snapshot.silenceWindows();
    stop();
}

bool ChromiumBrowser::start() {
    m_autoStart = false;
    return m_launcher.start();
}

void ChromiumBrowser::onConnected() {
    m_snapshot.watchTargets();
    m_gate.watchNewPages();
    m_snapshot.startPolling();
    emit connectionChanged(true);
}

void ChromiumBrowser::onDisconnected() {
    m_requestedUrls.clear();
    m_gate.reset();
    m_sessions.reset();
    m_snapshot.reset(); // every window reported closed
    emit connectionChanged(false);
}

// --- Events ------------------------------------------------------------------------------------

void ChromiumBrowser::onEvent(const QString& method, const QJsonObject& params,
                              const QString& sessionId) {
    m_snapshot.noteActivity();
    if (method == u"Target.attachedToTarget")
        return m_gate.onAttached(params);
    if (method == u"Target.detachedFromTarget")
        return m_sessions.onDetached(str(params, "sessionId"));
    if (method == u"Target.targetDestroyed")
        return onTargetGone(str(params, "targetId"));
    if (method == u"Target.targetInfoChanged")
        return m_snapshot.applyInfo(params.value(QStringLiteral("targetInfo")).toObject());
    if (method == u"Fetch.requestPaused")
        return m_gate.onRequestPaused(params, sessionId);
    if (sessionId.isEmpty())
        return;
    ChromiumWindow* w = m_sessions.window(sessionId);
    if (!w)
        return;
    if (method == u"Page.windowOpen") {
        noteRequestedUrl(w->targetId(), str(params, "url"));
        return m_gate.noteWindowOpen(w->targetId(),
                                     params.value(QStringLiteral("userGesture")).toBool(),
                                     params.value(QStringLiteral("windowFeatures"))
                                         .toArray()
                                         .contains(QJsonValue(QStringLiteral("noopener"))));
    }
    m_sessions.onPageEvent(*w, method, params);
}

void ChromiumBrowser::onTargetGone(const QString& targetId) {
    m_requestedUrls.erase(targetId);
    m_snapshot.forgetUnknown(targetId);
    if (!m_gate.onTargetGone(targetId))
        m_snapshot.revoke(targetId);
}

// --- The shell ---------------------------------------------------------------------------------

QList<BrowserWindow*> ChromiumBrowser::windows() const {
    QList<BrowserWindow*> list;
    list.reserve(qsizetype(m_snapshot.registered().size()));
    for (ChromiumWindow* w : m_snapshot.registered())
        list.append(w);
    return list;
}

bool ChromiumBrowser::postClose(WindowHandle handle) {
    ChromiumWindow* w = m_snapshot.byHandle(handle);
    if (!w || !connected())
        return false;
    // The window leaves the list when the browser reports it destroyed.
    m_launcher.send(QStringLiteral("Target.closeTarget"), obj({{"targetId", w->targetId()}}));
    return true;
}

bool ChromiumBrowser::keyDown(Key key) const {
    // Keys known only from the pages' own reports do not count for a new window the browser
    // saw no gesture behind: a page can make such a report up.
    if (m_gate.decidingGesture() == false && m_sessions.keysFromPages())
        return false;
    return m_sessions.keyDown(key);
}

QPoint ChromiumBrowser::cursorPosIn(WindowHandle handle) const {
    const ChromiumWindow* w = m_snapshot.byHandle(handle);
    return w ? m_sessions.cursorPosIn(*w) : QPoint();
}

QString ChromiumBrowser::sessionOf(WindowHandle handle) const {
    const ChromiumWindow* w = m_snapshot.byHandle(handle);
    return w ? w->sessionId() : QString();
}

QString ChromiumBrowser::targetOf(WindowHandle handle) const {
    const ChromiumWindow* w = m_snapshot.byHandle(handle);
    return w ? w->targetId() : QString();
}

// --- Addresses opened on the user's demand, and those pages ask new windows for ---------------

namespace {
// A page's request for a new window is decided at once; an older report is not its request.
constexpr qint64 kRequestedUrlMs = 5000;
} // namespace

bool ChromiumBrowser::openUrl(const QString& url) {
    if (!connected())
        return false;
    // The new page attaches paused like any other and, opened by no page, is admitted.
    m_launcher.send(QStringLiteral("Target.createTarget"), obj({{"url", url}}));
    return true;
}

void ChromiumBrowser::noteRequestedUrl(const QString& openerTargetId, const QString& url) {
    m_requestedUrls[openerTargetId] = {url, m_sinceStart.elapsed()};
}

QString ChromiumBrowser::requestedWindowUrl(WindowHandle opener) const {
    const ChromiumWindow* w = m_snapshot.byHandle(opener);
    if (!w)
        return {};
    const auto it = m_requestedUrls.find(w->targetId());
    if (it == m_requestedUrls.end() || m_sinceStart.elapsed() - it->second.at > kRequestedUrlMs)
        return {};
    return it->second.url;
}

// --- Cookies -----------------------------------------------------------------------------------

bool ChromiumBrowser::hasCookies() const {
    return connected() && status().state == BrowserStatus::State::Watching;
}

void ChromiumBrowser::readCookies(CookieCallback done) {
    chromium::readCookies(m_launcher, std::move(done));
}

void ChromiumBrowser::deleteCookies(const QList<BrowserCookie>& cookies, CookieCallback done) {
    // Any page's session reaches the profile's cookies.
    QString session;
    for (const ChromiumWindow* w : m_snapshot.registered())
        if (!w->sessionId().isEmpty()) {
            session = w->sessionId();
            break;
        }
    chromium::deleteCookies(m_launcher, session, cookies, std::move(done));
}

QString ChromiumBrowser::bindingOf(WindowHandle handle) const {
    const ChromiumWindow* w = m_snapshot.byHandle(handle);
    return w ? w->bindingName() : QString();
}

} // namespace platform::linuxp
