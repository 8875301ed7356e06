// The protocol connection and its two transports against scripted peers (no browser needed):
// message framing, answers and events, long strings cut and muted events dropped, failures
// when the peer goes away or stays silent.

#include "E2eSupport.h"

#include <QCryptographicHash>
#include <QJsonDocument>
#include <QLocalSocket>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <gtest/gtest.h>

using e2e::spin;
using e2e::waitUntil;
using platform::linuxp::CdpConnection;
using platform::linuxp::CdpPipeTransport;
using platform::linuxp::CdpReply;
using platform::linuxp::CdpWebSocketTransport;

TEST(CdpPipe, SplitsMessagesOnNulAnswersCommandsAndFailsThemWhenThePeerGoes) {
    int ours = -1, theirs = -1;
    ASSERT_TRUE(CdpPipeTransport::makePair(ours, theirs));
    EXPECT_GT(ours, 4);
    EXPECT_GT(theirs, 4);
    QLocalSocket browser;
    ASSERT_TRUE(browser.setSocketDescriptor(theirs));
    CdpConnection cdp(new CdpPipeTransport(ours));
    ASSERT_TRUE(cdp.isOpen());

    QList<QString> events;
    QObject::connect(&cdp, &CdpConnection::event,
                     [&](const QString& method, const QJsonObject&, const QString& session) {
                         events.append(method + u'@' + session);
                     });
    std::optional<CdpReply> first, second, third;
    cdp.send("A.one", {}, {}, [&](const CdpReply& r) { first = r; });
    cdp.send("A.two", {{"x", 1}}, "S1", [&](const CdpReply& r) { second = r; });
    QByteArray sent;
    ASSERT_TRUE(waitUntil(
        [&] {
            sent += browser.readAll();
            return sent.count('\0') == 2;
        },
        2000));
    const QList<QByteArray> parts = sent.split('\0');
    EXPECT_EQ(QJsonDocument::fromJson(parts[1]).object().value("sessionId"), QJsonValue("S1"));

    // Answers out of order, an event between them, split across writes.
    // '|' stands for the NUL that ends a message.
    auto nul = [](QByteArray text) { return text.replace('|', '\0'); };
    browser.write(R"({"id":2,"error":{"message":"nope"}})");
    browser.write(nul(R"(|{"method":"E.v","sessionId":"S1","params":{}}|{"id")"));
    browser.flush();
    ASSERT_TRUE(waitUntil([&] { return second.has_value() && events.size() == 1; }, 2000));
    EXPECT_FALSE(second->ok);
    EXPECT_EQ(second->error, QStringLiteral("nope"));
    EXPECT_EQ(events, QList<QString>{"E.v@S1"});
    browser.write(nul(R"(:1,"result":{"v":7}}|)"));
    browser.write(nul("garbage|")); // not JSON: ignored
    ASSERT_TRUE(waitUntil([&] { return first.has_value(); }, 2000));
    EXPECT_TRUE(first->ok);
    EXPECT_EQ(first->result.value("v"), QJsonValue(7));

    // The peer goes: the pending command fails and later ones fail too, never silently.
    bool closed = false;
    QObject::connect(&cdp, &CdpConnection::closed, [&] { closed = true; });
    cdp.send("A.three", {}, {}, [&](const CdpReply& r) { third = r; });
    browser.abort();
    ASSERT_TRUE(waitUntil([&] { return closed && third.has_value(); }, 2000));
    EXPECT_FALSE(third->ok);
    std::optional<CdpReply> late;
    cdp.send("A.four", {}, {}, [&](const CdpReply& r) { late = r; });
    ASSERT_TRUE(waitUntil([&] { return late.has_value(); }, 2000));
    EXPECT_FALSE(late->ok);
}

