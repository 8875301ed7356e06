#pragma once

#include <QElapsedTimer>
#include <QJsonObject>
#include <QObject>
#include <map>
#include <vector>

namespace platform::linuxp {

class FirefoxLauncher;
class FirefoxPages;
class FirefoxSnapshot;

// Decides, for every new top-level browsing context, whether it may be shown. A context that a
// page opened (a pop-up) has its requests held from the moment Firefox announces it (the
// socket does that, see BidiSocket); the opener's newWindow2 handlers decide. Refused, the
// context is closed and every request it makes fails, so its address never reaches the
// network. Admitted, it is listed once its window size is known, and only then are its
// requests let go. Contexts nobody opened (the user's tabs) and those that existed when the
// session began are admitted at once.
class FirefoxPopupGate : public QObject {
    Q_OBJECT
public:
    FirefoxPopupGate(FirefoxLauncher& launcher, FirefoxSnapshot& snapshot, FirefoxPages& pages,
                     int fallbackMs, QObject* parent = nullptr);

    /// Contexts announced while seeding existed before the session: admitted without asking,
    /// and given the page script their documents missed.
    void setSeeding(bool seeding) { m_seeding = seeding; }
    /// browsingContext.contextCreated
    void onCreated(const QJsonObject& info);
    /// tavrel.held: the socket's subscription or intercept for a pop-up is in place (or failed).
    void onHeld(const QJsonObject& params);
    /// network.beforeRequestSent of a held context, blocked.
    void onBlocked(const QString& context, const QString& requestId);
    /// browsingContext.navigationStarted of a top-level context.
    void onNavigationStarted(const QString& context);
    /// A top-level context ended; true when it was a refused pop-up, which is then done with.
    bool onGone(const QString& context);
    /// A pop-up being decided or refused: not the snapshot's business.
    bool isHeld(const QString& context) const { return m_held.count(context) != 0; }
    /// The connection ended.
    void reset() { m_held.clear(); }

    int refusedCount() const { return m_refused; }
    /// Refused pop-ups that had to be asked more than once to close.
    int fallbackCount() const { return m_fallbacks; }

signals:
    /// A refused pop-up is gone, `ms` after the browser announced it.
    void popupRefusalDone(const QString& context, qint64 ms);

private:
    struct Held {
        bool refused = false;
        bool admitted = false;
        bool listing = false; // its size is being asked for
        bool released = false;
        QString intercept;    // the socket's, once its answer is in
        QString subscription; // likewise
        bool interceptLifted = false;
        bool subscriptionLifted = false;
        std::vector<QString> requests; // blocked, waiting for the decision
        QElapsedTimer since;
    };

    void admit(const QJsonObject& info, bool held);
    void listWhenSized(const QString& context, bool held, int attempt);
    void list(const QString& context);
    void refuse(const QString& context);
    void release(const QString& context);
    void close(const QString& context, int attempt);
    /// Lifts the socket's subscription and intercept, those whose id is known; true when
    /// nothing is left to lift.
    bool lift(Held& h);
    void continueRequest(const QString& requestId);

    FirefoxLauncher& m_launcher;
    FirefoxSnapshot& m_snapshot;
    FirefoxPages& m_pages;
    int m_fallbackMs;
    bool m_seeding = false;
    std::map<QString, Held> m_held; // by context: pop-ups not yet let go
    int m_refused = 0;
    int m_fallbacks = 0;
};

} // namespace platform::linuxp
