#include "platform/linux/ChromiumPopupGate.h"

#include "platform/Logging.h"
#include "platform/linux/CdpJson.h"
#include "platform/linux/ChromiumLauncher.h"
#include "platform/linux/ChromiumSessions.h"
#include "platform/linux/ChromiumSnapshot.h"

#include <QJsonArray>
#include <QPointer>
#include <QTimer>

namespace platform::linuxp {

using cdp::obj;
using cdp::str;

namespace {

// A pop-up may arrive without naming its opener (rel=noopener); the opener's own report of
// the request, this recent, stands in.
constexpr qint64 kWindowOpenMatchMs = 1000;
// Reports of Page.windowOpen kept at most.
constexpr size_t kMaxRecentOpens = 64;

} // namespace

ChromiumPopupGate::ChromiumPopupGate(ChromiumLauncher& launcher, ChromiumSnapshot& snapshot,
                                     ChromiumSessions& sessions, int fallbackMs, QObject* parent)
    : QObject(parent), m_launcher(launcher), m_snapshot(snapshot), m_sessions(sessions),
      m_fallbackMs(fallbackMs) {
    m_clock.start();
}

void ChromiumPopupGate::watchNewPages() {
    const quint64 generation = m_launcher.generation();
    // Every page that starts from now on waits for us before it runs: the pop-up decision is
    // made while it cannot have requested anything. Pages already open attach running.
    m_launcher.send(QStringLiteral("Target.setAutoAttach"),
                    obj({{"autoAttach", true},
                         {"waitForDebuggerOnStart", true},
                         {"flatten", true},
                         {"filter", cdp::pagesOnly()}}),
                    {}, [this, generation](const CdpReply& reply) {
                        if (generation == m_launcher.generation() && !reply.ok)
                            qCWarning(platform::lcBrowser, "the browser refused auto-attach: %s",
                                      qPrintable(reply.error));
                    });
}

void ChromiumPopupGate::reset() {
    m_refusals.clear();
    m_recentOpens.clear();
}

// --- Admit or refuse ---------------------------------------------------------------------------

void ChromiumPopupGate::onAttached(const QJsonObject& params) {
    const QString sessionId = str(params, "sessionId");
    const QJsonObject info = params.value(QStringLiteral("targetInfo")).toObject();
    const QString targetId = str(info, "targetId");
    const bool waiting = params.value(QStringLiteral("waitingForDebugger")).toBool();
    if (str(info, "type") != u"page") {
        // Nothing but pages is watched; nothing else is left waiting either.
        if (waiting)
            m_launcher.send(QStringLiteral("Runtime.runIfWaitingForDebugger"), {}, sessionId);
        m_launcher.send(QStringLiteral("Target.detachFromTarget"), obj({{"sessionId", sessionId}}));
        return;
    }
    m_sessions.bind(sessionId, targetId);
    m_snapshot.forgetUnknown(targetId);
    if (ChromiumWindow* w = m_snapshot.byTarget(targetId)) {
        // Attached again (after a detach): the same window, with its handle.
        m_sessions.setUp(*w, sessionId);
        if (waiting)
            m_launcher.send(QStringLiteral("Runtime.runIfWaitingForDebugger"), {}, sessionId);
        return;
    }
    if (isRefused(targetId))
        return;
    if (waiting) {
        if (QPointer<ChromiumWindow> opener = openerOf(info)) {
            bool cancel = false;
            const quint64 generation = m_launcher.generation();
            const QString openerSession = opener->sessionId();
            emit opener->newWindow2(cancel);
            if (generation != m_launcher.generation())
                return; // the browser went away while the rules ran
            if (cancel) {
                refuse(targetId, sessionId, openerSession);
                return;
            }
        }
    }
    admit(targetId, sessionId, info, waiting);
}

void ChromiumPopupGate::noteWindowOpen(const QString& openerTargetId) {
    m_recentOpens.push_back({openerTargetId, m_clock.elapsed()});
    while (m_recentOpens.size() > kMaxRecentOpens)
        m_recentOpens.pop_front();
}

ChromiumWindow* ChromiumPopupGate::openerOf(const QJsonObject& info) {
    const qint64 now = m_clock.elapsed();
    while (!m_recentOpens.empty() && now - m_recentOpens.front().at > 2 * kWindowOpenMatchMs)
        m_recentOpens.pop_front();
    const QString openerId = str(info, "openerId");
    for (auto it = m_recentOpens.begin(); it != m_recentOpens.end(); ++it)
        if (openerId.isEmpty() ? now - it->at <= kWindowOpenMatchMs
                               : it->openerTarget == openerId) {
            const QString reported = it->openerTarget;
            m_recentOpens.erase(it);
            if (openerId.isEmpty())
                if (ChromiumWindow* w = m_snapshot.byTarget(reported); w && w->m_registered)
                    return w;
            break;
        }
    ChromiumWindow* w = openerId.isEmpty() ? nullptr : m_snapshot.byTarget(openerId);
    return w && w->m_registered ? w : nullptr;
}

void ChromiumPopupGate::admit(const QString& targetId, const QString& sessionId,
                              const QJsonObject& info, bool waiting) {
    ChromiumWindow& w = m_snapshot.add(targetId, info);
    // Set-up first, then the size, then the window is announced, and only then does the page
    // run: its first document already reports its clicks, and a pop-up that the new page
    // opens at once finds its opener listed, with its size.
    m_sessions.setUp(w, sessionId);
    const quint64 generation = m_launcher.generation();
    // Announced once both its size and its click reporting are in place (or, at the latest,
    // when the fallback fires): the program wraps it at once, document events included.
    auto release = [this, generation, targetId, sessionId, waiting](bool force) {
        ChromiumWindow* admitted = m_snapshot.byTarget(targetId);
        if (generation != m_launcher.generation() || !m_launcher.connected() || !admitted ||
            admitted->m_registered)
            return;
        if (!force && !(admitted->m_boundsAnswered && admitted->m_scriptAnswered))
            return;
        m_snapshot.registerWindow(targetId);
        if (waiting && generation == m_launcher.generation())
            m_launcher.send(QStringLiteral("Runtime.runIfWaitingForDebugger"), {}, sessionId);
    };
    w.m_onSetUp = [release] { release(false); };
    m_launcher.send(QStringLiteral("Browser.getWindowForTarget"), obj({{"targetId", targetId}}), {},
                    [this, generation, targetId, release](const CdpReply& reply) {
                        if (generation != m_launcher.generation())
                            return;
                        if (ChromiumWindow* admitted = m_snapshot.byTarget(targetId)) {
                            if (reply.ok)
                                m_snapshot.applyBounds(*admitted, reply.result);
                            admitted->m_boundsAnswered = true;
                        }
                        release(false);
                    });
    // No page stays paused because the browser is slow to answer.
    QTimer::singleShot(m_fallbackMs, this, [release] { release(true); });
}

// --- The refusal -------------------------------------------------------------------------------

void ChromiumPopupGate::refuse(const QString& targetId, const QString& sessionId,
                               const QString& openerSession) {
    ++m_refused;
    Refusal& r = m_refusals[targetId];
    r.sessionId = sessionId;
    r.openerSessionId = openerSession;
    r.since.start();
    // Closing a paused pop-up outright can leave an opener that shares its process frozen.
    // Instead its requests are intercepted, it is resumed, and its first request is failed
    // before the target is closed.
    m_launcher.send(
        QStringLiteral("Fetch.enable"),
        obj({{"patterns", QJsonArray{obj({{"urlPattern", "*"}, {"requestStage", "Request"}})}}}),
        sessionId);
    m_launcher.send(QStringLiteral("Runtime.runIfWaitingForDebugger"), {}, sessionId);
    const quint64 generation = m_launcher.generation();
    QTimer::singleShot(m_fallbackMs, this, [this, generation, targetId] {
        if (generation != m_launcher.generation())
            return;
        const auto it = m_refusals.find(targetId);
        if (it == m_refusals.end() || it->second.closeSent)
            return;
        // Nothing was requested (a blank pop-up): close it, and make sure its opener runs.
        ++m_fallbacks;
        const QString opener = it->second.openerSessionId;
        closeRefused(targetId);
        if (!opener.isEmpty())
            m_launcher.send(QStringLiteral("Runtime.runIfWaitingForDebugger"), {}, opener);
    });
}

void ChromiumPopupGate::onRequestPaused(const QString& targetId, const QString& sessionId,
                                        const QString& requestId) {
    if (isRefused(targetId)) {
        // The refused pop-up's first request: fail it so the address is never fetched.
        m_launcher.send(QStringLiteral("Fetch.failRequest"),
                        obj({{"requestId", requestId}, {"errorReason", "BlockedByClient"}}),
                        sessionId);
        closeRefused(targetId);
    } else {
        m_launcher.send(QStringLiteral("Fetch.continueRequest"), obj({{"requestId", requestId}}),
                        sessionId);
    }
}

void ChromiumPopupGate::closeRefused(const QString& targetId) {
    const auto it = m_refusals.find(targetId);
    if (it == m_refusals.end() || it->second.closeSent)
        return;
    it->second.closeSent = true;
    m_launcher.send(QStringLiteral("Target.closeTarget"), obj({{"targetId", targetId}}));
}

bool ChromiumPopupGate::onTargetGone(const QString& targetId) {
    const auto it = m_refusals.find(targetId);
    if (it == m_refusals.end())
        return false;
    const qint64 ms = it->second.since.elapsed();
    m_sessions.unbind(it->second.sessionId);
    m_refusals.erase(it);
    emit popupRefusalDone(targetId, ms);
    return true;
}

} // namespace platform::linuxp
