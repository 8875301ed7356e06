// The Chromium adapter against a real headless Chromium: the snapshot, the pop-up decision,
// click reports, a vanished browser, and attaching to a browser's debugging port.

#include "E2eSupport.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTextStream>
#include <gtest/gtest.h>

#include <csignal>

using e2e::Browser;
using e2e::kOpener;
using e2e::kPopup;
using e2e::LocalServer;
using e2e::spin;
using e2e::waitUntil;
using platform::BrowserWindow;
using platform::WindowHandle;
using platform::linuxp::CdpReply;
using platform::linuxp::ChromiumBrowser;
using platform::linuxp::parseMouseReport;

namespace {

void figure(const QString& text) {
    QTextStream(stdout) << "[figure] " << text << Qt::endl;
}

// A stand-in for the program's pop-up rules, wired to every window as it is registered:
// the click rule (one window per click) and the size rule (no window from a small opener).
struct Rules : QObject {
    explicit Rules(ChromiumBrowser& b) : browser(b) {
        connect(&b, &ChromiumBrowser::windowRegistered, this, &Rules::hookAll);
        hookAll();
    }
    void hookAll() {
        for (BrowserWindow* w : browser.windows()) {
            if (hooked.contains(w->hwnd()))
                continue;
            hooked.insert(w->hwnd());
            connect(w, &BrowserWindow::documentMouseDown, this, [this] {
                ++mouseDowns;
                leftHeldAtDown = browser.keyDown(platform::Key::LButton);
            });
            connect(w, &BrowserWindow::documentMouseUp, this, [this] {
                ++mouseUps;
                userClick = true;
            });
            connect(w, &BrowserWindow::newWindow2, this, [this, w](bool& cancel) {
                askedBy.append(w->hwnd());
                controlAtDecision.append(browser.keyDown(platform::Key::Control));
                if (sizeRule && w->width().value_or(0) <= 250 && w->height().value_or(0) <= 150)
                    cancel = true;
                if (clickRule) {
                    if (!userClick)
                        cancel = true;
                    userClick = false;
                }
                refused += cancel;
            });
        }
    }
    ChromiumBrowser& browser;
    QSet<WindowHandle> hooked;
    bool clickRule = false;
    bool sizeRule = false;
    bool userClick = false;
    int mouseDowns = 0;
    bool leftHeldAtDown = false;
    QList<bool> controlAtDecision;
    int mouseUps = 0;
    int refused = 0;
    QList<WindowHandle> askedBy;
};

struct Counter {
    int registered = 0;
    int revoked = 0;
};

} // namespace

TEST(MouseReport, AcceptsOnlyWhatThePageScriptSends) {
    const auto good = parseMouseReport(R"({"type":"mouseup","button":0,"buttons":0,
        "ctrlKey":true,"shiftKey":false,"altKey":false,"x":12,"y":-3})");
    ASSERT_TRUE(good);
    EXPECT_EQ(good->type, platform::linuxp::CdpMouseReport::Type::Up);
    EXPECT_TRUE(good->ctrl);
    EXPECT_EQ(good->client, QPoint(12, -3));
    // Wrong types, values out of range, missing fields, other documents, too long.
    for (
        const char* bad :
        {R"({"type":"click","button":0,"buttons":0,"ctrlKey":false,"shiftKey":false,"altKey":false,"x":0,"y":0})",
         R"({"type":"mouseup","button":"0","buttons":0,"ctrlKey":false,"shiftKey":false,"altKey":false,"x":0,"y":0})",
         R"({"type":"mouseup","button":0,"buttons":0,"ctrlKey":1,"shiftKey":false,"altKey":false,"x":0,"y":0})",
         R"({"type":"mouseup","button":9,"buttons":0,"ctrlKey":false,"shiftKey":false,"altKey":false,"x":0,"y":0})",
         R"({"type":"mouseup","button":0.5,"buttons":0,"ctrlKey":false,"shiftKey":false,"altKey":false,"x":0,"y":0})",
         R"({"type":"mouseup","button":0,"buttons":0,"ctrlKey":false,"shiftKey":false,"altKey":false,"x":1e300,"y":0})",
         R"({"type":"mouseup","button":0,"buttons":0,"ctrlKey":false,"shiftKey":false,"altKey":false})",
         R"(["mouseup"])", "mouseup", ""})
        EXPECT_FALSE(parseMouseReport(bad)) << bad;
    QByteArray huge =
        R"({"type":"mouseup","button":0,"buttons":0,"ctrlKey":false,"shiftKey":false,"altKey":false,"x":0,"y":0,"pad":")";
    huge += QByteArray(1000, 'a') + "\"}";
    EXPECT_FALSE(parseMouseReport(huge));
}

