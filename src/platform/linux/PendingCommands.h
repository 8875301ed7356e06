#pragma once

#include <QElapsedTimer>
#include <QJsonObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <map>

namespace platform::linuxp {

// The answer to one command: its result, or why it failed (an error from the browser, the
// connection ended, or no answer in time).
struct CommandReply {
    bool ok = false;
    QJsonObject result;
    QString error;
};
using CommandCallback = std::function<void(const CommandReply&)>;

// The commands sent over one browser connection and not answered yet, by id. Each callback
// runs once: with the answer, at the connection's end, or when no answer came in time.
class PendingCommands {
public:
    PendingCommands();
    PendingCommands(const PendingCommands&) = delete;
    PendingCommands& operator=(const PendingCommands&) = delete;

    void add(qint64 id, CommandCallback callback);
    /// Takes the callback waiting for `id`; empty when none waits (answered late, after it
    /// timed out).
    CommandCallback take(qint64 id);
    /// Every waiting callback fails with `reason`.
    void failAll(const QString& reason);
    int size() const { return int(m_pending.size()); }
    /// A command without an answer after this long fails.
    void setTimeout(int ms) { m_timeoutMs = ms; }

private:
    struct Pending {
        CommandCallback callback;
        qint64 sentAt = 0;
    };
    void expire();

    std::map<qint64, Pending> m_pending;
    int m_timeoutMs = 10000;
    QElapsedTimer m_clock;
    QTimer m_expiry;
};

} // namespace platform::linuxp
