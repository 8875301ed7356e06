#pragma once

#include <QJsonObject>
#include <QString>
#include <map>
#include <set>
#include <vector>

namespace platform::linuxp {

// How a pop-up's requests are held until the program has decided on it.
enum class PopupGuard {
    // Every request of every page is intercepted from the start of the session; those of the
    // pages already decided are let go at once on the socket's thread, those of a context a
    // page opened wait. Nothing a refused pop-up asks for reaches the network, however the
    // page opened it; every request pays a round trip to Tavrel and Firefox's cost of
    // reporting it (docs/firefox.md).
    Strict,
    // Only a pop-up's own requests are intercepted, from the moment Firefox announces it: no
    // cost for the other pages, but Firefox may have sent the first request already (a new
    // tab under load, noopener, links and forms; docs/firefox.md has the rates).
    Light,
};

// What the socket's thread does by itself so that a pop-up's first request waits for the
// program: pure logic, fed the browser's messages in order, answering with the commands to
// send at once and whether the message goes on to the program. The commands carry no id: the
// socket gives them one and turns each answer into a `tavrel.held` event for the program.
class BidiPopupHold {
public:
    struct Command {
        QString context; // the pop-up it is for
        QString what;    // "subscription" or "intercept" (answers the program wants), else empty
        QJsonObject message;
    };
    struct Outcome {
        bool forward = true;
        std::vector<Command> send;
        /// Messages held back before, going on to the program after this one.
        std::vector<QJsonObject> release;
    };

    explicit BidiPopupHold(PopupGuard guard) : m_guard(guard) {}
    PopupGuard guard() const { return m_guard; }

    /// Contexts announced before the answer to command `id` existed already: they are not
    /// pop-ups to hold.
    void holdAfter(qint64 id) { m_holdAfter = id; }
    /// One message from the browser, at `nowMs` on a steady clock.
    Outcome onMessage(const QJsonObject& message, qint64 nowMs);
    /// The program let this pop-up go: its requests go through from now on.
    void admit(const QString& context);
    /// Requests of contexts nobody announced, waiting too long, go through.
    Outcome expire(qint64 nowMs);
    bool waiting() const { return !m_unannounced.empty(); }

    /// A request of a context that no event has named yet waits this long for its context.
    static constexpr qint64 kUnannouncedMs = 500;

private:
    enum class State { Admitted, Held };
    void onCreated(const QJsonObject& params, Outcome& out);
    void onBlocked(const QJsonObject& message, qint64 nowMs, Outcome& out);
    /// The top-level context of a context (itself when no frame of a known one).
    QString topOf(const QString& context) const;
    static Command proceed(const QString& request);

    PopupGuard m_guard;
    qint64 m_holdAfter = -1;
    bool m_holding = false;
    std::map<QString, State> m_top;      // top-level contexts (strict guard)
    std::map<QString, QString> m_parent; // frame -> parent (strict guard)
    struct Unannounced {
        QString context;
        QString request;
        qint64 since = 0;
        QJsonObject message;
    };
    std::vector<Unannounced> m_unannounced; // blocked requests of unknown contexts
};

} // namespace platform::linuxp
