#include "platform/linux/FirefoxPopupGate.h"

#include "platform/linux/CdpJson.h"
#include "platform/linux/FirefoxLauncher.h"
#include "platform/linux/FirefoxPages.h"
#include "platform/linux/FirefoxSnapshot.h"

#include <QJsonArray>
#include <QPointer>
#include <QTimer>

namespace platform::linuxp {

using cdp::str;

namespace {

// The window of a new pop-up may not be listed yet by the first size request: asked again
// this often, this many times, before it is listed without a size.
constexpr int kSizeRetryMs = 20;
constexpr int kSizeAttempts = 10;
// A refused window that will not close yet is asked again this often, this many times.
constexpr int kCloseRetryMs = 25;
constexpr int kCloseAttempts = 80;

} // namespace

FirefoxPopupGate::FirefoxPopupGate(FirefoxLauncher& launcher, FirefoxSnapshot& snapshot,
                                   FirefoxPages& pages, int fallbackMs, QObject* parent)
    : QObject(parent), m_launcher(launcher), m_snapshot(snapshot), m_pages(pages),
      m_fallbackMs(fallbackMs) {}

// --- Admit or refuse ---------------------------------------------------------------------------

void FirefoxPopupGate::onCreated(const QJsonObject& info) {
    const QString context = str(info, "context");
    if (context.isEmpty() || m_snapshot.byContext(context) || isHeld(context))
        return;
    if (const QString parent = str(info, "parent"); !parent.isEmpty()) {
        m_snapshot.noteFrame(context, parent);
        if (m_seeding)
            m_pages.inject(context);
        return;
    }
    const QString openerContext = str(info, "originalOpener");
    if (m_seeding || openerContext.isEmpty()) {
        admit(info, false);
        if (m_seeding)
            m_pages.inject(context);
        return;
    }
    // Opened by a page: the socket holds its requests already. Under the strict guard the
    // socket's own interception covers it: nothing of its own to lift later.
    Held& h = m_held[context];
    h.since.start();
    if (m_launcher.popupGuard() == PopupGuard::Strict)
        h.interceptLifted = h.subscriptionLifted = true;
    // A pop-up opened by a frame is asked of the page that holds the frame. An opener not
    // listed yet (a blank pop-up that its own opener writes into, still waiting for its size)
    // is listed now, so that the program can be asked.
    QPointer<FirefoxWindow> opener = m_snapshot.windowOf(openerContext);
    if (opener && !opener->m_registered) {
        m_snapshot.registerWindow(opener->context());
        release(opener->context());
        if (!isHeld(context))
            return;
    }
    if (opener && opener->m_registered) {
        bool cancel = false;
        const quint64 generation = m_launcher.generation();
        emit opener->newWindow2(cancel);
        if (generation != m_launcher.generation() || !isHeld(context))
            return; // the browser went away while the rules ran
        if (cancel)
            return refuse(context);
    } else if (const auto from = m_held.find(m_snapshot.topContextOf(openerContext));
               from != m_held.end() && from->second.refused) {
        // What a refused pop-up opens is refused with it.
        return refuse(context);
    }
    admit(info, true);
}

void FirefoxPopupGate::admit(const QJsonObject& info, bool held) {
    const QString context = str(info, "context");
    FirefoxWindow& w = m_snapshot.add(context, info);
    m_pages.prepare(w);
    // Listed once its size is known, and only then does it load: the program wraps it before
    // its page runs, and a pop-up that the page opens at once finds its opener listed with its
    // size. A new window reports a passing size until Firefox has set it up, which it has when
    // the first navigation starts; a pop-up that navigates nowhere is listed by the fallback.
    if (held)
        m_held[context].admitted = true;
    else
        listWhenSized(context, false, 0);
    const quint64 generation = m_launcher.generation();
    QTimer::singleShot(m_fallbackMs, this, [this, generation, context, held] {
        if (generation != m_launcher.generation())
            return;
        if (FirefoxWindow* admitted = m_snapshot.byContext(context);
            admitted && !admitted->m_registered) {
            m_snapshot.registerWindow(context);
            if (held)
                release(context);
        }
    });
}

void FirefoxPopupGate::list(const QString& context) {
    const auto it = m_held.find(context);
    if (it == m_held.end() || !it->second.admitted || it->second.listing)
        return;
    it->second.listing = true;
    listWhenSized(context, true, 0);
}

void FirefoxPopupGate::listWhenSized(const QString& context, bool held, int attempt) {
    const quint64 generation = m_launcher.generation();
    m_snapshot.refreshSizes([this, generation, context, held, attempt] {
        FirefoxWindow* w = m_snapshot.byContext(context);
        if (generation != m_launcher.generation() || !w || w->m_registered)
            return;
        if (!w->m_width && attempt + 1 < kSizeAttempts && m_launcher.connected()) {
            QTimer::singleShot(kSizeRetryMs, this, [this, generation, context, held, attempt] {
                if (generation == m_launcher.generation())
                    listWhenSized(context, held, attempt + 1);
            });
            return;
        }
        m_snapshot.registerWindow(context);
        if (held)
            release(context);
    });
}

void FirefoxPopupGate::refuse(const QString& context) {
    ++m_refused;
    Held& h = m_held[context];
    h.refused = true;
    for (const QString& request : std::exchange(h.requests, {}))
        m_launcher.send(QStringLiteral("network.failRequest"),
                        QJsonObject{{QStringLiteral("request"), request}});
    close(context, 0);
}

void FirefoxPopupGate::close(const QString& context, int attempt) {
    const quint64 generation = m_launcher.generation();
    m_launcher.send(
        QStringLiteral("browsingContext.close"),
        QJsonObject{{QStringLiteral("context"), context}, {QStringLiteral("promptUnload"), false}},
        [this, generation, context, attempt](const BidiReply& reply) {
            if (reply.ok || generation != m_launcher.generation() || !isHeld(context) ||
                attempt + 1 >= kCloseAttempts)
                return;
            // A window closed too soon after it opened may refuse: its requests
            // keep failing meanwhile, and it is asked again.
            if (attempt == 0)
                ++m_fallbacks;
            QTimer::singleShot(kCloseRetryMs, this, [this, generation, context, attempt] {
                if (generation == m_launcher.generation() && isHeld(context))
                    close(context, attempt + 1);
            });
        });
}

void FirefoxPopupGate::release(const QString& context) {
    const auto it = m_held.find(context);
    if (it == m_held.end() || it->second.released)
        return;
    Held& h = it->second;
    h.released = true;
    m_launcher.admitPopup(context);
    for (const QString& request : std::exchange(h.requests, {}))
        continueRequest(request);
    if (lift(h))
        m_held.erase(it);
}

// --- Requests and the socket's holds -----------------------------------------------------------

void FirefoxPopupGate::onBlocked(const QString& context, const QString& requestId) {
    const auto it = m_held.find(m_snapshot.topContextOf(context));
    if (it == m_held.end() || it->second.released)
        return continueRequest(requestId); // nothing to decide: never left waiting
    if (it->second.refused) {
        m_launcher.send(QStringLiteral("network.failRequest"),
                        QJsonObject{{QStringLiteral("request"), requestId}});
        return;
    }
    it->second.requests.push_back(requestId);
    list(it->first);
}

void FirefoxPopupGate::onNavigationStarted(const QString& context) {
    list(context);
}

void FirefoxPopupGate::continueRequest(const QString& requestId) {
    m_launcher.send(QStringLiteral("network.continueRequest"),
                    QJsonObject{{QStringLiteral("request"), requestId}});
}

void FirefoxPopupGate::onHeld(const QJsonObject& params) {
    if (!params.value(QStringLiteral("ok")).toBool())
        return; // the context went before the browser could hold it
    const QString id = str(params, "id");
    const bool subscription = str(params, "what") == u"subscription";
    const auto it = m_held.find(str(params, "context"));
    if (it == m_held.end()) {
        // Decided and gone already: lifted at once.
        Held gone;
        (subscription ? gone.subscription : gone.intercept) = id;
        lift(gone);
        return;
    }
    (subscription ? it->second.subscription : it->second.intercept) = id;
    if (it->second.released && lift(it->second))
        m_held.erase(it);
}

bool FirefoxPopupGate::lift(Held& h) {
    if (!h.intercept.isEmpty() && !h.interceptLifted) {
        m_launcher.send(QStringLiteral("network.removeIntercept"),
                        QJsonObject{{QStringLiteral("intercept"), h.intercept}});
        h.interceptLifted = true;
    }
    if (!h.subscription.isEmpty() && !h.subscriptionLifted) {
        m_launcher.send(QStringLiteral("session.unsubscribe"),
                        QJsonObject{{QStringLiteral("subscriptions"), QJsonArray{h.subscription}}});
        h.subscriptionLifted = true;
    }
    return h.interceptLifted && h.subscriptionLifted;
}

bool FirefoxPopupGate::onGone(const QString& context) {
    const auto it = m_held.find(context);
    if (it == m_held.end())
        return false;
    const bool refused = it->second.refused;
    const qint64 ms = it->second.since.elapsed();
    lift(it->second);
    m_held.erase(it);
    if (refused)
        emit popupRefusalDone(context, ms);
    return refused;
}

} // namespace platform::linuxp