TEST(ChromiumAdapter, SnapshotListsPagesWithTitleUrlAndSizeAndFollowsClosure) {
    Browser b;
    E2E_NEED_BROWSER(b);
    LocalServer server;
    server.page("/a.html", "<html><head><title>Page A</title></head><body>a</body></html>");
    Counter c;
    QObject::connect(&b.shell(), &ChromiumBrowser::windowRegistered, [&] { ++c.registered; });
    QObject::connect(&b.shell(), &ChromiumBrowser::windowRevoked, [&] { ++c.revoked; });
    const WindowHandle h = b.openTab(server.url("/a.html"));
    ASSERT_NE(h, 0u);
    EXPECT_EQ(c.registered, 1);
    ASSERT_TRUE(waitUntil([&] { return b.window(h)->locationName() == QStringLiteral("Page A"); }));
    EXPECT_EQ(b.window(h)->locationURL(), server.url("/a.html"));
    ASSERT_TRUE(b.window(h)->width().has_value());
    EXPECT_GT(*b.window(h)->width(), 100);
    EXPECT_GT(*b.window(h)->height(), 100);

    // A title changed by the page raises no event: the poll brings it.
    b.eval(h, "document.title = 'Renamed'");
    ASSERT_TRUE(
        waitUntil([&] { return b.window(h)->locationName() == QStringLiteral("Renamed"); }, 2000));

    // Handles are never reused: a second page gets a new one, and so does a closed one's
    // replacement.
    const WindowHandle h2 = b.openTab(server.url("/a.html"));
    ASSERT_NE(h2, 0u);
    EXPECT_NE(h2, h);
    EXPECT_TRUE(b.shell().postClose(h));
    ASSERT_TRUE(waitUntil([&] { return !b.listed(h); }, 5000));
    EXPECT_EQ(c.revoked, 1);
    EXPECT_FALSE(b.shell().postClose(h)) << "a closed window's handle names nothing";
    const WindowHandle h3 = b.openTab(server.url("/a.html"));
    EXPECT_NE(h3, h);
    EXPECT_NE(h3, h2);

    // Reads never wait for the browser: a thousand reads of every window take no time.
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < 1000; ++i)
        for (BrowserWindow* w : b.shell().windows())
            (void)w->locationURL();
    EXPECT_LT(clock.elapsed(), 500);
}

TEST(ChromiumAdapter, WindowOpenWithoutClickIsRefusedBeforeItsAddressIsRequested) {
    Browser b;
    E2E_NEED_BROWSER(b);
    LocalServer server;
    server.page("/opener.html", kOpener);
    server.page("/popup.html", kPopup);
    const WindowHandle opener = b.openTab(server.url("/opener.html"));
    ASSERT_NE(opener, 0u);
    Rules rules(b.shell());
    rules.clickRule = true;
    const auto before = b.handles();

    QList<qint64> done;
    QObject::connect(&b.shell(), &ChromiumBrowser::popupRefusalDone,
                     [&](const QString&, qint64 ms) { done.append(ms); });
    QElapsedTimer clock;
    clock.start();
    b.eval(opener, "window.open('/popup.html?noclick', '', 'width=200,height=100'); 1");
    ASSERT_TRUE(waitUntil([&] { return !done.isEmpty(); }, 5000)) << "the pop-up stayed open";
    figure(QStringLiteral("window.open to refused window closed: %1 ms (%2 ms after it attached)")
               .arg(clock.elapsed())
               .arg(done.first()));
    EXPECT_EQ(rules.askedBy, QList<WindowHandle>{opener}) << "asked once, of the opener";
    EXPECT_EQ(b.shell().refusedCount(), 1);

    // The opener runs on: its own timers still tick.
    const double t0 = b.eval(opener, "window.ticks").toDouble();
    spin(150);
    EXPECT_GT(b.eval(opener, "window.ticks").toDouble(), t0);
    EXPECT_FALSE(server.wasRequested("noclick")) << server.requested.join(u' ').toStdString();
    EXPECT_EQ(b.handles(), before) << "the refused window was never listed";
}

