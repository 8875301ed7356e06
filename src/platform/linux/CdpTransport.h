#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class QLocalSocket;
class QTcpSocket;
class QWebSocket;

namespace platform::linuxp {

// One channel to the browser's DevTools endpoint that carries whole JSON messages.
class CdpTransport : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    /// Queues one message; dropped when the channel is not open.
    virtual void sendMessage(const QByteArray& message) = 0;
    /// Closes the channel; `closed` follows once.
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

signals:
    void opened();
    void messageReceived(const QByteArray& message);
    /// The channel ended (the browser went away, or `close` was called); emitted once.
    void closed(const QString& reason);
};

// The browser's --remote-debugging-pipe: messages ended by a NUL byte. We hand the browser
// one end of a socket pair as both its fd 3 (read) and fd 4 (write), and keep the other.
class CdpPipeTransport : public CdpTransport {
    Q_OBJECT
public:
    /// Takes ownership of `fd`, our end of the socket pair.
    explicit CdpPipeTransport(int fd, QObject* parent = nullptr);
    ~CdpPipeTransport() override;
    void sendMessage(const QByteArray& message) override;
    void close() override;
    bool isOpen() const override;

    /// Creates a socket pair; `ours` stays in this process, `theirs` goes to the browser.
    /// Both are close-on-exec and above fd 4. False on failure.
    static bool makePair(int& ours, int& theirs);

private:
    void readPending();
    void finish(const QString& reason);
    QLocalSocket* m_socket;
    QByteArray m_buffer;
    qsizetype m_searched = 0; // bytes of m_buffer known to hold no message end
    bool m_closed = false;
};

// A WebSocket to a browser started with --remote-debugging-port: the address of the browser
// endpoint is read from /json/version, then Qt WebSockets carries the messages (text frames,
// fragments, ping and close). Only loopback addresses are ever given to it.
class CdpWebSocketTransport : public CdpTransport {
    Q_OBJECT
public:
    CdpWebSocketTransport(QString host, quint16 port, QObject* parent = nullptr);
    ~CdpWebSocketTransport() override;
    /// Starts connecting; `opened` or `closed` follows.
    void open();
    void sendMessage(const QByteArray& message) override;
    void close() override;
    bool isOpen() const override;

    /// Largest message accepted from the browser; a larger one ends the connection.
    static constexpr qint64 kMaxMessage = 64 * 1024 * 1024;

private:
    enum class Phase { Idle, Version, Socket, Open, Closed };
    void startVersionRequest();
    void onVersionData();
    void openSocket(const QString& path);
    /// Ends the channel once; `sayGoodbye` sends a close frame on a socket still open.
    void finish(const QString& reason, bool sayGoodbye = false);

    QString m_host;
    quint16 m_port;
    Phase m_phase = Phase::Idle;
    QTcpSocket* m_http = nullptr;
    QWebSocket* m_socket = nullptr;
    QByteArray m_in;
};

} // namespace platform::linuxp
