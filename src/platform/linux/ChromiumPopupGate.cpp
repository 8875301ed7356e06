#include "platform/linux/ChromiumPopupGate.h"

#include "platform/Logging.h"
#include "platform/linux/CdpJson.h"
#include "platform/linux/ChromiumLauncher.h"
#include "platform/linux/ChromiumSessions.h"
#include "platform/linux/ChromiumSnapshot.h"

#include <QJsonArray>
#include <QPointer>

namespace platform::linuxp {

using cdp::obj;
using cdp::str;

namespace {

// A pop-up may arrive without naming its opener (noopener); the oldest report of a noopener
// window.open this recent that no pop-up has taken yet stands in. (A new tab of the user's
// own names no opener either: it can take no other report.)
constexpr qint64 kWindowOpenMatchMs = 1000;
// Reports of window.open no pop-up took are forgotten after this long, or beyond this many.
constexpr qint64 kWindowOpenKeepMs = 2000;
constexpr size_t kMaxWindowOpens = 10000;
// A refused pop-up still there this long after its close was asked for is closed again, and
// its opener told to run, this many times at most.
constexpr int kMaxCloseAttempts = 3;
constexpr int kSweepMs = 100;

} // namespace

ChromiumPopupGate::ChromiumPopupGate(ChromiumLauncher& launcher, ChromiumSnapshot& snapshot,
                                     ChromiumSessions& sessions, int fallbackMs, QObject* parent)
    : QObject(parent), m_launcher(launcher), m_snapshot(snapshot), m_sessions(sessions),
      m_fallbackMs(fallbackMs) {
    m_clock.start();
    m_sweep.setInterval(kSweepMs);
    connect(&m_sweep, &QTimer::timeout, this, &ChromiumPopupGate::sweep);
}

void ChromiumPopupGate::watchNewPages() {
    interceptDocuments();
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

void ChromiumPopupGate::interceptDocuments() {
    // Every document request of the browser waits for our word, which is given at once for
    // every page but a refused pop-up. Asked for on the browser's own session, before any
    // pop-up exists, this cannot miss one: asked for on a new pop-up's session, it misses now
    // and then the request of a pop-up whose navigation the browser had begun before.
    const quint64 generation = m_launcher.generation();
    m_launcher.send(QStringLiteral("Fetch.enable"),
                    obj({{"patterns", QJsonArray{obj({{"urlPattern", "*"},
                                                      {"resourceType", "Document"},
                                                      {"requestStage", "Request"}})}}}),
                    {}, [this, generation](const CdpReply& reply) {
                        if (generation == m_launcher.generation())
                            m_interceptingAll = reply.ok;
                    });
}

void ChromiumPopupGate::reset() {
    m_interceptingAll = false;
    m_refusals.clear();
    m_admissions.clear();
    m_opens.clear();
    m_sweep.stop();
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
    if (waiting)
        decide(targetId, sessionId, info);
    else
        admit(targetId, sessionId, info, false);
}

void ChromiumPopupGate::noteWindowOpen(const QString& openerTargetId, bool userGesture,
                                       bool noopener) {
    m_opens.push_back({openerTargetId, userGesture, noopener, m_clock.elapsed()});
    while (m_opens.size() > kMaxWindowOpens)
        m_opens.pop_front();
}

std::optional<ChromiumPopupGate::WindowOpen>
ChromiumPopupGate::takeWindowOpen(const QString& openerId) {
    const qint64 now = m_clock.elapsed();
    while (!m_opens.empty() && now - m_opens.front().at > kWindowOpenKeepMs)
        m_opens.pop_front();
    for (auto it = m_opens.begin(); it != m_opens.end(); ++it)
        if (openerId.isEmpty() ? it->noopener && now - it->at <= kWindowOpenMatchMs
                               : it->openerTarget == openerId) {
            const WindowOpen taken = *it;
            m_opens.erase(it);
            return taken;
        }
    return std::nullopt;
}

void ChromiumPopupGate::decide(const QString& targetId, const QString& sessionId,
                               const QJsonObject& info) {
    const QString openerId = str(info, "openerId");
    const std::optional<WindowOpen> open = takeWindowOpen(openerId);
    if (const auto refusedOpener = m_refusals.find(openerId); refusedOpener != m_refusals.end()) {
        // Opened by a window that was itself refused (before it was closed): refused too.
        refuse(targetId, sessionId, refusedOpener->second.sessionId);
        return;
    }
    const QString openerTarget = !openerId.isEmpty() ? openerId
                                 : open              ? open->openerTarget
                                                     : QString();
    QPointer<ChromiumWindow> opener = m_snapshot.byTarget(openerTarget);
    if (!opener || !opener->m_registered) {
        // No listed window asked for it: the user's own new tab.
        admit(targetId, sessionId, info, true);
        return;
    }
    // Without the opener's report of the request (a frame in another process opened it), the
    // browser vouches for no gesture.
    const bool gesture = open && open->userGesture;
    bool cancel = false;
    const quint64 generation = m_launcher.generation();
    const QString openerSession = opener->sessionId();
    m_deciding = gesture;
    emit opener->newWindow2(cancel);
    m_deciding.reset();
    if (generation != m_launcher.generation())
        return; // the browser went away while the rules ran
    if (!cancel) {
        admit(targetId, sessionId, info, true);
        return;
    }
    // The page goes on opening windows without a gesture? Its own script refuses them at once
    // for a while; a window that still gets created comes back here.
    if (!gesture && opener)
        m_sessions.holdPopups(*opener, kPopupHoldMs);
    refuse(targetId, sessionId, openerSession);
}

void ChromiumPopupGate::admit(const QString& targetId, const QString& sessionId,
                              const QJsonObject& info, bool waiting) {
    ChromiumWindow& w = m_snapshot.add(targetId, info);
    // Set-up first, then the size, then the window is announced, and only then does the page
    // run: its first document already reports its clicks, and a pop-up that the new page
    // opens at once finds its opener listed, with its size.
    m_sessions.setUp(w, sessionId);
    m_admissions[targetId] = {sessionId, waiting, m_clock.elapsed() + m_fallbackMs};
    w.m_onSetUp = [this, targetId] { release(targetId, false); };
    const quint64 generation = m_launcher.generation();
    m_launcher.send(QStringLiteral("Browser.getWindowForTarget"), obj({{"targetId", targetId}}), {},
                    [this, generation, targetId](const CdpReply& reply) {
                        if (generation != m_launcher.generation())
                            return;
                        if (ChromiumWindow* admitted = m_snapshot.byTarget(targetId)) {
                            if (reply.ok)
                                m_snapshot.applyBounds(*admitted, reply.result);
                            admitted->m_boundsAnswered = true;
                        }
                        release(targetId, false);
                    });
    // No page stays paused because the browser is slow to answer: the sweep releases it.
    startSweep();
}

void ChromiumPopupGate::release(const QString& targetId, bool force) {
    // Announced once both its size and its click reporting are in place (or, at the latest,
    // at its deadline): the program wraps it at once, document events included.
    const auto it = m_admissions.find(targetId);
    if (it == m_admissions.end())
        return;
    ChromiumWindow* admitted = m_snapshot.byTarget(targetId);
    if (admitted && !force && !(admitted->m_boundsAnswered && admitted->m_scriptAnswered))
        return;
    const Admission admission = it->second;
    m_admissions.erase(it);
    if (!admitted || !m_launcher.connected())
        return;
    m_snapshot.registerWindow(targetId);
    if (admission.waiting)
        m_launcher.send(QStringLiteral("Runtime.runIfWaitingForDebugger"), {}, admission.sessionId);
}

// --- The refusal -------------------------------------------------------------------------------

void ChromiumPopupGate::refuse(const QString& targetId, const QString& sessionId,
                               const QString& openerSession) {
    ++m_refused;
    Refusal& r = m_refusals[targetId];
    r.sessionId = sessionId;
    r.openerSessionId = openerSession;
    r.at = m_clock.elapsed();
    // Closing a paused pop-up outright can leave an opener that shares its process frozen,
    // and the browser may then let its request go anyway. Instead, with its request sure to be
    // intercepted, it is resumed (its opener waits until then), and closed once that is
    // answered; the request it makes meanwhile is failed, so that its address is never
    // fetched.
    const quint64 generation = m_launcher.generation();
    auto resumeThenClose = [this, generation, targetId, sessionId] {
        m_launcher.send(QStringLiteral("Runtime.runIfWaitingForDebugger"), {}, sessionId,
                        [this, generation, targetId](const CdpReply&) {
                            if (generation == m_launcher.generation())
                                closeRefused(targetId);
                        });
    };
    if (m_interceptingAll) {
        resumeThenClose();
    } else {
        // The browser refused to intercept for all pages: on the pop-up's own session, and
        // only once that is in place.
        m_launcher.send(
            QStringLiteral("Fetch.enable"),
            obj({{"patterns",
                  QJsonArray{obj({{"urlPattern", "*"}, {"requestStage", "Request"}})}}}),
            sessionId, [this, generation, targetId, resumeThenClose](const CdpReply& intercepted) {
                if (generation != m_launcher.generation() || !isRefused(targetId))
                    return;
                if (!intercepted.ok)
                    return closeRefused(targetId); // the page is gone, or going
                resumeThenClose();
            });
    }
    startSweep();
}

void ChromiumPopupGate::onRequestPaused(const QJsonObject& params, const QString& sessionId) {
    // Intercepted for the whole browser, a request names its frame, and a page's main frame
    // is the page's target; intercepted on a refused pop-up's session, it is that pop-up's.
    const QString targetId =
        sessionId.isEmpty() ? str(params, "frameId") : m_sessions.targetOf(sessionId);
    const QString requestId = str(params, "requestId");
    if (isRefused(targetId)) {
        // The refused pop-up's request: failed, so that the address is never fetched.
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
    if (it == m_refusals.end() || it->second.closeSentAt >= 0)
        return;
    it->second.closeSentAt = m_clock.elapsed();
    ++it->second.closeAttempts;
    m_launcher.send(QStringLiteral("Target.closeTarget"), obj({{"targetId", targetId}}));
}

bool ChromiumPopupGate::onTargetGone(const QString& targetId) {
    m_admissions.erase(targetId);
    const auto it = m_refusals.find(targetId);
    if (it == m_refusals.end())
        return false;
    const qint64 ms = m_clock.elapsed() - it->second.at;
    m_sessions.unbind(it->second.sessionId);
    m_refusals.erase(it);
    emit popupRefusalDone(targetId, ms);
    return true;
}

// --- What is slow to finish --------------------------------------------------------------------

void ChromiumPopupGate::startSweep() {
    if (!m_sweep.isActive())
        m_sweep.start();
}

void ChromiumPopupGate::sweep() {
    const qint64 now = m_clock.elapsed();
    std::vector<QString> due;
    for (const auto& [targetId, admission] : m_admissions)
        if (now >= admission.deadline)
            due.push_back(targetId);
    for (const QString& targetId : due)
        release(targetId, true);
    if (m_launcher.connected())
        for (auto& [targetId, r] : m_refusals) {
            // Until its close is asked for, a refusal waits for the browser's answers (which
            // come, or fail when the command times out): resuming anything sooner could let
            // the pop-up's request go before it is intercepted.
            if (r.closeSentAt < 0 || now - r.closeSentAt < m_fallbackMs ||
                r.closeAttempts >= kMaxCloseAttempts)
                continue;
            // The pop-up outlived its close (its process may be stuck, its opener with it):
            // closed again, and its opener told to run.
            ++m_fallbacks;
            r.closeSentAt = -1;
            closeRefused(targetId);
            if (!r.openerSessionId.isEmpty())
                m_launcher.send(QStringLiteral("Runtime.runIfWaitingForDebugger"), {},
                                r.openerSessionId);
        }
    bool pending = !m_admissions.empty();
    for (const auto& [targetId, r] : m_refusals)
        pending = pending || r.closeAttempts < kMaxCloseAttempts;
    if (!pending)
        m_sweep.stop();
}

} // namespace platform::linuxp
