#include "platform/linux/PendingCommands.h"

#include <vector>

namespace platform::linuxp {

PendingCommands::PendingCommands() {
    m_clock.start();
    m_expiry.setInterval(1000);
    QObject::connect(&m_expiry, &QTimer::timeout, [this] { expire(); });
}

void PendingCommands::add(qint64 id, CommandCallback callback) {
    m_pending.emplace(id, Pending{std::move(callback), m_clock.elapsed()});
    if (!m_expiry.isActive())
        m_expiry.start();
}

CommandCallback PendingCommands::take(qint64 id) {
    const auto it = m_pending.find(id);
    if (it == m_pending.end())
        return {};
    CommandCallback callback = std::move(it->second.callback);
    m_pending.erase(it);
    return callback;
}

void PendingCommands::failAll(const QString& reason) {
    m_expiry.stop();
    // Callbacks may send new commands (which then fail later): work on a detached map.
    std::map<qint64, Pending> pending;
    pending.swap(m_pending);
    for (auto& [id, p] : pending)
        if (p.callback)
            p.callback({false, {}, reason});
}

void PendingCommands::expire() {
    const qint64 now = m_clock.elapsed();
    std::vector<CommandCallback> late;
    for (auto it = m_pending.begin(); it != m_pending.end();) {
        if (now - it->second.sentAt >= m_timeoutMs) {
            if (it->second.callback)
                late.push_back(std::move(it->second.callback));
            it = m_pending.erase(it);
        } else {
            ++it;
        }
    }
    if (m_pending.empty())
        m_expiry.stop();
    for (auto& callback : late)
        callback({false, {}, QStringLiteral("the browser did not answer in time")});
}

} // namespace platform::linuxp
