// The Firefox adapter against a real headless Firefox over WebDriver BiDi: the snapshot, the
// pop-up decision, click reports, a vanished browser, and attaching to a debugging port.

#include "FirefoxSupport.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QSet>
#include <QTextStream>
#include <QThread>
#include <gtest/gtest.h>

#include <csignal>

using e2e::Firefox;
using e2e::kOpener;
using e2e::kPopup;
using e2e::LocalServer;
using e2e::spin;
using e2e::waitUntil;
using platform::BrowserWindow;
using platform::WindowHandle;
using platform::linuxp::BidiReply;
using platform::linuxp::FirefoxBrowser;
using platform::linuxp::parsePageReport;

namespace {

void figure(const QString& text) {
    QTextStream(stdout) << "[figure] " << text << Qt::endl;
}

// A stand-in for the program's pop-up rules, wired to every window as it is registered:
// the click rule (one window per click) and the size rule (no window from a small opener).
struct Rules : QObject {
    explicit Rules(FirefoxBrowser& b) : browser(b) {
        connect(&b, &FirefoxBrowser::windowRegistered, this, &Rules::hookAll);
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
                if (cancel && refusalTakesMs > 0)
                    QThread::msleep(ulong(refusalTakesMs));
            });
        }
    }
    FirefoxBrowser& browser;
    QSet<WindowHandle> hooked;
    bool clickRule = false;
    bool sizeRule = false;
    int refusalTakesMs = 0; // a refusal's sound, which plays on the program's thread

    bool userClick = false;
    int mouseDowns = 0;
    bool leftHeldAtDown = false;
    QList<bool> controlAtDecision;
    int mouseUps = 0;
    int refused = 0;
    QList<WindowHandle> askedBy;
};

// Counts the refused pop-ups that are gone.
struct Refusals {
    explicit Refusals(FirefoxBrowser& b) {
        QObject::connect(&b, &FirefoxBrowser::popupRefusalDone,
                         [this](const QString&, qint64 ms) { done.append(ms); });
    }
    int count() const { return int(done.size()); }
    QList<qint64> done;
};

} // namespace

TEST(FirefoxPageReport, AcceptsOnlyWhatThePageScriptSends) {
    const auto title = parsePageReport(R"({"type":"title","title":"Le journal"})");
    EXPECT_EQ(title.title, QStringLiteral("Le journal"));
    EXPECT_FALSE(title.mouse);
    const auto mouse = parsePageReport(R"({"type":"mousedown","button":2,"buttons":2,
        "ctrlKey":false,"shiftKey":true,"altKey":false,"x":5,"y":6})");
    ASSERT_TRUE(mouse.mouse);
    EXPECT_TRUE(mouse.mouse->shift);
    EXPECT_FALSE(mouse.title);
    const auto open = parsePageReport(R"({"type":"open","url":"http://a.test/p?x=1"})");
    EXPECT_EQ(open.opening, QStringLiteral("http://a.test/p?x=1"));
    EXPECT_FALSE(open.opened || open.title || open.mouse);
    EXPECT_EQ(parsePageReport(R"({"type":"open","url":""})").opening, QString());
    EXPECT_TRUE(parsePageReport(R"({"type":"opened"})").opened);
    // A title or an address that is not text, too long, or with more than the script sends;
    // not an object.
    for (const QByteArray& bad :
         {QByteArray(R"({"type":"title","title":42})"), QByteArray(R"({"type":"title"})"),
          QByteArray(R"({"type":"title","title":"a","url":"b"})"),
          QByteArray(R"({"type":"title","title":")") + QByteArray(3000, 'a') + "\"}",
          QByteArray(R"({"type":"open","url":7})"), QByteArray(R"({"type":"open"})"),
          QByteArray(R"({"type":"open","url":"a","title":"b"})"),
          QByteArray(R"({"type":"open","url":")") + QByteArray(9000, 'a') + "\"}",
          QByteArray(R"({"type":"opened","url":"a"})"), QByteArray(R"(["title","a"])"),
          QByteArray(R"({"type":"click"})"), QByteArray()}) {
        const auto r = parsePageReport(bad);
        EXPECT_FALSE(r.title || r.mouse || r.opening || r.opened) << bad.left(60).constData();
    }
}

