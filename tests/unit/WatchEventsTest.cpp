#include "app/FrmMain.h"
#include "fakes/FakePlatform.h"
#include "watch/Events.h"
#include "watch/IEWindows.h"
#include "watch/IE_Class.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using platform::WindowHandle;
using watch::cIEWindows;

class WatchEvents : public ::testing::Test {
protected:
    void SetUp() override {
        watch::gProbeNavigation = false;
        watch::gUserClick = false;
        form = std::make_unique<app::FrmMain>(fake.platform());
        ieWin = std::make_unique<cIEWindows>(*form);
    }

    // Records the number of every event the collection raises (1 to 11).
    void record() {
        using C = cIEWindows;
        auto add = [this](int n) { raised.push_back(n); };
        C* c = ieWin.get();
        QObject::connect(c, &C::IEWindowRegistered, c, [add] { add(1); });
        QObject::connect(c, &C::IEWindowRevoked, c, [add] { add(2); });
        QObject::connect(c, &C::IENavigationBegin, c,
                         [add](WindowHandle, platform::BrowserWindow*, const QString&, int,
                               const QString&, const QByteArray&, const QString&,
                               bool&) { add(3); });
        QObject::connect(c, &C::IENavigationComplete, c,
                         [add](WindowHandle, platform::BrowserWindow*, const QString&) { add(4); });
        QObject::connect(c, &C::IEDocumentComplete, c,
                         [add](WindowHandle, platform::BrowserWindow*, const QString&) { add(5); });
        QObject::connect(c, &C::IEDownloadBegin, c, [add](WindowHandle) { add(6); });
        QObject::connect(c, &C::IEDownloadComplete, c, [add](WindowHandle) { add(7); });
        QObject::connect(c, &C::IEOnContextMenu, c, [add](WindowHandle) { add(8); });
        QObject::connect(c, &C::IEMouseDown, c,
                         [add](WindowHandle, qint16, qint16, float, float) { add(9); });
        QObject::connect(c, &C::IEMouseUp, c,
                         [add](WindowHandle, qint16, qint16, float, float) { add(10); });
        QObject::connect(c, &C::IECommandStateChange, c,
                         [add](WindowHandle, qint32, bool) { add(11); });
    }

    fakes::FakePlatform fake;
    std::unique_ptr<app::FrmMain> form;
    std::unique_ptr<cIEWindows> ieWin;
    std::vector<int> raised;
};

TEST_F(WatchEvents, EachKindRaisesItsEventAndUnknownKindsRaiseNothing) {
    record();
    WindowHandle h = 7;
    const QVariantList nav{
        QVariant::fromValue<QObject*>(nullptr), "http://x/", 0, "", QByteArray(), "", false};
    const QVariantList page{QVariant::fromValue<QObject*>(nullptr), "http://x/"};
    const QVariantList mouse{1, 0, 10.0f, 12.0f};
    const QVariantList command{1, true};
    const std::vector<std::pair<int, QVariantList>> relays{{1, nav},   {2, page}, {3, {}},
                                                           {4, {}},    {5, page}, {6, mouse},
                                                           {7, mouse}, {8, {}},   {9, command}};
    for (const auto& [kind, args] : relays)
        watch::Events::RelayIEEvent(kind, h, args);
    EXPECT_EQ(raised, (std::vector<int>{3, 4, 6, 7, 5, 9, 10, 8, 11}));

    raised.clear();
    for (int kind : {0, -1, 10, 11, 99})
        watch::Events::RelayIEEvent(kind, h, nav);
    // Too few arguments for the kind: nothing is raised rather than garbage.
    watch::Events::RelayIEEvent(1, h, page);
    watch::Events::RelayIEEvent(6, h, {1});
    EXPECT_TRUE(raised.empty());
}

TEST_F(WatchEvents, RelayAfterTheCollectionIsGoneReachesNobody) {
    ieWin.reset();
    EXPECT_EQ(watch::Events::gCollectionPtr, nullptr);
    WindowHandle h = 1;
    watch::Events::RelayIEEvent(3, h); // must not touch freed memory
}