TEST(ChromiumAdapter, BlankAndNoopenerPopupsAreRefusedToo) {
    Browser b;
    E2E_NEED_BROWSER(b);
    LocalServer server;
    server.page("/opener.html", kOpener);
    server.page("/popup.html", kPopup);
    const WindowHandle opener = b.openTab(server.url("/opener.html"));
    ASSERT_NE(opener, 0u);
    Rules rules(b.shell());
    rules.clickRule = true;
    const auto before = b.handles();
    int refusals = 0;
    QObject::connect(&b.shell(), &ChromiumBrowser::popupRefusalDone, [&] { ++refusals; });

    // A blank pop-up requests nothing: the fallback closes it, and the opener runs on.
    b.eval(opener, "window.open('', '', 'width=200,height=100'); 1");
    ASSERT_TRUE(waitUntil([&] { return refusals == 1; }, 5000));
    EXPECT_EQ(b.shell().fallbackCount(), 0) << "closed without waiting for a timer";
    const double t0 = b.eval(opener, "window.ticks").toDouble();
    spin(100);
    EXPECT_GT(b.eval(opener, "window.ticks").toDouble(), t0);

    // A pop-up that does not name its opener is still asked of the page that opened it (once
    // the page's own refusal of gesture-less windows has lapsed).
    spin(platform::linuxp::ChromiumPopupGate::kPopupHoldMs + 100);
    b.eval(opener, "window.open('/popup.html?noopener', '', 'noopener'); 1");
    ASSERT_TRUE(waitUntil([&] { return refusals == 2; }, 5000));
    EXPECT_EQ(rules.askedBy, (QList<WindowHandle>{opener, opener}));
    EXPECT_FALSE(server.wasRequested("noopener"));
    EXPECT_EQ(b.handles(), before);
}

TEST(ChromiumAdapter, APopupFromAnotherSitesFrameIsAskedOfThePage) {
    Browser b;
    E2E_NEED_BROWSER(b);
    LocalServer server;
    // The frame comes from another site (localhost, not 127.0.0.1): its own process.
    const QString frame = QString(server.url("/frame.html")).replace("127.0.0.1", "localhost");
    server.page("/framed.html", "<html><head><title>Framed</title></head><body>"
                                "<iframe src=\"" +
                                    frame + "\"></iframe></body></html>");
    server.page("/frame.html", "<html><body><script>setTimeout(() => "
                               "window.open('/popup.html?fromframe', '', 'width=200,height=100'),"
                               " 100);</script></body></html>");
    server.page("/popup.html", kPopup);
    Rules rules(b.shell());
    rules.clickRule = true;
    int refusals = 0;
    QObject::connect(&b.shell(), &ChromiumBrowser::popupRefusalDone, [&] { ++refusals; });
    const WindowHandle page = b.openTab(server.url("/framed.html"));
    ASSERT_NE(page, 0u);
    ASSERT_TRUE(waitUntil([&] { return refusals == 1; }, 5000));
    EXPECT_EQ(rules.askedBy, QList<WindowHandle>{page});
    EXPECT_FALSE(server.wasRequested("fromframe"));
}

