#pragma once

#include "platform/linux/BidiPopupHold.h"

#include <QElapsedTimer>
#include <QJsonObject>
#include <QObject>
#include <QTimer>
#include <QUrl>
#include <map>

class QWebSocket;

namespace platform::linuxp {

// The WebSocket to Firefox's WebDriver BiDi endpoint, on a thread of its own. Besides carrying
// whole JSON messages both ways, it holds pop-ups by itself (see BidiPopupHold): the requests
// of a context that a page opened wait for the program's decision from the moment Firefox
// announces it, however busy the program thread is then (a sound playing, a scan running), and
// under the strict guard the requests of every other page go on without a detour through the
// program. Answers that the program wants come back as `tavrel.held` events: {context, what:
// "subscription" | "intercept", id, ok, error}.
class BidiSocket : public QObject {
    Q_OBJECT
public:
    /// Ids of the commands the socket sends itself; the connection's own stay below.
    static constexpr qint64 kFirstOwnId = qint64(1) << 40;
    /// Largest message accepted from the browser; a larger one ends the connection.
    static constexpr qint64 kMaxMessage = 64 * 1024 * 1024;

    BidiSocket(bool trace, PopupGuard guard);
    ~BidiSocket() override;

    // Called on the socket's thread (queued from the connection).
    void open(const QUrl& url);
    void sendText(const QByteArray& text);
    /// Pop-ups are held from the answer to command `id` on.
    void holdPopupsAfter(qint64 id) { m_hold.holdAfter(id); }
    /// The program let this pop-up go.
    void admit(const QString& context) { m_hold.admit(context); }
    void close();

signals:
    void opened();
    void received(const QJsonObject& message);
    /// The socket ended (the browser went away, or `close` was called); emitted once.
    void closed(const QString& reason);

private:
    void onText(const QString& text);
    void apply(const BidiPopupHold::Outcome& outcome);
    void finish(const QString& reason);

    struct Own {
        QString context;
        QString what; // empty: nobody waits for the answer
    };

    QWebSocket* m_socket = nullptr;
    bool m_trace;
    bool m_ended = false;
    BidiPopupHold m_hold;
    QElapsedTimer m_clock;
    QTimer m_expiry;
    qint64 m_nextOwnId = kFirstOwnId;
    std::map<qint64, Own> m_own;
};

} // namespace platform::linuxp
