#include "platform/linux/CdpTransport.h"

#include <QCryptographicHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalSocket>
#include <QNetworkProxy>
#include <QRandomGenerator>
#include <QTcpSocket>
#include <QUrl>

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace platform::linuxp {

namespace {

// A browser that dies while we write to it must end the connection, not the program.
void ignoreBrokenPipes() {
    static const bool done = [] {
        std::signal(SIGPIPE, SIG_IGN);
        return true;
    }();
    (void)done;
}

// Moves a descriptor above the range the child uses (0 to 4), keeping it close-on-exec.
int raise(int fd) {
    if (fd < 0)
        return fd;
    const int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, 10);
    ::close(fd);
    return moved;
}

} // namespace

// --- Pipe ------------------------------------------------------------------------------------

bool CdpPipeTransport::makePair(int& ours, int& theirs) {
    int fds[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0)
        return false;
    ours = raise(fds[0]);
    theirs = raise(fds[1]);
    if (ours < 0 || theirs < 0) {
        if (ours >= 0)
            ::close(ours);
        if (theirs >= 0)
            ::close(theirs);
        return false;
    }
    return true;
}

CdpPipeTransport::CdpPipeTransport(int fd, QObject* parent)
    : CdpTransport(parent), m_socket(new QLocalSocket(this)) {
    ignoreBrokenPipes();
    connect(m_socket, &QLocalSocket::readyRead, this, &CdpPipeTransport::readPending);
    connect(m_socket, &QLocalSocket::disconnected, this,
            [this] { finish(QStringLiteral("the browser closed its end of the pipe")); });
    connect(m_socket, &QLocalSocket::errorOccurred, this, [this](QLocalSocket::LocalSocketError) {
        finish(QStringLiteral("pipe error: ") + m_socket->errorString());
    });
    if (!m_socket->setSocketDescriptor(fd, QLocalSocket::ConnectedState,
                                       QIODevice::ReadWrite | QIODevice::Unbuffered)) {
        ::close(fd);
        m_closed = true;
    }
}

CdpPipeTransport::~CdpPipeTransport() {
    m_closed = true; // no signal from a dying object
    m_socket->disconnect(this);
    m_socket->abort();
}

bool CdpPipeTransport::isOpen() const {
    return !m_closed;
}

void CdpPipeTransport::sendMessage(const QByteArray& message) {
    if (m_closed)
        return;
    m_socket->write(message);
    m_socket->write("\0", 1);
}

void CdpPipeTransport::close() {
    finish(QStringLiteral("closed by Tavrel"));
}

void CdpPipeTransport::readPending() {
    m_buffer += m_socket->readAll();
    qsizetype start = 0;
    for (;;) {
        // What was searched before holds no end: a long message is searched once.
        const qsizetype end = m_buffer.indexOf('\0', std::max(start, m_searched));
        if (end < 0) {
            m_searched = m_buffer.size();
            break;
        }
        const QByteArray message = m_buffer.mid(start, end - start);
        start = end + 1;
        if (!message.isEmpty())
            emit messageReceived(message);
        if (m_closed)
            return;
    }
    m_buffer.remove(0, start);
    m_searched = std::max<qsizetype>(0, m_searched - start);
    if (m_buffer.isEmpty() && m_buffer.capacity() > 1024 * 1024)
        m_buffer = QByteArray(); // a long message came and went: its room goes too
    if (m_buffer.size() > CdpWebSocketTransport::kMaxMessage)
        finish(QStringLiteral("a message from the browser is too large"));
}

void CdpPipeTransport::finish(const QString& reason) {
    if (m_closed)
        return;
    m_closed = true;
    m_socket->abort();
    emit closed(reason);
}

// --- WebSocket -------------------------------------------------------------------------------

CdpWebSocketTransport::CdpWebSocketTransport(QString host, quint16 port, QObject* parent)
    : CdpTransport(parent), m_host(std::move(host)), m_port(port) {}

CdpWebSocketTransport::~CdpWebSocketTransport() {
    m_phase = Phase::Closed;
    if (m_socket) {
        m_socket->disconnect(this);
        m_socket->abort();
    }
}

bool CdpWebSocketTransport::isOpen() const {
    return m_phase == Phase::Open;
}

void CdpWebSocketTransport::open() {
    ignoreBrokenPipes();
    startVersionRequest();
}

