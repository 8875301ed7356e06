#pragma once

#include <QElapsedTimer>
#include <QJsonObject>
#include <QObject>
#include <QTimer>
#include <deque>
#include <map>
#include <optional>

namespace platform::linuxp {

class ChromiumLauncher;
class ChromiumSessions;
class ChromiumSnapshot;
class ChromiumWindow;

// Decides, for every page that attaches, whether it may run. A page that starts while Tavrel
// is connected attaches paused (waiting for the debugger). When it was opened by a listed
// window, that window's newWindow2 handlers decide, told whether the browser saw a user
// gesture behind the request. Admitted, the page is listed once its size and click reporting
// are in place and only then resumed. Refused, it is resumed (its opener waits until then) and
// closed, and the request it makes meanwhile fails: every document request of the browser is
// intercepted and let go at once, but a refused pop-up's. A window refused without a gesture
// also has its opener's page script refuse the next gesture-less calls by itself for a while,
// so that a page opening windows in a loop meets no window and no wait. One timer looks after
// what is slow to finish.
class ChromiumPopupGate : public QObject {
    Q_OBJECT
public:
    ChromiumPopupGate(ChromiumLauncher& launcher, ChromiumSnapshot& snapshot,
                      ChromiumSessions& sessions, int fallbackMs, QObject* parent = nullptr);

    /// On a new connection: every page that starts from now on waits for the gate.
    void watchNewPages();
    /// Target.attachedToTarget.
    void onAttached(const QJsonObject& params);
    /// A window reported Page.windowOpen: the pop-up that follows is matched with it, for its
    /// gesture and, when the pop-up does not name its opener (`noopener`), for the opener.
    void noteWindowOpen(const QString& openerTargetId, bool userGesture, bool noopener);
    /// Fetch.requestPaused, for the whole browser (no session) or in a refused pop-up's.
    void onRequestPaused(const QJsonObject& params, const QString& sessionId);
    /// A target ended; true when it was a refused pop-up, which is then done with.
    bool onTargetGone(const QString& targetId);
    bool isRefused(const QString& targetId) const { return m_refusals.count(targetId) != 0; }
    /// The connection ended.
    void reset();

    /// While newWindow2 handlers run: whether the browser saw a user gesture behind the
    /// request (false when it did not say).
    std::optional<bool> decidingGesture() const { return m_deciding; }
    int refusedCount() const { return m_refused; }
    /// Refused pop-ups the slow-path timer had to close (or close again).
    int fallbackCount() const { return m_fallbacks; }

    /// How long a page refuses gesture-less window.open calls by itself after a refusal.
    static constexpr int kPopupHoldMs = 1000;

signals:
    /// A refused pop-up's target is gone, `ms` after the browser announced it.
    void popupRefusalDone(const QString& targetId, qint64 ms);

private:
    struct Refusal {
        QString sessionId;
        QString openerSessionId;
        qint64 at = 0;
        qint64 closeSentAt = -1;
        int closeAttempts = 0;
    };
    struct Admission {
        QString sessionId;
        bool waiting = false;
        qint64 deadline = 0;
    };
    struct WindowOpen {
        QString openerTarget;
        bool userGesture = false;
        bool noopener = false;
        qint64 at = 0;
    };

    std::optional<WindowOpen> takeWindowOpen(const QString& openerId);
    void decide(const QString& targetId, const QString& sessionId, const QJsonObject& info);
    void admit(const QString& targetId, const QString& sessionId, const QJsonObject& info,
               bool waiting);
    void release(const QString& targetId, bool force);
    void refuse(const QString& targetId, const QString& sessionId, const QString& openerSession);
    void closeRefused(const QString& targetId);
    void sweep();
    void interceptDocuments();
    void startSweep();

    ChromiumLauncher& m_launcher;
    ChromiumSnapshot& m_snapshot;
    ChromiumSessions& m_sessions;
    int m_fallbackMs;
    std::map<QString, Refusal> m_refusals;     // by target
    std::map<QString, Admission> m_admissions; // by target, until listed
    std::deque<WindowOpen> m_opens;            // not matched yet, oldest first
    std::optional<bool> m_deciding;
    bool m_interceptingAll = false; // every document request of the browser waits for us
    QElapsedTimer m_clock;
    QTimer m_sweep;
    int m_refused = 0;
    int m_fallbacks = 0;
};

} // namespace platform::linuxp
