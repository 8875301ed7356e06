// The whole program on a real headless Firefox: the main window with every other outside piece
// faked, driven by its own timers' handlers. The same cases as on Chromium.

#include "FirefoxSupport.h"

#include "app/StartUp.h"
#include "fakes/FakePlatform.h"

#include <QTextStream>
#include <gtest/gtest.h>

#include <csignal>

using e2e::Firefox;
using e2e::kOpener;
using e2e::kPopup;
using e2e::LocalServer;
using e2e::spin;
using e2e::waitUntil;
using platform::WindowHandle;
using platform::linuxp::FirefoxBrowser;

namespace {

// The program with the real browser and the fakes for files, settings, dialogs and the rest.
struct Running {
    explicit Running(Firefox& b)
        : platform{b.shell(),     fake.files,  fake.settings,  fake.dialogs,
                   fake.clock,    fake.sound,  fake.processes, fake.instance,
                   fake.registry, fake.system, fake.notifier} {}
    void start() {
        program = app::startUp(platform);
        form = &program->form();
        form->keywordScanTimer.setEnabled(true);
    }
    void keyword(const QString& k) {
        program->keywords.append(k);
        program->statistics.append(k);
    }
    /// A switch clicked by the user (its change rule runs).
    void check(controls::CheckBox& box) { box.userSet(1); }
    int listed() const { return form->windowListView.rowCount(); }
    fakes::FakePlatform fake;
    platform::Platform platform;
    std::unique_ptr<app::Program> program;
    app::MainForm* form = nullptr;
};

const QString kSmallOpener = QStringLiteral(R"html(<html><head><title>Big</title></head>
<body style="margin:0">
<button style="position:absolute;left:0;top:0;width:300px;height:200px"
  onclick="window.open('/small.html','','width=200,height=100')">open</button></body></html>)html");
const QString kSmall = QStringLiteral(
    "<html><head><title>Small</title></head><body><script>"
    "setTimeout(() => window.open('/popup.html?fromsmall'), 50);</script></body></html>");

int refusalsOf(FirefoxBrowser& shell, int& count) {
    QObject::connect(&shell, &FirefoxBrowser::popupRefusalDone, [&count] { ++count; });
    return count;
}

} // namespace

TEST(FirefoxProgram, APageWhoseAddressHoldsAKeywordIsClosedWithinTwoTicksAndJournaled) {
    Firefox b;
    E2E_NEED_FIREFOX(b);
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
    QTextStream(stdout) << "[figure] Firefox: keyword tick to window gone: " << clock.elapsed()
                        << " ms" << Qt::endl;
    p.form->keywordScanTimer.tick();
    EXPECT_EQ(p.form->journalView.rowCount(), 1);
    EXPECT_TRUE(b.listed(plain));
    for (int r = 0; r < p.listed(); ++r)
        EXPECT_NE(p.form->windowListView.subItem(r, 1), server.url("/news/pubtavrel.html"));
}

TEST(FirefoxProgram, KillingTheBrowserMidRunLeavesTavrelRunningWithItsJournal) {
    Firefox b;
    E2E_NEED_FIREFOX(b);
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
        waitUntil([&] { return b.shell().connected() && !b.shell().windows().isEmpty(); }, 60000));
    p.form->keywordScanTimer.tick();
    EXPECT_GT(p.listed(), 0);
    ASSERT_NE(b.openTab(server.url("/pubtavrel.html?again")), 0u);
    p.form->keywordScanTimer.tick();
    EXPECT_EQ(p.form->journalView.rowCount(), 2);
}