void CdpWebSocketTransport::startVersionRequest() {
    m_phase = Phase::Version;
    m_in.clear();
    delete m_socket;
    m_socket = new QTcpSocket(this);
    m_socket->setProxy(QNetworkProxy::NoProxy);
    connect(m_socket, &QTcpSocket::connected, this, [this] {
        m_socket->write("GET /json/version HTTP/1.1\r\nHost: " +
                        QStringLiteral("%1:%2").arg(m_host).arg(m_port).toLatin1() +
                        "\r\nConnection: close\r\n\r\n");
    });
    connect(m_socket, &QTcpSocket::readyRead, this, &CdpWebSocketTransport::onVersionData);
    connect(m_socket, &QTcpSocket::disconnected, this, &CdpWebSocketTransport::onVersionData);
    connect(m_socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError e) {
        if (m_phase == Phase::Version && e == QAbstractSocket::RemoteHostClosedError)
            return onVersionData();
        finish(QStringLiteral("cannot reach %1:%2: %3")
                   .arg(m_host)
                   .arg(m_port)
                   .arg(m_socket->errorString()));
    });
    m_socket->connectToHost(m_host, m_port);
}

void CdpWebSocketTransport::onVersionData() {
    if (m_phase != Phase::Version)
        return;
    m_in += m_socket->readAll();
    if (m_in.size() > 1024 * 1024)
        return finish(QStringLiteral("the version answer is too long"));
    const qsizetype headEnd = m_in.indexOf("\r\n\r\n");
    if (headEnd < 0) {
        if (m_socket->state() != QAbstractSocket::ConnectedState)
            finish(QStringLiteral("no answer to /json/version"));
        return;
    }
    // The body is complete when its announced length has arrived, or the server closed.
    const QByteArray head = m_in.left(headEnd).toLower();
    const QByteArray body = m_in.mid(headEnd + 4);
    qsizetype length = -1;
    if (qsizetype at = head.indexOf("content-length:"); at >= 0)
        length = head.mid(at + 15, head.indexOf("\r\n", at) - at - 15).trimmed().toLongLong();
    const bool complete =
        length >= 0 ? body.size() >= length : m_socket->state() != QAbstractSocket::ConnectedState;
    if (!complete)
        return;
    if (!head.startsWith("http/1.1 200") && !head.startsWith("http/1.0 200"))
        return finish(QStringLiteral("/json/version answered: ") +
                      QString::fromLatin1(m_in.left(m_in.indexOf("\r\n"))));
    const QJsonObject version =
        QJsonDocument::fromJson(length >= 0 ? body.left(length) : body).object();
    const QUrl ws(version.value(QStringLiteral("webSocketDebuggerUrl")).toString());
    if (!ws.isValid() || ws.scheme() != u"ws" || !ws.path().startsWith(u"/devtools/browser/"))
        return finish(QStringLiteral("no browser endpoint in /json/version"));
    // The endpoint is reached through the address we were given, whatever host it names.
    startHandshake(ws.path(QUrl::FullyEncoded).toLatin1());
}

void CdpWebSocketTransport::startHandshake(const QByteArray& path) {
    m_phase = Phase::Handshake;
    m_in.clear();
    m_socket->disconnect(this);
    m_socket->abort();
    m_socket->deleteLater();
    m_socket = new QTcpSocket(this);
    m_socket->setProxy(QNetworkProxy::NoProxy);
    QByteArray nonce(16, Qt::Uninitialized);
    for (char& c : nonce)
        c = char(QRandomGenerator::global()->bounded(256));
    m_key = nonce.toBase64();
    connect(m_socket, &QTcpSocket::connected, this, [this, path] {
        m_socket->write(
            "GET " + path +
            " HTTP/1.1\r\nHost: " + QStringLiteral("%1:%2").arg(m_host).arg(m_port).toLatin1() +
            "\r\nUpgrade: websocket\r\nConnection: Upgrade\r\nSec-WebSocket-Key: " + m_key +
            "\r\nSec-WebSocket-Version: 13\r\n\r\n");
    });
    connect(m_socket, &QTcpSocket::readyRead, this, &CdpWebSocketTransport::onSocketData);
    connect(m_socket, &QTcpSocket::disconnected, this,
            [this] { finish(QStringLiteral("the browser closed the connection")); });
    connect(m_socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError) {
        finish(QStringLiteral("connection error: ") + m_socket->errorString());
    });
    m_socket->connectToHost(m_host, m_port);
}

