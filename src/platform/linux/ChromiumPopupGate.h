#pragma once

#include <QElapsedTimer>
#include <QJsonObject>
#include <QObject>
#include <deque>
#include <map>

namespace platform::linuxp {

class ChromiumLauncher;
class ChromiumSessions;
class ChromiumSnapshot;
class ChromiumWindow;

// Decides, for every page that attaches, whether it may run. A page that starts while Tavrel
// is connected attaches paused (waiting for the debugger). When it was opened by a listed
// window, that window's newWindow2 handlers decide. Admitted, the page is listed once its
// size and click reporting are in place and only then resumed; refused, its requests are
// intercepted, it is resumed, its first request fails and it is closed (or closed by a
// fallback timer when it requests nothing).
class ChromiumPopupGate : public QObject {
    Q_OBJECT
public:
    ChromiumPopupGate(ChromiumLauncher& launcher, ChromiumSnapshot& snapshot,
                      ChromiumSessions& sessions, int fallbackMs, QObject* parent = nullptr);

    /// On a new connection: every page that starts from now on waits for the gate.
    void watchNewPages();
    /// Target.attachedToTarget.
    void onAttached(const QJsonObject& params);
    /// A window reported Page.windowOpen: the pop-up that follows may not name its opener.
    void noteWindowOpen(const QString& openerTargetId);
    /// Fetch.requestPaused in a session (of `targetId`, empty when unknown).
    void onRequestPaused(const QString& targetId, const QString& sessionId,
                         const QString& requestId);
    /// A target ended; true when it was a refused pop-up, which is then done with.
    bool onTargetGone(const QString& targetId);
    bool isRefused(const QString& targetId) const { return m_refusals.count(targetId) != 0; }
    /// The connection ended.
    void reset();

    int refusedCount() const { return m_refused; }
    int fallbackCount() const { return m_fallbacks; }

signals:
    /// A refused pop-up's target is gone, `ms` after the browser announced it.
    void popupRefusalDone(const QString& targetId, qint64 ms);

private:
    struct Refusal {
        QString sessionId;
        QString openerSessionId;
        QElapsedTimer since;
        bool closeSent = false;
    };
    struct WindowOpen {
        QString openerTarget;
        qint64 at = 0;
    };

    ChromiumWindow* openerOf(const QJsonObject& info);
    void admit(const QString& targetId, const QString& sessionId, const QJsonObject& info,
               bool waiting);
    void refuse(const QString& targetId, const QString& sessionId, const QString& openerSession);
    void closeRefused(const QString& targetId);

    ChromiumLauncher& m_launcher;
    ChromiumSnapshot& m_snapshot;
    ChromiumSessions& m_sessions;
    int m_fallbackMs;
    std::map<QString, Refusal> m_refusals; // by target
    std::deque<WindowOpen> m_recentOpens;
    QElapsedTimer m_clock;
    int m_refused = 0;
    int m_fallbacks = 0;
};

} // namespace platform::linuxp