TEST(ChromiumAdapter, ARealClickLetsExactlyOneWindowOpen) {
    Browser b;
    E2E_NEED_BROWSER(b);
    LocalServer server;
    server.page("/opener.html", kOpener);
    server.page("/popup.html", kPopup);
    const WindowHandle opener = b.openTab(server.url("/opener.html"));
    ASSERT_NE(opener, 0u);
    Rules rules(b.shell());
    rules.clickRule = true;
    const int listedBefore = int(b.handles().size());
    int refusals = 0;
    QObject::connect(&b.shell(), &ChromiumBrowser::popupRefusalDone, [&] { ++refusals; });

    // The button opens two windows: the click allows the first only.
    ASSERT_TRUE(b.click(opener, 50, 50));
    ASSERT_TRUE(waitUntil([&] { return refusals == 1 && server.wasRequested("first"); }, 8000))
        << "refusals " << refusals << ", requested " << server.requested.join(u' ').toStdString();
    ASSERT_TRUE(waitUntil([&] { return int(b.handles().size()) == listedBefore + 1; }, 5000));
    EXPECT_EQ(rules.mouseDowns, 1);
    EXPECT_EQ(rules.mouseUps, 1);
    EXPECT_TRUE(rules.leftHeldAtDown) << "the left button reads as held during its press";
    EXPECT_FALSE(b.shell().keyDown(platform::Key::LButton)) << "and released after";
    EXPECT_EQ(rules.controlAtDecision, (QList<bool>{false, false}));
    EXPECT_EQ(rules.askedBy, (QList<WindowHandle>{opener, opener}));
    spin(200);
    EXPECT_EQ(int(b.handles().size()), listedBefore + 1) << "exactly one window opened";
    EXPECT_FALSE(server.wasRequested("second"));
    EXPECT_FALSE(b.shell().keyDown(platform::Key::Control));
}

TEST(ChromiumAdapter, ControlHeldDuringTheClickIsSeenWhenThePopupIsDecided) {
    Browser b;
    E2E_NEED_BROWSER(b);
    LocalServer server;
    server.page("/opener.html", kOpener);
    server.page("/popup.html", kPopup);
    const WindowHandle opener = b.openTab(server.url("/opener.html"));
    ASSERT_NE(opener, 0u);
    Rules rules(b.shell());
    ASSERT_TRUE(b.click(opener, 50, 50, 2));
    ASSERT_TRUE(waitUntil([&] { return rules.askedBy.size() == 2; }, 8000));
    // The second window of the click has no gesture behind it (the first one used it up):
    // Control known only from the page's report does not count for it.
    EXPECT_EQ(rules.controlAtDecision, (QList<bool>{true, false}));
}

TEST(ChromiumAdapter, StartsFromTheEnvironmentAtTheFirstTurnOfTheEventLoop) {
    if (const QString why = Browser::unavailableReason(); !why.isEmpty())
        GTEST_SKIP() << "no Chromium to test against: " << why.toStdString();
    QTemporaryDir profile;
    QStringList quoted;
    for (const QString& a : Browser::headlessOptions(profile.path()).arguments)
        quoted << u'"' + a + u'"';
    qputenv("TAVREL_BROWSER_ARGS", quoted.join(u' ').toUtf8());
    qputenv("TAVREL_KEY_STATE", "page");
    {
        // As the program does: constructed, never told to start.
        ChromiumBrowser shell;
        EXPECT_FALSE(shell.options().useX11);
        EXPECT_TRUE(
            waitUntil([&] { return shell.connected() && !shell.windows().isEmpty(); }, 30000))
            << shell.lastError().toStdString();
        EXPECT_EQ(shell.windows().first()->locationURL(), QStringLiteral("about:blank"));
    }
    qunsetenv("TAVREL_BROWSER_ARGS");
    qunsetenv("TAVREL_KEY_STATE");
}

TEST(ChromiumAdapter, APopupOfASmallWindowIsRefusedBySize) {
    Browser b;
    E2E_NEED_BROWSER(b);
    LocalServer server;
    server.page("/opener.html", kOpener);
    server.page("/small.html", "<html><head><title>Small</title></head><body><script>"
                               "setTimeout(() => window.open('/popup.html?fromsmall'), 50);"
                               "</script></body></html>");
    server.page("/popup.html", kPopup);
    const WindowHandle opener = b.openTab(server.url("/opener.html"));
    ASSERT_NE(opener, 0u);
    Rules rules(b.shell());
    rules.sizeRule = true;
    int refusals = 0;
    QObject::connect(&b.shell(), &ChromiumBrowser::popupRefusalDone, [&] { ++refusals; });

    b.eval(opener, "window.open('/small.html', '', 'width=200,height=100'); 1");
    ASSERT_TRUE(waitUntil([&] { return refusals == 1; }, 8000));
    ASSERT_EQ(rules.askedBy.size(), 2);
    EXPECT_EQ(rules.askedBy[0], opener) << "a large opener's pop-up opens";
    BrowserWindow* small = b.window(rules.askedBy[1]);
    ASSERT_NE(small, nullptr);
    EXPECT_EQ(small->locationURL(), server.url("/small.html"));
    EXPECT_EQ(small->width(), 200);
    EXPECT_LE(small->height().value_or(999), 150);
    EXPECT_FALSE(server.wasRequested("fromsmall"));
}

