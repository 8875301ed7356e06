#include "platform/linux/BidiSocket.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QWebSocket>

namespace platform::linuxp {

BidiSocket::BidiSocket(bool trace, PopupGuard guard) : m_trace(trace), m_hold(guard) {
    m_clock.start();
    m_expiry.setInterval(100);
    connect(&m_expiry, &QTimer::timeout, this, [this] {
        apply(m_hold.expire(m_clock.elapsed()));
        if (!m_hold.waiting())
            m_expiry.stop();
    });
}

BidiSocket::~BidiSocket() {
    if (m_socket) {
        m_socket->disconnect(this);
        m_socket->abort();
        delete m_socket;
    }
}

void BidiSocket::open(const QUrl& url) {
    // No Origin header: the browser accepts only clients that are not web pages.
    m_socket = new QWebSocket(QString(), QWebSocketProtocol::VersionLatest);
    m_socket->setMaxAllowedIncomingMessageSize(quint64(kMaxMessage));
    connect(m_socket, &QWebSocket::connected, this, &BidiSocket::opened);
    connect(m_socket, &QWebSocket::textMessageReceived, this, &BidiSocket::onText);
    connect(m_socket, &QWebSocket::disconnected, this, [this] {
        finish(m_socket->closeReason().isEmpty()
                   ? QStringLiteral("the browser closed the connection")
                   : m_socket->closeReason());
    });
    connect(m_socket, qOverload<QAbstractSocket::SocketError>(&QWebSocket::error), this, [this] {
        finish(QStringLiteral("connection to the browser: ") + m_socket->errorString());
    });
    m_socket->open(url);
}

void BidiSocket::sendText(const QByteArray& text) {
    if (m_ended || !m_socket)
        return;
    if (m_trace)
        qDebug("bidi > %s", text.left(400).constData());
    m_socket->sendTextMessage(QString::fromUtf8(text));
}

void BidiSocket::close() {
    if (m_socket && !m_ended)
        m_socket->close();
    finish(QStringLiteral("connection closed"));
}

void BidiSocket::finish(const QString& reason) {
    if (m_ended)
        return;
    m_ended = true;
    m_expiry.stop();
    emit closed(reason);
}

void BidiSocket::onText(const QString& text) {
    if (m_ended)
        return;
    const QByteArray bytes = text.toUtf8();
    if (m_trace)
        qDebug("bidi < %s", bytes.left(400).constData());
    const QJsonDocument doc = QJsonDocument::fromJson(bytes);
    if (!doc.isObject())
        return;
    const QJsonObject message = doc.object();
    const QJsonValue id = message.value(QStringLiteral("id"));
    if (id.isDouble()) {
        if (const auto own = m_own.find(id.toInteger(-1)); own != m_own.end()) {
            const Own o = own->second;
            m_own.erase(own);
            if (o.what.isEmpty())
                return;
            // The answer to a command of ours that the program waits for: an event for it.
            const QJsonObject result = message.value(QStringLiteral("result")).toObject();
            emit received(QJsonObject{
                {QStringLiteral("type"), QStringLiteral("event")},
                {QStringLiteral("method"), QStringLiteral("tavrel.held")},
                {QStringLiteral("params"),
                 QJsonObject{
                     {QStringLiteral("context"), o.context},
                     {QStringLiteral("what"), o.what},
                     {QStringLiteral("id"), result.value(o.what).toString()},
                     {QStringLiteral("ok"),
                      message.value(QStringLiteral("type")).toString() == u"success"},
                     {QStringLiteral("error"), message.value(QStringLiteral("message"))}}}});
            return;
        }
    }
    const BidiPopupHold::Outcome outcome = m_hold.onMessage(message, m_clock.elapsed());
    apply(outcome);
    if (outcome.forward)
        emit received(message);
    for (const QJsonObject& held : outcome.release)
        emit received(held);
}

void BidiSocket::apply(const BidiPopupHold::Outcome& outcome) {
    for (const BidiPopupHold::Command& command : outcome.send) {
        const qint64 id = m_nextOwnId++;
        m_own.emplace(id, Own{command.context, command.what});
        QJsonObject message = command.message;
        message.insert(QStringLiteral("id"), id);
        sendText(QJsonDocument(message).toJson(QJsonDocument::Compact));
    }
    if (m_hold.waiting() && !m_expiry.isActive())
        m_expiry.start();
}

} // namespace platform::linuxp
