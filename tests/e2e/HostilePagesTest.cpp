// Pages written against Tavrel, on a real headless Chromium with the whole program: a burst
// of pop-ups (from the page, and from a frame of another site the page script does not reach),
// a 2 MB address, a flood of click reports and a forged click. Each wait is bounded.

#include "ProgramRun.h"

#include "platform/linux/ChromiumSnapshot.h"

#include <QJsonObject>
#include <QSet>
#include <gtest/gtest.h>

using e2e::Browser;
using e2e::kOpener;
using e2e::kPopup;
using e2e::LocalServer;
using e2e::Running;
using e2e::spin;
using e2e::waitUntil;
using platform::BrowserWindow;
using platform::WindowHandle;
using platform::linuxp::ChromiumBrowser;
using platform::linuxp::ChromiumSnapshot;

namespace {

// 500 window.open calls in one loop as the page loads, with no click; the page's own timer
// counts, and the page notes how long its loop took.
const QString kBurst = QStringLiteral(R"html(<html><head><title>Burst</title></head><body><script>
window.ticks = 0; setInterval(() => { window.ticks++; }, 10);
const t0 = performance.now();
for (let i = 0; i < 500; i++) window.open('/popped.html?' + location.search.slice(1) + '-' + i);
window.burstMs = performance.now() - t0;
</script></body></html>)html");

// The same from a frame of another site (its own process, where the page script does not run):
// every window of it is decided one by one. The frame tells its page when it is done.
const QString kFrameBurst = QStringLiteral(R"html(<html><body><script>
addEventListener('load', () => setTimeout(() => {
  for (let i = 0; i < 100; i++) window.open('/popped.html?frame-' + i);
  parent.postMessage('done', '*');
}, 0));
</script></body></html>)html");

int poppedRequests(const LocalServer& server) {
    int n = 0;
    for (const QString& r : server.requested)
        n += r.startsWith(u"/popped.html");
    return n;
}

// A flood of `n` mouse reports through a page's reporting function.
QString floodOf(const QString& binding, int n) {
    return QStringLiteral("(() => { const m = JSON.stringify({type: 'mouseup', button: 0, "
                          "buttons: 0, ctrlKey: false, shiftKey: false, altKey: false, x: 1, "
                          "y: 1}); for (let i = 0; i < %2; i++) window['%1'](m); return %2; })()")
        .arg(binding)
        .arg(n);
}

// Opens a tab without waiting for its page to load; its handle once listed, or 0.
WindowHandle openListed(Browser& b, const QString& url) {
    const QString target =
        b.command("Target.createTarget", {{"url", url}}).result.value("targetId").toString();
    WindowHandle handle = 0;
    waitUntil([&] {
        for (BrowserWindow* w : b.shell().windows())
            if (static_cast<platform::linuxp::ChromiumWindow*>(w)->targetId() == target)
                handle = w->hwnd();
        return handle != 0;
    });
    return handle;
}

// Counts the mouse releases reported by every listed window.
struct MouseUps : QObject {
    explicit MouseUps(ChromiumBrowser& b) : browser(b) {
        connect(&b, &ChromiumBrowser::windowRegistered, this, &MouseUps::hookAll);
        hookAll();
    }
    void hookAll() {
        for (BrowserWindow* w : browser.windows())
            if (!hooked.contains(w->hwnd())) {
                hooked.insert(w->hwnd());
                connect(w, &BrowserWindow::documentMouseUp, this, [this] { ++count; });
            }
    }
    ChromiumBrowser& browser;
    QSet<WindowHandle> hooked;
    int count = 0;
};

} // namespace

