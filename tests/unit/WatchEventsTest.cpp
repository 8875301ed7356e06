#include "controls/Simple.h"
#include "fakes/FakePlatform.h"
#include "watch/PopupRules.h"
#include "watch/WatchedWindow.h"
#include "watch/WindowCollection.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using platform::WindowHandle;
using watch::WindowCollection;

class WatchEvents : public ::testing::Test {
protected:
    void SetUp() override {
        rules = std::make_unique<watch::PopupRules>(
            fake.browser, settings, sizeRuleSwitch, flashTimer,
            watch::Feedback{totals, status, [this] { ++sounds; }, allowances,
                            [this](const watch::Closure& c) { told.push_back(c); }});
        windows = std::make_unique<WindowCollection>(fake.browser, *rules);
    }

    // Records the number of every event the collection raises (1 to 11).
    void record() {
        using C = WindowCollection;
        auto add = [this](int n) { raised.push_back(n); };
        C* c = windows.get();
        QObject::connect(c, &C::windowRegistered, c, [add] { add(1); });
        QObject::connect(c, &C::windowRevoked, c, [add] { add(2); });
        QObject::connect(
            c, &C::navigationBegin, c,
            [add](WindowHandle, platform::BrowserWindow*, const QString&, bool&) { add(3); });
        QObject::connect(c, &C::navigationComplete, c,
                         [add](WindowHandle, platform::BrowserWindow*, const QString&) { add(4); });
        QObject::connect(c, &C::documentComplete, c,
                         [add](WindowHandle, platform::BrowserWindow*, const QString&) { add(5); });
        QObject::connect(c, &C::downloadBegin, c, [add](WindowHandle) { add(6); });
        QObject::connect(c, &C::downloadComplete, c, [add](WindowHandle) { add(7); });
        QObject::connect(c, &C::contextMenu, c, [add](WindowHandle) { add(8); });
        QObject::connect(c, &C::mouseDown, c,
                         [add](WindowHandle, qint16, qint16, float, float) { add(9); });
        QObject::connect(c, &C::mouseUp, c,
                         [add](WindowHandle, qint16, qint16, float, float) { add(10); });
        QObject::connect(c, &C::commandStateChange, c,
                         [add](WindowHandle, qint32, bool) { add(11); });
    }

    fakes::FakePlatform fake;
    controls::Form form{QStringLiteral("test"), QString()};
    controls::CheckBox sizeRuleSwitch{&form, QStringLiteral("ChkFen")};
    controls::Timer flashTimer{&form, QStringLiteral("tmrFlash"), 200, false};
    controls::StatusBar status{&form, QStringLiteral("Sb")};
    watch::ClosureTotals totals;
    watch::AllowedSites sites;
    watch::Allowances allowances{sites, fake.clock};
    watch::RuleSettings settings;
    int sounds = 0;
    std::vector<watch::Closure> told;
    std::unique_ptr<watch::PopupRules> rules;
    std::unique_ptr<WindowCollection> windows;
    std::vector<int> raised;
};

TEST_F(WatchEvents, EveryEventOfAWrappedWindowIsRaisedByTheCollection) {
    record();
    fake.browser.open(7);
    auto* w = fake.browser.window(7);
    w->navigate(QStringLiteral("http://x/"), true);
    emit w->downloadBegin();
    emit w->downloadComplete();
    emit w->documentMouseDown();
    emit w->documentMouseUp();
    bool allow = true;
    emit w->documentContextMenu(allow);
    emit w->commandStateChange(1, true);
    fake.browser.close(7);
    EXPECT_EQ(raised, (std::vector<int>{1, 3, 4, 5, 6, 7, 9, 10, 8, 11, 2}));
    EXPECT_TRUE(allow) << "the page's own menu is never suppressed";
}

