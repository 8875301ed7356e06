#pragma once

#include "platform/linux/CdpTransport.h"

#include <QElapsedTimer>
#include <QJsonObject>
#include <QObject>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>

namespace platform::linuxp {

// The answer to one command: its result, or why it failed (an error from the browser, the
// connection ended, or no answer in time).
struct CdpReply {
    bool ok = false;
    QJsonObject result;
    QString error;
};
using CdpCallback = std::function<void(const CdpReply&)>;

// DevTools Protocol commands and events over one transport. Commands are sent at once and
// never waited for: each answer runs its callback on the event loop, so many commands can be
// in flight together. When the transport ends, every pending command fails.
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
    int pendingCount() const { return int(m_pending.size()); }
    /// A command without an answer after this long fails.
    void setCommandTimeout(int ms) { m_timeoutMs = ms; }

signals:
    void opened();
    void event(const QString& method, const QJsonObject& params, const QString& sessionId);
    void closed(const QString& reason);

private:
    struct Pending {
        CdpCallback callback;
        qint64 sentAt = 0;
        QString method;
    };
    void onMessage(const QByteArray& message);
    void onClosed(const QString& reason);
    void failAll(const QString& reason);
    void expire();

    CdpTransport* m_transport;
    bool m_open = false;
    bool m_ended = false;
    qint64 m_nextId = 1;
    int m_timeoutMs = 10000;
    std::map<qint64, Pending> m_pending;
    QElapsedTimer m_clock;
    QTimer m_expiry;
};

} // namespace platform::linuxp