TEST(HostilePages, EveryPopupOfABurstIsRefusedUnrequestedAndTheOpenerRunsOn) {
    Browser b;
    E2E_NEED_BROWSER(b);
    LocalServer server;
    server.page("/start.html", "<html><head><title>Start</title></head></html>");
    server.page("/burst.html", kBurst);
    server.page("/popped.html", kPopup);
    Running p(b);
    p.start();
    for (controls::CheckBox* box : {&p.form->popupRuleSwitch, &p.form->popupSizeRuleSwitch})
        if (box->value() != 1)
            p.check(*box);
    const WindowHandle opener = b.openTab(server.url("/start.html"));
    ASSERT_NE(opener, 0u);
    const int listed = int(b.handles().size());
    int done = 0;
    QObject::connect(&b.shell(), &ChromiumBrowser::popupRefusalDone, [&] { ++done; });

    for (int rep = 0; rep < 10; ++rep) {
        SCOPED_TRACE(rep);
        const int refusedBefore = b.shell().refusedCount();
        const int countedBefore = p.program->closures.byPopupRule();
        ASSERT_TRUE(b.command("Page.navigate",
                              {{"url", server.url("/burst.html?" + QString::number(rep))}},
                              b.shell().sessionOf(opener))
                        .ok);
        ASSERT_TRUE(waitUntil(
            [&] { return b.eval(opener, "typeof window.burstMs") == QJsonValue("number"); }, 10000))
            << "the opener's loop never ended";
        EXPECT_LT(b.eval(opener, "window.burstMs").toDouble(), 1000) << "the opener's own loop";
        // The opener answers, and its own timer runs.
        QElapsedTimer clock;
        clock.start();
        const platform::linuxp::CdpReply answer =
            b.command("Runtime.evaluate", {{"expression", "window.ticks"}, {"returnByValue", true}},
                      b.shell().sessionOf(opener), 1000);
        ASSERT_TRUE(answer.ok) << "the opener did not answer within 1 s";
        EXPECT_LT(clock.elapsed(), 1000);
        const double ticks = answer.result.value("result").toObject().value("value").toDouble();
        spin(100);
        EXPECT_GT(b.eval(opener, "window.ticks").toDouble(), ticks);
        // Every pop-up that was created was refused, and is gone.
        EXPECT_GT(b.shell().refusedCount(), refusedBefore);
        ASSERT_TRUE(waitUntil([&] { return done == b.shell().refusedCount(); }, 10000));
        EXPECT_EQ(poppedRequests(server), 0) << server.requested.join(u' ').toStdString();
        EXPECT_EQ(int(b.handles().size()), listed);
        // Each of the 500 calls is one refusal of the rule, whether Tavrel or the page made it.
        EXPECT_TRUE(waitUntil(
            [&] { return p.program->closures.byPopupRule() - countedBefore == 500; }, 5000))
            << p.program->closures.byPopupRule() - countedBefore << " counted";
    }
}

TEST(HostilePages, ABurstFromAFrameOfAnotherSiteIsRefusedOneByOneAndThePageRunsOn) {
    Browser b;
    E2E_NEED_BROWSER(b);
    LocalServer server;
    // localhost, not 127.0.0.1: another site, its own process.
    const QString frame = QString(server.url("/frameburst.html")).replace("127.0.0.1", "localhost");
    server.page("/framed.html", "<html><head><title>Framed</title></head><body><script>"
                                "window.ticks = 0; setInterval(() => { window.ticks++; }, 10);"
                                "addEventListener('message', () => { window.frameDone = true; });"
                                "</script><iframe src=\"" +
                                    frame + "\"></iframe></body></html>");
    server.page("/frameburst.html", kFrameBurst);
    server.page("/popped.html", kPopup);
    Running p(b);
    p.start();
    p.check(p.form->popupRuleSwitch);
    const int listed = int(b.handles().size());
    int done = 0;
    QObject::connect(&b.shell(), &ChromiumBrowser::popupRefusalDone, [&] { ++done; });
    for (int rep = 0; rep < 2; ++rep) {
        SCOPED_TRACE(rep);
        const int refusedBefore = b.shell().refusedCount();
        const WindowHandle page = b.openTab(server.url("/framed.html?" + QString::number(rep)));
        ASSERT_NE(page, 0u);
        // While the frame goes on opening windows, its page answers and runs.
        ASSERT_TRUE(waitUntil([&] { return b.shell().refusedCount() > refusedBefore + 5; }, 10000));
        const double ticks = b.eval(page, "window.ticks").toDouble();
        EXPECT_TRUE(
            b.command("Runtime.evaluate", {{"expression", "1"}}, b.shell().sessionOf(page), 1000)
                .ok);
        EXPECT_TRUE(
            waitUntil([&] { return b.eval(page, "window.ticks").toDouble() > ticks; }, 1000));
        ASSERT_TRUE(
            waitUntil([&] { return b.eval(page, "window.frameDone") == QJsonValue(true); }, 60000));
        ASSERT_TRUE(waitUntil([&] { return done == b.shell().refusedCount(); }, 10000));
        EXPECT_EQ(poppedRequests(server), 0) << server.requested.join(u' ').toStdString();
        EXPECT_TRUE(b.shell().postClose(page));
        ASSERT_TRUE(waitUntil([&] { return int(b.handles().size()) == listed; }, 5000));
    }
    EXPECT_EQ(b.shell().refusedCount(), 200);
}