TEST_F(WatchEvents, MouseArgumentsAndCommandStateReachTheListener) {
    fake.browser.open(4);
    ASSERT_EQ(windows->count(), 1);
    qint16 button = 0, shift = 0;
    float x = -1, y = -1;
    QObject::connect(windows.get(), &WindowCollection::mouseDown, windows.get(),
                     [&](WindowHandle h, qint16 b, qint16 s, float px, float py) {
                         EXPECT_EQ(h, 4u);
                         button = b;
                         shift = s;
                         x = px;
                         y = py;
                     });
    fake.browser.setKey(platform::Key::Shift, true);
    fake.browser.setKey(platform::Key::Alt, true);
    emit fake.browser.window(4)->documentMouseDown(); // right button: lbutton is up
    EXPECT_EQ(button, 2);
    EXPECT_EQ(shift, 4); // the last key found down wins
    EXPECT_EQ(x, 10.0f);
    EXPECT_EQ(y, 10.0f);

    emit fake.browser.window(4)->commandStateChange(1, true);
    emit fake.browser.window(4)->commandStateChange(3, true);
    EXPECT_TRUE(windows->find(4)->canGoForward());
    EXPECT_FALSE(windows->find(4)->canGoBack());
    emit fake.browser.window(4)->commandStateChange(2, true);
    EXPECT_TRUE(windows->find(4)->canGoBack());
    EXPECT_EQ(windows->find(5), nullptr);
}

TEST_F(WatchEvents, ListenerCannotCancelANavigation) {
    fake.browser.open(2);
    QObject::connect(windows.get(), &WindowCollection::navigationBegin, windows.get(),
                     [](WindowHandle, platform::BrowserWindow*, const QString&, bool& cancel) {
                         cancel = true;
                     });
    EXPECT_TRUE(fake.browser.window(2)->navigate(QStringLiteral("http://y/"), true));
}

TEST_F(WatchEvents, RewrappingStartsWithoutForwardHistoryAndLeavesNavigationAlone) {
    fake.browser.open(3);
    emit fake.browser.window(3)->commandStateChange(1, true);
    fake.browser.open(5); // wraps window 3 again
    EXPECT_FALSE(windows->find(3)->canGoForward());
    EXPECT_TRUE(fake.browser.window(3)->navigate(QStringLiteral("http://next/"), true));
}

TEST_F(WatchEvents, WindowClosedFromInsideAWrapperHandler) {
    fake.browser.open(1);
    fake.browser.open(2);
    // A listener during which a window is revoked: the collection rebuilds while the
    // wrapper of window 1 is still in its handler, which must finish on a live wrapper.
    QObject::connect(windows.get(), &WindowCollection::mouseUp, windows.get(),
                     [this](WindowHandle, qint16, qint16, float, float) { fake.browser.close(2); });
    emit fake.browser.window(1)->documentMouseUp();
    EXPECT_TRUE(rules->userClicked());
    ASSERT_EQ(windows->count(), 1);
    EXPECT_EQ(windows->windows().front()->handle(), 1u);
    // The rebuilt wrapper hears the window; the retired one is gone.
    int ups = 0;
    QObject::connect(windows.get(), &WindowCollection::mouseUp, windows.get(),
                     [&ups](WindowHandle, qint16, qint16, float, float) { ++ups; });
    fake.browser.open(3);
    emit fake.browser.window(1)->documentMouseUp();
    EXPECT_EQ(ups, 1);
}