TEST_F(WatchEvents, MouseArgumentsAndCommandStateReachTheListener) {
    fake.browser.open(4);
    ASSERT_EQ(ieWin->Count(), 1);
    qint16 button = 0, shift = 0;
    float x = -1, y = -1;
    QObject::connect(ieWin.get(), &cIEWindows::IEMouseDown, ieWin.get(),
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
    EXPECT_TRUE(ieWin->IE(1)->EnableForward());
    EXPECT_FALSE(ieWin->IE(1)->EnableBack());
    emit fake.browser.window(4)->commandStateChange(2, true);
    EXPECT_TRUE(ieWin->IE(QStringLiteral("4"))->EnableBack());
    EXPECT_EQ(ieWin->IE(2), nullptr);
    EXPECT_EQ(ieWin->IE(QStringLiteral("5")), nullptr);
}

TEST_F(WatchEvents, ListenerCannotCancelANavigation) {
    fake.browser.open(2);
    QObject::connect(ieWin.get(), &cIEWindows::IENavigationBegin, ieWin.get(),
                     [](WindowHandle, platform::BrowserWindow*, const QString&, int, const QString&,
                        const QByteArray&, const QString&, bool& cancel) { cancel = true; });
    EXPECT_TRUE(fake.browser.window(2)->navigate(QStringLiteral("http://y/"), true));
}

TEST_F(WatchEvents, PendingProbeCancelsOneNavigationAndHidesOneMenu) {
    fake.browser.open(2);
    auto* w = fake.browser.window(2);
    watch::gProbeNavigation = true;
    EXPECT_FALSE(w->navigate(QStringLiteral("http://y/"), true));
    EXPECT_FALSE(watch::gProbeNavigation);
    EXPECT_TRUE(w->navigate(QStringLiteral("http://y/"), true));

    watch::gProbeNavigation = true;
    bool allow = true;
    emit w->documentContextMenu(allow);
    EXPECT_FALSE(allow);
    EXPECT_FALSE(watch::gProbeNavigation);
    EXPECT_TRUE(watch::gUserClick);
    emit w->documentContextMenu(allow);
    EXPECT_TRUE(allow);
}

TEST_F(WatchEvents, WrappingNeverNavigatesNorStopsTheBrowser) {
    fake.browser.open(3);
    fake.browser.open(5); // wraps window 3 again
    auto* w = fake.browser.window(3);
    EXPECT_FALSE(ieWin->IE(QStringLiteral("3"))->EnableForward());
    EXPECT_FALSE(watch::gProbeNavigation);
    // The user's next navigation goes through.
    EXPECT_TRUE(w->navigate(QStringLiteral("http://next/"), true));
}

TEST_F(WatchEvents, WindowClosedFromInsideAWrapperHandler) {
    fake.browser.open(1);
    fake.browser.open(2);
    // A listener during which a window is revoked: the collection rebuilds while the
    // wrapper of window 1 is still in its handler, which must finish on a live wrapper.
    QObject::connect(ieWin.get(), &cIEWindows::IEMouseUp, ieWin.get(),
                     [this](WindowHandle, qint16, qint16, float, float) { fake.browser.close(2); });
    emit fake.browser.window(1)->documentMouseUp();
    EXPECT_TRUE(watch::gUserClick);
    ASSERT_EQ(ieWin->Count(), 1);
    EXPECT_EQ(ieWin->IE(1)->IEHandle(), 1u);
    // The rebuilt wrapper hears the window; the retired one is gone.
    int ups = 0;
    QObject::connect(ieWin.get(), &cIEWindows::IEMouseUp, ieWin.get(),
                     [&ups](WindowHandle, qint16, qint16, float, float) { ++ups; });
    fake.browser.open(3);
    emit fake.browser.window(1)->documentMouseUp();
    EXPECT_EQ(ups, 1);
}

} // namespace
