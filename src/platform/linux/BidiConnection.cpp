#include "platform/linux/BidiConnection.h"

#include "platform/linux/BidiSocket.h"

#include <QJsonDocument>

namespace platform::linuxp {

BidiConnection::BidiConnection(PopupGuard guard, QObject* parent)
    : QObject(parent),
      m_socket(new BidiSocket(qEnvironmentVariableIsSet("TAVREL_BIDI_TRACE"), guard)) {
    m_clock.start();
    m_thread.setObjectName(QStringLiteral("Tavrel BiDi socket"));
    m_socket->moveToThread(&m_thread);
    connect(m_socket, &BidiSocket::opened, this, [this] {
        if (m_ended)
            return;
        m_open = true;
        emit opened();
    });
    connect(m_socket, &BidiSocket::received, this, &BidiConnection::onMessage);
    connect(m_socket, &BidiSocket::closed, this, &BidiConnection::onClosed);
    m_expiry.setInterval(1000);
    connect(&m_expiry, &QTimer::timeout, this, &BidiConnection::expire);
    m_thread.start();
}

BidiConnection::~BidiConnection() {
    m_socket->disconnect(this);
    // The socket goes on its own thread, then the thread ends.
    QMetaObject::invokeMethod(
        m_socket, [socket = m_socket] { delete socket; }, Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
}

void BidiConnection::open(const QUrl& url) {
    QMetaObject::invokeMethod(m_socket, [socket = m_socket, url] { socket->open(url); });
}

qint64 BidiConnection::send(const QString& method, const QJsonObject& params, BidiCallback callback,
                            bool holdsPopups) {
    const qint64 id = m_nextId++;
    if (!m_open || m_ended) {
        if (callback)
            QTimer::singleShot(0, this, [callback, method] {
                callback({false, {}, QStringLiteral("no browser connection (%1)").arg(method)});
            });
        return id;
    }
    // Every command is tracked, so that a lost browser or a lost answer is noticed.
    m_pending.emplace(id, Pending{std::move(callback), m_clock.elapsed()});
    if (!m_expiry.isActive())
        m_expiry.start();
    const QByteArray text = QJsonDocument(QJsonObject{{QStringLiteral("id"), id},
                                                      {QStringLiteral("method"), method},
                                                      {QStringLiteral("params"), params}})
                                .toJson(QJsonDocument::Compact);
    QMetaObject::invokeMethod(m_socket, [socket = m_socket, text, id, holdsPopups] {
        if (holdsPopups)
            socket->holdPopupsAfter(id);
        socket->sendText(text);
    });
    return id;
}

void BidiConnection::admit(const QString& context) {
    QMetaObject::invokeMethod(m_socket, [socket = m_socket, context] { socket->admit(context); });
}

void BidiConnection::close() {
    if (m_ended)
        return;
    QMetaObject::invokeMethod(m_socket, [socket = m_socket] { socket->close(); });
    // Ended now: pending commands fail at once, whatever the socket still says.
    onClosed(QStringLiteral("connection closed"));
}

void BidiConnection::onMessage(const QJsonObject& message) {
    if (m_ended)
        return;
    const QJsonValue id = message.value(QStringLiteral("id"));
    if (id.isDouble()) {
        const auto it = m_pending.find(id.toInteger(-1));
        if (it == m_pending.end())
            return; // answered late, after it timed out
        BidiCallback callback = std::move(it->second.callback);
        m_pending.erase(it);
        if (!callback)
            return;
        if (message.value(QStringLiteral("type")).toString() == u"success")
            callback({true, message.value(QStringLiteral("result")).toObject(), {}});
        else
            callback({false,
                      {},
                      message.value(QStringLiteral("error")).toString() + QStringLiteral(": ") +
                          message.value(QStringLiteral("message")).toString()});
        return;
    }
    if (message.value(QStringLiteral("type")).toString() != u"event")
        return;
    const QString method = message.value(QStringLiteral("method")).toString();
    if (!method.isEmpty())
        emit event(method, message.value(QStringLiteral("params")).toObject());
}

void BidiConnection::onClosed(const QString& reason) {
    if (m_ended)
        return;
    m_ended = true;
    m_open = false;
    m_expiry.stop();
    failAll(reason);
    emit closed(reason);
}

void BidiConnection::failAll(const QString& reason) {
    // Callbacks may send new commands (which then fail later): work on a detached map.
    std::map<qint64, Pending> pending;
    pending.swap(m_pending);
    for (auto& [id, p] : pending)
        if (p.callback)
            p.callback({false, {}, reason});
}

void BidiConnection::expire() {
    const qint64 now = m_clock.elapsed();
    std::vector<BidiCallback> late;
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
