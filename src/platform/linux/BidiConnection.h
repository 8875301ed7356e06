#pragma once

#include "platform/linux/BidiPopupHold.h"
#include "platform/linux/PendingCommands.h"

#include <QElapsedTimer>
#include <QJsonObject>
#include <QObject>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <functional>
#include <map>

namespace platform::linuxp {

class BidiSocket;

using BidiReply = CommandReply;
using BidiCallback = CommandCallback;

// WebDriver BiDi commands and events over one WebSocket. Commands are sent at once and never
// waited for: each answer runs its callback on the program's event loop. The socket itself
// runs on a thread of its own (see BidiSocket); everything else happens on the thread that
// made the connection. When the socket ends, every pending command fails.
class BidiConnection : public QObject {
    Q_OBJECT
public:
    explicit BidiConnection(PopupGuard guard, QObject* parent = nullptr);
    ~BidiConnection() override;

    /// Starts connecting to a `ws://` address; `opened` or `closed` follows.
    void open(const QUrl& url);
    /// Sends a command. The callback runs exactly once, later, unless the connection is
    /// destroyed first. With `holdsPopups`, pop-ups announced after this command's answer are
    /// held by the socket (see BidiSocket).
    qint64 send(const QString& method, const QJsonObject& params = {}, BidiCallback callback = {},
                bool holdsPopups = false);
    /// The program let this pop-up go: the socket stops holding its requests.
    void admit(const QString& context);
    bool isOpen() const { return m_open; }
    /// Ends the connection; pending commands fail, `closed` is emitted.
    void close();
    int pendingCount() const { return m_pending.size(); }
    /// A command without an answer after this long fails.
    void setCommandTimeout(int ms) { m_pending.setTimeout(ms); }

signals:
    void opened();
    void event(const QString& method, const QJsonObject& params);
    void closed(const QString& reason);

private:
    void onMessage(const QJsonObject& message);
    void onClosed(const QString& reason);

    QThread m_thread;
    BidiSocket* m_socket;
    bool m_open = false;
    bool m_ended = false;
    qint64 m_nextId = 1;
    PendingCommands m_pending;
};

} // namespace platform::linuxp