void CdpWebSocketTransport::onSocketData() {
    m_in += m_socket->readAll();
    if (m_phase == Phase::Handshake) {
        const qsizetype headEnd = m_in.indexOf("\r\n\r\n");
        if (headEnd < 0) {
            if (m_in.size() > 64 * 1024)
                finish(QStringLiteral("the upgrade answer is too long"));
            return;
        }
        const QByteArray head = m_in.left(headEnd);
        const QByteArray accept =
            QCryptographicHash::hash(m_key + "258EAFA5-E914-47DA-95CA-C5AB0DC85B11",
                                     QCryptographicHash::Sha1)
                .toBase64();
        if (!head.startsWith("HTTP/1.1 101") || !head.contains(accept))
            return finish(QStringLiteral("the browser refused the WebSocket upgrade"));
        m_in.remove(0, headEnd + 4);
        m_phase = Phase::Open;
        emit opened();
    }
    if (m_phase == Phase::Open)
        parseFrames();
}

bool CdpWebSocketTransport::parseFrames() {
    while (m_phase == Phase::Open) {
        if (m_in.size() < 2)
            return true;
        const auto* d = reinterpret_cast<const unsigned char*>(m_in.constData());
        const bool fin = d[0] & 0x80;
        const int opcode = d[0] & 0x0f;
        const bool masked = d[1] & 0x80;
        quint64 length = d[1] & 0x7f;
        qsizetype at = 2;
        if (length == 126) {
            if (m_in.size() < 4)
                return true;
            length = (quint64(d[2]) << 8) | d[3];
            at = 4;
        } else if (length == 127) {
            if (m_in.size() < 10)
                return true;
            length = 0;
            for (int i = 0; i < 8; ++i)
                length = (length << 8) | d[2 + i];
            at = 10;
        }
        if (length > quint64(kMaxMessage) ||
            quint64(m_message.size()) + length > quint64(kMaxMessage)) {
            finish(QStringLiteral("a message from the browser is too large"));
            return false;
        }
        const qsizetype maskAt = at;
        if (masked)
            at += 4;
        if (m_in.size() < at + qsizetype(length))
            return true;
        QByteArray payload = m_in.mid(at, qsizetype(length));
        if (masked)
            for (qsizetype i = 0; i < payload.size(); ++i)
                payload[i] = char(payload[i] ^ m_in[maskAt + (i % 4)]);
        m_in.remove(0, at + qsizetype(length));
        switch (opcode) {
        case 0x0: // continuation
        case 0x1:
        case 0x2:
            if (opcode != 0)
                m_messageOpcode = opcode;
            m_message += payload;
            if (fin) {
                const QByteArray message = std::exchange(m_message, {});
                emit messageReceived(message);
            }
            break;
        case 0x8:
            sendFrame(0x8, payload.left(2));
            finish(QStringLiteral("the browser closed the WebSocket"));
            return false;
        case 0x9:
            sendFrame(0xA, payload);
            break;
        default:
            break; // pong and reserved opcodes carry nothing for us
        }
    }
    return false;
}

void CdpWebSocketTransport::sendFrame(int opcode, const QByteArray& payload) {
    if (!m_socket || m_socket->state() != QAbstractSocket::ConnectedState)
        return;
    QByteArray frame;
    frame.reserve(payload.size() + 14);
    frame.append(char(0x80 | opcode));
    const quint64 n = quint64(payload.size());
    if (n < 126) {
        frame.append(char(0x80 | n));
    } else if (n < 65536) {
        frame.append(char(0x80 | 126));
        frame.append(char(n >> 8));
        frame.append(char(n & 0xff));
    } else {
        frame.append(char(0x80 | 127));
        for (int i = 7; i >= 0; --i)
            frame.append(char((n >> (8 * i)) & 0xff));
    }
    const quint32 mask = QRandomGenerator::global()->generate();
    const char key[4] = {char(mask >> 24), char(mask >> 16), char(mask >> 8), char(mask)};
    frame.append(key, 4);
    const qsizetype start = frame.size();
    frame.append(payload);
    for (qsizetype i = 0; i < payload.size(); ++i)
        frame[start + i] = char(frame[start + i] ^ key[i % 4]);
    m_socket->write(frame);
}

void CdpWebSocketTransport::sendMessage(const QByteArray& message) {
    if (m_phase == Phase::Open)
        sendFrame(0x1, message);
}

void CdpWebSocketTransport::close() {
    if (m_phase == Phase::Open)
        sendFrame(0x8, QByteArray("\x03\xe8", 2));
    finish(QStringLiteral("closed by Tavrel"));
}

void CdpWebSocketTransport::finish(const QString& reason) {
    if (m_phase == Phase::Closed)
        return;
    m_phase = Phase::Closed;
    if (m_socket) {
        m_socket->disconnect(this);
        if (m_socket->state() == QAbstractSocket::ConnectedState)
            m_socket->disconnectFromHost(); // lets a close frame go out
        else
            m_socket->abort();
    }
    emit closed(reason);
}

} // namespace platform::linuxp