TEST(ChromiumAdapter, PageScriptsCannotForgeClicks) {
    Browser b;
    E2E_NEED_BROWSER(b);
    LocalServer server;
    server.page("/opener.html", kOpener);
    const WindowHandle h = b.openTab(server.url("/opener.html"));
    ASSERT_NE(h, 0u);
    Rules rules(b.shell());
    const QString binding = b.shell().bindingOf(h);
    ASSERT_FALSE(binding.isEmpty());
    EXPECT_EQ(b.eval(h, QStringLiteral("typeof window['%1']").arg(binding)),
              QJsonValue("undefined"))
        << "the reporting function is out of the page's reach";
    b.eval(h, "document.body.dispatchEvent(new MouseEvent('mouseup', {bubbles: true})); 1");
    spin(100);
    EXPECT_EQ(rules.mouseUps, 0);
    ASSERT_TRUE(b.click(h, 400, 400));
    ASSERT_TRUE(waitUntil([&] { return rules.mouseUps == 1; }, 5000));
    // A new document of the same page reports too.
    b.command("Page.reload", {}, b.shell().sessionOf(h));
    ASSERT_TRUE(
        waitUntil([&] { return b.eval(h, "typeof window.ticks") == QJsonValue("number"); }, 5000));
    ASSERT_TRUE(b.click(h, 400, 400));
    EXPECT_TRUE(waitUntil([&] { return rules.mouseUps == 2; }, 5000));
}

TEST(ChromiumAdapter, APageWhoseSessionEndsIsAttachedAgainUnderItsHandle) {
    Browser b;
    E2E_NEED_BROWSER(b);
    LocalServer server;
    server.page("/opener.html", kOpener);
    const WindowHandle h = b.openTab(server.url("/opener.html"));
    ASSERT_NE(h, 0u);
    const QString before = b.shell().sessionOf(h);
    ASSERT_TRUE(b.command("Target.detachFromTarget", {{"sessionId", before}}).ok);
    ASSERT_TRUE(waitUntil(
        [&] {
            const QString now = b.shell().sessionOf(h);
            return !now.isEmpty() && now != before && b.window(h)->hasDocument();
        },
        5000));
    // The document shown reports clicks through the new session, and so does the next one.
    Rules rules(b.shell());
    ASSERT_TRUE(b.click(h, 400, 400));
    EXPECT_TRUE(waitUntil([&] { return rules.mouseUps == 1; }, 5000));
    b.command("Page.reload", {}, b.shell().sessionOf(h));
    ASSERT_TRUE(
        waitUntil([&] { return b.eval(h, "typeof window.ticks") == QJsonValue("number"); }, 5000));
    ASSERT_TRUE(b.click(h, 400, 400));
    EXPECT_TRUE(waitUntil([&] { return rules.mouseUps == 2; }, 5000));
}

