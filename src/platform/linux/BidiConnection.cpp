#include "platform/linux/BidiConnection.h"

#include "platform/linux/BidiSocket.h"

#include <QJsonDocument>

namespace platform::linuxp {

BidiConnection::BidiConnection(PopupGuard guard, QObject* parent)
    : QObject(parent),
      m_socket(new BidiSocket(qEnvironmentVariableIsSet("TAVREL_BIDI_TRACE"), guard)) {
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
    m_pending.add(id, std::move(callback));
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
        const BidiCallback callback = m_pending.take(id.toInteger(-1));
        if (!callback)
            return; // none asked, or answered late, after it timed out
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
    m_pending.failAll(reason);
    emit closed(reason);
}

} // namespace platform::linuxp
