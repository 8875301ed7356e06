#pragma once

#include "platform/linux/CdpTransport.h"
#include "platform/linux/PendingCommands.h"

#include <QElapsedTimer>
#include <QJsonObject>
#include <QObject>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace platform::linuxp {

using CdpReply = CommandReply;
using CdpCallback = CommandCallback;

/// The message with every JSON string longer than `maxBytes` bytes cut to about that length
/// (at a character, never inside an escape); the message itself when none is that long. One
/// pass over the bytes, without parsing.
QByteArray cutLongStrings(const QByteArray& message, qsizetype maxBytes);

// DevTools Protocol commands and events over one transport. Commands are sent at once and
// never waited for: each answer runs its callback on the event loop, so many commands can be
// in flight together. When the transport ends, every pending command fails. A page decides the
// length of some strings the browser sends (an address can be 2 MB): strings beyond
// kMaxStringBytes are cut before a message is parsed, so that no page makes Tavrel copy more.
class CdpConnection : public QObject {
    Q_OBJECT
public:
    /// Takes the transport; it may still be opening.
    explicit CdpConnection(CdpTransport* transport, QObject* parent = nullptr);
    ~CdpConnection() override;

    /// Sends a command to the browser (empty session) or to an attached target's session.
    /// The callback runs exactly once, later, unless the connection is destroyed first.
    qint64 send(const QString& method, const QJsonObject& params = {},
                const QString& sessionId = {}, CdpCallback callback = {});
    bool isOpen() const { return m_open; }
    /// Ends the connection; pending commands fail, `closed` is emitted.
    void close();
    int pendingCount() const { return m_pending.size(); }
    /// A command without an answer after this long fails.
    void setCommandTimeout(int ms) { m_pending.setTimeout(ms); }

    /// Events `method` of `sessionId` are dropped unread (not even parsed) for `ms`: what a
    /// page floods us with costs next to nothing once we know.
    void muteEvents(const QString& method, const QString& sessionId, int ms);

    /// Longest string of a message kept whole, in bytes: more than any title or address
    /// the adapter keeps needs, even written as escapes.
    static constexpr qsizetype kMaxStringBytes = 128 * 1024;

signals:
    void opened();
    void event(const QString& method, const QJsonObject& params, const QString& sessionId);
    void closed(const QString& reason);

private:
    void onMessage(const QByteArray& message);
    bool muted(const QByteArray& message);
    void onClosed(const QString& reason);

    CdpTransport* m_transport;
    bool m_open = false;
    bool m_ended = false;
    qint64 m_nextId = 1;
    PendingCommands m_pending;
    struct Mute {
        QByteArray head; // how such an event begins
        QByteArray tail; // how it ends
        qint64 until = 0;
    };
    std::vector<Mute> m_mutes;
    QElapsedTimer m_clock;
};

} // namespace platform::linuxp