TEST(ChromiumAdapter, AKilledBrowserEmptiesTheListFailsPendingCommandsAndComesBack) {
    Browser b;
    E2E_NEED_BROWSER(b);
    LocalServer server;
    server.page("/a.html", "<html><head><title>A</title></head></html>");
    const WindowHandle h = b.openTab(server.url("/a.html"));
    ASSERT_NE(h, 0u);
    const int listed = int(b.handles().size());
    Counter c;
    QObject::connect(&b.shell(), &ChromiumBrowser::windowRevoked, [&] {
        ++c.revoked;
        EXPECT_EQ(int(b.shell().windows().size()), listed - c.revoked);
    });
    std::optional<CdpReply> pending;
    b.shell().connection()->send("Runtime.evaluate",
                                 {{"expression", "new Promise(() => {})"}, {"awaitPromise", true}},
                                 b.shell().sessionOf(h), [&](const CdpReply& r) { pending = r; });
    spin(50);
    ASSERT_FALSE(pending.has_value());
    ASSERT_EQ(::kill(pid_t(b.shell().browserPid()), SIGKILL), 0);
    ASSERT_TRUE(waitUntil([&] { return !b.shell().connected(); }, 5000));
    EXPECT_TRUE(b.shell().windows().isEmpty());
    EXPECT_EQ(c.revoked, listed);
    ASSERT_TRUE(pending.has_value());
    EXPECT_FALSE(pending->ok);
    EXPECT_FALSE(b.shell().postClose(h));

    // A crash brings the browser back by itself, with new handles.
    ASSERT_TRUE(
        waitUntil([&] { return b.shell().connected() && !b.shell().windows().isEmpty(); }, 30000));
    EXPECT_FALSE(b.handles().contains(h));
}

TEST(ChromiumAdapter, AttachesToADebuggingPortAndAgainAfterTheBrowserIsBack) {
    if (const QString why = Browser::unavailableReason(); !why.isEmpty())
        GTEST_SKIP() << "no Chromium to test against: " << why.toStdString();
    quint16 port = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
        port = probe.serverPort();
    }
    QTemporaryDir profile;
    auto options = Browser::headlessOptions(profile.path());
    const QString program = options.browser.isEmpty()
                                ? QStandardPaths::findExecutable(QStringLiteral("chromium"))
                                : options.browser;
    QStringList args = options.arguments;
    args << QStringLiteral("--remote-debugging-port=%1").arg(port)
         << QStringLiteral("--disable-popup-blocking");
    auto launch = [&](QProcess& p) {
        p.setProgram(program);
        p.setArguments(args);
        p.setStandardOutputFile(QProcess::nullDevice());
        p.setStandardErrorFile(QProcess::nullDevice());
        p.start();
        return p.waitForStarted(10000);
    };
    QProcess user;
    ASSERT_TRUE(launch(user));

    options.attachPort = port;
    ChromiumBrowser shell(options);
    ASSERT_TRUE(shell.start());
    ASSERT_TRUE(waitUntil([&] { return shell.connected() && !shell.windows().isEmpty(); }, 30000))
        << shell.lastError().toStdString();
    EXPECT_EQ(shell.windows().first()->locationURL(), QStringLiteral("about:blank"));
    const WindowHandle first = shell.windows().first()->hwnd();

    user.kill();
    user.waitForFinished(5000);
    ASSERT_TRUE(waitUntil([&] { return !shell.connected(); }, 5000));
    EXPECT_TRUE(shell.windows().isEmpty());

    QProcess again;
    ASSERT_TRUE(launch(again));
    ASSERT_TRUE(waitUntil([&] { return shell.connected() && !shell.windows().isEmpty(); }, 30000))
        << shell.lastError().toStdString();
    EXPECT_NE(shell.windows().first()->hwnd(), first);
    // Detaching leaves the user's browser running.
    shell.stop();
    spin(200);
    EXPECT_EQ(again.state(), QProcess::Running);
    again.kill();
    again.waitForFinished(5000);
}

TEST(ChromiumAdapter, AttachAddressMustBeLoopback) {
    qputenv("TAVREL_ATTACH", "192.0.2.1:9222");
    EXPECT_FALSE(platform::linuxp::ChromiumOptions::fromEnvironment().error.isEmpty());
    qputenv("TAVREL_ATTACH", "9222");
    auto o = platform::linuxp::ChromiumOptions::fromEnvironment();
    EXPECT_TRUE(o.error.isEmpty());
    EXPECT_EQ(o.attachPort, 9222);
    qputenv("TAVREL_ATTACH", "localhost:x");
    EXPECT_FALSE(platform::linuxp::ChromiumOptions::fromEnvironment().error.isEmpty());
    qunsetenv("TAVREL_ATTACH");
    platform::linuxp::ChromiumOptions bad;
    bad.error = QStringLiteral("bad");
    ChromiumBrowser shell(bad);
    EXPECT_FALSE(shell.start());
    EXPECT_TRUE(shell.windows().isEmpty());
    EXPECT_FALSE(shell.postClose(1));
}