TEST(FirefoxAdapter, SnapshotListsPagesWithTitleUrlAndSizeAndFollowsClosure) {
    Firefox b;
    E2E_NEED_FIREFOX(b);
    LocalServer server;
    server.page("/a.html", "<html><head><title>Page A</title></head><body>a</body></html>");
    int registered = 0, revoked = 0;
    QObject::connect(&b.shell(), &FirefoxBrowser::windowRegistered, [&] { ++registered; });
    QObject::connect(&b.shell(), &FirefoxBrowser::windowRevoked, [&] { ++revoked; });
    const WindowHandle h = b.openTab(server.url("/a.html"));
    ASSERT_NE(h, 0u);
    EXPECT_EQ(registered, 1);
    ASSERT_TRUE(waitUntil([&] { return b.window(h)->locationName() == QStringLiteral("Page A"); }));
    EXPECT_EQ(b.window(h)->locationURL(), server.url("/a.html"));
    ASSERT_TRUE(b.window(h)->width().has_value());
    EXPECT_GT(*b.window(h)->width(), 100);
    EXPECT_GT(*b.window(h)->height(), 100);

    // A title changed by the page is reported by the page script; an address changed by the
    // page's history is reported by the browser.
    b.eval(h, "document.title = 'Renamed'; history.pushState({}, '', '/moved.html'); 1");
    ASSERT_TRUE(
        waitUntil([&] { return b.window(h)->locationName() == QStringLiteral("Renamed"); }, 2000));
    ASSERT_TRUE(
        waitUntil([&] { return b.window(h)->locationURL() == server.url("/moved.html"); }, 2000));

    // Handles are never reused.
    const WindowHandle h2 = b.openTab(server.url("/a.html"));
    ASSERT_NE(h2, 0u);
    EXPECT_NE(h2, h);
    EXPECT_TRUE(b.shell().postClose(h));
    ASSERT_TRUE(waitUntil([&] { return !b.listed(h); }, 5000));
    EXPECT_EQ(revoked, 1);
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

TEST(FirefoxAdapter, WindowOpenWithoutClickIsRefusedBeforeItsAddressIsRequested) {
    Firefox b;
    E2E_NEED_FIREFOX(b);
    LocalServer server;
    server.page("/opener.html", kOpener);
    server.page("/popup.html", kPopup);
    const WindowHandle opener = b.openTab(server.url("/opener.html"));
    ASSERT_NE(opener, 0u);
    Rules rules(b.shell());
    rules.clickRule = true;
    Refusals refusals(b.shell());
    const auto before = b.handles();

    // A tab, a window, and one that does not name its opener.
    const QStringList opens{"window.open('/popup.html?tab'); 1",
                            "window.open('/popup.html?window', '', 'width=200,height=100'); 1",
                            "window.open('/popup.html?noopener', '', 'noopener'); 1"};
    for (const QString& open : opens) {
        const int n = refusals.count();
        QElapsedTimer clock;
        clock.start();
        b.eval(opener, open);
        ASSERT_TRUE(waitUntil([&] { return refusals.count() == n + 1; }, 5000))
            << "the pop-up stayed open: " << open.toStdString();
        figure(QStringLiteral("%1: window.open to refused window closed: %2 ms")
                   .arg(open.section(u'?', 1, 1).section(u'\'', 0, 0))
                   .arg(clock.elapsed()));
    }
    EXPECT_EQ(rules.askedBy, (QList<WindowHandle>{opener, opener, opener}))
        << "asked of the opener";
    EXPECT_EQ(b.shell().refusedCount(), 3);

    // The opener runs on: its own timers still tick.
    const double t0 = b.eval(opener, "window.ticks").toDouble();
    spin(150);
    EXPECT_GT(b.eval(opener, "window.ticks").toDouble(), t0);
    for (const char* address : {"tab", "window", "noopener"})
        EXPECT_FALSE(server.wasRequested(QStringLiteral("popup.html?") + address))
            << server.requested.join(u' ').toStdString();
    EXPECT_EQ(b.handles(), before) << "the refused windows were never listed";
}

TEST(FirefoxAdapter, PopupsStayHeldWhileTheProgramIsBusyRefusingAnother) {
    Firefox b;
    E2E_NEED_FIREFOX(b);
    LocalServer server;
    server.page("/opener.html", kOpener);
    server.page("/popup.html", kPopup);
    const WindowHandle opener = b.openTab(server.url("/opener.html"));
    ASSERT_NE(opener, 0u);
    Rules rules(b.shell());
    rules.clickRule = true;
    // Each refusal keeps the program's thread as long as a closure sound would.
    rules.refusalTakesMs = 400;
    Refusals refusals(b.shell());
    b.eval(opener, "for (const n of ['one', 'two', 'three']) window.open('/popup.html?' + n); 1");
    ASSERT_TRUE(waitUntil([&] { return refusals.count() == 3; }, 10000));
    for (const char* n : {"one", "two", "three"})
        EXPECT_FALSE(server.wasRequested(QStringLiteral("popup.html?") + n))
            << server.requested.join(u' ').toStdString();
    // Other pages load as usual.
    EXPECT_NE(b.openTab(server.url("/popup.html?meanwhile")), 0u);
}

TEST(FirefoxAdapter, TheLightGuardRefusesWindowOpenBeforeItsAddressIsRequested) {
    if (const QString why = Firefox::unavailableReason(); !why.isEmpty())
        GTEST_SKIP() << "no Firefox to test against: " << why.toStdString();
    Firefox b(platform::linuxp::PopupGuard::Light);
    ASSERT_TRUE(b.started()) << b.error().toStdString();
    LocalServer server;
    server.page("/opener.html", kOpener);
    server.page("/popup.html", kPopup);
    const WindowHandle opener = b.openTab(server.url("/opener.html"));
    ASSERT_NE(opener, 0u);
    Rules rules(b.shell());
    rules.clickRule = true;
    Refusals refusals(b.shell());
    b.eval(opener, "window.open('/popup.html?light', '', 'width=200,height=100'); 1");
    ASSERT_TRUE(waitUntil([&] { return refusals.count() == 1; }, 5000));
    EXPECT_FALSE(server.wasRequested("light"));
    // An admitted pop-up's own interception is lifted: it loads.
    ASSERT_TRUE(b.click(opener, 50, 50));
    ASSERT_TRUE(waitUntil([&] { return server.wasRequested("first"); }, 8000));
    BrowserWindow* popup = nullptr;
    ASSERT_TRUE(waitUntil([&] {
        popup = b.window(b.handles().last());
        return popup && popup->locationName() == QStringLiteral("Popup");
    }));
}

TEST(FirefoxAdapter, BlankPopupsAndLinksOpenedByScriptAreRefusedToo) {
    Firefox b;
    E2E_NEED_FIREFOX(b);
    LocalServer server;
    server.page("/opener.html", kOpener);
    server.page("/popup.html", kPopup);
    const WindowHandle opener = b.openTab(server.url("/opener.html"));
    ASSERT_NE(opener, 0u);
    Rules rules(b.shell());
    rules.clickRule = true;
    Refusals refusals(b.shell());
    const auto before = b.handles();

    // A blank pop-up requests nothing: it is closed all the same, and the opener runs on.
    b.eval(opener, "window.open('', '', 'width=200,height=100'); 1");
    ASSERT_TRUE(waitUntil([&] { return refusals.count() == 1; }, 5000));
    const double t0 = b.eval(opener, "window.ticks").toDouble();
    spin(100);
    EXPECT_GT(b.eval(opener, "window.ticks").toDouble(), t0);

    // A link or a form that a script sends to a new window: Firefox starts those loads at
    // once, yet the strict guard holds them too.
    b.eval(opener, "{ const a = document.createElement('a'); a.href = '/popup.html?link';"
                   "a.target = '_blank'; document.body.append(a); a.click(); } 1");
    ASSERT_TRUE(waitUntil([&] { return refusals.count() == 2; }, 5000));
    b.eval(opener, "{ const f = document.createElement('form'); f.action = '/popup.html';"
                   "f.target = '_blank'; f.innerHTML = '<input name=form value=1>';"
                   "document.body.append(f); f.submit(); } 1");
    ASSERT_TRUE(waitUntil([&] { return refusals.count() == 3; }, 5000));
    EXPECT_FALSE(server.wasRequested("popup.html?link"));
    EXPECT_FALSE(server.wasRequested("popup.html?form"));
    EXPECT_EQ(rules.askedBy, (QList<WindowHandle>{opener, opener, opener}));
    EXPECT_EQ(b.handles(), before);
}

TEST(FirefoxAdapter, APopupThatABlankPopupOpensIsAskedOfTheBlankPopup) {
    Firefox b;
    E2E_NEED_FIREFOX(b);
    LocalServer server;
    server.page("/opener.html", kOpener);
    server.page("/popup.html", kPopup);
    const WindowHandle opener = b.openTab(server.url("/opener.html"));
    ASSERT_NE(opener, 0u);
    Rules rules(b.shell());
    // The page writes into a blank window of its own a script that opens another one.
    b.eval(opener, "{ const w = window.open('', '', 'width=300,height=300');"
                   "w.document.write('<script>window.open(\"/popup.html?written\")<' +"
                   "'/script>'); w.document.close(); } 1");
    ASSERT_TRUE(waitUntil([&] { return rules.askedBy.size() == 2; }, 5000));
    EXPECT_EQ(rules.askedBy[0], opener);
    EXPECT_NE(rules.askedBy[1], opener) << "asked of the blank window, which is listed";
    EXPECT_TRUE(b.listed(rules.askedBy[1]));
    EXPECT_TRUE(waitUntil([&] { return server.wasRequested("written"); }, 5000));
}

TEST(FirefoxAdapter, APopupFromAnotherSitesFrameIsAskedOfThePage) {
    Firefox b;
    E2E_NEED_FIREFOX(b);
    LocalServer server;
    // The frame comes from another site (localhost, not 127.0.0.1): its own process.
    const QString frame = QString(server.url("/frame.html")).replace("127.0.0.1", "localhost");
    server.page("/framed.html", "<html><head><title>Framed</title></head><body>"
                                "<iframe src=\"" +
                                    frame + "\"></iframe></body></html>");
    server.page("/frame.html", "<html><body><script>setTimeout(() => "
                               "window.open('/popup.html?fromframe', '', 'width=200,height=100'),"
                               " 300);</script></body></html>");
    server.page("/popup.html", kPopup);
    Rules rules(b.shell());
    rules.clickRule = true;
    Refusals refusals(b.shell());
    const WindowHandle page = b.openTab(server.url("/framed.html"));
    ASSERT_NE(page, 0u);
    ASSERT_TRUE(waitUntil([&] { return refusals.count() == 1; }, 5000));
    EXPECT_EQ(rules.askedBy, QList<WindowHandle>{page});
    EXPECT_FALSE(server.wasRequested("fromframe"));
}

TEST(FirefoxAdapter, ARealClickLetsExactlyOneWindowOpen) {
    Firefox b;
    E2E_NEED_FIREFOX(b);
    LocalServer server;
    server.page("/opener.html", kOpener);
    server.page("/popup.html", kPopup);
    const WindowHandle opener = b.openTab(server.url("/opener.html"));
    ASSERT_NE(opener, 0u);
    Rules rules(b.shell());
    rules.clickRule = true;
    const int listedBefore = int(b.handles().size());
    Refusals refusals(b.shell());

    // The button opens two windows: the click allows the first only.
    ASSERT_TRUE(b.click(opener, 50, 50));
    ASSERT_TRUE(
        waitUntil([&] { return refusals.count() == 1 && server.wasRequested("first"); }, 8000))
        << "refusals " << refusals.count() << ", requested "
        << server.requested.join(u' ').toStdString();
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
    // The admitted pop-up loaded, is listed with its address and the size it asked for.
    BrowserWindow* popup = b.window(b.handles().last());
    ASSERT_NE(popup, nullptr);
    ASSERT_TRUE(waitUntil([&] { return popup->locationName() == QStringLiteral("Popup"); }));
    EXPECT_EQ(popup->locationURL(), server.url("/popup.html?first"));
    EXPECT_EQ(popup->width(), 200);
    // Its page (which took over the window's first, blank document) reports clicks too.
    ASSERT_TRUE(b.click(popup->hwnd(), 20, 20));
    EXPECT_TRUE(waitUntil([&] { return rules.mouseUps == 2; }, 5000));
}

TEST(FirefoxAdapter, ControlHeldDuringTheClickIsSeenWhenThePopupIsDecided) {
    Firefox b;
    E2E_NEED_FIREFOX(b);
    LocalServer server;
    server.page("/opener.html", kOpener);
    server.page("/popup.html", kPopup);
    const WindowHandle opener = b.openTab(server.url("/opener.html"));
    ASSERT_NE(opener, 0u);
    Rules rules(b.shell());
    ASSERT_TRUE(b.click(opener, 50, 50, true));
    ASSERT_TRUE(waitUntil([&] { return rules.askedBy.size() == 2; }, 8000));
    EXPECT_EQ(rules.controlAtDecision, (QList<bool>{true, true}));
}

TEST(FirefoxAdapter, APopupOfASmallWindowIsRefusedBySize) {
    Firefox b;
    E2E_NEED_FIREFOX(b);
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
    Refusals refusals(b.shell());

    b.eval(opener, "window.open('/small.html', '', 'width=200,height=100'); 1");
    ASSERT_TRUE(waitUntil([&] { return refusals.count() == 1; }, 8000));
    ASSERT_EQ(rules.askedBy.size(), 2);
    EXPECT_EQ(rules.askedBy[0], opener) << "a large opener's pop-up opens";
    BrowserWindow* small = b.window(rules.askedBy[1]);
    ASSERT_NE(small, nullptr);
    EXPECT_EQ(small->locationURL(), server.url("/small.html"));
    EXPECT_EQ(small->width(), 200);
    EXPECT_LE(small->height().value_or(999), 150);
    EXPECT_FALSE(server.wasRequested("fromsmall"));
}

TEST(FirefoxAdapter, PageScriptsCannotForgeClicksOrReachTheReports) {
    Firefox b;
    E2E_NEED_FIREFOX(b);
    LocalServer server;
    server.page("/opener.html", kOpener);
    const WindowHandle h = b.openTab(server.url("/opener.html"));
    ASSERT_NE(h, 0u);
    Rules rules(b.shell());
    EXPECT_EQ(b.eval(h, "Object.getOwnPropertyNames(window).filter(k => /tavrel/i.test(k)).length"),
              QJsonValue(0))
        << "nothing of the page script is in the page's reach";
    b.eval(h, "document.body.dispatchEvent(new MouseEvent('mouseup', {bubbles: true})); 1");
    spin(100);
    EXPECT_EQ(rules.mouseUps, 0);
    ASSERT_TRUE(b.click(h, 400, 400));
    ASSERT_TRUE(waitUntil([&] { return rules.mouseUps == 1; }, 5000));
    // A new document of the same page reports too.
    ASSERT_TRUE(b.command("browsingContext.reload",
                          {{"context", b.shell().contextOf(h)}, {"wait", "complete"}})
                    .ok);
    ASSERT_TRUE(b.click(h, 400, 400));
    EXPECT_TRUE(waitUntil([&] { return rules.mouseUps == 2; }, 5000));
}

TEST(FirefoxAdapter, AKilledBrowserEmptiesTheListFailsPendingCommandsAndComesBack) {
    Firefox b;
    E2E_NEED_FIREFOX(b);
    LocalServer server;
    server.page("/a.html", "<html><head><title>A</title></head></html>");
    const WindowHandle h = b.openTab(server.url("/a.html"));
    ASSERT_NE(h, 0u);
    const int listed = int(b.handles().size());
    int revoked = 0;
    QObject::connect(&b.shell(), &FirefoxBrowser::windowRevoked, [&] {
        ++revoked;
        EXPECT_EQ(int(b.shell().windows().size()), listed - revoked);
    });
    std::optional<BidiReply> pending;
    b.shell().connection()->send("script.evaluate",
                                 {{"expression", "new Promise(() => {})"},
                                  {"awaitPromise", true},
                                  {"target", QJsonObject{{"context", b.shell().contextOf(h)}}}},
                                 [&](const BidiReply& r) { pending = r; });
    spin(50);
    ASSERT_FALSE(pending.has_value());
    ASSERT_EQ(::kill(pid_t(b.shell().browserPid()), SIGKILL), 0);
    ASSERT_TRUE(waitUntil([&] { return !b.shell().connected(); }, 5000));
    EXPECT_TRUE(b.shell().windows().isEmpty());
    EXPECT_EQ(revoked, listed);
    ASSERT_TRUE(pending.has_value());
    EXPECT_FALSE(pending->ok);
    EXPECT_FALSE(b.shell().postClose(h));

    // A crash brings the browser back by itself, with new handles.
    ASSERT_TRUE(
        waitUntil([&] { return b.shell().connected() && !b.shell().windows().isEmpty(); }, 60000))
        << b.shell().lastError().toStdString();
    EXPECT_FALSE(b.handles().contains(h));
}
