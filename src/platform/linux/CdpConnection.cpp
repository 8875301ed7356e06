#include "platform/linux/CdpConnection.h"

#include "platform/Logging.h"

#include <QJsonDocument>

#include <algorithm>

namespace platform::linuxp {

QByteArray cutLongStrings(const QByteArray& message, qsizetype maxBytes) {
    const char* d = message.constData();
    const qsizetype n = message.size();
    QByteArray out;
    qsizetype copied = 0; // message[copied, i) is still to be copied when something was cut
    qsizetype i = 0;
    while (i < n) {
        if (d[i] != '"') {
            ++i;
            continue;
        }
        // A string: its end is the next quote that no backslash escapes.
        const qsizetype start = i + 1;
        qsizetype cut = -1;
        qsizetype j = start;
        while (j < n && d[j] != '"') {
            // Only where a character starts: not inside an escape or a UTF-8 sequence.
            if (cut < 0 && j - start >= maxBytes && (uchar(d[j]) & 0xC0) != 0x80)
                cut = j;
            j += d[j] != '\\' ? 1 : j + 1 < n && d[j + 1] == 'u' ? 6 : 2;
        }
        if (cut >= 0) {
            if (out.isNull())
                out.reserve(std::min<qsizetype>(n, 1024 * 1024));
            out.append(d + copied, cut - copied);
            out.append('"');
            copied = std::min(j + 1, n);
        }
        i = j + 1;
    }
    if (out.isNull())
        return message;
    if (copied < n)
        out.append(d + copied, n - copied);
    return out;
}

CdpConnection::CdpConnection(CdpTransport* transport, QObject* parent)
    : QObject(parent), m_transport(transport) {
    m_transport->setParent(this);
    m_clock.start();
    m_open = m_transport->isOpen();
    connect(m_transport, &CdpTransport::opened, this, [this] {
        m_open = true;
        emit opened();
    });
    connect(m_transport, &CdpTransport::messageReceived, this, &CdpConnection::onMessage);
    connect(m_transport, &CdpTransport::closed, this, &CdpConnection::onClosed);
}

CdpConnection::~CdpConnection() {
    m_transport->disconnect(this);
}

qint64 CdpConnection::send(const QString& method, const QJsonObject& params,
                           const QString& sessionId, CdpCallback callback) {
    const qint64 id = m_nextId++;
    if (!m_open || m_ended) {
        if (callback)
            QTimer::singleShot(0, this, [callback, method] {
                callback({false, {}, QStringLiteral("no browser connection (%1)").arg(method)});
            });
        return id;
    }
    QJsonObject message{{QStringLiteral("id"), id},
                        {QStringLiteral("method"), method},
                        {QStringLiteral("params"), params}};
    if (!sessionId.isEmpty())
        message.insert(QStringLiteral("sessionId"), sessionId);
    // Every command is tracked, so that a lost browser or a lost answer is noticed.
    m_pending.add(id, std::move(callback));
    const QByteArray text = QJsonDocument(message).toJson(QJsonDocument::Compact);
    qCDebug(platform::lcCdp, "> %s", text.left(400).constData());
    m_transport->sendMessage(text);
    return id;
}

void CdpConnection::close() {
    if (!m_ended)
        m_transport->close();
}

void CdpConnection::muteEvents(const QString& method, const QString& sessionId, int ms) {
    // The browser writes an event as {"method":...,"params":...,"sessionId":...}.
    m_mutes.push_back({"{\"method\":\"" + method.toUtf8() + '"',
                       ",\"sessionId\":\"" + sessionId.toUtf8() + "\"}", m_clock.elapsed() + ms});
}

bool CdpConnection::muted(const QByteArray& message) {
    const qint64 now = m_clock.elapsed();
    std::erase_if(m_mutes, [now](const Mute& m) { return m.until <= now; });
    for (const Mute& m : m_mutes)
        if (message.startsWith(m.head) && message.endsWith(m.tail))
            return true;
    return false;
}

void CdpConnection::onMessage(const QByteArray& message) {
    qCDebug(platform::lcCdp, "< %s", message.left(400).constData());
    if (!m_mutes.empty() && muted(message))
        return;
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(
        message.size() > kMaxStringBytes ? cutLongStrings(message, kMaxStringBytes) : message,
        &error);
    if (!doc.isObject())
        return;
    const QJsonObject object = doc.object();
    const QString sessionId = object.value(QStringLiteral("sessionId")).toString();
    if (object.contains(QStringLiteral("id"))) {
        const CdpCallback callback =
            m_pending.take(object.value(QStringLiteral("id")).toInteger(-1));
        if (!callback)
            return; // none asked, or answered late, after it timed out
        if (object.contains(QStringLiteral("error"))) {
            const QJsonObject e = object.value(QStringLiteral("error")).toObject();
            callback({false, {}, e.value(QStringLiteral("message")).toString()});
        } else {
            callback({true, object.value(QStringLiteral("result")).toObject(), {}});
        }
        return;
    }
    const QString method = object.value(QStringLiteral("method")).toString();
    if (!method.isEmpty())
        emit event(method, object.value(QStringLiteral("params")).toObject(), sessionId);
}

void CdpConnection::onClosed(const QString& reason) {
    if (m_ended)
        return;
    m_ended = true;
    m_open = false;
    m_pending.failAll(reason);
    emit closed(reason);
}

} // namespace platform::linuxp