// A page decides how long some strings are: beyond a bound they are cut before parsing,
// never inside an escape or a character, and the message stays whole otherwise.
TEST(CdpMessages, CutsLongStringsAtACharacterAndKeepsTheRest) {
    using platform::linuxp::cutLongStrings;
    const QByteArray plain = R"({"a":"short","b":["x\"y"]})";
    EXPECT_EQ(cutLongStrings(plain, 8), plain);
    EXPECT_EQ(cutLongStrings(plain, 8).constData(), plain.constData()) << "not copied";
    EXPECT_EQ(cutLongStrings(R"({"a":"0123456789","b":1})", 4), R"({"a":"0123","b":1})");
    // At the bound: an escape, a \u escape, a two-byte character.
    EXPECT_EQ(cutLongStrings(R"({"a":"012\"456"})", 4), R"({"a":"012\""})");
    EXPECT_EQ(cutLongStrings(R"({"a":"01\u00e9456"})", 4), R"({"a":"01\u00e9"})");
    EXPECT_EQ(cutLongStrings("{\"a\":\"012\xc3\xa9"
                             "456\"}",
                             4),
              "{\"a\":\"012\xc3\xa9\"}");
    const QByteArray escaped = R"({"a":"\"\"\"\"\"\"","b":"z"})";
    EXPECT_EQ(cutLongStrings(escaped, 4), R"({"a":"\"\"","b":"z"})");
    EXPECT_EQ(cutLongStrings(R"({"a":"0123456789)", 4), R"({"a":"0123")") << "unended";
}

TEST(CdpPipe, ALongStringArrivesCutAndAMutedEventIsDroppedUnread) {
    int ours = -1, theirs = -1;
    ASSERT_TRUE(CdpPipeTransport::makePair(ours, theirs));
    QLocalSocket browser;
    ASSERT_TRUE(browser.setSocketDescriptor(theirs));
    CdpConnection cdp(new CdpPipeTransport(ours));
    QList<QJsonObject> params;
    QList<QString> events;
    QObject::connect(&cdp, &CdpConnection::event,
                     [&](const QString& method, const QJsonObject& p, const QString& session) {
                         events.append(method + u'@' + session);
                         params.append(p);
                     });
    const QByteArray huge = "/bigurl.html?q=" + QByteArray(3 * 1024 * 1024, 'a');
    browser.write(R"({"method":"T.info","params":{"url":")" + huge + R"(","title":"T"}})");
    browser.write(QByteArray(1, '\0'));
    ASSERT_TRUE(waitUntil([&] { return events.size() == 1; }, 5000));
    EXPECT_EQ(params[0].value("url").toString().size(), CdpConnection::kMaxStringBytes);
    EXPECT_TRUE(params[0].value("url").toString().startsWith("/bigurl.html?q=aaa"));
    EXPECT_EQ(params[0].value("title"), QJsonValue("T"));

    cdp.muteEvents("E.flood", "S1", 60000);
    for (const char* e : {R"({"method":"E.flood","params":{},"sessionId":"S1"})",
                          R"({"method":"E.flood","params":{},"sessionId":"S2"})",
                          R"({"method":"E.other","params":{},"sessionId":"S1"})",
                          R"({"method":"E.flood","params":{"x":1},"sessionId":"S1"})"}) {
        browser.write(e);
        browser.write(QByteArray(1, '\0'));
    }
    ASSERT_TRUE(waitUntil([&] { return events.size() == 3; }, 2000));
    spin(50);
    EXPECT_EQ(events, (QList<QString>{"T.info@", "E.flood@S2", "E.other@S1"}));
}

TEST(CdpPipe, ACommandWithoutAnswerFailsInTime) {
    int ours = -1, theirs = -1;
    ASSERT_TRUE(CdpPipeTransport::makePair(ours, theirs));
    QLocalSocket browser;
    ASSERT_TRUE(browser.setSocketDescriptor(theirs));
    CdpConnection cdp(new CdpPipeTransport(ours));
    cdp.setCommandTimeout(100);
    std::optional<CdpReply> reply;
    cdp.send("A.silent", {}, {}, [&](const CdpReply& r) { reply = r; });
    ASSERT_TRUE(waitUntil([&] { return reply.has_value(); }, 3000));
    EXPECT_FALSE(reply->ok);
    EXPECT_EQ(cdp.pendingCount(), 0);
}

namespace {

// A peer that speaks just enough of the DevTools HTTP and WebSocket endpoints.
struct FakeEndpoint : QObject {
    FakeEndpoint() {
        server.listen(QHostAddress::LocalHost, 0);
        connect(&server, &QTcpServer::newConnection, this, [this] {
            QTcpSocket* s = server.nextPendingConnection();
            connect(s, &QTcpSocket::readyRead, this, [this, s] { onData(s); });
        });
    }
    void onData(QTcpSocket* s) {
        QByteArray& in = buffers[s];
        in += s->readAll();
        if (s != ws) {
            if (!in.contains("\r\n\r\n"))
                return;
            if (in.startsWith("GET /json/version")) {
                const QByteArray body = "{\"webSocketDebuggerUrl\":\"ws://elsewhere:1/devtools/"
                                        "browser/abc\"}";
                s->write("HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(body.size()) +
                         "\r\n\r\n" + body);
                s->disconnectFromHost();
                return;
            }
            const qsizetype k = in.indexOf("Sec-WebSocket-Key: ") + 19;
            const QByteArray key = in.mid(k, in.indexOf("\r\n", k) - k);
            path = in.left(in.indexOf(" HTTP"));
            s->write("HTTP/1.1 101 Switching Protocols\r\nUpgrade: websocket\r\n"
                     "Connection: Upgrade\r\nSec-WebSocket-Accept: " +
                     QCryptographicHash::hash(key + "258EAFA5-E914-47DA-95CA-C5AB0DC85B11",
                                              QCryptographicHash::Sha1)
                         .toBase64() +
                     "\r\n\r\n");
            in.clear();
            ws = s;
            return;
        }
        // Client frames: always masked.
        while (in.size() >= 6) {
            const int op = in[0] & 0x0f;
            quint64 n = quint8(in[1]) & 0x7f;
            int at = 2;
            if (n == 126) {
                n = (quint8(in[2]) << 8) | quint8(in[3]);
                at = 4;
            }
            if (!(in[1] & 0x80) || in.size() < at + 4 + qsizetype(n))
                return;
            QByteArray payload = in.mid(at + 4, qsizetype(n));
            for (qsizetype i = 0; i < payload.size(); ++i)
                payload[i] = char(payload[i] ^ in[at + (i % 4)]);
            in.remove(0, at + 4 + qsizetype(n));
            received.append({op, payload});
        }
    }
    void frame(int byte0, const QByteArray& payload) {
        QByteArray f(1, char(byte0));
        if (payload.size() < 126) {
            f.append(char(payload.size()));
        } else {
            f.append(char(126));
            f.append(char(payload.size() >> 8));
            f.append(char(payload.size() & 0xff));
        }
        ws->write(f + payload);
    }
    QTcpServer server;
    QTcpSocket* ws = nullptr;
    QByteArray path;
    std::map<QTcpSocket*, QByteArray> buffers;
    QList<QPair<int, QByteArray>> received;
};

} // namespace

TEST(CdpWebSocket, FindsTheEndpointUpgradesAndSpeaksFramesBothWays) {
    FakeEndpoint peer;
    auto* transport = new CdpWebSocketTransport("127.0.0.1", peer.server.serverPort());
    CdpConnection cdp(transport);
    bool opened = false, closed = false;
    QList<QString> events;
    QObject::connect(&cdp, &CdpConnection::opened, [&] { opened = true; });
    QObject::connect(&cdp, &CdpConnection::closed, [&] { closed = true; });
    QObject::connect(&cdp, &CdpConnection::event,
                     [&](const QString& m, const QJsonObject&, const QString&) { events << m; });
    transport->open();
    ASSERT_TRUE(waitUntil([&] { return opened; }, 3000));
    // The endpoint is reached at the address given, whatever host the version names.
    EXPECT_EQ(peer.path, QByteArray("GET /devtools/browser/abc"));

    std::optional<CdpReply> reply;
    cdp.send("A.big", {{"pad", QString(300, u'x')}}, {}, [&](const CdpReply& r) { reply = r; });
    ASSERT_TRUE(waitUntil([&] { return !peer.received.isEmpty(); }, 2000));
    EXPECT_EQ(peer.received[0].first, 1);
    EXPECT_EQ(QJsonDocument::fromJson(peer.received[0].second).object().value("method"),
              QJsonValue("A.big"));

    // A fragmented answer with a ping in the middle; then an event.
    peer.frame(0x01, R"({"id":1,"res)");
    peer.frame(0x89, "hi");
    peer.frame(0x80, R"(ult":{}})");
    peer.frame(0x81, R"({"method":"E.v","params":{}})");
    ASSERT_TRUE(waitUntil([&] { return reply.has_value() && !events.isEmpty(); }, 2000));
    EXPECT_TRUE(reply->ok);
    ASSERT_TRUE(waitUntil([&] { return peer.received.size() >= 2; }, 2000));
    EXPECT_EQ(peer.received[1], (QPair<int, QByteArray>{0xA, "hi"})) << "ping answered";

    // The peer closes: the connection ends cleanly.
    std::optional<CdpReply> pending;
    cdp.send("A.pending", {}, {}, [&](const CdpReply& r) { pending = r; });
    peer.frame(0x88, QByteArray("\x03\xe8", 2));
    ASSERT_TRUE(waitUntil([&] { return closed && pending.has_value(); }, 2000));
    EXPECT_FALSE(pending->ok);
}