TEST(HostilePages, A2MBAddressIsReadUpToItsBoundAndTheScanGoesOn) {
    Browser b;
    E2E_NEED_BROWSER(b);
    LocalServer server;
    // Without a title, and with the keyword (or none) in the first characters of the address.
    server.page("/big.html", "<html><body><script>history.replaceState(null, '', "
                             "location.pathname + location.search + '&q=' + "
                             "'a'.repeat(2 * 1024 * 1024 - 200));</script></body></html>");
    server.page("/pubtavrel.html", "<html><head><title>Ad</title></head></html>");
    Running p(b);
    p.start();
    p.keyword(QStringLiteral("pubtavrel"));
    // Ticks as the program's timer does, every 500 ms.
    auto tickUntil = [&](const std::function<bool()>& done, int ms) {
        QElapsedTimer clock;
        clock.start();
        while (!done()) {
            if (clock.elapsed() >= ms)
                return false;
            p.form->keywordScanTimer.tick();
            waitUntil(done, 500);
        }
        return true;
    };

    const WindowHandle big = openListed(b, server.url("/big.html?plain"));
    ASSERT_NE(big, 0u);
    ASSERT_TRUE(waitUntil(
        [&] {
            return b.window(big)->locationURL().value_or("").size() == ChromiumSnapshot::kMaxUrl;
        },
        20000));
    EXPECT_TRUE(b.window(big)->locationURL()->startsWith(server.url("/big.html?plain&q=aaaa")));

    // A keyword page elsewhere is closed all the same; so is a 2 MB address whose keyword
    // comes within the bound.
    const WindowHandle ad = b.openTab(server.url("/pubtavrel.html"));
    ASSERT_NE(ad, 0u);
    EXPECT_TRUE(tickUntil([&] { return !b.listed(ad); }, 20000));
    const WindowHandle bigAd = openListed(b, server.url("/big.html?pubtavrel"));
    ASSERT_NE(bigAd, 0u);
    EXPECT_TRUE(tickUntil([&] { return !b.listed(bigAd); }, 20000));
    // (A window the busy browser is slow to close is asked again at the next tick.)
    EXPECT_GE(p.program->closures.byKeyword(), 2);
    EXPECT_TRUE(b.listed(big));
    for (int r = 0; r < p.listed(); ++r)
        EXPECT_LE(p.form->windowListView.subItem(r, 1).size(), ChromiumSnapshot::kMaxUrl);
}

TEST(HostilePages, AFloodOfClickReportsIsCutShortAndClicksCountAgainLater) {
    Browser b;
    E2E_NEED_BROWSER(b);
    LocalServer server;
    server.page("/opener.html", kOpener);
    const WindowHandle h = b.openTab(server.url("/opener.html"));
    ASSERT_NE(h, 0u);
    MouseUps ups(b.shell());
    const QString binding = b.shell().bindingOf(h);
    QElapsedTimer clock;
    clock.start();
    ASSERT_EQ(b.evalIsolated(h, floodOf(binding, 100000), 60000), QJsonValue(100000));
    spin(500); // what is still on its way
    // A burst's worth, and no more than a second's worth for every second the flood lasted.
    EXPECT_LE(ups.count, 40 + 20 * int(clock.elapsed() / 1000 + 1)) << clock.elapsed() << " ms";
    EXPECT_GE(b.shell().reportMutes(), 1);
    // A flood goes on: what it sends is not listened to.
    const int during = ups.count;
    ASSERT_EQ(b.evalIsolated(h, floodOf(binding, 10000), 60000), QJsonValue(10000));
    spin(200);
    EXPECT_LE(ups.count - during, 60);
    // Later, the user's clicks in the page count again.
    ASSERT_TRUE(waitUntil(
        [&] {
            const int before = ups.count;
            b.click(h, 400, 400);
            spin(200);
            return ups.count > before;
        },
        15000));
}

TEST(HostilePages, AForgedClickAllowsNoWindowTheBrowserSawNoGestureFor) {
    Browser b;
    E2E_NEED_BROWSER(b);
    LocalServer server;
    server.page("/opener.html", kOpener);
    server.page("/popup.html", kPopup);
    Running p(b);
    p.start();
    p.check(p.form->popupRuleSwitch);
    const WindowHandle opener = b.openTab(server.url("/opener.html"));
    ASSERT_NE(opener, 0u);
    const int listed = int(b.handles().size());
    int refusals = 0;
    QObject::connect(&b.shell(), &ChromiumBrowser::popupRefusalDone, [&] { ++refusals; });

    b.evalIsolated(opener, floodOf(b.shell().bindingOf(opener), 1));
    ASSERT_TRUE(waitUntil([&] { return p.program->popupRules().userClicked(); }, 5000))
        << "the forged report reached the rules";
    b.eval(opener, "window.open('/popup.html?forged', '', 'width=200,height=100'); 1");
    ASSERT_TRUE(waitUntil([&] { return refusals == 1; }, 5000));
    EXPECT_EQ(p.program->closures.byPopupRule(), 1);
    EXPECT_FALSE(server.wasRequested("forged"));

    // A real click still lets its one window through.
    ASSERT_TRUE(b.click(opener, 50, 50));
    ASSERT_TRUE(waitUntil([&] { return server.wasRequested("first"); }, 8000));
    ASSERT_TRUE(waitUntil([&] { return int(b.handles().size()) == listed + 1; }, 5000));
    EXPECT_FALSE(server.wasRequested("second"));
}