// The automatic rule lets exactly one new window through per click; Control asks for a
// window without spending the click; a small opener is refused by the size rule whatever
// the click.
TEST_F(WatchEvents, PopupRulesOneWindowPerClickControlAndSmallOpeners) {
    settings.autoClose = true;
    fake.browser.open(1);
    fakes::FakeBrowserWindow* created = nullptr;
    EXPECT_FALSE(fake.browser.openFrom(1, 2, &created));
    EXPECT_EQ(totals.byPopupRule(), 1);
    EXPECT_TRUE(flashTimer.enabled());
    EXPECT_EQ(status.simpleText(), QStringLiteral("Fermeture automatique de la fenêtre"));

    emit fake.browser.window(1)->documentMouseUp();
    EXPECT_TRUE(fake.browser.openFrom(1, 3, &created));
    EXPECT_FALSE(fake.browser.openFrom(1, 4, &created));

    emit fake.browser.window(1)->documentMouseUp();
    fake.browser.setKey(platform::Key::Control, true);
    EXPECT_TRUE(fake.browser.openFrom(1, 5, &created));
    fake.browser.setKey(platform::Key::Control, false);
    EXPECT_TRUE(fake.browser.openFrom(1, 6, &created)) << "the click was kept";

    sizeRuleSwitch.setValue(1);
    fake.browser.window(1)->w = 200;
    fake.browser.window(1)->h = 100;
    emit fake.browser.window(1)->documentMouseUp();
    EXPECT_FALSE(fake.browser.openFrom(1, 7, &created));
    EXPECT_EQ(totals.byPopupSize(), 1);
    EXPECT_EQ(status.simpleText(), QStringLiteral("Fermeture par taille de fenêtre L=200 H=:100"));
    EXPECT_EQ(sounds, 3);
}

// Where the browser tells whether it saw a user gesture behind a request, a click reported by
// a page (which the page may have made up) allows nothing without one; Control still does.
TEST_F(WatchEvents, PopupRulesWantTheBrowsersGestureBesideAReportedClick) {
    settings.autoClose = true;
    fake.browser.open(1);
    fakes::FakeBrowserWindow* created = nullptr;
    fake.browser.gesture = false;
    emit fake.browser.window(1)->documentMouseUp();
    EXPECT_FALSE(fake.browser.openFrom(1, 2, &created));
    EXPECT_FALSE(rules->userClicked()) << "the reported click is spent";
    EXPECT_EQ(totals.byPopupRule(), 1);

    fake.browser.gesture = true;
    EXPECT_FALSE(fake.browser.openFrom(1, 3, &created)) << "a gesture without a click";
    emit fake.browser.window(1)->documentMouseUp();
    EXPECT_TRUE(fake.browser.openFrom(1, 4, &created));

    fake.browser.gesture = false;
    fake.browser.setKey(platform::Key::Control, true);
    EXPECT_TRUE(fake.browser.openFrom(1, 5, &created));
    EXPECT_EQ(totals.byPopupRule(), 2);
}

// Windows a page refused itself, once told to, count as the automatic rule's refusals: each
// one counted and told (with the address the page reports), one sound for the lot; nothing
// when the rule is off, and the user's click is not spent by them.
TEST_F(WatchEvents, WindowsRefusedByThePageCountAsTheRulesOwn) {
    fake.browser.open(1);
    auto* w = fake.browser.window(1);
    w->navigate(QStringLiteral("http://ads.example/"), true);
    emit w->windowsRefusedByPage(3, QStringLiteral("http://ads.example/pop"));
    EXPECT_EQ(totals.byPopupRule(), 0) << "the rule is off";
    EXPECT_TRUE(told.empty());

    settings.autoClose = true;
    emit w->documentMouseUp();
    emit w->windowsRefusedByPage(3, QStringLiteral("http://ads.example/pop"));
    EXPECT_EQ(totals.byPopupRule(), 3);
    ASSERT_EQ(told.size(), 3u);
    EXPECT_EQ(told[2].cause, watch::ClosureTotals::ByPopupRule);
    EXPECT_EQ(told[2].url, QStringLiteral("http://ads.example/pop"));
    EXPECT_EQ(told[2].pageName, w->locationName().value_or(QString()));
    EXPECT_EQ(sounds, 1);
    EXPECT_TRUE(flashTimer.enabled());
    EXPECT_TRUE(rules->userClicked()) << "the click is still the user's";
}

} // namespace
