// The whole program on a real headless Chromium: the main window with every other outside
// piece faked, driven by its own timers' handlers.

#include "ProgramRun.h"

#include <QJsonObject>
#include <QTextStream>
#include <gtest/gtest.h>

#include <csignal>

using e2e::Browser;
using e2e::kOpener;
using e2e::kPopup;
using e2e::LocalServer;
using e2e::Running;
using e2e::spin;
using e2e::waitUntil;
using platform::WindowHandle;
using platform::linuxp::ChromiumBrowser;

namespace {

const QString kSmallOpener = QStringLiteral(R"html(<html><head><title>Big</title></head>
<body style="margin:0">
<button style="position:absolute;left:0;top:0;width:300px;height:200px"
  onclick="window.open('/small.html','','width=200,height=100')">open</button></body></html>)html");
const QString kSmall = QStringLiteral(
    "<html><head><title>Small</title></head><body><script>"
    "setTimeout(() => window.open('/popup.html?fromsmall'), 50);</script></body></html>");

} // namespace

TEST(Program, APageWhoseAddressHoldsAKeywordIsClosedWithinTwoTicksAndJournaled) {
    Browser b;
    E2E_NEED_BROWSER(b);
    LocalServer server;
    server.page("/news/pubtavrel.html", "<html><head><title>Ad</title></head></html>");
    server.page("/plain.html", "<html><head><title>Plain</title></head></html>");
    Running p(b);
    p.start();
    p.keyword(QStringLiteral("PubTavrel"));
    const WindowHandle plain = b.openTab(server.url("/plain.html"));
    const WindowHandle ad = b.openTab(server.url("/news/pubtavrel.html"));
    ASSERT_NE(plain, 0u);
    ASSERT_NE(ad, 0u);

    QElapsedTimer clock;
    clock.start();
    p.form->keywordScanTimer.tick();
    ASSERT_EQ(p.form->journalView.rowCount(), 1);
    EXPECT_EQ(p.form->journalView.subItem(0, 1), QStringLiteral("PubTavrel"));
    EXPECT_EQ(p.form->journalView.subItem(0, 2), server.url("/news/pubtavrel.html"));
    EXPECT_EQ(p.form->statisticsView.text(0), QStringLiteral("1"));
    EXPECT_EQ(p.program->closures.byKeyword(), 1);
    // Ticks come every 500 ms: the window is gone before the one after next.
    ASSERT_TRUE(waitUntil([&] { return !b.listed(ad); }, 1000));
    QTextStream(stdout) << "[figure] keyword tick to window gone: " << clock.elapsed() << " ms"
                        << Qt::endl;
    p.form->keywordScanTimer.tick();
    EXPECT_EQ(p.form->journalView.rowCount(), 1);
    EXPECT_TRUE(b.listed(plain));
    for (int r = 0; r < p.listed(); ++r)
        EXPECT_NE(p.form->windowListView.subItem(r, 1), server.url("/news/pubtavrel.html"));
}

TEST(Program, KillingTheBrowserMidRunLeavesTavrelRunningWithItsJournal) {
    Browser b;
    E2E_NEED_BROWSER(b);
    LocalServer server;
    server.page("/pubtavrel.html", "<html><head><title>Ad</title></head></html>");
    Running p(b);
    p.start();
    p.keyword(QStringLiteral("pubtavrel"));
    ASSERT_NE(b.openTab(server.url("/pubtavrel.html")), 0u);
    p.form->keywordScanTimer.tick();
    ASSERT_EQ(p.form->journalView.rowCount(), 1);

    ASSERT_EQ(::kill(pid_t(b.shell().browserPid()), SIGKILL), 0);
    ASSERT_TRUE(waitUntil([&] { return !b.shell().connected(); }, 5000));
    p.form->keywordScanTimer.tick();
    p.form->sizeScanTimer.tick();
    EXPECT_EQ(p.listed(), 0);
    EXPECT_EQ(p.form->journalView.rowCount(), 1) << "the journal keeps its rows";
    EXPECT_EQ(p.form->statisticsView.text(0), QStringLiteral("1"));

    // The browser comes back and the scan sees it again.
    ASSERT_TRUE(
        waitUntil([&] { return b.shell().connected() && !b.shell().windows().isEmpty(); }, 30000));
    p.form->keywordScanTimer.tick();
    EXPECT_GT(p.listed(), 0);
    ASSERT_NE(b.openTab(server.url("/pubtavrel.html?again")), 0u);
    p.form->keywordScanTimer.tick();
    EXPECT_EQ(p.form->journalView.rowCount(), 2);
}