TEST(CdpWebSocket, NoBrowserAtTheAddressEndsTheAttempt) {
    quint16 port = 0;
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        port = probe.serverPort();
    }
    auto* transport = new CdpWebSocketTransport("127.0.0.1", port);
    CdpConnection cdp(transport);
    QString reason;
    QObject::connect(&cdp, &CdpConnection::closed, [&](const QString& r) { reason = r; });
    transport->open();
    ASSERT_TRUE(waitUntil([&] { return !reason.isEmpty(); }, 3000));
    EXPECT_FALSE(cdp.isOpen());
}

TEST(X11KeyState, ReadsControlTheLeftButtonAndThePointerFromTheXServer) {
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    const QString xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
    if (xvfb.isEmpty() || xdotool.isEmpty())
        GTEST_SKIP() << "needs Xvfb and xdotool (packages xvfb, xdotool)";
    QProcess server;
    // -noreset: each xdotool call below is the server's last client when it leaves.
    server.start(xvfb,
                 {"-displayfd", "1", "-noreset", "-nolisten", "tcp", "-screen", "0", "640x480x24"});
    ASSERT_TRUE(server.waitForStarted(5000));
    QByteArray number;
    ASSERT_TRUE(waitUntil(
        [&] {
            number += server.readAllStandardOutput();
            return number.contains('\n');
        },
        10000));
    const QByteArray display = ":" + number.trimmed();
    const QByteArray saved = qgetenv("DISPLAY");
    qputenv("DISPLAY", display);
    auto xdo = [&](const QStringList& args) { return QProcess::execute(xdotool, args) == 0; };
    {
        platform::linuxp::CdpKeyState keys(true);
        ASSERT_TRUE(keys.usesX11());
        EXPECT_FALSE(keys.keyDown(platform::Key::Control));
        ASSERT_TRUE(xdo({"keydown", "ctrl"}));
        EXPECT_TRUE(keys.keyDown(platform::Key::Control));
        EXPECT_FALSE(keys.keyDown(platform::Key::Shift));
        ASSERT_TRUE(xdo({"keyup", "ctrl"}));
        EXPECT_FALSE(keys.keyDown(platform::Key::Control));
        ASSERT_TRUE(xdo({"mousemove", "10", "20", "mousedown", "1"}));
        EXPECT_TRUE(keys.keyDown(platform::Key::LButton));
        EXPECT_EQ(keys.pointerOnScreen(), QPoint(10, 20));
        ASSERT_TRUE(xdo({"mouseup", "1"}));
        EXPECT_FALSE(keys.keyDown(platform::Key::LButton));
        // A page's report does not count while the X server answers.
        platform::linuxp::CdpMouseReport report;
        report.ctrl = true;
        keys.noteReport(report);
        EXPECT_FALSE(keys.keyDown(platform::Key::Control));
        platform::linuxp::CdpKeyState pageOnly(false);
        pageOnly.noteReport(report);
        EXPECT_TRUE(pageOnly.keyDown(platform::Key::Control));
    }
    if (saved.isEmpty())
        qunsetenv("DISPLAY");
    else
        qputenv("DISPLAY", saved);
    server.terminate();
    server.waitForFinished(5000);
}
