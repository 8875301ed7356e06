// A window's size as the adapter reports it, once the window is no longer new: asked less
// often while the page is quiet, at once when the page says it was resized.

#include "E2eSupport.h"

#include <QElapsedTimer>
#include <QJsonObject>
#include <cstdio>
#include <gtest/gtest.h>

using e2e::Browser;
using e2e::LocalServer;
using e2e::spin;
using e2e::waitUntil;
using platform::WindowHandle;

TEST(WindowSize, AnOldWindowResizedIsSeenAtItsNewSizeWithinASecond) {
    Browser b;
    E2E_NEED_BROWSER(b);
    LocalServer server;
    server.page("/quiet.html", QStringLiteral("<html><head><title>Quiet</title></head></html>"));
    const WindowHandle h = b.openTab(server.url(QStringLiteral("/quiet.html")));
    ASSERT_NE(h, 0);
    auto* w = b.window(h);
    ASSERT_TRUE(waitUntil([&] { return w->width().has_value() && w->height().has_value(); }));
    spin(3500); // no longer a new window: its size is asked only now and then

    const auto target = b.command(QStringLiteral("Browser.getWindowForTarget"),
                                  QJsonObject{{QStringLiteral("targetId"), w->targetId()}});
    ASSERT_TRUE(target.ok);
    const int windowId = target.result.value(QStringLiteral("windowId")).toInt();
    for (const auto& [width, height] : {std::pair{640, 480}, std::pair{500, 380}}) {
        const auto resized = b.command(
            QStringLiteral("Browser.setWindowBounds"),
            QJsonObject{{QStringLiteral("windowId"), windowId},
                        {QStringLiteral("bounds"),
                         QJsonObject{{QStringLiteral("width"), width},
                                     {QStringLiteral("height"), height},
                                     {QStringLiteral("windowState"), QStringLiteral("normal")}}}});
        ASSERT_TRUE(resized.ok);
        QElapsedTimer seen;
        seen.start();
        EXPECT_TRUE(waitUntil([&] { return w->width() == width && w->height() == height; }, 5000))
            << "still " << w->width().value_or(-1) << " x " << w->height().value_or(-1);
        std::printf("resize to %d x %d seen after %lld ms\n", width, height,
                    static_cast<long long>(seen.elapsed()));
        spin(1500);
    }
}