TEST(Program, AutomaticRuleRefusesWindowOpenWithoutClick) {
    Browser b;
    E2E_NEED_BROWSER(b);
    LocalServer server;
    server.page("/opener.html", kOpener);
    server.page("/popup.html", kPopup);
    Running p(b);
    p.start();
    p.check(p.form->popupRuleSwitch);
    ASSERT_TRUE(p.program->rules.autoClose);
    const WindowHandle opener = b.openTab(server.url("/opener.html"));
    ASSERT_NE(opener, 0u);
    int refusals = 0;
    QObject::connect(&b.shell(), &ChromiumBrowser::popupRefusalDone, [&] { ++refusals; });
    b.eval(opener, "window.open('/popup.html?noclick', '', 'width=200,height=100'); 1");
    ASSERT_TRUE(waitUntil([&] { return refusals == 1; }, 5000));
    EXPECT_EQ(p.program->closures.byPopupRule(), 1);
    EXPECT_EQ(p.form->statusBar.simpleText(),
              QStringLiteral("Fermeture automatique de la fenêtre"));
    const double t0 = b.eval(opener, "window.ticks").toDouble();
    spin(150);
    EXPECT_GT(b.eval(opener, "window.ticks").toDouble(), t0);
    EXPECT_FALSE(server.wasRequested("noclick"));
}

TEST(Program, ARealClickLetsExactlyOneWindowOpen) {
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
    const int before = int(b.handles().size());
    int refusals = 0;
    QObject::connect(&b.shell(), &ChromiumBrowser::popupRefusalDone, [&] { ++refusals; });
    ASSERT_TRUE(b.click(opener, 50, 50));
    ASSERT_TRUE(waitUntil([&] { return refusals == 1 && server.wasRequested("first"); }, 8000));
    ASSERT_TRUE(waitUntil([&] { return int(b.handles().size()) == before + 1; }, 5000));
    spin(200);
    EXPECT_EQ(int(b.handles().size()), before + 1);
    EXPECT_FALSE(server.wasRequested("second"));
    EXPECT_EQ(p.program->closures.byPopupRule(), 1);
}

TEST(Program, SizeRuleRefusesAWindowThatASmallPopupOpens) {
    Browser b;
    E2E_NEED_BROWSER(b);
    LocalServer server;
    server.page("/smallopener.html", kSmallOpener);
    server.page("/small.html", kSmall);
    server.page("/popup.html", kPopup);
    Running p(b);
    p.start();
    // The size rule switches the automatic rule on with it: the click lets the small
    // window open; what it opens by itself is refused by both rules.
    p.check(p.form->popupSizeRuleSwitch);
    ASSERT_TRUE(p.program->rules.autoClose);
    const WindowHandle opener = b.openTab(server.url("/smallopener.html"));
    ASSERT_NE(opener, 0u);
    int refusals = 0;
    QObject::connect(&b.shell(), &ChromiumBrowser::popupRefusalDone, [&] { ++refusals; });
    ASSERT_TRUE(b.click(opener, 50, 50));
    ASSERT_TRUE(waitUntil([&] { return refusals == 1; }, 8000));
    EXPECT_TRUE(server.wasRequested("small.html"));
    EXPECT_FALSE(server.wasRequested("fromsmall"));
    EXPECT_EQ(p.program->closures.byPopupSize(), 1);
    EXPECT_EQ(p.program->closures.byPopupRule(), 1);
    EXPECT_EQ(p.form->statusBar.simpleText(),
              QStringLiteral("Fermeture automatique de la fenêtre"));
}

TEST(Program, SizeScanClosesASmallPopup) {
    Browser b;
    E2E_NEED_BROWSER(b);
    LocalServer server;
    server.page("/opener.html", kOpener);
    server.page("/popup.html", kPopup);
    Running p(b);
    p.start();
    p.check(p.form->sizeScanSwitch);
    ASSERT_EQ(p.form->keywordScanSwitch.value(), 1);
    ASSERT_TRUE(p.form->sizeScanTimer.enabled());
    const WindowHandle opener = b.openTab(server.url("/opener.html"));
    ASSERT_NE(opener, 0u);
    const int before = int(b.handles().size());
    b.eval(opener, "window.open('/popup.html?small', '', 'width=200,height=100'); 1");
    ASSERT_TRUE(waitUntil([&] { return int(b.handles().size()) == before + 1; }, 5000));
    const WindowHandle popup = b.handles().last();
    p.form->keywordScanTimer.tick();
    p.form->sizeScanTimer.tick();
    EXPECT_EQ(p.program->closures.bySizeScan(), 1);
    EXPECT_TRUE(waitUntil([&] { return !b.listed(popup); }, 500));
    EXPECT_TRUE(b.listed(opener)) << "the large opener stays";
}