TEST(FirefoxProgram, AutomaticRuleRefusesWindowOpenWithoutClick) {
    Firefox b;
    E2E_NEED_FIREFOX(b);
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
    refusalsOf(b.shell(), refusals);
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

TEST(FirefoxProgram, ARealClickLetsExactlyOneWindowOpen) {
    Firefox b;
    E2E_NEED_FIREFOX(b);
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
    refusalsOf(b.shell(), refusals);
    ASSERT_TRUE(b.click(opener, 50, 50));
    ASSERT_TRUE(waitUntil([&] { return refusals == 1 && server.wasRequested("first"); }, 8000));
    ASSERT_TRUE(waitUntil([&] { return int(b.handles().size()) == before + 1; }, 5000));
    spin(200);
    EXPECT_EQ(int(b.handles().size()), before + 1);
    EXPECT_FALSE(server.wasRequested("second"));
    EXPECT_EQ(p.program->closures.byPopupRule(), 1);
}

TEST(FirefoxProgram, SizeRuleRefusesAWindowThatASmallPopupOpens) {
    Firefox b;
    E2E_NEED_FIREFOX(b);
    LocalServer server;
    server.page("/smallopener.html", kSmallOpener);
    server.page("/small.html", kSmall);
    server.page("/popup.html", kPopup);
    Running p(b);
    p.start();
    // The size rule switches the automatic rule on with it: the click lets the small window
    // open; what it opens by itself is refused by both rules.
    p.check(p.form->popupSizeRuleSwitch);
    ASSERT_TRUE(p.program->rules.autoClose);
    const WindowHandle opener = b.openTab(server.url("/smallopener.html"));
    ASSERT_NE(opener, 0u);
    int refusals = 0;
    refusalsOf(b.shell(), refusals);
    ASSERT_TRUE(b.click(opener, 50, 50));
    ASSERT_TRUE(waitUntil([&] { return refusals == 1; }, 8000));
    EXPECT_TRUE(server.wasRequested("small.html"));
    EXPECT_FALSE(server.wasRequested("fromsmall"));
    EXPECT_EQ(p.program->closures.byPopupSize(), 1);
    EXPECT_EQ(p.program->closures.byPopupRule(), 1);
    EXPECT_EQ(p.form->statusBar.simpleText(),
              QStringLiteral("Fermeture automatique de la fenêtre"));
}

TEST(FirefoxProgram, SizeScanClosesASmallPopup) {
    Firefox b;
    E2E_NEED_FIREFOX(b);
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
    EXPECT_TRUE(waitUntil([&] { return !b.listed(popup); }, 1000));
    EXPECT_TRUE(b.listed(opener)) << "the large opener stays";
}

TEST(FirefoxProgram, OpenAnywayReopensARefusedPopupThatNoRuleThenCloses) {
    Firefox b;
    E2E_NEED_FIREFOX(b);
    LocalServer server;
    server.page("/opener.html", kOpener);
    server.page("/popup.html", kPopup);
    Running p(b);
    p.start();
    p.check(p.form->popupRuleSwitch);
    // The pop-up's address holds a keyword too: the keyword scan would close it.
    p.keyword(QStringLiteral("popup.html"));
    const WindowHandle opener = b.openTab(server.url("/opener.html"));
    ASSERT_NE(opener, 0u);
    ASSERT_TRUE(waitUntil([&] { return b.window(opener)->locationName() == u"Opener"; }, 5000));
    int refusals = 0;
    refusalsOf(b.shell(), refusals);

    // A link opened by the page's script: Firefox does not tell its address before the
    // window is decided, and the notice offers nothing to open.
    b.eval(opener, "const a = document.createElement('a'); a.href = '/popup.html?link'; "
                   "a.target = '_blank'; document.body.append(a); a.click(); 1");
    ASSERT_TRUE(waitUntil([&] { return refusals == 1; }, 8000));
    ASSERT_EQ(p.fake.notifier.shown.size(), 1u);
    EXPECT_EQ(p.fake.notifier.shown.back().action, QString());

    // window.open: the page's script tells the address, made absolute, while the call lasts.
    p.fake.clock.set(p.fake.clock.now().addSecs(10)); // a notice of its own
    b.eval(opener, "window.open('popup.html?again', '', 'width=200,height=100'); 1");
    ASSERT_TRUE(waitUntil([&] { return refusals == 2; }, 8000));
    EXPECT_FALSE(server.wasRequested("again"));
    const QString address = server.url("/popup.html?again");
    ASSERT_EQ(p.fake.notifier.shown.size(), 2u);
    const fakes::FakeNotifier::Notice notice = p.fake.notifier.shown.back();
    EXPECT_EQ(notice.text, QStringLiteral("Pop-up refusé (pop-up sans clic)\nOpener\n") + address)
        << "notice: " << notice.text.toStdString();
    EXPECT_EQ(notice.action, QStringLiteral("Ouvrir quand même"));
    EXPECT_EQ(b.shell().requestedWindowUrl(opener), QString()) << "only while it is asked";

    const QList<WindowHandle> before = b.handles();
    ASSERT_TRUE(p.fake.notifier.invoke(notice.id));
    WindowHandle reopened = 0;
    ASSERT_TRUE(waitUntil(
        [&] {
            for (WindowHandle h : b.handles())
                if (!before.contains(h) && b.window(h)->locationURL() == address)
                    reopened = h;
            return reopened != 0;
        },
        10000));
    EXPECT_TRUE(waitUntil([&] { return server.wasRequested("again"); }, 5000));
    EXPECT_EQ(refusals, 2) << "opened by the user, not refused again";

    // The keyword scan spares it while it shows that page...
    p.form->keywordScanTimer.tick();
    p.form->keywordScanTimer.tick();
    EXPECT_EQ(p.program->closures.byKeyword(), 0);
    spin(200);
    EXPECT_TRUE(b.listed(reopened));
    // ...and judges it again once it goes elsewhere.
    b.eval(reopened, "location.href = '/popup.html?elsewhere'; 1");
    const QString elsewhere = server.url("/popup.html?elsewhere");
    ASSERT_TRUE(waitUntil(
        [&] { return b.window(reopened) && b.window(reopened)->locationURL() == elsewhere; },
        5000));
    p.form->keywordScanTimer.tick();
    EXPECT_EQ(p.program->closures.byKeyword(), 1);
    EXPECT_TRUE(waitUntil([&] { return !b.listed(reopened); }, 3000));
    EXPECT_TRUE(b.listed(opener));
}
