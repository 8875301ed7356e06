// A notice's "Ouvrir quand même" on a real headless Chromium: the refused pop-up's address
// opens in a new tab of the watched browser, and no rule closes it while it shows that page.

#include "E2eSupport.h"

#include "app/StartUp.h"
#include "fakes/FakePlatform.h"

#include <gtest/gtest.h>

using e2e::Browser;
using e2e::kOpener;
using e2e::kPopup;
using e2e::LocalServer;
using e2e::waitUntil;
using platform::WindowHandle;
using platform::linuxp::ChromiumBrowser;

TEST(Notices, OpenAnywayReopensARefusedPopupThatNoRuleThenCloses) {
    Browser b;
    E2E_NEED_BROWSER(b);
    LocalServer server;
    server.page("/opener.html", kOpener);
    server.page("/popup.html", kPopup);
    fakes::FakePlatform fake;
    platform::Platform& f = fake.platform();
    platform::Platform real{b.shell(),   f.files,    f.settings, f.dialogs, f.clock,   f.sound,
                            f.processes, f.instance, f.registry, f.system,  f.notifier};
    std::unique_ptr<app::Program> program = app::startUp(real);
    app::MainForm& form = program->form();
    form.popupRuleSwitch.userSet(1);
    form.keywordScanSwitch.userSet(1);
    // The pop-up's address holds a keyword too: the keyword scan would close it.
    program->keywords.append(QStringLiteral("popup.html"));
    program->statistics.append(QStringLiteral("popup.html"));

    const WindowHandle opener = b.openTab(server.url("/opener.html"));
    ASSERT_NE(opener, 0u);
    // Titles are polled: the notice names the opener's page once its title is known.
    ASSERT_TRUE(waitUntil([&] { return b.window(opener)->locationName() == u"Opener"; }, 5000));
    int refusals = 0;
    QObject::connect(&b.shell(), &ChromiumBrowser::popupRefusalDone, [&] { ++refusals; });
    b.eval(opener, "window.open('/popup.html?again', '', 'width=200,height=100'); 1");
    ASSERT_TRUE(waitUntil([&] { return refusals == 1; }, 8000));
    EXPECT_FALSE(server.wasRequested("again"));

    // The notice names the refused pop-up's address, as the opener's page asked for it.
    const QString address = server.url("/popup.html?again");
    ASSERT_EQ(fake.notifier.shown.size(), 1u);
    const fakes::FakeNotifier::Notice notice = fake.notifier.shown.back();
    EXPECT_EQ(notice.title, QStringLiteral("Tavrel"));
    EXPECT_EQ(notice.text, QStringLiteral("Pop-up refusé (pop-up sans clic)\nOpener\n") + address)
        << "notice: " << notice.text.toStdString();
    EXPECT_EQ(notice.action, QStringLiteral("Ouvrir quand même"));

    const QList<WindowHandle> before = b.handles();
    ASSERT_TRUE(fake.notifier.invoke(notice.id));
    WindowHandle reopened = 0;
    ASSERT_TRUE(waitUntil(
        [&] {
            for (WindowHandle h : b.handles())
                if (!before.contains(h) && b.window(h)->locationURL() == address)
                    reopened = h;
            return reopened != 0;
        },
        8000));
    EXPECT_TRUE(waitUntil([&] { return server.wasRequested("again"); }, 5000));
    EXPECT_EQ(refusals, 1) << "opened by the user, not refused again";

    // The keyword scan spares it while it shows that page...
    form.keywordScanTimer.tick();
    form.keywordScanTimer.tick();
    EXPECT_EQ(program->closures.byKeyword(), 0);
    e2e::spin(200);
    EXPECT_TRUE(b.listed(reopened));
    // ...and judges it again once it goes elsewhere.
    b.eval(reopened, "location.href = '/popup.html?elsewhere'; 1");
    const QString elsewhere = server.url("/popup.html?elsewhere");
    ASSERT_TRUE(waitUntil(
        [&] { return b.window(reopened) && b.window(reopened)->locationURL() == elsewhere; },
        5000));
    form.keywordScanTimer.tick();
    EXPECT_EQ(program->closures.byKeyword(), 1);
    EXPECT_TRUE(waitUntil([&] { return !b.listed(reopened); }, 2000));
    EXPECT_TRUE(b.listed(opener));
}
