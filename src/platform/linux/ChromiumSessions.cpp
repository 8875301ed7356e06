#include "platform/linux/ChromiumSessions.h"

#include "platform/Logging.h"
#include "platform/linux/CdpJson.h"
#include "platform/linux/ChromiumLauncher.h"
#include "platform/linux/ChromiumSnapshot.h"

#include <QFile>
#include <QJsonDocument>
#include <QPointer>
#include <QRandomGenerator>
#include <QTimer>
#include <algorithm>

// The page script, read once. The resources of a static library are registered by hand,
// outside any namespace.
static const QString& pageScriptTemplate() {
    static const QString script = [] {
        Q_INIT_RESOURCE(chromium);
        QFile file(QStringLiteral(":/tavrel/chromium/page-script.js"));
        if (!file.open(QIODevice::ReadOnly)) {
            qCWarning(platform::lcBrowser,
                      "the page script is missing from the program; no clicks are seen");
            return QString();
        }
        // The file's leading comment stays here: every document would carry it.
        QString text = QString::fromUtf8(file.readAll());
        while (text.startsWith(u"//")) {
            const qsizetype end = text.indexOf(u'\n');
            text = end < 0 ? QString() : text.mid(end + 1);
        }
        return text;
    }();
    return script;
}

namespace platform::linuxp {

using cdp::obj;
using cdp::str;

namespace {

// Mouse reports one page may have handled: this many at once, then this many per second. A
// person clicking fast makes about twenty a second (press, release, menu).
constexpr double kReportBurst = 40;
constexpr double kReportsPerSecond = 20;
// A page whose reports keep coming past its allowance (this many dropped) is not listened to
// for a while: the browser stops sending them.
constexpr int kDroppedBeforeMute = 40;
constexpr int kMuteMs = 5000;

QString quoted(const QString& name) {
    return QString::fromUtf8(QJsonDocument(QJsonArray{name}).toJson(QJsonDocument::Compact))
        .mid(1)
        .chopped(1);
}

} // namespace

ChromiumSessions::ChromiumSessions(ChromiumLauncher& launcher, ChromiumSnapshot& snapshot,
                                   bool useX11, QObject* parent)
    : QObject(parent), m_launcher(launcher), m_snapshot(snapshot),
      m_scriptTemplate(pageScriptTemplate()), m_keys(useX11) {
    QByteArray nonce(8, Qt::Uninitialized);
    for (char& c : nonce)
        c = char(QRandomGenerator::global()->bounded(256));
    m_bindingName = QStringLiteral("__tavrel_") + QString::fromLatin1(nonce.toHex());
    for (char& c : nonce)
        c = char(QRandomGenerator::global()->bounded(256));
    m_holdName = QStringLiteral("__tavrel_") + QString::fromLatin1(nonce.toHex());
    m_clock.start();
}

// --- Sessions ----------------------------------------------------------------------------------

void ChromiumSessions::bind(const QString& sessionId, const QString& targetId) {
    m_sessionTarget[sessionId] = targetId;
}

void ChromiumSessions::unbind(const QString& sessionId) {
    m_sessionTarget.erase(sessionId);
}

QString ChromiumSessions::targetOf(const QString& sessionId) const {
    const auto it = m_sessionTarget.find(sessionId);
    return it == m_sessionTarget.end() ? QString() : it->second;
}

ChromiumWindow* ChromiumSessions::window(const QString& sessionId) const {
    const auto it = m_sessionTarget.find(sessionId);
    return it == m_sessionTarget.end() ? nullptr : m_snapshot.byTarget(it->second);
}

void ChromiumSessions::setUp(ChromiumWindow& w, const QString& sessionId) {
    w.m_sessionId = sessionId;
    w.m_scriptReady = false;
    m_launcher.send(QStringLiteral("Page.enable"), {}, sessionId);
    // Without the Runtime domain, new documents would not get the binding.
    m_launcher.send(QStringLiteral("Runtime.enable"), {}, sessionId);
    // A name of its own for each session: attached again, a page's current document gets
    // the new function and listeners of its own beside the old session's dead ones.
    const QString serial = u'_' + QString::number(++m_bindingSerial);
    w.m_binding = m_bindingName + serial;
    w.m_hold = m_holdName + serial;
    w.m_reportTokens = kReportBurst;
    w.m_reportsCountedAt = m_clock.elapsed();
    w.m_reportsDropped = 0;
    w.m_reportsMutedUntil = 0;
    m_launcher.send(QStringLiteral("Runtime.addBinding"), obj({{"name", w.m_binding}}), sessionId);
    const quint64 generation = m_launcher.generation();
    const QString targetId = w.targetId();
    m_launcher.send(QStringLiteral("Page.addScriptToEvaluateOnNewDocument"),
                    obj({{"source", pageScript(w.m_binding, w.m_hold)}, {"runImmediately", true}}),
                    sessionId, [this, generation, targetId, sessionId](const CdpReply& reply) {
                        if (generation != m_launcher.generation())
                            return;
                        ChromiumWindow* window = m_snapshot.byTarget(targetId);
                        if (!window || window->m_sessionId != sessionId)
                            return;
                        window->m_scriptReady = reply.ok;
                        window->m_scriptAnswered = true;
                        if (window->m_onSetUp)
                            std::exchange(window->m_onSetUp, {})();
                    });
}

QString ChromiumSessions::pageScript(const QString& binding, const QString& hold) const {
    return QString(m_scriptTemplate)
        .replace(QStringLiteral("TAVREL_BINDING"), quoted(binding))
        .replace(QStringLiteral("TAVREL_HOLD"), quoted(hold));
}

void ChromiumSessions::holdPopups(const ChromiumWindow& w, int ms) {
    if (w.m_sessionId.isEmpty() || !w.m_scriptReady)
        return;
    // In the page's own world, where the page script put the function; the page cannot
    // replace it, and calling it itself only refuses its own windows.
    m_launcher.send(
        QStringLiteral("Runtime.evaluate"),
        obj({{"expression", QStringLiteral("globalThis[%1]?.(%2)").arg(quoted(w.m_hold)).arg(ms)},
             {"silent", true}}),
        w.m_sessionId);
}

void ChromiumSessions::onDetached(const QString& sessionId) {
    const auto it = m_sessionTarget.find(sessionId);
    if (it == m_sessionTarget.end())
        return;
    if (ChromiumWindow* w = m_snapshot.byTarget(it->second); w && w->m_sessionId == sessionId) {
        w->m_sessionId.clear();
        w->m_scriptReady = false;
    }
    m_sessionTarget.erase(it);
}

void ChromiumSessions::forget(WindowHandle handle, const QString& sessionId) {
    if (!sessionId.isEmpty())
        m_sessionTarget.erase(sessionId);
    if (m_lastEventWindow == handle)
        m_lastEventWindow = 0;
}

// --- Page events -------------------------------------------------------------------------------

void ChromiumSessions::onPageEvent(ChromiumWindow& w, const QString& method,
                                   const QJsonObject& params) {
    if (method == u"Runtime.bindingCalled")
        return onBinding(w, params);
    if (method == u"Page.frameResized") {
        w.m_boundsDue = true;
        return;
    }
    if (!w.m_registered)
        return;
    QPointer<ChromiumWindow> alive(&w);
    if (method == u"Page.frameNavigated") {
        const QJsonObject frame = params.value(QStringLiteral("frame")).toObject();
        const bool top = !frame.contains(QStringLiteral("parentId"));
        if (top)
            w.m_mainFrameId = str(frame, "id");
        emit w.navigateComplete2(str(frame, "url", ChromiumSnapshot::kMaxUrl), top);
    } else if (method == u"Page.frameRequestedNavigation") {
        if (str(params, "disposition") != u"currentTab")
            return;
        NavigationRequest request;
        request.url = str(params, "url", ChromiumSnapshot::kMaxUrl);
        request.topLevel = str(params, "frameId") == w.m_mainFrameId;
        emit w.beforeNavigate2(request);
    } else if (method == u"Page.frameStartedLoading") {
        if (str(params, "frameId") == w.m_mainFrameId)
            emit w.downloadBegin();
    } else if (method == u"Page.frameStoppedLoading") {
        if (str(params, "frameId") != w.m_mainFrameId)
            return;
        emit w.downloadComplete();
        if (alive)
            emit w.documentComplete(w.m_url, true);
    }
}

// --- Mouse reports -----------------------------------------------------------------------------

bool ChromiumSessions::allowReport(ChromiumWindow& w) {
    const qint64 now = m_clock.elapsed();
    if (now < w.m_reportsMutedUntil)
        return false; // sent before the browser heard that we no longer listen
    w.m_reportTokens =
        std::min(kReportBurst, w.m_reportTokens +
                                   double(now - w.m_reportsCountedAt) * kReportsPerSecond / 1000.0);
    w.m_reportsCountedAt = now;
    if (w.m_reportTokens >= 1) {
        w.m_reportTokens -= 1;
        w.m_reportsDropped = 0;
        return true;
    }
    if (++w.m_reportsDropped < kDroppedBeforeMute)
        return false;
    // The page floods: the browser stops sending its reports for a while, then its function
    // works again (also in the page's hands, if it has it: then the same happens again).
    ++m_mutes;
    w.m_reportsDropped = 0;
    w.m_reportsMutedUntil = now + kMuteMs;
    const QString sessionId = w.m_sessionId;
    const QString binding = w.m_binding;
    const QString targetId = w.targetId();
    const quint64 generation = m_launcher.generation();
    m_launcher.send(QStringLiteral("Runtime.removeBinding"), obj({{"name", binding}}), sessionId);
    // What the page already sent is still coming: it is dropped unread.
    if (CdpConnection* connection = m_launcher.connection())
        connection->muteEvents(QStringLiteral("Runtime.bindingCalled"), sessionId, kMuteMs);
    QTimer::singleShot(kMuteMs, this, [this, generation, targetId, sessionId, binding] {
        const ChromiumWindow* window = m_snapshot.byTarget(targetId);
        if (generation != m_launcher.generation() || !window || window->m_sessionId != sessionId ||
            window->m_binding != binding)
            return;
        m_launcher.send(QStringLiteral("Runtime.addBinding"), obj({{"name", binding}}), sessionId);
        // Added again, the function shows on the page's global object: taken away again (the
        // page script kept its own).
        m_launcher.send(
            QStringLiteral("Runtime.evaluate"),
            obj({{"expression", QStringLiteral("delete globalThis[%1]").arg(quoted(binding))},
                 {"silent", true}}),
            sessionId);
    });
    return false;
}

void ChromiumSessions::onBinding(ChromiumWindow& w, const QJsonObject& params) {
    if (str(params, "name") != w.m_binding || !w.m_registered || !allowReport(w))
        return;
    const QJsonValue payload = params.value(QStringLiteral("payload"));
    if (!payload.isString() || payload.toString().size() > 512)
        return;
    const QByteArray bytes = payload.toString().toUtf8();
    if (const auto refused = parseRefusalReport(bytes)) {
        emit w.windowsRefusedByPage(refused->count, refused->url);
        return;
    }
    const auto report = parseMouseReport(bytes);
    if (!report)
        return; // not what our script sends: ignored
    m_keys.noteReport(*report);
    m_lastClient = report->client;
    m_lastEventWindow = w.hwnd();
    switch (report->type) {
    case CdpMouseReport::Type::Down:
        emit w.documentMouseDown();
        break;
    case CdpMouseReport::Type::Up:
        emit w.documentMouseUp();
        break;
    case CdpMouseReport::Type::ContextMenu: {
        // The page's menu has been shown or suppressed by the time the report arrives.
        bool allow = true;
        emit w.documentContextMenu(allow);
        break;
    }
    }
}

QPoint ChromiumSessions::cursorPosIn(const ChromiumWindow& w) const {
    if (auto screen = m_keys.pointerOnScreen())
        return *screen - w.m_topLeft;
    return w.hwnd() == m_lastEventWindow ? m_lastClient : QPoint();
}

} // namespace platform::linuxp
