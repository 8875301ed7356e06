#include "UserHome.h"

#include "platform/linux/ChromiumOptions.h"
#include "platform/linux/LinuxDisplay.h"

#include <QLocalServer>
#include <gtest/gtest.h>

using namespace platform::linuxp;

namespace {

// The variables that tell which display there is, cleared while the object lives.
class DisplayVariables {
public:
    DisplayVariables() {
        for (const char* name : kNames) {
            m_saved[name] = {qEnvironmentVariableIsSet(name), qgetenv(name)};
            qunsetenv(name);
        }
    }
    ~DisplayVariables() {
        for (const auto& [name, saved] : m_saved) {
            if (saved.first)
                qputenv(name, saved.second);
            else
                qunsetenv(name);
        }
    }

private:
    static constexpr const char* kNames[] = {"DISPLAY",          "WAYLAND_DISPLAY",
                                             "WAYLAND_SOCKET",   "QT_QPA_PLATFORM",
                                             "TAVREL_KEY_STATE", "TAVREL_BROWSER_ARGS"};
    std::map<const char*, std::pair<bool, QByteArray>> m_saved;
};

const QStringList kNoArguments{QStringLiteral("tavrel")};

} // namespace

TEST(Display, WithoutAnyDisplayTheProgramDoesNotTryToOpenItsWindow) {
    UserHome home;
    DisplayVariables variables;
    EXPECT_FALSE(chooseDisplay(kNoArguments).usable);

    qputenv("DISPLAY", ":97531"); // no such X server
    EXPECT_FALSE(x11Answers());
    EXPECT_FALSE(chooseDisplay(kNoArguments).usable);
    qputenv("WAYLAND_DISPLAY", "wayland-none"); // no such compositor
    EXPECT_FALSE(waylandAnswers());
    EXPECT_FALSE(chooseDisplay(kNoArguments).usable);

    // Told to use X alone, nothing else is looked at.
    qputenv("QT_QPA_PLATFORM", "xcb");
    EXPECT_FALSE(chooseDisplay(kNoArguments).usable);

    // Platforms without a display server are Qt's business.
    qputenv("QT_QPA_PLATFORM", "xcb;offscreen");
    EXPECT_TRUE(chooseDisplay(kNoArguments).usable);
    qputenv("QT_QPA_PLATFORM", "xcb");
    EXPECT_TRUE(chooseDisplay({QStringLiteral("tavrel"), QStringLiteral("-platform"),
                               QStringLiteral("offscreen")})
                    .usable);
}

TEST(Display, AWaylandCompositorAloneOpensTheWindowOnWayland) {
    UserHome home;
    DisplayVariables variables;
    QLocalServer compositor;
    ASSERT_TRUE(compositor.listen(home.path(QStringLiteral("run/wayland-test"))));
    qputenv("WAYLAND_DISPLAY", "wayland-test"); // in XDG_RUNTIME_DIR
    EXPECT_TRUE(waylandAnswers());
    qputenv("WAYLAND_DISPLAY", QFile::encodeName(compositor.fullServerName()));
    EXPECT_TRUE(waylandAnswers());

    const DisplayChoice choice = chooseDisplay(kNoArguments);
    if (waylandPluginInstalled()) {
        EXPECT_TRUE(choice.usable);
        EXPECT_EQ(choice.platform, QByteArray("wayland"));
        qputenv("QT_QPA_PLATFORM", "wayland");
        EXPECT_TRUE(chooseDisplay(kNoArguments).usable);
    } else {
        // Without Qt's Wayland plugin, Qt could not use it.
        EXPECT_FALSE(choice.usable);
    }
    compositor.close();
    EXPECT_FALSE(waylandAnswers());
}

TEST(Display, InAWaylandSessionTheKeysComeFromThePagesUnlessTheBrowserUsesX) {
    DisplayVariables variables;
    qputenv("DISPLAY", ":0");
    EXPECT_TRUE(ChromiumOptions::fromEnvironment().useX11);
    qputenv("WAYLAND_DISPLAY", "wayland-0");
    EXPECT_FALSE(ChromiumOptions::fromEnvironment().useX11);
    qputenv("TAVREL_BROWSER_ARGS", "--ozone-platform=x11 --no-sandbox");
    EXPECT_TRUE(ChromiumOptions::fromEnvironment().useX11);
    qunsetenv("TAVREL_BROWSER_ARGS");
    qputenv("TAVREL_KEY_STATE", "x11");
    EXPECT_TRUE(ChromiumOptions::fromEnvironment().useX11);
    qputenv("TAVREL_KEY_STATE", "page");
    qunsetenv("WAYLAND_DISPLAY");
    EXPECT_FALSE(ChromiumOptions::fromEnvironment().useX11);
}
