#include "platform/linux/CdpTransport.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalSocket>
#include <QNetworkProxy>
#include <QTcpSocket>
#include <QUrl>
#include <QWebSocket>

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
    if (m_http) {
        m_http->disconnect(this);
        m_http->abort();
    }
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
    m_http = new QTcpSocket(this);
    m_http->setProxy(QNetworkProxy::NoProxy);
    connect(m_http, &QTcpSocket::connected, this, [this] {
        m_http->write("GET /json/version HTTP/1.1\r\nHost: " +
                      QStringLiteral("%1:%2").arg(m_host).arg(m_port).toLatin1() +
                      "\r\nConnection: close\r\n\r\n");
    });
    connect(m_http, &QTcpSocket::readyRead, this, &CdpWebSocketTransport::onVersionData);
    connect(m_http, &QTcpSocket::disconnected, this, &CdpWebSocketTransport::onVersionData);
    connect(m_http, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError e) {
        if (m_phase == Phase::Version && e == QAbstractSocket::RemoteHostClosedError)
            return onVersionData();
        finish(QStringLiteral("cannot reach %1:%2: %3")
                   .arg(m_host)
                   .arg(m_port)
                   .arg(m_http->errorString()));
    });
    m_http->connectToHost(m_host, m_port);
}

void CdpWebSocketTransport::onVersionData() {
    if (m_phase != Phase::Version)
        return;
    m_in += m_http->readAll();
    if (m_in.size() > 1024 * 1024)
        return finish(QStringLiteral("the version answer is too long"));
    const qsizetype headEnd = m_in.indexOf("\r\n\r\n");
    if (headEnd < 0) {
        if (m_http->state() != QAbstractSocket::ConnectedState)
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
        length >= 0 ? body.size() >= length : m_http->state() != QAbstractSocket::ConnectedState;
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
    openSocket(ws.path(QUrl::FullyEncoded));
}

void CdpWebSocketTransport::openSocket(const QString& path) {
    m_phase = Phase::Socket;
    m_http->disconnect(this);
    m_http->abort();
    m_http->deleteLater();
    m_http = nullptr;
    // No Origin header: the browser accepts a client without one, and refuses other origins.
    m_socket = new QWebSocket(QString(), QWebSocketProtocol::VersionLatest, this);
    m_socket->setProxy(QNetworkProxy::NoProxy);
    m_socket->setMaxAllowedIncomingMessageSize(quint64(kMaxMessage));
    m_socket->setMaxAllowedIncomingFrameSize(quint64(kMaxMessage));
    connect(m_socket, &QWebSocket::connected, this, [this] {
        m_phase = Phase::Open;
        emit opened();
    });
    connect(m_socket, &QWebSocket::textMessageReceived, this,
            [this](const QString& text) { emit messageReceived(text.toUtf8()); });
    connect(m_socket, &QWebSocket::binaryMessageReceived, this,
            [this](const QByteArray& data) { emit messageReceived(data); });
    connect(m_socket, &QWebSocket::disconnected, this, [this] {
        finish(m_phase == Phase::Open ? QStringLiteral("the browser closed the connection")
                                      : QStringLiteral("the browser refused the WebSocket"));
    });
    // Qt 6.4 names the signal `error` (later versions `errorOccurred`).
    connect(m_socket, qOverload<QAbstractSocket::SocketError>(&QWebSocket::error), this,
            [this](QAbstractSocket::SocketError e) {
                if (e == QAbstractSocket::RemoteHostClosedError)
                    return finish(QStringLiteral("the browser closed the connection"));
                finish(QStringLiteral("connection error: ") + m_socket->errorString());
            });
    QUrl url;
    url.setScheme(QStringLiteral("ws"));
    url.setHost(m_host);
    url.setPort(m_port);
    url.setPath(path, QUrl::TolerantMode);
    m_socket->open(url);
}

void CdpWebSocketTransport::sendMessage(const QByteArray& message) {
    if (m_phase == Phase::Open)
        m_socket->sendTextMessage(QString::fromUtf8(message));
}

void CdpWebSocketTransport::close() {
    finish(QStringLiteral("closed by Tavrel"), true);
}

void CdpWebSocketTransport::finish(const QString& reason, bool sayGoodbye) {
    if (m_phase == Phase::Closed)
        return;
    const bool wasOpen = m_phase == Phase::Open && sayGoodbye;
    m_phase = Phase::Closed;
    if (m_http) {
        m_http->disconnect(this);
        m_http->abort();
    }
    if (m_socket) {
        m_socket->disconnect(this);
        if (wasOpen)
            m_socket->close(); // a close frame goes out
        else
            m_socket->abort();
    }
    emit closed(reason);
}

} // namespace platform::linuxp
